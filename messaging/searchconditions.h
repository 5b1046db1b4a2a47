#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "protocol/records.h"

namespace talmor {

class RequestBuilder;

enum class SearchKind { Subscribers, Providers, Colleagues };

// What the operator entered on a conditions page, as shown. Fields a wizard does not have stay
// empty.
struct SearchConditions {
    // Exact mode (the colleagues' "account only") when false.
    bool combined = false;
    QString account;
    QString email;
    QString nick;
    QString name;
    int sex = 0;     // position in SexChoices()
    int ageBand = 0; // position in AgeBands()
    // Province, city, district, street, community; "不限" is no condition.
    std::array<QString, 5> area;
    QString phone;
    bool onlineOnly = false;
};

// What a search request carries besides its cursor (texts in GBK).
struct SearchQuery {
    uint32_t account = 0;
    std::string email;
    std::string nick;
    std::string name;
    uint8_t sex = 0;
    uint8_t ageBand = 0;
    std::array<std::string, 5> area;
    std::string phone;
    uint32_t onlineOnly = 0;
};

// The query for `conditions` within the operator's scope, or the refusal (UTF-8) that keeps
// it from being sent. The operator's set scope parts always stand in for the area fields.
struct QueryOrRefusal {
    std::optional<SearchQuery> query;
    const char* refusal = nullptr;
};
QueryOrRefusal BuildQuery(SearchKind kind, const SearchConditions& conditions,
                          const UserRecord& scope);

// Sends the request of `kind` for `query`, continuing after `cursor`; its sequence number.
uint16_t SendSearch(RequestBuilder& client, SearchKind kind, const SearchQuery& query,
                    uint32_t cursor);

// An account text read as a decimal number: its leading digits (after blanks), 0 without any.
// None when those digits exceed the largest account number (4294967295).
std::optional<uint32_t> AccountNumber(const QString& text);

// The operator's scope: province, city, district, street and community (GBK).
std::array<std::string, 5> ScopeArea(const UserRecord& scope);
// Whether the combined mode lets the operator choose area part `part` (0 province to 4
// community): only a part the scope leaves empty.
bool AreaPartFree(const UserRecord& scope, int part);

// "不限" and the 34 provinces.
const QStringList& Provinces();
// "不限", "男", "女".
const QStringList& SexChoices();
// "不限" and the 14 age bands, "不大于20岁" to "不小于81岁".
const QStringList& AgeBands();

} // namespace talmor
