#pragma once

// The console's own texts, exactly as the operator sees them (UTF-8 here; the wire and the data
// files carry GBK).
namespace talmor::text {

inline constexpr char kAppName[] = "TalmorManager";
inline constexpr char kAlreadyRunning[] = "此程序已在您的计算中运行！";
// A start URL from outside names another operator than the one this console was logged in as.
inline constexpr char kSwitchOperatorQuestion[] =
    "本程序已由帐号 %1 登录。外部链接要求以帐号 %2 登录，是否切换帐号？";
inline constexpr char kTrayTooltip[] = "Quorvane社区智能化管理服务系统";

// Message box captions.
inline constexpr char kCaptionNotice[] = "提示";
inline constexpr char kCaptionError[] = "错误";
inline constexpr char kCaptionWarning[] = "警告";

// Login dialog.
inline constexpr char kLoginCaption[] = "准备登录";
inline constexpr char kEnterAccount[] = "请输入您的帐号";
inline constexpr char kSavePassword[] = "保存密码";
inline constexpr char kPrimaryServer[] = "主用服务器";
inline constexpr char kBackupServer[] = "备用服务器";
inline constexpr char kOk[] = "确定";
inline constexpr char kCancel[] = "取消";
inline constexpr char kForgotPassword[] = "忘记密码？";
inline constexpr char kAccountLabel[] = "帐号：";
inline constexpr char kPasswordLabel[] = "密码：";
inline constexpr char kServerLabel[] = "服务器：";

// Login-wait window.
inline constexpr char kWaitCaption[] = "登录验证中...";
inline constexpr char kWaitVerifying[] = "正在验证监控座席身份合法性,请稍候...";
inline constexpr char kWaitRights[] = "正在读取监控座席的权限资料...";
inline constexpr char kWaitGroups[] = "正在读取监控座席的联系组资料...";
inline constexpr char kWaitContacts[] = "正在读取监控座席的通讯列表...";

// Multiple login passwords.
inline constexpr char kMultiPasswordCaption[] = "多重密码";
inline constexpr const char* kMultiPasswordPrompts[4] = {
    "请输入第一级多重登录密码", "请输入第二级多重登录密码", "请输入第三级多重登录密码",
    "请输入第四级多重登录密码"};
inline constexpr const char* kMultiPasswordWrong[4] = {
    "对不起，您所输入的第一级多重密码输入不正确！", "对不起，您所输入的第二级多重密码输入不正确！",
    "对不起，您所输入的第三级多重密码输入不正确！", "对不起，您所输入的第四级多重密码输入不正确！"};

// Agreement.
inline constexpr char kAgreementCaption[] = "协议";
inline constexpr char kAgreementAccept[] = "我同意接受协议，继续操作！";
inline constexpr char kAgreementRefuse[] = "拒绝";

// Replies of the login sequence.
inline constexpr char kWrongPassword[] = "亲爱的用户：您的登录帐号或密码不正确，请重新登录！";
inline constexpr char kUpgradeQuestion[] =
    "Quorvane已有升级版本，为了保障您的通信正常请进行版本升级后再进行通讯。是否现在就更新？";
inline constexpr char kNotOperatorAccount[] =
    "亲爱的用户：您所使用的帐号不属于信息管理类型，无法使用信息管理版本登录！";
inline constexpr char kLoggedInElsewhere[] =
    "亲爱的用户：您的操作帐号已在其它地方登录，本机操作将被强行退出！";
inline constexpr char kServerUnreachable[] =
    "亲爱的用户：无法联接到Quorvane信息平台服务器 "
    "%1，请检查网络后重新登录，或在登录窗口中选择备用服务器！";
inline constexpr char kConnectionLost[] =
    "请注意：您现在的Quorvane信息平台已脱机将无法接收到用户发起的呼叫，请重新联机！";

// Main window.
inline constexpr char kWorkTab[] = "当前操作";
inline constexpr char kConnecting[] = "尝试联接...";
inline constexpr char kKeepsRunning[] =
    "控制台仍在后台运行并接收呼叫。单击通知区域中的图标可以重新打开窗口。";
inline constexpr char kOfflineBanner[] =
    "已脱机：本机收不到新的呼叫，下面列出的呼叫可能已过时，重新联机后列表将更新";
inline constexpr char kStatusUnknown[] = "未知";
inline constexpr char kScopePrefix[] = "监控 ";
inline constexpr char kScopeWholeCountry[] = "监控 全国";
inline constexpr char kScopeLoading[] = "监控 读取中...";
inline constexpr char kProvidersLoading[] = "已注册服务商 读取中...";
inline constexpr char kCustomersLoading[] = "已注册呼叫客户 读取中...";
inline constexpr char kTotalLoading[] = "读取中...";
inline constexpr char kOfflineUserSearch[] =
    "您的状态显示为脱机，请登录到服务器后再进行通讯联系人搜索。";
inline constexpr char kOfflineProviderSearch[] =
    "您的状态显示为脱机，请登录到服务器后再进行服务商搜索。";

// Typed text that GBK cannot hold.
inline constexpr char kNotGbk[] =
    "您输入的字符“%1”无法以本系统使用的中文编码（GBK）保存或发送，已拒绝输入。";

} // namespace talmor::text
