#include "calls/proclistcolumns.h"

#include "kit/categories.h"

namespace talmor {

namespace {

using F = CallField;

} // namespace

const std::vector<CallColumn>& ProcColumns() {
    static const std::vector<CallColumn> columns = {
        {"帐号", false, 80, F::UserId},       {"服务类别", true, 80, F::HelpOrSosSource},
        {"呼叫类型", true, 100, F::CallType}, {"呼叫时间", true, 150, F::CallTime},
        {"呼叫人", false, 100, F::UserName},  {"性别", true, 40, F::Sex},
        {"年龄", true, 40, F::Age},           {"联系电话", true, 100, F::Phone},
        {"呼叫人手机", true, 100, F::Mobile}, {"省 市 区", false, 100, F::Location},
        {"呼叫地址", false, 250, F::Address}, {"地图标注", false, 100, F::MapMark},
    };
    return columns;
}

QString ReportTitle(uint32_t category) {
    if (category < 2 || category >= kCategoryCount) {
        return QStringLiteral("Quorvane多键呼叫");
    }
    return CallTypeLabel(category) + QStringLiteral("呼叫");
}

int ProcRowImage(uint32_t category) {
    if (category == static_cast<uint32_t>(kHelpCategory) ||
        category == static_cast<uint32_t>(kServiceCategory)) {
        return 0;
    }
    return category == static_cast<uint32_t>(kSosCategory) ? 1 : 5;
}

} // namespace talmor
