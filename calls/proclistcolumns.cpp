#include "calls/proclistcolumns.h"

#include "calls/callcolumns.h"
#include "console/categories.h"

namespace talmor {

namespace {

using F = ProcField;

constexpr uint32_t kCustomerService = 10;

bool KnownCategory(uint32_t category) {
    return category < kCategoryCount;
}

} // namespace

const std::vector<ProcColumn>& ProcColumns() {
    static const std::vector<ProcColumn> columns = {
        {"帐号", false, 80, F::UserId},       {"服务类别", true, 80, F::Source},
        {"呼叫类型", true, 100, F::CallType}, {"呼叫时间", true, 150, F::CallTime},
        {"呼叫人", false, 100, F::UserName},  {"性别", true, 40, F::Sex},
        {"年龄", true, 40, F::Age},           {"联系电话", true, 100, F::Phone},
        {"呼叫人手机", true, 100, F::Mobile}, {"省 市 区", false, 100, F::Location},
        {"呼叫地址", false, 250, F::Address}, {"地图标注", false, 100, F::MapMark},
    };
    return columns;
}

QString CallTypeLabel(uint32_t category) {
    if (category == kCustomerService) {
        return QStringLiteral("咨询Quorvane");
    }
    if (!KnownCategory(category)) {
        return QString();
    }
    return QString::fromUtf8(kCategories[category].caption);
}

QString ReportTitle(uint32_t category) {
    if (category < 2 || !KnownCategory(category)) {
        return QStringLiteral("Quorvane多键呼叫");
    }
    return CallTypeLabel(category) + QStringLiteral("呼叫");
}

int ProcRowImage(uint32_t category) {
    if (category == static_cast<uint32_t>(kHelpCategory) || category == kCustomerService) {
        return 0;
    }
    return category == static_cast<uint32_t>(kSosCategory) ? 1 : 5;
}

QString ProcCellText(ProcField field, const CallRecord& call) {
    switch (field) {
    case F::UserId:
        return CellText(CallField::UserId, call);
    case F::Source:
        return call.category <= static_cast<uint32_t>(kSosCategory)
                   ? CellText(CallField::Source, call)
                   : QString();
    case F::CallType:
        return CallTypeLabel(call.category);
    case F::CallTime:
        return CellText(CallField::CallTime, call);
    case F::UserName:
        return CellText(CallField::UserName, call);
    case F::Sex:
        return CellText(CallField::Sex, call);
    case F::Age:
        return CellText(CallField::Age, call);
    case F::Phone:
        return CellText(CallField::Phone, call);
    case F::Mobile:
        return CellText(CallField::Mobile, call);
    case F::Location:
        return CellText(CallField::Location, call);
    case F::Address:
        return CellText(CallField::Address, call);
    case F::MapMark:
        return CellText(CallField::MapMark, call);
    }
    return QString();
}

} // namespace talmor
