#include "console/traymenu.h"

#include <QMenu>

#include "console/commandids.h"
#include "console/statustexts.h"
#include "kit/gbktext.h"

namespace talmor {

TrayMenu::TrayMenu(QObject* parent) : QObject(parent), menu_(new QMenu) {}

TrayMenu::~TrayMenu() {
    delete menu_;
}

void TrayMenu::build(uint32_t operatorId, const std::vector<std::string>& replies) {
    // The submenu is a child of the menu: clearing the menu alone would keep it.
    delete away_;
    away_ = nullptr;
    menu_->clear();
    const auto item = [this](QMenu* into, const QString& caption, int id) {
        QAction* action = into->addAction(caption);
        action->setData(id);
        connect(action, &QAction::triggered, this, [this, id] { emit command(id); });
        return action;
    };
    QAction* online = item(menu_, QString::fromUtf8("联机"), cmd::kTrayOnline);
    away_ = menu_->addMenu(QString::fromUtf8("离开"));
    QAction* noReply = item(away_, QString::fromUtf8("无回复信息"), cmd::kTrayAwayNoReply);
    QAction* invisible = item(menu_, QString::fromUtf8("隐身"), cmd::kTrayInvisible);
    QAction* offline = item(menu_, QString::fromUtf8("脱机"), cmd::kTrayOffline);
    menu_->addSeparator();
    item(menu_, QString::fromUtf8("打开Quorvane管理后台"), cmd::kTrayShowConsole);
    menu_->addSeparator();
    item(menu_, QString::fromUtf8("退出(&E)"), cmd::kTrayExit);
    if (operatorId == 0) {
        for (QAction* status : {online, invisible, offline, noReply}) {
            status->setEnabled(false);
        }
        return;
    }
    const std::vector<AwayEntry> entries = AwayEntries(replies);
    if (!entries.empty()) {
        away_->addSeparator();
    }
    for (const AwayEntry& entry : entries) {
        QAction* reply = item(away_, FromGbk(entry.shown), entry.command);
        // An '&' of a reply is text, not a shortcut mark.
        reply->setText(reply->text().replace('&', "&&"));
    }
}

} // namespace talmor
