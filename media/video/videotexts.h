#pragma once

namespace talmor::video {

inline constexpr char kYouAccepted[] =
    "\r\n您已经接受了与对方的视频对话请求！正在进行UDP直联请等待...\r\n";
inline constexpr char kPeerAccepted[] =
    "\r\n对方已经接受了您的视频对话请求！正在进行UDP直联请等待...\r\n";
inline constexpr char kYouCancelled[] = "\r\n您已经取消了与对方的视频对话！\r\n";
inline constexpr char kPeerCancelled[] = "\r\n对方已经取消了与您的视频对话！\r\n";
inline constexpr char kCameraFailed[] = "\r\n你的视频设备初始化失败，对方将无法看到您的视频！\r\n";
inline constexpr char kCancelQuestion[] =
    "是否确定取消当前的视频对话？\r\n\r\n取消当前的传送请点击“是”  继续请点击“否”。";

} // namespace talmor::video
