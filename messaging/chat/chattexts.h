#pragma once

#include <array>

// The chat window's texts (UTF-8) and command numbers.
namespace talmor::chat {

inline constexpr char kEmptyMessage[] = "不能发空消息！";
inline constexpr char kTooLong[] = "您所发送的文本信息超过最大上限，发送未能进行！";
inline constexpr char kHistoryNotWritten[] =
    "聊天记录暂时无法写入，消息先保存在内存中，恢复后将自动写入。";
inline constexpr char kServerTimeout[] = "连接服务器超时，可能是网络不通，是否重发？";
inline constexpr char kCloseWhileSending[] = "您正在进行信息传送！关闭将造成传送中断，确定关闭吗？";
inline constexpr char kCloseWhileFile[] = "您正在进行文件传送！关闭将造成传送中断，确定关闭吗？";
inline constexpr char kCloseWhileVoice[] = "您正在进行语音交谈！关闭将造成传送中断，确定关闭吗？";
inline constexpr char kCloseWhileVideo[] = "您正在进行视频对话！关闭将造成传送中断，确定关闭吗？";
inline constexpr char kOfflineFile[] = "对方当前处于脱机状态，无法进行文件传送！";
inline constexpr char kOfflineVoice[] = "对方当前处于脱机状态，无法进行语音交谈！";
inline constexpr char kOfflineVideo[] = "对方当前处于脱机状态，无法进行视频对话！";
inline constexpr char kSendTip[] = "或Ctrl+回车发送";
inline constexpr char kQuickReplyTip[] = "快捷回复";
inline constexpr char kFontTip[] = "字体设置";
inline constexpr char kSendButton[] = "发送";
inline constexpr char kFileButton[] = "文件";
inline constexpr char kVoiceButton[] = "语音";
inline constexpr char kVideoButton[] = "视频";
inline constexpr char kHistoryButton[] = "聊天记录";
inline constexpr char kMenuTitle[] = "操作";
inline constexpr char kHistoryTitle[] = "聊天记录 - ";
inline constexpr char kExportTitle[] = "导出聊天记录";
inline constexpr char kExportFailed[] = "聊天记录未能导出！";
inline constexpr char kSearchAllTitle[] = "搜索聊天记录";
inline constexpr char kOlder[] = "更早的记录";
inline constexpr char kContactsMenu[] = "通讯联系(&L)";
inline constexpr char kSearchHint[] = "搜索聊天记录";

// Menu 251 and the commands its buttons share.
constexpr int kCmdExport = 32785;
constexpr int kCmdHistory = 32786;
constexpr int kCmdClose = 32787;
constexpr int kCmdUndo = 57643;
constexpr int kCmdCut = 57635;
constexpr int kCmdCopy = 57634;
constexpr int kCmdPaste = 57637;
constexpr int kCmdFile = 32788;
constexpr int kCmdVoice = 32789;
constexpr int kCmdVideo = 32790;
constexpr int kCmdFont = 32791;
constexpr int kCmdColour = 32795;
constexpr int kCmdClear = 32793;
constexpr int kCmdEmoticonFirst = 10000; // 10000 + index inserts emoticon index

struct MenuItem {
    int id; // 0: a separator
    const char* text;
};
inline constexpr std::array<MenuItem, 15> kMenu = {{
    {kCmdExport, "导出聊天记录"},
    {kCmdHistory, "打开聊天记录"},
    {0, nullptr},
    {kCmdUndo, "撤消(&Z)"},
    {kCmdCut, "剪切(&T)"},
    {kCmdCopy, "复制(&C)"},
    {kCmdPaste, "粘贴(&P)"},
    {0, nullptr},
    {kCmdFile, "文件传送"},
    {kCmdVoice, "语音聊天"},
    {kCmdVideo, "视频对话"},
    {kCmdFont, "字体"},
    {kCmdColour, "字色"},
    {kCmdClear, "清空当前聊天内容"},
    {kCmdClose, "关闭"},
}};

// Menu 195 of the history strip.
constexpr int kCmdCopyEntry = 32796;
constexpr int kCmdCutEntry = 32798;
constexpr int kCmdDeleteEntry = 32799;

} // namespace talmor::chat
