#pragma once

#include <QMainWindow>

#include <functional>
#include <map>
#include <string>

#include "console/consoleenvironment.h"
#include "console/loginsequence.h"
#include "console/mainmenu.h"
#include "console/operatorstatus.h"
#include "console/systemtray.h"
#include "console/traymenu.h"
#include "kit/consolehost.h"
#include "kit/deployment.h"
#include "kit/listenerrouting.h"
#include "protocol/peersessionmanager.h"
#include "protocol/platformclient.h"
#include "storage/consoleoptions.h"

namespace talmor {

class BackOfficeCommands;
class CallTabStrip;
class CECPBar;
class ClientArea;
class CMyWorkDlg;
class ColorLabel;
class ConsoleUi;
class PaneSlot;
class SkinButton;
class ToolButtonRows;
class WebPane;

// The console's main window and the receiver of every server event. It fills the desktop's
// work area: the button rows, the tab strip with the call panes and the work pane, the contact
// pane on the right, the processing list at the bottom, the notice strip and the status line.
// Its parts do the work: LoginSequence the login, its base ListenerRouting the events of other
// windows, MainMenu the menu rules, CallTabStrip the tabs. The features reach it as their
// ConsoleHost.
class CTalmorManagerDlg : public QMainWindow,
                          public ListenerRouting,
                          public RegisteredWindow,
                          public ConsoleHost {
    Q_OBJECT
public:
    static constexpr uint32_t kWindowType = kMainWindowType;

    // `withBrowser` false leaves the notice strip's page out.
    CTalmorManagerDlg(const ConsoleEnvironment& environment, const Deployment& deployment,
                      ConsoleUi& ui, bool withBrowser);
    ~CTalmorManagerDlg() override;

    // Starts a login: with an id and a password directly, else through the login dialog. False
    // when the operator cancelled the dialog (the console is quitting).
    bool StartLogin(uint32_t operatorId, const std::string& password);
    // Connects to the chosen server asking for `initialStatus`.
    void ConnectToServer(uint32_t initialStatus);
    // The status label and the tray icon show the current status; the tray stops blinking.
    void ShowStatus() { status_.show(); }
    // Shows the pane of the current tab only.
    void SelectTab();
    // Selects the last tab ("当前操作"), shows the work pane and navigates it to `url`.
    void ShowInWorkPane(const QUrl& url) override;
    // Places, fills, shows or hides the quick-action bar beside a hovered row. `row` is the
    // row's rectangle on the screen; `kind` 1 is a contact of the contact list, 2 a row of the
    // processing list, 0 puts the bar away. Texts are GBK.
    void ShowEcpBar(const QRect& row, int kind, bool show, const std::string& phone,
                    uint32_t userId, const std::string& email, uint32_t callId,
                    const std::string& name) override;
    // Puts the bar away when it belongs to a list of `kind` (whose rows moved or went).
    void HideEcpBarOf(int kind) override;

    // The four status commands of the tray.
    void SetOnline() { status_.setOnline(); }
    void SetAway() { status_.setAway(); }
    void SetInvisible() { status_.setInvisible(); }
    void SetOffline() { status_.setOffline(); }

    // A timer of the window fired (1001, 1002, 1003, 1004, 1007, 1008).
    void onTimer(int id);
    // A menu item, button or tray item was chosen.
    void onCommand(int id);
    // Lets another part of the console answer a command of the menu or a button.
    void setCommandHandler(int id, std::function<void()> handler);
    // Removes the tray icon and posts the quit message.
    void quitConsole();
    // Once a login completed: shows the window when hidden and brings it forward; else flashes it.
    void showConsole();

    bool ready() const override { return ready_; }
    // Offline after a login, the status line and a strip over the call panes say that no call
    // comes in and the lists may be out of date, until the next login's lists replace them.
    void setReady(bool ready);
    bool showsStaleLists() const { return !ready_ && wasReady_; }
    ColorLabel& offlineBanner() { return *offlineBanner_; }
    bool quitting() const { return quitting_; }
    bool contactPaneShown() const { return contactPaneShown_; }
    bool processPaneShown() const { return processPaneShown_; }
    uint32_t operatorId() const override { return operatorId_; }
    int serverIndex() const { return serverIndex_; }
    bool savePassword() const { return savePassword_; }
    uint32_t initialStatus() const { return initialStatus_; }
    // "http://" + the back-office host + "/" (set at each login; the deployment's before).
    QString backOfficeBase() const override;
    // The 20 characters the login request carries and the back-office addresses hold as
    // "randnum": made at the first connection of the process and kept until it ends; empty
    // before.
    const std::string& installationId() override { return client().installationId(); }
    const Deployment& deployment() const override { return deployment_; }
    storage::ConsoleOptions& options() override { return options_; }
    EventRoutes& routes() override { return ListenerRouting::routes(); }
    ConsoleUi& ui() override { return ui_; }
    TimerHost& timers() { return timers_; }
    // The direct sessions with other consoles (chat, files, voice, video).
    PeerSessionManager& peers() override { return peers_; }

    // The host's view of the listener's state.
    using ClientListener::contacts;
    using ClientListener::own;
    using ClientListener::seatRights;
    QWidget& mainWidget() override { return *this; }
    PlatformClient& client() override { return ClientListener::client(); }
    WindowRegistry& windows() override { return ClientListener::windows(); }
    const OwnProfile& own() const override { return ClientListener::own(); }
    ContactStore& contacts() override { return ClientListener::contacts(); }
    const SeatRights& seatRights() const override { return ClientListener::seatRights(); }
    const UserRecord* FindUserRecord(uint32_t id) const override {
        return ClientListener::FindUserRecord(id);
    }

    // The host's verbs on the window's menu, panes, status line and tray.
    void addMenuCommand(const QString& menu, int command, const QString& caption,
                        bool onlyWhenReady, std::function<void()> handler) override;
    void setMenuCommandVisible(int command, bool visible) override;
    void placeCategoryPane(int code, QWidget* pane) override;
    void showCategoryTab(int code) override;
    void placeProcessPane(QWidget* pane) override;
    void placeContactPane(QWidget* pane) override;
    QWidget& providerCount() override;
    void setTrayIcon(const QIcon& icon) override { tray_.SetIcon(icon); }

    MainMenu& mainMenu() { return *menu_; }
    MenuState menuState() const;
    TrayMenu& trayMenu() { return trayMenu_; }
    CSystemTray& tray() { return tray_; }
    ToolButtonRows& buttons() { return *buttons_; }
    CallTabStrip& tabStrip() { return *tabs_; }
    ColorLabel& statusLabel() { return *statusLabel_; }
    ColorLabel& scopeLabel() { return *scopeLabel_; }
    ColorLabel& providerLabel() { return *providerLabel_; }
    PaneSlot& contactPane() { return *contactPane_; }
    PaneSlot& processPane() { return *processPane_; }
    SkinButton& contactToggle() { return *contactToggle_; }
    SkinButton& processToggle() { return *processToggle_; }
    WebPane* noticeStrip() const { return noticeStrip_; }
    QWidget& noticeSlot() const { return *noticeSlot_; }
    CMyWorkDlg& workPane();
    CECPBar& ecpBar();
    // The client area's size (the layout's W and H).
    QSize clientSize() const;
    // Places every part for the current client size.
    void relayout() override;
    // A label another part keeps in the status line right of the provider count: while it
    // shows, the notice strip starts after it instead of running under it.
    void setStatusExtra(QWidget* extra) override { statusExtra_ = extra; }
    // Navigates the notice strip for the current width.
    void showNoticeStrip();
    // The login-wait window when one is open.
    class CLoginWaitDlg* loginWait() const;

    // The listener's slots where the window does its own work (LoginSequence for the login, the
    // window itself for status, counters and scope); the others reach their receivers through
    // ListenerRouting.
    void OnContactList(std::vector<ContactEntry> contacts) override;
    void OnLoginReply(const std::string& pw1, const std::string& pw2, const std::string& pw3,
                      const std::string& pw4, uint16_t result, uint32_t accountValue,
                      uint32_t requiredVersion) override;
    void OnLoggedInElsewhere() override { login_.loggedInElsewhere(); }
    void OnGroupList(std::vector<GroupEntry> groups) override;
    void OnOwnProfile() override { login_.ownProfile(); }
    void OnContactOnline(uint32_t id, uint32_t status, uint32_t altAddress, uint16_t altPort,
                         uint16_t messagePort, uint32_t peerAddress, bool fromList) override;
    void OnContactStatus(uint32_t id, uint32_t status) override;
    void OnScopeNotice(const std::string& text) override;
    void OnReminderSchedule(uint32_t enabled, uint32_t minutes) override;
    void OnHelpCalls(std::vector<CallRecord> calls) override;
    void OnSosCalls(std::vector<CallRecord> calls) override;
    void OnHelpTotal(uint32_t count) override;
    void OnSosTotal(uint32_t count) override;
    void OnProviderCount(uint32_t count) override;
    void OnCustomerCount(uint32_t count) override;
    void OnConnected(bool up) override { login_.connected(up); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend class LoginSequence;

    void buildStatusLine();
    void showNoticeStrip(const QUrl& page);
    void togglePane(bool contact);
    void exitCommand();
    void hideToTray();
    void flipOption(int bit);
    void openSearchWizard(uint32_t windowType, const char* offlineMessage);

    ConsoleUi& ui_;
    TimerHost& timers_;
    Deployment deployment_;
    bool withBrowser_;
    PeerSessionManager peers_;
    LoginSequence login_;
    OperatorStatus status_;
    ClientArea* client_;
    ToolButtonRows* buttons_;
    CallTabStrip* tabs_;
    PaneSlot* contactPane_;
    PaneSlot* processPane_;
    QWidget* noticeSlot_;
    WebPane* noticeStrip_ = nullptr;
    ColorLabel* statusLabel_ = nullptr;
    ColorLabel* scopeLabel_ = nullptr;
    ColorLabel* providerLabel_ = nullptr;
    ColorLabel* offlineBanner_ = nullptr;
    QWidget* statusExtra_ = nullptr;
    SkinButton* contactToggle_ = nullptr;
    SkinButton* processToggle_ = nullptr;
    MainMenu* menu_;
    BackOfficeCommands* backOffice_;
    TrayMenu trayMenu_;
    CSystemTray tray_;
    std::map<int, std::function<void()>> handlers_;
    storage::ConsoleOptions options_;

    bool ready_ = false;
    bool wasReady_ = false;
    bool quitting_ = false;
    bool contactPaneShown_ = true;
    bool processPaneShown_ = true;
    bool blinkPhase_ = false;
    bool trayBlinkPhase_ = false;
    bool toldKeepsRunning_ = false;
    uint32_t operatorId_ = 0;
    std::string password_;
    bool savePassword_ = false;
    int serverIndex_ = 0;
    QString backOfficeBase_;
    uint32_t initialStatus_ = 0;
};

} // namespace talmor
