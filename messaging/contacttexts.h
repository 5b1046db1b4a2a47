#pragma once

// The contact pane's and the group dialogs' own texts (UTF-8 in the source, converted with
// QString::fromUtf8).
namespace talmor::text {

inline constexpr const char* kCreateGroupCaption = "创建联系组";
inline constexpr const char* kCreateGroupPrompt = "请输入新创建的联系人组名:";
inline constexpr const char* kCreateGroupEmpty =
    "亲爱的用户：您所创建的联系人组名为空，请输入组名称！";
inline constexpr const char* kCreateGroupSaving = "正在保存所创建的联系人组,请等待...";
inline constexpr const char* kCreateGroupDone = "亲爱的用户：您所创建的联系人组已成功进行保存！";

inline constexpr const char* kRenameGroupCaption = "更名联系组";
inline constexpr const char* kRenameGroupPrompt = "请输入新的联系人组名:";
inline constexpr const char* kRenameGroupEmpty =
    "亲爱的用户：您所更名的联系人组名为空，请输入组名称！";
inline constexpr const char* kRenameGroupSaving = "正在保存所更名的联系人组,请等待...";
inline constexpr const char* kRenameGroupDone = "亲爱的用户：您所更改的联系人组名已成功进行保存！";

inline constexpr const char* kDeleteGroupQuestion =
    "正在准备删除联系人组，删除组的同时将会把此组内所有的联系人删除，您确定删除吗？";
inline constexpr const char* kDeleteContactQuestion =
    "正在准备从您的联系组中删除此联系人，您确定删除吗？";
// "已将用户： " + id + " 加为您的通讯联系人。"
inline constexpr const char* kContactAddedBefore = "已将用户： ";
inline constexpr const char* kContactAddedAfter = " 加为您的通讯联系人。";
// "用户：" + id + " 已加你为通讯联系人，是否通过？"
inline constexpr const char* kAddRequestBefore = "用户：";
inline constexpr const char* kAddRequestAfter = " 已加你为通讯联系人，是否通过？";

inline constexpr const char* kMenuChat = "收发即时讯息(&S)";
inline constexpr const char* kMenuSendFile = "传送文件资料(&F)";
inline constexpr const char* kMenuVoice = "进行语音交谈";
inline constexpr const char* kMenuVideo = "双方视频对话";
inline constexpr const char* kMenuDeleteContact = "删除此联系人";
inline constexpr const char* kMenuProfile = "查看档案资料";
inline constexpr const char* kMenuMoveTo = "联系人转移到";

} // namespace talmor::text
