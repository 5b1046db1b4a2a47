#include "console/talmormanagerapp.h"

#include <QDir>
#include <QFileInfo>

#include <cstdlib>

#include "console/appfolders.h"
#include "console/consoleui.h"
#include "console/startupmarks.h"
#include "console/starturl.h"
#include "console/talmormanagerdlg.h"
#include "console/texts.h"

namespace talmor {

namespace {
CTalmorManagerApp* theApp = nullptr;
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
    setApplicationFolders(ChooseApplicationFolder(executableFolder, std::getenv("TALMOR_HOME"),
                                                  std::getenv("XDG_DATA_HOME"), std::getenv("HOME"),
                                                  exe.isWritable()));
    if (!lockInstance()) {
        Mark("already running");
        ui.plainMessage(QString::fromUtf8(text::kAlreadyRunning));
        return false;
    }
    deployment_ = LoadDeployment(
        DeploymentFile(QString::fromStdString(applicationFolder()), std::getenv("TALMOR_CONFIG")));
    window_ = std::make_unique<CTalmorManagerDlg>(environment, deployment_, ui, withBrowser);
    if (installParts) {
        installParts(*window_);
    }
    if (commandLine.empty()) {
        return window_->StartLogin(0, std::string());
    }
    const StartLogin login = ParseStartUrl(commandLine);
    return window_->StartLogin(login.operatorId, login.password);
}

} // namespace talmor
