#include "messaging/searchconditions.h"

#include "kit/gbktext.h"
#include "messaging/searchtexts.h"
#include "protocol/queryrecords.h"
#include "protocol/requestbuilder.h"

namespace talmor {

namespace {

// Every field is guarded against characters GBK cannot hold; should one slip through, the
// condition is left empty rather than mangled.
std::string Gbk(const QString& text) {
    return ToGbk(text).value_or(std::string());
}

std::string AreaCondition(const QString& chosen) {
    return chosen == QString::fromUtf8(text::kAny) ? std::string() : Gbk(chosen);
}

uint8_t Position(int position, int count) {
    return position > 0 && position < count ? static_cast<uint8_t>(position) : 0;
}

} // namespace

QueryOrRefusal BuildQuery(SearchKind kind, const SearchConditions& conditions,
                          const UserRecord& scope) {
    SearchQuery query;
    query.area = ScopeArea(scope);
    if (!conditions.combined) {
        const bool byAccountOnly = kind == SearchKind::Colleagues;
        const bool noAccount = conditions.account.trimmed().isEmpty();
        if (byAccountOnly ? noAccount : noAccount && conditions.email.trimmed().isEmpty()) {
            return {std::nullopt, byAccountOnly ? text::kAccountOnlyNeedsAccount
                                                : text::kExactNeedsAccountOrEmail};
        }
        const std::optional<uint32_t> account = AccountNumber(conditions.account);
        if (!account) {
            return {std::nullopt, text::kAccountTooLarge};
        }
        query.account = *account;
        if (!byAccountOnly) {
            query.email = Gbk(conditions.email);
        }
        return {query, nullptr};
    }
    for (int part = 0; part < 5; ++part) {
        if (AreaPartFree(scope, part)) {
            query.area[static_cast<std::size_t>(part)] =
                AreaCondition(conditions.area[static_cast<std::size_t>(part)]);
        }
    }
    query.name = Gbk(conditions.name);
    switch (kind) {
    case SearchKind::Subscribers:
        query.nick = Gbk(conditions.nick);
        query.sex = Position(conditions.sex, static_cast<int>(SexChoices().size()));
        query.ageBand = Position(conditions.ageBand, static_cast<int>(AgeBands().size()));
        break;
    case SearchKind::Providers:
        query.phone = Gbk(conditions.phone);
        break;
    case SearchKind::Colleagues:
        query.onlineOnly = conditions.onlineOnly ? 1 : 0;
        break;
    }
    return {query, nullptr};
}

uint16_t SendSearch(RequestBuilder& client, SearchKind kind, const SearchQuery& query,
                    uint32_t cursor) {
    const auto& [province, city, district, street, community] = query.area;
    switch (kind) {
    case SearchKind::Subscribers:
        return client.searchUsers({query.account, query.email, query.nick, query.name, query.sex,
                                   query.ageBand, province, city, district, street, community,
                                   cursor});
    case SearchKind::Providers:
        return client.searchProviders({query.account, query.email, query.name, province, city,
                                       district, street, community, query.phone, cursor});
    case SearchKind::Colleagues:
        break;
    }
    return client.searchColleagues({query.account, query.name, province, city, district, street,
                                    community, query.onlineOnly, cursor});
}

std::optional<uint32_t> AccountNumber(const QString& text) {
    uint64_t value = 0;
    for (const QChar c : text.trimmed()) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            break;
        }
        value = value * 10 + static_cast<uint64_t>(c.unicode() - '0');
        if (value > 0xFFFFFFFFu) {
            return std::nullopt;
        }
    }
    return static_cast<uint32_t>(value);
}

std::array<std::string, 5> ScopeArea(const UserRecord& scope) {
    return {scope.province, scope.city, scope.district, scope.street, scope.community};
}

bool AreaPartFree(const UserRecord& scope, int part) {
    return part >= 0 && part < 5 && ScopeArea(scope)[static_cast<std::size_t>(part)].empty();
}

const QStringList& Provinces() {
    static const QStringList provinces = [] {
        QStringList list{QString::fromUtf8(text::kAny)};
        for (const char* name : {"安徽省",
                                 "北京市",
                                 "重庆市",
                                 "福建省",
                                 "甘肃省",
                                 "广东省",
                                 "广西壮族自治区",
                                 "贵州省",
                                 "海南省",
                                 "河北省",
                                 "黑龙江省",
                                 "河南省",
                                 "香港特别行政区",
                                 "湖北省",
                                 "湖南省",
                                 "江苏省",
                                 "江西省",
                                 "吉林省",
                                 "辽宁省",
                                 "澳门特别行政区",
                                 "内蒙古自治区",
                                 "宁夏回族自治区",
                                 "青海省",
                                 "山东省",
                                 "上海市",
                                 "山西省",
                                 "陕西省",
                                 "四川省",
                                 "中国台湾",
                                 "天津市",
                                 "新疆维吾尔族自治区",
                                 "西藏自治区",
                                 "云南省",
                                 "浙江省"}) {
            list.append(QString::fromUtf8(name));
        }
        return list;
    }();
    return provinces;
}

const QStringList& SexChoices() {
    static const QStringList choices = {QString::fromUtf8(text::kAny), QStringLiteral("男"),
                                        QStringLiteral("女")};
    return choices;
}

const QStringList& AgeBands() {
    static const QStringList bands = {
        QString::fromUtf8(text::kAny), QStringLiteral("不大于20岁"), QStringLiteral("21岁至25岁"),
        QStringLiteral("26岁至30岁"),  QStringLiteral("31岁至35岁"), QStringLiteral("36岁至40岁"),
        QStringLiteral("41岁至45岁"),  QStringLiteral("46岁至50岁"), QStringLiteral("51岁至55岁"),
        QStringLiteral("56岁至60岁"),  QStringLiteral("61岁至65岁"), QStringLiteral("66岁至70岁"),
        QStringLiteral("71岁至75岁"),  QStringLiteral("76岁至80岁"), QStringLiteral("不小于81岁"),
    };
    return bands;
}

} // namespace talmor
