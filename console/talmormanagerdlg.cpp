#include "console/talmormanagerdlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QTabBar>
#include <QTimer>

#include <algorithm>
#include <climits>

#include "console/backofficecommands.h"
#include "console/backofficepages.h"
#include "console/calltabstrip.h"
#include "console/clientarea.h"
#include "console/commandids.h"
#include "console/frameplacement.h"
#include "console/loginwaitdlg.h"
#include "console/mainlayout.h"
#include "console/paneslot.h"
#include "console/statustexts.h"
#include "console/toolbuttonrows.h"
#include "console/webpane.h"
#include "kit/appfolders.h"
#include "kit/artwork.h"
#include "kit/categories.h"
#include "kit/consoleui.h"
#include "kit/gbktext.h"
#include "kit/texts.h"
#include "protocol/peersessions.h"
#include "storage/optionstore.h"
#include "storage/textlists.h"
#include "widgets/colorlabel.h"
#include "widgets/skinbutton.h"

namespace talmor {

namespace {

constexpr int kMinWidth = 800;
constexpr int kMinHeight = 550;
constexpr uint32_t kReminderWindowType = 43;
constexpr uint32_t kSubscriberWizard = 29;
constexpr uint32_t kProviderWizard = 32;
constexpr uint32_t kColleagueWizard = 40;
constexpr QSize kContactToggleSize(9, 57);
constexpr QSize kProcessToggleSize(57, 9);

const QColor kStatusBackground(213, 226, 241);
const QColor kScopeText(21, 66, 139);
const QColor kStatusText(255, 102, 0);
const QColor kOfflineBackground(204, 0, 0);
constexpr int kOfflineBannerHeight = 24;
constexpr int kStripGap = 10;

QString Utf8(const std::string& text) {
    return QString::fromUtf8(text.c_str());
}

} // namespace

CTalmorManagerDlg::CTalmorManagerDlg(const ConsoleEnvironment& environment,
                                     const Deployment& deployment, ConsoleUi& ui, bool withBrowser)
    : ListenerRouting(environment.sockets, environment.resolver, environment.timers,
                      environment.clock, environment.random),
      // The host's windows() is virtual and its table is not set yet.
      RegisteredWindow(ClientListener::windows(), kWindowType, 0, 0), ui_(ui),
      timers_(environment.timers), deployment_(deployment), withBrowser_(withBrowser),
      peers_(*this, environment.sockets, environment.clock, environment.timers), login_(*this),
      status_(*this) {
    setPeerSessions(&peers_);
    // Until the capture devices are looked at, a configured video source counts as present.
    client().setVideoCapable(!deployment_.videoSource.isEmpty());
    setWindowTitle(QString::fromUtf8(text::kAppName));
    setWindowIcon(art::AppIcon());
    setMinimumSize(kMinWidth, kMinHeight);
    menu_ = new MainMenu(menuBar(), [this] { return menuState(); });
    connect(menu_, &MainMenu::command, this, &CTalmorManagerDlg::onCommand);

    client_ = new ClientArea(this);
    setCentralWidget(client_);
    buttons_ = new ToolButtonRows(client_);
    connect(buttons_, &ToolButtonRows::command, this, &CTalmorManagerDlg::onCommand);
    connect(buttons_, &ToolButtonRows::logoClicked, this,
            [this] { ui_.openInBrowser(QUrl(deployment_.publicSite + "/")); });
    tabs_ = new CallTabStrip(client_);
    connect(tabs_, &CallTabStrip::tabChosen, this,
            [this](int tab) { tabs_->select(tab, seatRights()); });
    contactPane_ = new PaneSlot(client_);
    processPane_ = new PaneSlot(client_);
    noticeSlot_ = new QWidget(client_);
    buildStatusLine();
    backOffice_ = new BackOfficeCommands(*this, withBrowser_);
    backOffice_->installMenu(*menu_);

    connect(&trayMenu_, &TrayMenu::command, this, &CTalmorManagerDlg::onCommand);
    connect(trayMenu_.menu(), &QMenu::aboutToShow, this, [this] {
        std::vector<std::string> replies;
        if (operatorId_ != 0) {
            storage::LoadAutoReplies(userFolder(), replies);
        }
        trayMenu_.build(operatorId_, replies);
    });
    connect(&tray_, &CSystemTray::showRequested, this, &CTalmorManagerDlg::showConsole);
    tray_.Create(art::StatusIcon(kStatusOnline), QString::fromUtf8(text::kTrayTooltip),
                 trayMenu_.menu());

    PlaceFrame(*this, WorkArea(*this));
    KeepFrameWithinWorkArea(*this);
    connect(client_, &ClientArea::resized, this, &CTalmorManagerDlg::relayout);
    relayout();
    SelectTab();
    // The strip shows the back office's header until the login; made once the event loop runs,
    // so that the login dialog is not kept waiting for the browser engine.
    QTimer::singleShot(0, this, [this] {
        if (noticeStrip_ == nullptr) {
            showNoticeStrip(QUrl(deployment_.backOfficeBase() + "header.html"));
        }
    });
}

CTalmorManagerDlg::~CTalmorManagerDlg() {
    tray_.Remove();
    // The protocol core's offline step needs the window's parts, gone after this destructor.
    client().goOffline();
}

void CTalmorManagerDlg::buildStatusLine() {
    statusLabel_ = new ColorLabel(kStatusText, kStatusBackground, client_);
    statusLabel_->setText(QString::fromUtf8(text::kStatusUnknown));
    statusLabel_->setAlignment(Qt::AlignCenter);
    // The status menu is also here, for desktops without a notification area.
    statusLabel_->setCursor(Qt::PointingHandCursor);
    statusLabel_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(statusLabel_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { trayMenu_.menu()->popup(statusLabel_->mapToGlobal(at)); });
    scopeLabel_ = new ColorLabel(kScopeText, kStatusBackground, client_);
    scopeLabel_->setText(QString::fromUtf8(text::kScopeLoading));
    providerLabel_ = new ColorLabel(kScopeText, kStatusBackground, client_);
    providerLabel_->setText(QString::fromUtf8(text::kProvidersLoading));
    offlineBanner_ = new ColorLabel(Qt::white, kOfflineBackground, client_);
    offlineBanner_->setObjectName("offlineBanner");
    offlineBanner_->setAlignment(Qt::AlignCenter);
    offlineBanner_->setText(QString::fromUtf8(text::kOfflineBanner));
    offlineBanner_->hide();

    contactToggle_ = new SkinButton(client_);
    processToggle_ = new SkinButton(client_);
    art::SkinToggle(*contactToggle_, kContactToggleSize, "arrow_right");
    art::SkinToggle(*processToggle_, kProcessToggleSize, "arrow_down");
    connect(contactToggle_, &SkinButton::clicked, this,
            [this] { onCommand(cmd::kButtonToggleContacts); });
    connect(processToggle_, &SkinButton::clicked, this,
            [this] { onCommand(cmd::kButtonToggleProcessing); });
}

void CTalmorManagerDlg::setReady(bool ready) {
    const bool wasStale = showsStaleLists();
    ready_ = ready;
    wasReady_ = wasReady_ || ready;
    const bool stale = showsStaleLists();
    statusLabel_->setColors(stale ? Qt::white : kStatusText,
                            stale ? kOfflineBackground : kStatusBackground);
    if (stale != wasStale) {
        relayout();
    }
}

QSize CTalmorManagerDlg::clientSize() const {
    return client_->size();
}

void CTalmorManagerDlg::relayout() {
    const QSize size = client_->size();
    const MainGeometry g =
        LayOut(size.width(), size.height(), contactPaneShown_, processPaneShown_, tabs_->rows());
    buttons_->setGeometry(0, 0, size.width(), ToolButtonRows::kHeight);
    tabs_->bar()->setGeometry(g.tabStrip);
    tabs_->bar()->setVisible(tabs_->rows() > 0);
    QRect callArea = g.callArea;
    offlineBanner_->setVisible(showsStaleLists());
    if (showsStaleLists()) {
        offlineBanner_->setGeometry(callArea.left(), callArea.top(), callArea.width(),
                                    kOfflineBannerHeight);
        offlineBanner_->raise();
        callArea.setTop(callArea.top() + kOfflineBannerHeight);
    }
    tabs_->place(callArea);
    contactPane_->setGeometry(g.contactPane);
    contactPane_->setVisible(contactPaneShown_);
    processPane_->setGeometry(g.processPane);
    processPane_->setVisible(processPaneShown_);
    statusLabel_->setGeometry(g.statusLabel);
    scopeLabel_->setGeometry(g.scopeLabel);
    providerLabel_->setGeometry(g.providerLabel);
    // The extra label stands kStripGap right of the provider count.
    QRect strip = g.noticeStrip;
    if (statusExtra_ != nullptr && statusExtra_->isVisibleTo(this)) {
        const int extraRight = g.providerLabel.right() + kStripGap + statusExtra_->width();
        strip.setLeft(std::max(strip.left(), extraRight + 1 + kStripGap));
    }
    noticeSlot_->setGeometry(strip);
    if (noticeStrip_ != nullptr) {
        noticeStrip_->setGeometry(noticeSlot_->rect());
    }
    contactToggle_->setGeometry(g.contactToggle);
    processToggle_->setGeometry(g.processToggle);
    contactToggle_->raise();
    processToggle_->raise();
}

void CTalmorManagerDlg::showNoticeStrip() {
    // Still hidden at the login, the window has not sized its client area yet.
    layout()->activate();
    showNoticeStrip(NoticeStripUrl(backOfficeBase(), clientSize().width()));
}

void CTalmorManagerDlg::showNoticeStrip(const QUrl& page) {
    if (!withBrowser_) {
        return;
    }
    if (noticeStrip_ == nullptr) {
        noticeStrip_ = new WebPane(noticeSlot_);
        noticeStrip_->makeStrip();
        noticeStrip_->setGeometry(noticeSlot_->rect());
        noticeStrip_->show();
    }
    noticeStrip_->navigate(page);
}

QString CTalmorManagerDlg::backOfficeBase() const {
    return backOfficeBase_.isEmpty() ? deployment_.backOfficeBase() : backOfficeBase_;
}

void CTalmorManagerDlg::addMenuCommand(const QString& menu, int command, const QString& caption,
                                       bool onlyWhenReady, std::function<void()> handler) {
    menu_->addItem(menu, command, caption);
    if (onlyWhenReady) {
        menu_->rules().add(command, MenuRule{});
    }
    setCommandHandler(command, std::move(handler));
}

void CTalmorManagerDlg::setMenuCommandVisible(int command, bool visible) {
    menu_->action(command)->setVisible(visible);
}

void CTalmorManagerDlg::placeCategoryPane(int code, QWidget* pane) {
    tabs_->categoryPane(code)->setPane(pane);
}

void CTalmorManagerDlg::showCategoryTab(int code) {
    const int tab = tabs_->tabs().tabOf(code);
    // Selecting the shown tab again would hide and show its pane for nothing.
    if (tab != kNoTab && tab != tabs_->currentTab()) {
        tabs_->select(tab, seatRights());
    }
}

void CTalmorManagerDlg::placeProcessPane(QWidget* pane) {
    processPane_->setPane(pane);
}

void CTalmorManagerDlg::placeContactPane(QWidget* pane) {
    contactPane_->setPane(pane);
}

QWidget& CTalmorManagerDlg::providerCount() {
    return *providerLabel_;
}

void CTalmorManagerDlg::ShowInWorkPane(const QUrl& url) {
    backOffice_->showInWorkPane(url);
}

void CTalmorManagerDlg::ShowEcpBar(const QRect& row, int kind, bool show, const std::string& phone,
                                   uint32_t userId, const std::string& email, uint32_t callId,
                                   const std::string& name) {
    backOffice_->showEcpBar(row, kind, show, {phone, email, userId, callId, name});
}

void CTalmorManagerDlg::HideEcpBarOf(int kind) {
    backOffice_->hideEcpBarOf(kind);
}

CMyWorkDlg& CTalmorManagerDlg::workPane() {
    return backOffice_->workPane();
}

CECPBar& CTalmorManagerDlg::ecpBar() {
    return backOffice_->ecpBar();
}

CLoginWaitDlg* CTalmorManagerDlg::loginWait() const {
    return dynamic_cast<CLoginWaitDlg*>(findWindow(CLoginWaitDlg::kWindowType, 0, 0));
}

bool CTalmorManagerDlg::StartLogin(uint32_t operatorId, const std::string& password) {
    if (operatorId > 0 && !password.empty()) {
        operatorId_ = operatorId;
        password_ = password;
        savePassword_ = false;
        serverIndex_ = 0;
    } else {
        operatorId_ = 0;
        password_.clear();
        LoginChoice choice;
        if (!ui_.runLoginDialog(this, windows(), choice)) {
            quitConsole();
            return false;
        }
        operatorId_ = choice.operatorId;
        password_ = choice.password;
        savePassword_ = choice.savePassword;
        serverIndex_ = choice.serverIndex;
    }
    backOfficeBase_ = deployment_.backOfficeBase();
    setUserFolder(MakeUserFolder(operatorId_));
    own().operatorId = operatorId_;
    own().password = password_;
    ConnectToServer(kStatusOnline);
    if (loginWait() == nullptr) {
        QString animation = QString::fromStdString(applicationFolder()) + "gif/StartProgress.gif";
        if (!QFile::exists(animation)) {
            animation = QString::fromStdString(assetFolder()) + "gif/StartProgress.gif";
        }
        auto* wait = new CLoginWaitDlg(windows(), animation, this);
        connect(wait, &CLoginWaitDlg::dismissed, this, [this] {
            // Without a notification area the console must stay reachable.
            if (!ready_ && !CSystemTray::available()) {
                showMinimized();
            }
        });
        wait->show();
    }
    return true;
}

void CTalmorManagerDlg::ConnectToServer(uint32_t initialStatus) {
    initialStatus_ = initialStatus;
    timers_.startTimer(kTrayBlinkTimer, kTrayBlinkMs);
    statusLabel_->setText(QString::fromUtf8(text::kConnecting));
    statusLabel_->repaint();
    client().ConnectToServer(initialStatus, deployment_.server(serverIndex_).toStdString(),
                             deployment_.port);
}

void CTalmorManagerDlg::SelectTab() {
    tabs_->select(tabs_->currentTab(), seatRights());
}

void CTalmorManagerDlg::onTimer(int id) {
    switch (id) {
    case kRetransmitTimer:
    case kKeepAliveTimer:
    case kReconnectTimer:
        client().onTimer(id);
        break;
    case kHelloSweepTimer:
        peers_.onTimer(id);
        break;
    case kTrayBlinkTimer:
        trayBlinkPhase_ = !trayBlinkPhase_;
        tray_.SetIcon(art::StatusIcon(trayBlinkPhase_ ? kStatusOffline : kStatusOnline));
        break;
    case kReminderTimer:
        if (findWindow(kReminderWindowType, 0, 0) == nullptr) {
            routeReminderDue();
        }
        break;
    case kTabBlinkTimer:
        tabs_->blink(blinkPhase_, [this](int code) { return callRowCount(code); });
        blinkPhase_ = !blinkPhase_;
        break;
    default:
        break;
    }
}

void CTalmorManagerDlg::setCommandHandler(int id, std::function<void()> handler) {
    handlers_[id] = std::move(handler);
}

void CTalmorManagerDlg::onCommand(int id) {
    const auto handler = handlers_.find(id);
    if (handler != handlers_.end()) {
        handler->second();
        return;
    }
    if (backOffice_->run(id)) {
        return;
    }
    if (const int bit = menu_->rules().toggledBit(id); bit >= 0) {
        flipOption(bit);
        return;
    }
    if (id >= cmd::kAwayReplyFirst && id < cmd::kAwayReplyFirst + cmd::kAwayReplyHandled) {
        status_.awayReply(id);
        return;
    }
    switch (id) {
    case cmd::kTrayOnline:
        SetOnline();
        break;
    case cmd::kTrayAwayNoReply:
        status_.awayReply(id);
        break;
    case cmd::kTrayInvisible:
        SetInvisible();
        break;
    case cmd::kTrayOffline:
        SetOffline();
        break;
    case cmd::kTrayShowConsole:
    case cmd::kShowConsole:
        showConsole();
        break;
    case cmd::kTrayExit:
    case cmd::kExit:
        exitCommand();
        break;
    case cmd::kButtonWorkTab:
        tabs_->selectWorkTab(seatRights());
        break;
    case cmd::kButtonToggleContacts:
        togglePane(true);
        break;
    case cmd::kButtonToggleProcessing:
        togglePane(false);
        break;
    case cmd::kAddSubscriber:
        openSearchWizard(kSubscriberWizard, text::kOfflineUserSearch);
        break;
    case cmd::kAddProvider:
        openSearchWizard(kProviderWizard, text::kOfflineProviderSearch);
        break;
    case cmd::kAddColleague:
        openSearchWizard(kColleagueWizard, nullptr);
        break;
    case cmd::kCreateGroup:
    case cmd::kRenameGroup:
    case cmd::kDeleteGroup:
        if (ContactReceiver* contacts = routes().contacts) {
            id == cmd::kCreateGroup   ? contacts->createGroup()
            : id == cmd::kRenameGroup ? contacts->renameGroup()
                                      : contacts->deleteGroup();
        } else {
            ReportUnrouted("group command", static_cast<uint32_t>(id));
        }
        break;
    case cmd::kServiceCentre:
    case cmd::kFeatureGuide:
    case cmd::kAwayReplyFirst + cmd::kAwayReplyHandled:
        break;
    default:
        ReportUnrouted("command", static_cast<uint32_t>(id));
        break;
    }
}

void CTalmorManagerDlg::openSearchWizard(uint32_t windowType, const char* offlineMessage) {
    if (offlineMessage != nullptr && own().status == kStatusOffline) {
        ui_.information(this, QString::fromUtf8(offlineMessage));
        return;
    }
    if (routes().search == nullptr) {
        ReportUnrouted("search wizard", windowType);
        return;
    }
    routes().search->openSearchWizard(windowType);
}

void CTalmorManagerDlg::flipOption(int bit) {
    options_.setBit(bit, !options_.bit(bit));
    storage::SaveOptions(userFolder(), options_);
    storage::LoadOptions(userFolder(), options_);
}

void CTalmorManagerDlg::togglePane(bool contact) {
    if (contact) {
        ShowEcpBar(QRect(), EcpBarPlacement::kHide, false, {}, 0, {}, 0, {});
        contactPaneShown_ = !contactPaneShown_;
        art::SkinToggle(*contactToggle_, kContactToggleSize,
                        contactPaneShown_ ? "arrow_right" : "arrow_left");
    } else {
        processPaneShown_ = !processPaneShown_;
        art::SkinToggle(*processToggle_, kProcessToggleSize,
                        processPaneShown_ ? "arrow_down" : "arrow_up");
    }
    relayout();
}

MenuState CTalmorManagerDlg::menuState() const {
    MenuState state;
    state.ready = ready_;
    state.rights = &seatRights();
    state.scopeKind = own().record.scopeKind;
    state.optionBits = options_.bits;
    if (const ContactReceiver* contacts = ListenerRouting::routes().contacts) {
        state.groupCount = contacts->groupCount();
        state.selectedGroup = contacts->selectedGroup();
    }
    return state;
}

void CTalmorManagerDlg::showConsole() {
    // Before the first login completes there is no console to show yet; after it, the window
    // comes back whether or not the operator is online now, and comes forward when it was
    // only behind other windows.
    if (ready_ || wasReady_) {
        if (!isVisible() || isMinimized()) {
            Restore(*this);
        }
        raise();
        activateWindow();
        return;
    }
    QApplication::alert(this);
}

void CTalmorManagerDlg::exitCommand() {
    const std::string question =
        QuitQuestionText(callRowCount(kSosCategory), callRowCount(kHelpCategory));
    if (!question.empty() && !ui_.question(this, Utf8(question))) {
        return;
    }
    SetOffline();
    quitConsole();
}

void CTalmorManagerDlg::quitConsole() {
    tray_.Remove();
    quitting_ = true;
    ui_.quit();
}

void CTalmorManagerDlg::hideToTray() {
    switch (ChooseCloseAction(CSystemTray::available(), toldKeepsRunning_)) {
    case CloseAction::Minimise:
        showMinimized();
        break;
    case CloseAction::Hide:
        hide();
        break;
    case CloseAction::HideAndTell:
        hide();
        toldKeepsRunning_ = tray_.ShowMessage(QString::fromUtf8(text::kAppName),
                                              QString::fromUtf8(text::kKeepsRunning));
        break;
    }
}

void CTalmorManagerDlg::closeEvent(QCloseEvent* event) {
    if (quitting_) {
        event->accept();
        return;
    }
    event->ignore();
    hideToTray();
}

void CTalmorManagerDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Keys that a list, an edit or a page left unused reach this window too: they hide the
        // console only when the window itself has the focus.
        if (focusWidget() == nullptr || focusWidget() == this) {
            hideToTray();
            return;
        }
        break;
    default:
        break;
    }
    QMainWindow::keyPressEvent(event);
}

// Listener operations.

void CTalmorManagerDlg::OnLoginReply(const std::string& pw1, const std::string& pw2,
                                     const std::string& pw3, const std::string& pw4,
                                     uint16_t result, uint32_t accountValue,
                                     uint32_t requiredVersion) {
    login_.loginReply({pw1, pw2, pw3, pw4}, result, accountValue, requiredVersion);
}

void CTalmorManagerDlg::OnGroupList(std::vector<GroupEntry> groups) {
    routeGroupList(groups);
    login_.groupList();
    ClientListener::OnGroupList(std::move(groups));
}

void CTalmorManagerDlg::OnContactList(std::vector<ContactEntry> contacts) {
    // The base stores the records; the contact pane then files them in their groups. Only the
    // first datagram of a login's contact list completes the login.
    const bool completes = !client().loginComplete();
    const std::vector<ContactEntry> entries = contacts;
    ClientListener::OnContactList(std::move(contacts));
    routeContactsLoaded(entries);
    if (completes) {
        login_.complete();
    }
}

void CTalmorManagerDlg::OnContactOnline(uint32_t id, uint32_t status, uint32_t altAddress,
                                        uint16_t altPort, uint16_t messagePort,
                                        uint32_t peerAddress, bool fromList) {
    // Only online and away are presence; another value would count an offline contact online.
    if (status != kStatusOnline && status != kStatusAway) {
        return;
    }
    storePresence(id, status, altAddress, altPort, messagePort, peerAddress);
    routeContactOnline(id, status, fromList);
}

void CTalmorManagerDlg::OnContactStatus(uint32_t id, uint32_t status) {
    if (status != kStatusOnline && status != kStatusAway) {
        return;
    }
    if (ContactRecord* contact = contacts().find(id)) {
        contact->status = status;
    }
    routeContactStatus(id, status);
}

void CTalmorManagerDlg::OnScopeNotice(const std::string& text) {
    scopeLabel_->setText(FromGbk(ScopeNoticeText(text)));
}

void CTalmorManagerDlg::OnReminderSchedule(uint32_t enabled, uint32_t minutes) {
    if (enabled == 1) {
        // A period beyond what a timer holds (some 24 days) is cut to that.
        const uint64_t period = std::min<uint64_t>(uint64_t{minutes} * 60000, INT_MAX);
        timers_.startTimer(kReminderTimer, static_cast<int>(period));
    }
}

void CTalmorManagerDlg::OnHelpCalls(std::vector<CallRecord> calls) {
    if (options_.bit(storage::kOptionTakeHelpCalls)) {
        routeCallList(ListCursors::kHelp, std::move(calls));
    }
}

void CTalmorManagerDlg::OnSosCalls(std::vector<CallRecord> calls) {
    if (options_.bit(storage::kOptionTakeSosCalls)) {
        routeCallList(ListCursors::kSos, std::move(calls));
    }
}

void CTalmorManagerDlg::OnHelpTotal(uint32_t count) {
    buttons_->setLabelText(1071, Utf8(HelpTotalText(count)));
}

void CTalmorManagerDlg::OnSosTotal(uint32_t count) {
    buttons_->setLabelText(1070, Utf8(SosTotalText(count)));
}

void CTalmorManagerDlg::OnProviderCount(uint32_t count) {
    providerLabel_->setText(Utf8(ProviderCountText(count)));
    providerLabel_->repaint();
}

void CTalmorManagerDlg::OnCustomerCount(uint32_t count) {
    buttons_->setLabelText(1078, Utf8(CustomerCountText(count)));
}

} // namespace talmor
