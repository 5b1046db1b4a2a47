#pragma once

#include <QObject>

#include <cstdint>
#include <string>

#include "console/ecpbarplacement.h"

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

    CMyWorkDlg& workPane() { return *workPane_; }
    CECPBar& ecpBar() { return *ecpBar_; }

private:
    void open(const BackOfficePage& page);
    void ecpPressed(int button, const EcpBarValues& values);

    CTalmorManagerDlg& window_;
    bool withBrowser_;
    CMyWorkDlg* workPane_;
    CECPBar* ecpBar_;
};

} // namespace talmor
