#pragma once

namespace talmor::voice::texts {

inline constexpr char kYouAccepted[] =
    "\r\n您已经接受了与对方的语音交谈请求！正在进行UDP直联请等待...\r\n";
inline constexpr char kPeerAccepted[] =
    "\r\n对方已经接受了您的语音交谈请求！正在进行UDP直联请等待...\r\n";
inline constexpr char kYouCancelled[] = "\r\n您已经取消了与对方的语音交谈！\r\n";
inline constexpr char kPeerCancelled[] = "\r\n对方已经取消了与您的语音交谈！\r\n";
// A device that cannot be opened: the operator learns which direction has no sound.
inline constexpr char kNoInputDevice[] =
    "\r\n你的语音输入设备初始化失败，对方将无法听到您的声音！\r\n";
inline constexpr char kNoOutputDevice[] =
    "\r\n你的语音输出设备初始化失败，您将无法听到对方的声音！\r\n";
// The voice button while a talk runs.
inline constexpr char kCancelRunning[] =
    "是否确定取消当前的语音交谈？\r\n\r\n取消当前的传送请点击“是”  继续请点击“否”。";
// Starting or accepting a talk while another contact's talk holds the sound devices (%1: that
// contact's nick).
inline constexpr char kEndOtherTalk[] =
    "您正在与 %1 进行语音交谈！开始新的语音交谈将结束该交谈，确定继续吗？";
inline constexpr char kInputVolumeTip[] = "输入音量";
inline constexpr char kOutputVolumeTip[] = "输出音量";

} // namespace talmor::voice::texts
