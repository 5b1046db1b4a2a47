#pragma once

// Command numbers of the main window's menu, its buttons and the tray menu.
namespace talmor::cmd {

// Main menu "系统(&C)" and the tray menu.
constexpr int kShowConsole = 32830;    // "打开Quorvane信息管理"
constexpr int kExit = 32831;           // "退出(&E)" (main menu)
constexpr int kSystemSettings = 32885; // "系统设置(&P)"
constexpr int kTrayOnline = 32812;
constexpr int kTrayInvisible = 32815;
constexpr int kTrayOffline = 32816;
constexpr int kTrayAwayNoReply = 32817;
constexpr int kTrayShowConsole = 32818;
constexpr int kTrayExit = 32823;
constexpr int kAwayReplyFirst = 40000; // 40000 + n: automatic reply n
constexpr int kAwayReplyHandled = 10;  // 40000 to 40009 answer; later ones do nothing

// Reminder toggles, each flipping an option bit.
constexpr int kTakeHelpCalls = 32882;
constexpr int kTakeSosCalls = 32884;
constexpr int kHelpReminder = 32865;
constexpr int kSosReminder = 32864;
constexpr int kJumpToTab = 32928;

// Contacts and searches.
constexpr int kAddSubscriber = 32843;
constexpr int kAddProvider = 32845;
constexpr int kAddColleague = 32878;
constexpr int kCreateGroup = 32872;
constexpr int kRenameGroup = 32873;
constexpr int kDeleteGroup = 32874;

// Items without a command handler: enabled, they do nothing.
constexpr int kServiceCentre = 33178;
constexpr int kFeatureGuide = 33179;

// Buttons.
constexpr int kButtonBack = 1012;
constexpr int kButtonForward = 1013;
constexpr int kButtonHome = 1014;
constexpr int kButtonRefresh = 1015;
constexpr int kButtonSettings = 1021;
constexpr int kButtonWorkTab = 1022;
constexpr int kButtonDataSite = 1023;
constexpr int kButtonCreateCustomer = 1008;
constexpr int kButtonCreateOperator = 1009;
constexpr int kButtonProcessRecords = 1011;
constexpr int kButtonToggleContacts = 1025;
constexpr int kButtonToggleProcessing = 1026;

} // namespace talmor::cmd
