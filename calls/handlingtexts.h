#pragma once

#include <cstddef>

// The texts of the processing list and of the windows that handle one call, exactly as the
// operator sees them (UTF-8 here).
namespace talmor::text {

inline constexpr char kReportSaved[] = "已成功完成呼叫事件的处理情况记录！";
inline constexpr char kNoticeDone[] = "已成功完成服务要求的信息通知！";
inline constexpr char kCallGoneElsewhere[] =
    "该呼叫已由其他座席受理或已结束，已从您的处理列表中移除。";
inline constexpr char kNoticeHowTo[] = "请使用电话或短信进行通知商家提供服务！\r\n\r\n"
                                       "联系完成后请确击“完成通知”按钮，确定此信息已分配完成。";
inline constexpr char kSmsTextMissing[] =
    "请输入求救呼叫处理情况的内容或对呼叫人家属所发送的短信内容！";
inline constexpr char kNoDragRight[] = "亲爱的操作员，您没有拖动信息分配给服务商的权限！";
inline constexpr char kChooseSellerType[] = "请选择商户一级类型！";
inline constexpr char kChooseSellerSubType[] = "请选择商户二级类型！";

// A report, SMS or notice text travels in one datagram with its call id and a phone number;
// a longer text would be dropped from the request and the server would record an empty one.
inline constexpr std::size_t kMaxHandlingTextBytes = 3000;
inline constexpr char kHandlingTextTooLong[] =
    "亲爱的用户：内容过长，请不要超过3000个字节（1500个汉字）。";

} // namespace talmor::text
