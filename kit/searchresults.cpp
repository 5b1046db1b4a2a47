#include "kit/searchresults.h"

#include "kit/gbktext.h"

namespace talmor {

const std::vector<ResultColumn>& SubscriberColumns() {
    static const std::vector<ResultColumn> columns = {
        {"帐号", 90, false}, {"昵称", 150, false}, {"姓名", 80, true},
        {"性别", 50, true},  {"年龄", 50, true},   {"详细地址", 200, false},
    };
    return columns;
}

const std::vector<ResultColumn>& ProviderColumns() {
    static const std::vector<ResultColumn> columns = {
        {"帐号", 90, false},   {"名称", 150, false},       {"电话", 100, false},
        {"省份", 70, false},   {"城市", 70, false},        {"城区", 70, false},
        {"街道", 80, false},   {"社区", 80, false},        {"详细地址", 200, false},
        {"负责人", 70, false}, {"负责人手机", 100, false}, {"服务内容", 200, false},
    };
    return columns;
}

const std::vector<ResultColumn>& ColleagueColumns() {
    static const std::vector<ResultColumn> columns = {
        {"帐号", 90, false}, {"名称", 120, false}, {"联系电话", 100, false}, {"联系人", 80, false},
        {"性别", 50, true},  {"手机", 100, false}, {"所管辖区", 250, false},
    };
    return columns;
}

const std::vector<ResultColumn>& SellerColumns() {
    static const std::vector<ResultColumn> columns = {
        {"帐号", 70, false},   {"商户", 150, false},     {"服务范围", 220, false},
        {"联系人", 70, false}, {"联系电话", 100, false}, {"手机", 100, false},
    };
    return columns;
}

std::optional<ResultRow> RowOf(const SearchEntryA& entry) {
    if (entry.id == 0) {
        return std::nullopt;
    }
    return ResultRow{entry.id,
                     entry.online != 0,
                     {QString::number(entry.id), FromGbk(entry.nick), FromGbk(entry.name),
                      SearchSexText(entry.sex), QString::number(entry.age),
                      FromGbk(entry.address)}};
}

std::optional<ResultRow> RowOf(const SearchEntryB& entry) {
    if (entry.id == 0) {
        return std::nullopt;
    }
    return ResultRow{entry.id,
                     entry.online != 0,
                     {QString::number(entry.id), FromGbk(entry.name), FromGbk(entry.phone),
                      FromGbk(entry.province), FromGbk(entry.city), FromGbk(entry.district),
                      FromGbk(entry.street), FromGbk(entry.community), FromGbk(entry.address),
                      FromGbk(entry.manager), FromGbk(entry.managerMobile),
                      FromGbk(entry.serviceContent)}};
}

std::optional<ResultRow> RowOf(const SearchEntryD& entry) {
    if (entry.id == 0) {
        return std::nullopt;
    }
    return ResultRow{entry.id,
                     entry.online != 0,
                     {QString::number(entry.id), FromGbk(entry.name), FromGbk(entry.phone),
                      FromGbk(entry.contactPerson), SearchSexText(entry.sex), FromGbk(entry.mobile),
                      FromGbk(AreaText(entry.area))}};
}

std::optional<ResultRow> RowOf(const SellerEntry& entry) {
    if (entry.id == 0) {
        return std::nullopt;
    }
    // Merchants carry no presence: their rows show no picture.
    return ResultRow{entry.id,
                     false,
                     {QString::number(entry.id), FromGbk(entry.merchantName),
                      FromGbk(AreaText(entry.area)), FromGbk(entry.contactPerson),
                      FromGbk(entry.phone), FromGbk(entry.mobile)}};
}

std::string AreaText(const std::array<std::string, 5>& area) {
    return area[0] + " " + area[1] + " " + area[2] + " " + area[3] + " " + area[4];
}

QString SearchSexText(uint8_t sex) {
    switch (sex) {
    case 0:
        return QStringLiteral("保密");
    case 1:
        return QStringLiteral("男");
    case 2:
        return QStringLiteral("女");
    default:
        return QString();
    }
}

} // namespace talmor
