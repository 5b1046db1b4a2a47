#pragma once

// The search wizards' own texts (UTF-8 in the source, converted with QString::fromUtf8).
namespace talmor::text {

inline constexpr const char* kSearchCaption = "QuorvaneIM查询";
inline constexpr const char* kColleagueSearchCaption = "查询添加同事";

// Conditions page.
inline constexpr const char* kExactSearch = "精确查询";
inline constexpr const char* kCombinedSearch = "组合查询";
inline constexpr const char* kOnlineOnly = "只显示在线";
inline constexpr const char* kNextStep = "下一步(&N)";
inline constexpr const char* kCancelStep = "取消(&C)";
inline constexpr const char* kHelpStep = "帮助(&H)";
inline constexpr const char* kConditionsHint = "完成条件输入后点击 “下一步” 按钮开始进行搜索。";
inline constexpr const char* kAny = "不限";

// Results page.
inline constexpr const char* kPreviousPage = "上页";
inline constexpr const char* kNextPage = "下页";
inline constexpr const char* kAddAsContact = "加为联系人";
inline constexpr const char* kPreviousStep = "上一步(&C)";

// Refusals of the conditions ("错误").
inline constexpr const char* kExactNeedsAccountOrEmail =
    "选择精确查询必须输入帐号或电子邮件，请进行输入。";
inline constexpr const char* kAccountOnlyNeedsAccount = "选择非组合查询必须输入帐号，请进行输入。";
// An account whose digits exceed the largest account number is refused, never wrapped.
inline constexpr const char* kAccountTooLarge =
    "您输入的帐号超出了帐号的范围（最大为 4294967295），请检查后重新输入。";

// No answer from the server ("提示").
inline constexpr const char* kUserSearchTimedOut = "查询联系人网络联接超时！";
inline constexpr const char* kProviderSearchTimedOut = "查询服务商家网络联接超时！";
inline constexpr const char* kColleagueSearchTimedOut = "查询添加公司同事网络联接超时！";

// Adding a result as a contact ("错误").
inline constexpr const char* kChooseUser = "请选择您想添加为通讯联系人列表中的用户！";
inline constexpr const char* kChooseProvider = "请选择您想添加为通讯联系人列表中的服务商家！";
inline constexpr const char* kChooseColleague = "请选择联系人！";
inline constexpr const char* kUserAlreadyContact = "此联系人已在您的通讯列表中您不需要再进行添加！";
inline constexpr const char* kProviderAlreadyContact =
    "此服务商已在您的通讯列表中您不需要再进行添加！";

} // namespace talmor::text
