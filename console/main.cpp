#include <QApplication>
#include <QFont>
#include <QQuickWindow>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "calls/callparts.h"
#include "console/options/optionparts.h"
#include "console/programinfo.h"
#include "console/qtconsoleui.h"
#include "console/qtenvironment.h"
#include "console/qttranslations.h"
#include "console/starturl.h"
#include "console/talmormanagerapp.h"
#include "console/talmormanagerdlg.h"
#include "console/webpane.h"
#include "media/mediaparts.h"
#include "messaging/messagingparts.h"
#include "net/tracelog.h"

int main(int argc, char** argv) {
    // Answered before the application exists, so that they need no display.
    if (const std::optional<std::string> information = talmor::InformationRequested(argc, argv)) {
        std::fputs(information->c_str(), stdout);
        return 0;
    }
    // The embedded browser panes share one GL context with the widgets.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The browser panes draw their frames in software: a desktop without a graphics card would
    // otherwise emulate GL for every frame of the scrolling notice strip, the busiest part of
    // an idle console. QT_QUICK_BACKEND still chooses another.
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND")) {
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName("TalmorManager");
    talmor::SendTracesToQtLog();
    // The console lives on in the tray when its window is closed.
    QApplication::setQuitOnLastWindowClosed(false);
    // Chinese text in one face on every desktop (fonts-noto-cjk).
    QApplication::setFont(QFont("Noto Sans CJK SC", 9));
    // The standard dialogs and the buttons of the message boxes speak the console's language.
    const std::unique_ptr<QTranslator> qtTexts = talmor::InstallQtTranslations();
    if (!qtTexts) {
        std::fprintf(stderr, "talmormanager: Qt's Chinese translations are missing; standard "
                             "dialogs stay in English\n");
    }

    const bool browser =
        talmor::BrowserAllowed(geteuid() == 0, std::getenv("QTWEBENGINE_DISABLE_SANDBOX"));
    if (!browser) {
        std::fprintf(stderr, "talmormanager: run by root: the embedded web pages are left out "
                             "(the browser engine will not run as root with its sandbox)\n");
    }
    talmor::QtEnvironment environment;
    talmor::CTalmorManagerApp app;
    talmor::QtConsoleUi ui(app.deployment(), browser);
    environment.setTimerTarget([&app](int id) {
        if (talmor::CTalmorManagerDlg* window = app.mainWindow()) {
            window->onTimer(id);
        }
    });
    const std::string commandLine = talmor::RawCommandLine(argc, argv);
    talmor::HideStartUrlPassword(argc, argv);
    const std::string folder = QCoreApplication::applicationDirPath().toStdString();
    const auto installParts = [](talmor::CTalmorManagerDlg& window) {
        talmor::InstallCallParts(window);
        talmor::InstallMessagingParts(window);
        talmor::InstallMediaParts(window);
        talmor::InstallOptionParts(window);
    };
    if (!app.InitInstance(commandLine, folder, ui, environment.services(), browser, installParts)) {
        return 0;
    }
    return application.exec();
}
