#pragma once

#include <array>

// The texts of the console options sheet, exactly as the operator sees them (UTF-8 here).
namespace talmor::text {

inline constexpr char kOptionSheetCaption[] = "系统参数";
inline constexpr char kSystemPageTitle[] = "系统设置";
inline constexpr char kSoundPageTitle[] = "声音设置";
inline constexpr char kSmsPageTitle[] = "短信快捷回复";

// System page.
inline constexpr char kTakeHelpCalls[] = "接收求助呼叫";
inline constexpr char kTakeSosCalls[] = "接收求救呼叫";
inline constexpr char kAutoReconnect[] = "脱机自动连接";
inline constexpr char kRealertSwitch[] = "重复报警直至接听";
inline constexpr char kWaitingTimeSwitch[] = "显示等待时间";
inline constexpr char kJournalSwitch[] = "记录呼叫处理日志";
inline constexpr char kAutoReplyChoice[] = "留言选择:";
inline constexpr char kAutoReplyEdit[] = "编辑离开自动回复留言(25个汉字内)";
inline constexpr char kQuickReplyChoice[] = "快捷选择:";
inline constexpr char kQuickReplyEdit[] = "编辑作为快捷回复短语(25个汉字内)";
inline constexpr char kAddPhrase[] = "增加";
inline constexpr char kDeletePhrase[] = "删除";

// Sound page.
inline constexpr char kSoundsOn[] = "打开声音";
inline constexpr char kHelpReminderSound[] = "求助报警";
inline constexpr char kSosReminderSound[] = "求救报警";
inline constexpr char kSoundEvent[] = "产生事件：";
inline constexpr char kSoundFile[] = "声音文件：";
inline constexpr char kBrowseSound[] = "浏览";
inline constexpr char kPlaySound[] = "播放";
inline constexpr char kWaveFilter[] = "*.wav";

// SMS page.
inline constexpr char kSmsReplyChoice[] = "快捷选择:";
inline constexpr char kSmsReplyEdit[] = "编辑作为短信快捷回复(50个汉字内)";

// What the phrase lists are called in the messages.
inline constexpr char kAutoReplyName[] = "离开自动回复留言";
inline constexpr char kQuickReplyName[] = "快捷回复短语";
inline constexpr char kSmsReplyName[] = "短信快捷回复";
// "第3条快捷回复短语": a phrase of the list checked on OK.
inline constexpr char kNumberedPhrase[] = "第%1条%2";

// Refusals. %1 names the text; the GBK refusal of a typed character is NotGbkMessage.
inline constexpr char kPhraseLineBreak[] = "亲爱的用户：%1不能换行，请在一行内输入。";
inline constexpr char kPhraseTooLong[] =
    "亲爱的用户：%1不能超过%2个汉字（%3个字节），请修改后再确定。";
inline constexpr char kPhraseNotGbk[] =
    "亲爱的用户：%1含有本系统使用的中文编码（GBK）无法保存的字符，请修改后再确定。";
inline constexpr char kSoundPathNotGbk[] =
    "亲爱的用户：“%1”的声音文件路径含有本系统使用的中文编码（GBK）无法保存的字符，"
    "请把声音文件放在其他文件夹后再选择。";
inline constexpr char kSoundPathTooLong[] =
    "亲爱的用户：“%1”的声音文件路径太长（不能超过%2个字节），"
    "请把声音文件放在路径较短的文件夹后再选择。";
inline constexpr char kSoundNotWave[] =
    "亲爱的用户：“%1”的声音文件“%2”不是可以播放的波形声音文件（*.wav），请重新选择。";

} // namespace talmor::text
