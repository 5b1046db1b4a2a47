#pragma once

class QWidget;

namespace talmor {

class ConsoleHost;

// The pages of the console options sheet "系统参数", in their order.
enum class OptionPage { System = 0, Sound = 1, Sms = 2 };

// Every way into the options sheet (the menu, button 1021, and the "自定义" items of the phrase
// menus of the report, merchant notice, family SMS and chat windows): runs the sheet modally
// over `owner` on `page`; afterwards, however it was closed, the console's options are
// loaded again from UserOption.db, so that what was confirmed takes effect at once. Before the
// first login (no operator folder yet) it does nothing.
void OpenOptionsSheet(ConsoleHost& host, QWidget* owner, OptionPage page);

} // namespace talmor
