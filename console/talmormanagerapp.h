#pragma once

#include <QLockFile>

#include <functional>
#include <memory>
#include <string>

#include "kit/deployment.h"

namespace talmor {

class CTalmorManagerDlg;
class ConsoleUi;
class StartUrlHandover;
struct ConsoleEnvironment;

// The application around the main window: one instance per data folder, the folders, the
// deployment values, the main window and the start URL of the command line.
class CTalmorManagerApp {
public:
    CTalmorManagerApp();
    ~CTalmorManagerApp();
    CTalmorManagerApp(const CTalmorManagerApp&) = delete;
    CTalmorManagerApp& operator=(const CTalmorManagerApp&) = delete;

    // The one application object of the process (null before it exists).
    static CTalmorManagerApp* instance();

    // Puts the panes of the other parts of the console (calls, contacts, messaging) into a new
    // main window and installs their receivers, before the login starts.
    using PartInstaller = std::function<void(CTalmorManagerDlg&)>;

    // Start-up: false ends the process (a second instance, or the operator cancelled the
    // login). `commandLine` is the raw text after the program name; `ui` answers for the
    // operator and `environment` carries the sockets and timers.
    bool InitInstance(const std::string& commandLine, const std::string& executableFolder,
                      ConsoleUi& ui, const ConsoleEnvironment& environment, bool withBrowser,
                      const PartInstaller& installParts);

    // Locks the application folder for this process; false when another process holds it.
    bool lockInstance();
    // A start URL handed over by a second launch (GBK): it logs in when the console is
    // offline, fills and confirms the login dialog when that is open, and only brings the
    // window forward when an operator is logged in. A refused URL changes nothing.
    void receiveStartUrl(const std::string& commandLine);

    CTalmorManagerDlg* mainWindow() const { return window_.get(); }
    const Deployment& deployment() const { return deployment_; }

private:
    // A second launch: its start URL goes to the running console; false ends this process.
    bool handOverStartUrl(const std::string& commandLine, ConsoleUi& ui);

    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<StartUrlHandover> handover_;
    Deployment deployment_;
    std::unique_ptr<CTalmorManagerDlg> window_;
};

} // namespace talmor
