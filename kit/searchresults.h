#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "protocol/records.h"

namespace talmor {

// What the search wizards and the merchant search near a caller show of the users they find:
// the columns of each kind of result and the row of one entry.

struct ResultColumn {
    const char* heading; // UTF-8
    int width;           // pixels
    bool centred;        // else left aligned
};

// One found user as a list row: the id it stands for, whether it shows the coloured (online)
// picture, and the texts of its cells in column order.
struct ResultRow {
    uint32_t id = 0;
    bool online = false;
    QStringList texts;
};

// "帐号", "昵称", "姓名", "性别", "年龄", "详细地址".
const std::vector<ResultColumn>& SubscriberColumns();
// "帐号", "名称", "电话", "省份", "城市", "城区", "街道", "社区", "详细地址", "负责人",
// "负责人手机", "服务内容".
const std::vector<ResultColumn>& ProviderColumns();
// "帐号", "名称", "联系电话", "联系人", "性别", "手机", "所管辖区".
const std::vector<ResultColumn>& ColleagueColumns();
// "帐号", "商户", "服务范围", "联系人", "联系电话", "手机".
const std::vector<ResultColumn>& SellerColumns();

// The rows of the entries. An entry with id 0 names no user (a reply that promised more entries
// than it carried ends in such empty ones): it has no row, so it can neither be shown nor added.
std::optional<ResultRow> RowOf(const SearchEntryA& entry);
std::optional<ResultRow> RowOf(const SearchEntryB& entry);
std::optional<ResultRow> RowOf(const SearchEntryD& entry);
std::optional<ResultRow> RowOf(const SellerEntry& entry);

// The rows of a reply's entries in reply order, entries without a row left out.
template <typename Entry> std::vector<ResultRow> RowsOf(const std::vector<Entry>& entries) {
    std::vector<ResultRow> rows;
    rows.reserve(entries.size());
    for (const Entry& entry : entries) {
        if (std::optional<ResultRow> row = RowOf(entry)) {
            rows.push_back(std::move(*row));
        }
    }
    return rows;
}

// The five area texts joined by single blanks; empty parts keep their blanks (GBK).
std::string AreaText(const std::array<std::string, 5>& area);
// 0 "保密", 1 "男", 2 "女", anything else empty.
QString SearchSexText(uint8_t sex);

} // namespace talmor
