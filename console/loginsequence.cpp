#include "console/loginsequence.h"

#include <QDir>
#include <QTimer>

#include "console/calltabstrip.h"
#include "console/frameplacement.h"
#include "console/loginwaitdlg.h"
#include "console/statustexts.h"
#include "console/talmormanagerdlg.h"
#include "console/toolbuttonrows.h"
#include "kit/appfolders.h"
#include "kit/consoleui.h"
#include "kit/gbktext.h"
#include "kit/startupmarks.h"
#include "kit/texts.h"
#include "storage/optionstore.h"
#include "storage/textlists.h"
#include "widgets/colorlabel.h"

namespace talmor {

namespace {
constexpr int kConnectionLostSound = 2;
} // namespace

void LoginSequence::later(std::function<void()> step) {
    QTimer::singleShot(0, &window_, std::move(step));
}

void LoginSequence::loginReply(const std::array<std::string, 4>& passwords, uint16_t result,
                               uint32_t accountValue, uint32_t requiredVersion) {
    switch (loginVerdict(result, requiredVersion)) {
    case LoginVerdict::WrongPassword:
        // Timers 1001 and 1002 stop and the session logs out at once, with the listener base.
        window_.ClientListener::OnLoginReply(passwords[0], passwords[1], passwords[2], passwords[3],
                                             result, accountValue, requiredVersion);
        later([this] { wrongPassword(); });
        return;
    case LoginVerdict::NeedsUpgrade:
        window_.ClientListener::OnLoginReply(passwords[0], passwords[1], passwords[2], passwords[3],
                                             result, accountValue, requiredVersion);
        later([this] { needsUpgrade(); });
        return;
    case LoginVerdict::Proceed:
        later([=] { proceed(passwords, result, accountValue, requiredVersion); });
        return;
    }
}

void LoginSequence::proceed(const std::array<std::string, 4>& passwords, uint16_t result,
                            uint32_t accountValue, uint32_t requiredVersion) {
    for (int level = 1; level <= 4; ++level) {
        const std::string& expected = passwords[static_cast<std::size_t>(level - 1)];
        if (!expected.empty() && !window_.ui().runMultiPassword(&window_, level, expected)) {
            window_.client().rejectLogin();
            window_.quitConsole();
            return;
        }
    }
    if (window_.loginWait() != nullptr) {
        storage::RememberAccount(applicationFolder(), window_.operatorId());
        setWaitText(text::kWaitRights);
    }
    loadOptions();
    window_.ClientListener::OnLoginReply(passwords[0], passwords[1], passwords[2], passwords[3],
                                         result, accountValue, requiredVersion);
}

void LoginSequence::wrongPassword() {
    window_.timers().stopTimer(kTrayBlinkTimer);
    destroyWaitWindow();
    window_.ui().information(&window_, QString::fromUtf8(text::kWrongPassword));
    window_.StartLogin(0, std::string());
}

void LoginSequence::needsUpgrade() {
    const bool update = window_.ui().question(&window_, QString::fromUtf8(text::kUpgradeQuestion));
    window_.quitConsole();
    if (update) {
        QString program = window_.deployment().updater;
        if (QDir::isRelativePath(program)) {
            program = QString::fromStdString(applicationFolder()) + program;
        }
        window_.ui().startProgram(program);
    }
}

void LoginSequence::loadOptions() {
    storage::ConsoleOptions& options = window_.options();
    storage::LoadOptionsOrDefaults(applicationFolder(), userFolder(), options);
    options.setBit(storage::kOptionSavePassword, window_.savePassword());
    options.setBit(storage::kOptionBackupServer, window_.serverIndex() == 1);
    storage::SaveOptions(userFolder(), options);
    window_.client().setAutoReconnect(options.bit(storage::kOptionAutoReconnect));
}

void LoginSequence::ownProfile() {
    const OwnProfile& own = window_.own();
    storage::AccountRecord account;
    account.id = own.operatorId;
    account.nick = own.record.nick;
    account.typeCode = own.record.typeCode;
    account.age = own.record.age;
    account.sex = own.record.sex;
    account.profileText = own.record.profileText;
    account.pictureIndex = own.record.pictureIndex;
    account.extraText = own.record.extraText;
    // The password reaches the disk only when the operator asked to save it.
    account.password = window_.savePassword() ? own.password : std::string();
    account.profileFlag = own.profileFlag;
    storage::SaveAccountRecord(userFolder(), account);
    if (own.record.typeCode != "S") {
        later([this] {
            window_.ui().error(&window_, QString::fromUtf8(text::kNotOperatorAccount));
            window_.quitConsole();
        });
        return;
    }
    window_.buttons().applyRights(window_.seatRights());
    setWaitText(text::kWaitGroups);
    window_.ClientListener::OnOwnProfile();
}

void LoginSequence::groupList() {
    setWaitText(text::kWaitContacts);
}

void LoginSequence::complete() {
    destroyWaitWindow();
    const OwnProfile& own = window_.own();
    window_.setWindowTitle(FromGbk(own.record.nick));
    window_.tray().SetTooltip(QString::fromUtf8(text::kTrayTooltip));
    window_.ShowStatus();
    window_.setReady(true);
    if (own.record.scopeKind == 0) {
        window_.scopeLabel().setText(FromGbk(AreaScopeText(own.record)));
    } else {
        window_.client().getScopeNotice();
    }
    window_.tabStrip().rebuild(window_.seatRights());
    window_.relayout();
    window_.SelectTab();
    // Shown first: the notice strip's page is as wide as what the window's frame leaves.
    ShowOnWorkArea(window_);
    window_.showNoticeStrip();
    requestFirstData();
    Mark("ready");
    later([this] { checkAgreement(); });
}

void LoginSequence::requestFirstData() {
    PlatformClient& client = window_.client();
    client.getReminder();
    window_.blinkPhase_ = true;
    window_.timers().startTimer(kTabBlinkTimer, kTabBlinkMs);
    client.getCount2();
    client.getTotal1();
    client.getTotal2();
    client.getCount1();
    window_.routeListsRequested();
    for (int list = 0; list < ListCursors::kCount; ++list) {
        client.cursors().set(list, 0);
        client.getCallList(list, 0);
    }
}

void LoginSequence::checkAgreement() {
    storage::ConsoleOptions& options = window_.options();
    if (options.bit(storage::kOptionAgreementAccepted)) {
        return;
    }
    const QUrl page(window_.deployment().publicSite + "/soft/Negotiate.htm");
    if (!window_.ui().runAgreement(&window_, page)) {
        window_.quitConsole();
        return;
    }
    options.setBit(storage::kOptionAgreementAccepted, true);
    storage::SaveOptions(userFolder(), options);
}

void LoginSequence::loggedInElsewhere() {
    window_.client().stopKeepAlive();
    later([this] {
        window_.ui().information(&window_, QString::fromUtf8(text::kLoggedInElsewhere));
        window_.quitConsole();
    });
}

void LoginSequence::connected(bool up) {
    if (up) {
        return;
    }
    // The protocol core has gone offline already (status 1, timers 1001 and 1002 stopped).
    const LinkLoss loss = window_.client().lastLinkLoss();
    window_.ShowStatus();
    if (loss == LinkLoss::RetryLater) {
        // The server is still away; the protocol core tries again after a wait, and the tray
        // keeps showing that the console connects.
        showReconnecting();
        Mark("login again later");
        return;
    }
    if (loss == LinkLoss::WhileOffline) {
        // The login the operator waits for was never answered (or its server name never
        // resolved): say so, and let the operator try again or choose the backup server.
        if (window_.loginWait() != nullptr) {
            destroyWaitWindow();
            later([this] { serverUnreachable(); });
        }
        return;
    }
    window_.routeSound(kConnectionLostSound);
    window_.setReady(false);
    window_.routeAllOffline();
    Mark("connection lost");
    if (loss == LinkLoss::Reconnecting) {
        // The protocol core connects again right after this returns.
        showReconnecting();
        return;
    }
    later([this] { window_.ui().error(&window_, QString::fromUtf8(text::kConnectionLost)); });
}

void LoginSequence::showReconnecting() {
    window_.timers().startTimer(kTrayBlinkTimer, kTrayBlinkMs);
    window_.statusLabel().setText(QString::fromUtf8(text::kConnecting));
}

void LoginSequence::serverUnreachable() {
    PlatformClient& client = window_.client();
    const QString address =
        QString::fromStdString(client.serverHost()) + ':' + QString::number(client.serverPort());
    window_.ui().error(&window_, QString::fromUtf8(text::kServerUnreachable).arg(address));
    window_.StartLogin(0, std::string());
}

void LoginSequence::setWaitText(const char* text) {
    if (CLoginWaitDlg* wait = window_.loginWait()) {
        wait->setProgressText(QString::fromUtf8(text));
    }
}

void LoginSequence::destroyWaitWindow() {
    if (CLoginWaitDlg* wait = window_.loginWait()) {
        // Unregistered at once, so that a new login finds no wait window; deleted at once too.
        delete wait;
    }
}

} // namespace talmor
