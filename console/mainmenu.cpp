#include "console/mainmenu.h"

#include <QMenu>
#include <QMenuBar>

#include "console/commandids.h"

namespace talmor {

namespace {
const char kSystem[] = "系统(&C)";
const char kCalls[] = "呼叫设置(&S)";
const char kContacts[] = "通讯联系(&L)";
const char kHelp[] = "帮助(&H)";
} // namespace

MainMenu::MainMenu(QMenuBar* bar, std::function<MenuState()> state)
    : QObject(bar), bar_(bar), state_(std::move(state)) {
    const auto u = [](const char* text) { return QString::fromUtf8(text); };
    addItem(u(kSystem), cmd::kShowConsole, u("打开Quorvane信息管理"));
    popup(u(kSystem))->addSeparator();
    addItem(u(kSystem), cmd::kSystemSettings, u("系统设置(&P)"));
    popup(u(kSystem))->addSeparator();
    addItem(u(kSystem), cmd::kExit, u("退出(&E)"));

    addItem(u(kCalls), cmd::kTakeHelpCalls, u("接收求助呼叫"));
    addItem(u(kCalls), cmd::kTakeSosCalls, u("接收求救呼叫"));
    popup(u(kCalls))->addSeparator();
    addItem(u(kCalls), cmd::kHelpReminder, u("求助信息提醒"));
    addItem(u(kCalls), cmd::kSosReminder, u("求救报警提醒"));
    popup(u(kCalls))->addSeparator();
    addItem(u(kCalls), cmd::kJumpToTab, u("自动跳转窗口"));

    addItem(u(kContacts), cmd::kAddSubscriber, u("添加呼叫用户(&C)"));
    addItem(u(kContacts), cmd::kAddProvider, u("添加服务商户(S)"));
    addItem(u(kContacts), cmd::kAddColleague, u("添加Quorvane同事(T)"));
    popup(u(kContacts))->addSeparator();
    addItem(u(kContacts), cmd::kCreateGroup, u("新建通讯联系组"));
    addItem(u(kContacts), cmd::kRenameGroup, u("更名通讯联系组"));
    addItem(u(kContacts), cmd::kDeleteGroup, u("删除通讯联系组"));

    addItem(u(kHelp), cmd::kServiceCentre, u("业务处理中心"));
    addItem(u(kHelp), cmd::kFeatureGuide, u("系统功能简介"));

    for (int toggle : {cmd::kTakeHelpCalls, cmd::kTakeSosCalls, cmd::kHelpReminder,
                       cmd::kSosReminder, cmd::kJumpToTab}) {
        actions_[toggle]->setCheckable(true);
    }
}

QMenu* MainMenu::popup(const QString& title) {
    const auto found = popups_.find(title);
    if (found != popups_.end()) {
        return found->second;
    }
    // The help popup stays last, whoever adds popups later.
    const auto help = popups_.find(QString::fromUtf8(kHelp));
    QMenu* menu = new QMenu(title, bar_);
    if (help != popups_.end()) {
        bar_->insertMenu(help->second->menuAction(), menu);
    } else {
        bar_->addMenu(menu);
    }
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { applyRules(menu); });
    popups_[title] = menu;
    return menu;
}

QAction* MainMenu::addItem(const QString& title, int command, const QString& caption) {
    QAction* item = popup(title)->addAction(caption);
    item->setData(command);
    connect(item, &QAction::triggered, this, [this, command] { emit this->command(command); });
    actions_[command] = item;
    return item;
}

QAction* MainMenu::action(int command) const {
    const auto found = actions_.find(command);
    return found == actions_.end() ? nullptr : found->second;
}

void MainMenu::applyRules(QMenu* menu) const {
    const MenuState state = state_();
    for (QAction* item : menu->actions()) {
        if (item->menu() != nullptr) {
            applyRules(item->menu());
            continue;
        }
        bool ok = false;
        const int command = item->data().toInt(&ok);
        if (!ok) {
            continue;
        }
        if (const auto applied = rules_.apply(command, state)) {
            item->setEnabled(applied->enabled);
            item->setChecked(applied->checked);
        }
    }
}

} // namespace talmor
