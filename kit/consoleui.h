#pragma once

#include <QString>
#include <QUrl>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

class QWidget;

namespace talmor {

class WindowRegistry;

// What the operator chose in the login dialog.
struct LoginChoice {
    uint32_t operatorId = 0;
    std::string password; // GBK
    bool savePassword = false;
    int serverIndex = 0; // 0 primary, 1 backup
};

// Everything the console does that waits for the operator or leaves the program: message
// boxes, the modal login dialogs, the system browser and the updater. The windows use the Qt
// implementation; tests answer in place of the operator.
class ConsoleUi {
public:
    virtual ~ConsoleUi() = default;

    // "提示" with an information icon.
    virtual void information(QWidget* owner, const QString& text) = 0;
    // "错误" with an error icon.
    virtual void error(QWidget* owner, const QString& text) = 0;
    // "提示" with Yes and No and a question icon; true for Yes.
    virtual bool question(QWidget* owner, const QString& text) = 0;
    // "警告" with Yes and No and a question icon, before a destructive step; true for Yes.
    virtual bool warning(QWidget* owner, const QString& text) = 0;
    // The boxes for what the server reports. They are modal to `owner` but return at once: a
    // box that held its caller would hold the datagram being handled, and with it every call,
    // message and keep-alive answer behind it, for as long as the operator leaves it open.
    // "提示" with an information icon.
    virtual void notice(QWidget* owner, const QString& text) = 0;
    // "提示" with Yes and No; `answer` gets true for Yes once the operator has chosen.
    virtual void ask(QWidget* owner, const QString& text, std::function<void(bool)> answer) = 0;
    // As ask, under the caption "发送出错" with an error icon: a message could not be sent.
    virtual void askSendError(QWidget* owner, const QString& text,
                              std::function<void(bool)> answer) {
        ask(owner, text, std::move(answer));
    }

    // The login dialog; false when it was cancelled.
    virtual bool runLoginDialog(QWidget* owner, WindowRegistry& registry, LoginChoice& choice) = 0;
    // The multiple-login password prompt of `level` (1 to 4); false when it was cancelled.
    virtual bool runMultiPassword(QWidget* owner, int level, const std::string& expected) = 0;
    // The agreement showing `page`; true when the operator accepted it.
    virtual bool runAgreement(QWidget* owner, const QUrl& page) = 0;

    // A message with the application's name as its caption and no icon.
    virtual void plainMessage(const QString& text) = 0;

    // The open-file dialog with `filter` (Qt's filter notation); empty when cancelled.
    virtual QString chooseOpenFile(QWidget* owner, const QString& filter) = 0;
    // The save-file dialog proposing `proposedName`; the chosen path, empty when cancelled.
    virtual QString chooseSaveFile(QWidget* owner, const QString& proposedName,
                                   const QString& filter) = 0;
    // The save-file dialog titled `caption` with a choice of `filters` (";;" between them):
    // the chosen path, and in `chosenFilter` the filter the operator left chosen. Empty when
    // cancelled.
    virtual QString chooseSaveFileOfType(QWidget* owner, const QString& caption,
                                         const QString& proposedName, const QString& filters,
                                         QString& chosenFilter) = 0;

    virtual void openInBrowser(const QUrl& url) = 0;
    // Starts `program` detached; false when it is missing or cannot be started.
    virtual bool startProgram(const QString& program) = 0;
    // Posts the quit message: the event loop ends and the process with it.
    virtual void quit() = 0;
};

} // namespace talmor
