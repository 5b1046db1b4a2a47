#pragma once

// The call windows' own texts, exactly as the operator sees them (UTF-8 here).
namespace talmor::text {

inline constexpr char kNoHelpHandlingRight[] =
    "对不起，你所登录的监控座席帐号没有处理求助呼叫的权限！";
inline constexpr char kNoSosHandlingRight[] =
    "对不起，你所登录的监控座席帐号没有处理求救呼叫的权限！";
inline constexpr char kReminderCaption[] = "警告";

} // namespace talmor::text
