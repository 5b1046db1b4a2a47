#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <map>

#include "console/menurules.h"

class QAction;
class QMenu;
class QMenuBar;

namespace talmor {

// The main window's menu: popups of items, each item a command number. When a popup opens,
// every item whose command has a rule gets that rule's enabled state and check mark; items
// without a rule keep theirs. Other parts of the console add their own items and rules.
class MainMenu : public QObject {
    Q_OBJECT
public:
    // Fills `bar` with the window's own popups and items.
    MainMenu(QMenuBar* bar, std::function<MenuState()> state);

    // The popup titled `title`, made when missing: at the end of the bar, before the help popup.
    QMenu* popup(const QString& title);
    // Adds an item with `command` to the popup `title`.
    QAction* addItem(const QString& title, int command, const QString& caption);
    MenuRules& rules() { return rules_; }
    const MenuRules& rules() const { return rules_; }
    QAction* action(int command) const;
    // Applies the rules to every item of `menu` (done whenever a popup opens).
    void applyRules(QMenu* menu) const;

signals:
    void command(int id);

private:
    QMenuBar* bar_;
    std::function<MenuState()> state_;
    MenuRules rules_;
    std::map<QString, QMenu*> popups_;
    std::map<int, QAction*> actions_;
};

} // namespace talmor
