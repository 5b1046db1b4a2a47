#include "console/talmormanagerapp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

#include <cstdlib>

#include "console/logindlg.h"
#include "console/starturl.h"
#include "console/starturlhandover.h"
#include "console/talmormanagerdlg.h"
#include "kit/appfolders.h"
#include "kit/consoleui.h"
#include "kit/gbktext.h"
#include "kit/startupmarks.h"
#include "kit/texts.h"
#include "storage/datafiles.h"
#include "storage/partfiles.h"

namespace talmor {

namespace {
CTalmorManagerApp* theApp = nullptr;
// How long a second launch waits for the running console to take its start URL.
constexpr int kHandoverTimeoutMs = 5000;
} // namespace

CTalmorManagerApp::CTalmorManagerApp() {
    theApp = this;
}

CTalmorManagerApp::~CTalmorManagerApp() {
    window_.reset();
    if (theApp == this) {
        theApp = nullptr;
    }
}

CTalmorManagerApp* CTalmorManagerApp::instance() {
    return theApp;
}

bool CTalmorManagerApp::lockInstance() {
    const QString folder = QString::fromStdString(applicationFolder());
    QDir().mkpath(folder);
    lock_ = std::make_unique<QLockFile>(folder + text::kAppName + ".lock");
    // A lock left by a process that died is taken over.
    lock_->setStaleLockTime(0);
    return lock_->tryLock(0);
}

bool CTalmorManagerApp::InitInstance(const std::string& commandLine,
                                     const std::string& executableFolder, ConsoleUi& ui,
                                     const ConsoleEnvironment& environment, bool withBrowser,
                                     const PartInstaller& installParts) {
    const QFileInfo exe(QString::fromStdString(executableFolder));
    const bool inPlace =
        RunsInPlace(executableFolder, exe.isWritable(), {TALMOR_BUILD_TREE, TALMOR_SOURCE_TREE});
    setApplicationFolders(ChooseApplicationFolder(executableFolder, std::getenv("TALMOR_HOME"),
                                                  std::getenv("XDG_DATA_HOME"), std::getenv("HOME"),
                                                  inPlace));
    if (!lockInstance()) {
        return handOverStartUrl(commandLine, ui);
    }
    // Files a console killed in the middle of receiving left under temporary names.
    storage::PartFiles(storage::JoinPath(applicationFolder(), storage::kPartFilesLedger))
        .removeLeftovers();
    deployment_ = LoadDeployment(
        DeploymentFile(QString::fromStdString(applicationFolder()), std::getenv("TALMOR_CONFIG")));
    window_ = std::make_unique<CTalmorManagerDlg>(environment, deployment_, ui, withBrowser);
    if (installParts) {
        installParts(*window_);
    }
    handover_ = std::make_unique<StartUrlHandover>();
    if (!handover_->listen(StartUrlHandover::ServerName(applicationFolder()),
                           [this](const std::string& line) { receiveStartUrl(line); })) {
        Mark("start URL hand-over unavailable");
    }
    if (commandLine.empty()) {
        return window_->StartLogin(0, std::string());
    }
    const StartUrlReading url = ReadStartUrl(commandLine);
    if (!url.refusal.isEmpty()) {
        // Refused, the login dialog comes as for any URL that names no login.
        Mark("start URL refused");
        ui.error(window_.get(), url.refusal);
    }
    const StartLogin login = ParseStartUrl(url.gbk);
    return window_->StartLogin(login.operatorId, login.password);
}

bool CTalmorManagerApp::handOverStartUrl(const std::string& commandLine, ConsoleUi& ui) {
    if (!commandLine.empty()) {
        const StartUrlReading url = ReadStartUrl(commandLine);
        if (!url.refusal.isEmpty()) {
            Mark("start URL refused");
            ui.error(nullptr, url.refusal);
            return false;
        }
        if (StartUrlHandover::handOver(StartUrlHandover::ServerName(applicationFolder()), url.gbk,
                                       kHandoverTimeoutMs)) {
            Mark("start URL handed over");
            return false;
        }
    }
    Mark("already running");
    ui.plainMessage(QString::fromUtf8(text::kAlreadyRunning));
    return false;
}

void CTalmorManagerApp::receiveStartUrl(const std::string& commandLine) {
    if (window_ == nullptr || CheckStartUrl(commandLine) != StartUrlProblem::None) {
        Mark("handed-over start URL refused");
        if (window_ != nullptr) {
            window_->showConsole();
        }
        return;
    }
    const StartLogin login = ParseStartUrl(commandLine);
    if (auto* dialog =
            dynamic_cast<CLoginDlg*>(window_->findWindow(CLoginDlg::kWindowType, 0, 0))) {
        Mark("handed-over start URL fills the login dialog");
        dialog->accountBox()->setCurrentText(QString::number(login.operatorId));
        dialog->passwordEdit()->setText(FromGbk(login.password));
        dialog->savePasswordBox()->setChecked(false);
        dialog->serverBox()->setCurrentText(QString::fromUtf8(text::kPrimaryServer));
        dialog->accept();
        return;
    }
    if (window_->ready() || window_->loginWait() != nullptr) {
        Mark("handed-over start URL: a login is on");
        window_->showConsole();
        return;
    }
    // A link from a web page or another program never switches a console to another operator
    // behind the operator's back.
    const uint32_t current = window_->operatorId();
    if (current != 0 && current != login.operatorId) {
        Mark("handed-over start URL asks to switch the operator");
        window_->showConsole();
        const QString question =
            QString::fromUtf8(text::kSwitchOperatorQuestion).arg(current).arg(login.operatorId);
        window_->ui().ask(window_.get(), question, [this, login](bool yes) {
            if (yes && window_ != nullptr && !window_->ready() && window_->loginWait() == nullptr) {
                window_->StartLogin(login.operatorId, login.password);
            }
        });
        return;
    }
    Mark("handed-over start URL logs in");
    window_->StartLogin(login.operatorId, login.password);
}

} // namespace talmor
