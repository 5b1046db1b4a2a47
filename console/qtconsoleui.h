#pragma once

#include "kit/consoleui.h"
#include "kit/deployment.h"

namespace talmor {

// The console's dialogs and message boxes on screen.
class QtConsoleUi : public ConsoleUi {
public:
    // `withBrowser` false leaves the web panes out (a program without WebEngine pages).
    QtConsoleUi(const Deployment& deployment, bool withBrowser)
        : deployment_(deployment), withBrowser_(withBrowser) {}

    void information(QWidget* owner, const QString& text) override;
    void error(QWidget* owner, const QString& text) override;
    bool question(QWidget* owner, const QString& text) override;
    bool warning(QWidget* owner, const QString& text) override;
    void notice(QWidget* owner, const QString& text) override;
    void ask(QWidget* owner, const QString& text, std::function<void(bool)> answer) override;
    void askSendError(QWidget* owner, const QString& text,
                      std::function<void(bool)> answer) override;
    bool runLoginDialog(QWidget* owner, WindowRegistry& registry, LoginChoice& choice) override;
    bool runMultiPassword(QWidget* owner, int level, const std::string& expected) override;
    bool runAgreement(QWidget* owner, const QUrl& page) override;
    void plainMessage(const QString& text) override;
    QString chooseOpenFile(QWidget* owner, const QString& filter) override;
    QString chooseSaveFile(QWidget* owner, const QString& proposedName,
                           const QString& filter) override;
    QString chooseSaveFileOfType(QWidget* owner, const QString& caption,
                                 const QString& proposedName, const QString& filters,
                                 QString& chosenFilter) override;
    void openInBrowser(const QUrl& url) override;
    bool startProgram(const QString& program) override;
    void quit() override;

private:
    const Deployment& deployment_;
    bool withBrowser_;
};

} // namespace talmor
