#include "calls/callcolumns.h"

#include <ctime>

#include "kit/categories.h"
#include "kit/gbktext.h"

namespace talmor {

namespace {

using F = CallField;

// Help and SOS panes differ only in the wording of four headings.
std::vector<CallColumn> HelpOrSosColumns(bool sos) {
    return {
        {"帐号", false, 80, F::UserId},
        {"服务类别", true, 80, F::Source},
        {"服务对像", true, 80, F::ServiceObject},
        {sos ? "求救时间" : "求助时间", true, 150, F::CallTime},
        {sos ? "求救人" : "求助人", true, 60, F::UserName},
        {"性别", true, 40, F::Sex},
        {"年龄", true, 40, F::Age},
        {sos ? "求救电话" : "求助电话", true, 90, F::Phone},
        {"手机", true, 100, F::Mobile},
        {"省 市 区", false, 200, F::Location},
        {sos ? "求救地址" : "求助地址", false, 250, F::Address},
        {"地图标注", false, 100, F::MapMark},
    };
}

std::vector<CallColumn> CategoryColumns(const char* time, const char* name, const char* mobile,
                                        const char* address) {
    return {
        {"帐号", false, 80, F::UserId},    {time, true, 150, F::CallTime},
        {name, true, 60, F::UserName},     {"性别", true, 40, F::Sex},
        {"年龄", true, 40, F::Age},        {"联系电话", true, 100, F::Phone},
        {mobile, true, 100, F::Mobile},    {"省 市 区", false, 100, F::Location},
        {address, false, 250, F::Address}, {"地图标注", false, 100, F::MapMark},
    };
}

} // namespace

const std::vector<CallColumn>& CallColumns(ColumnWording wording) {
    static const std::vector<CallColumn> help = HelpOrSosColumns(false);
    static const std::vector<CallColumn> sos = HelpOrSosColumns(true);
    static const std::vector<CallColumn> category =
        CategoryColumns("呼叫时间", "用户", "用户手机", "呼叫地址");
    static const std::vector<CallColumn> alarm =
        CategoryColumns("报警时间", "户主", "户主手机", "报警地址");
    static const std::vector<CallColumn> service =
        CategoryColumns("呼叫时间", "用户", "手机", "详细地址");
    switch (wording) {
    case ColumnWording::Help:
        return help;
    case ColumnWording::Sos:
        return sos;
    case ColumnWording::Alarm:
        return alarm;
    case ColumnWording::Service:
        return service;
    case ColumnWording::Category:
        break;
    }
    return category;
}

QString CallTypeLabel(uint32_t category) {
    if (category == static_cast<uint32_t>(kServiceCategory)) {
        return QStringLiteral("咨询Quorvane");
    }
    if (category >= kCategoryCount) {
        return QString();
    }
    return QString::fromUtf8(kCategories[category].caption);
}

std::string CallTimeText(uint32_t callTime) {
    const std::time_t seconds = static_cast<std::time_t>(callTime);
    std::tm local{};
    if (localtime_r(&seconds, &local) == nullptr) {
        return std::string();
    }
    char buffer[128];
    const std::size_t length = std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &local);
    return std::string(buffer, length);
}

std::string LocationText(const CallRecord& call) {
    return call.province + " " + call.city + " " + call.district + " " + call.street + " " +
           call.community;
}

const char* SexText(uint8_t sex) {
    switch (sex) {
    case 0:
        return "未知";
    case 1:
        return "男";
    case 2:
        return "女";
    default:
        return "";
    }
}

QString CellText(CallField field, const CallRecord& call) {
    switch (field) {
    case F::UserId:
        return QString::number(call.userId);
    case F::Source:
        return call.source == 1 ? QStringLiteral("APP应用") : QString();
    case F::ServiceObject:
        return FromGbk(call.serviceObject);
    case F::CallTime:
        return QString::fromStdString(CallTimeText(call.callTime));
    case F::UserName:
        return FromGbk(call.userName);
    case F::Sex:
        return QString::fromUtf8(SexText(call.sex));
    case F::Age:
        return QString::number(call.age);
    case F::Phone:
        return FromGbk(call.phone);
    case F::Mobile:
        return FromGbk(call.mobile);
    case F::Location:
        return FromGbk(LocationText(call));
    case F::Address:
        return FromGbk(call.address);
    case F::MapMark:
        return FromGbk(call.mapMark);
    case F::CallType:
        return CallTypeLabel(call.category);
    case F::HelpOrSosSource:
        return call.category <= static_cast<uint32_t>(kSosCategory) ? CellText(F::Source, call)
                                                                    : QString();
    }
    return QString();
}

} // namespace talmor
