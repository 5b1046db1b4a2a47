#pragma once

#include <QObject>

#include <cstdint>
#include <string>

#include "kit/ecpbarplacement.h"

namespace talmor {

class CECPBar;
class CMyWorkDlg;
class CTalmorManagerDlg;
class MainMenu;
struct BackOfficePage;

// The main window's web commands: the page commands of the menu and the buttons (one table,
// BackOfficePages), the work pane's navigation buttons, and the quick-action bar with its
// call-out, SMS and e-mail buttons.
class BackOfficeCommands : public QObject {
    Q_OBJECT
public:
    BackOfficeCommands(CTalmorManagerDlg& window, bool withBrowser);

    // Adds the page items and their update rules to the menu.
    void installMenu(MainMenu& menu);
    // Runs `command` when it is one of the web commands; false when it is not.
    bool run(int command);

    void showInWorkPane(const QUrl& url);
    void showEcpBar(const QRect& row, int kind, bool show, const EcpBarValues& values);
    // Puts the bar away when it stands on a row of a list of `kind`: that list's rows moved or
    // went, so the bar would stand beside the wrong row or none.
    void hideEcpBarOf(int kind);

    CMyWorkDlg& workPane() { return *workPane_; }
    CECPBar& ecpBar() { return *ecpBar_; }

private:
    void open(const BackOfficePage& page);
    void ecpPressed(int button, const EcpBarValues& values);

    CTalmorManagerDlg& window_;
    bool withBrowser_;
    CMyWorkDlg* workPane_;
    CECPBar* ecpBar_;
    int ecpKind_ = 0; // the kind of list the shown bar belongs to; 0 while hidden
};

} // namespace talmor
