#include "console/qtconsoleui.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>

#include "console/checkpasswddlg.h"
#include "console/logindlg.h"
#include "console/negotiatedlg.h"
#include "kit/texts.h"

namespace talmor {

namespace {
// Boxes show their text as it stands: it often holds a peer's nickname or a subscriber's
// words, and rich text would draw (and open) whatever links they wrote.
int RunBox(QWidget* owner, QMessageBox::Icon icon, const char* caption, const QString& text,
           QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, QString::fromUtf8(caption), text, buttons, owner);
    box.setTextFormat(Qt::PlainText);
    return box.exec();
}

// A box that deletes itself once dismissed, opened without an event loop of its own.
QMessageBox* OpenBox(QWidget* owner, QMessageBox::Icon icon, const QString& text,
                     QMessageBox::StandardButtons buttons,
                     const char* caption = text::kCaptionNotice) {
    auto* box = new QMessageBox(icon, QString::fromUtf8(caption), text, buttons, owner);
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    return box;
}

void OpenQuestion(QMessageBox* box, std::function<void(bool)> answer) {
    QObject::connect(box, &QMessageBox::buttonClicked, box,
                     [box, answer = std::move(answer)](QAbstractButton* button) {
                         answer(box->standardButton(button) == QMessageBox::Yes);
                     });
    box->open();
}
} // namespace

void QtConsoleUi::information(QWidget* owner, const QString& text) {
    RunBox(owner, QMessageBox::Information, text::kCaptionNotice, text, QMessageBox::Ok);
}

void QtConsoleUi::error(QWidget* owner, const QString& text) {
    RunBox(owner, QMessageBox::Critical, text::kCaptionError, text, QMessageBox::Ok);
}

bool QtConsoleUi::question(QWidget* owner, const QString& text) {
    return RunBox(owner, QMessageBox::Question, text::kCaptionNotice, text,
                  QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool QtConsoleUi::warning(QWidget* owner, const QString& text) {
    return RunBox(owner, QMessageBox::Question, text::kCaptionWarning, text,
                  QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void QtConsoleUi::notice(QWidget* owner, const QString& text) {
    OpenBox(owner, QMessageBox::Information, text, QMessageBox::Ok)->open();
}

void QtConsoleUi::ask(QWidget* owner, const QString& text, std::function<void(bool)> answer) {
    OpenQuestion(OpenBox(owner, QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No),
                 std::move(answer));
}

void QtConsoleUi::askSendError(QWidget* owner, const QString& text,
                               std::function<void(bool)> answer) {
    OpenQuestion(
        OpenBox(owner, QMessageBox::Critical, text, QMessageBox::Yes | QMessageBox::No, "发送出错"),
        std::move(answer));
}

bool QtConsoleUi::runLoginDialog(QWidget* owner, WindowRegistry& registry, LoginChoice& choice) {
    CLoginDlg dialog(registry, deployment_, *this, withBrowser_, owner);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    choice = dialog.choice();
    return true;
}

bool QtConsoleUi::runMultiPassword(QWidget* owner, int level, const std::string& expected) {
    CCheckPassWdDlg dialog(level, expected, *this, owner);
    return dialog.exec() == QDialog::Accepted;
}

bool QtConsoleUi::runAgreement(QWidget* owner, const QUrl& page) {
    CNegotiateDlg dialog(page, withBrowser_, owner);
    return dialog.exec() == QDialog::Accepted;
}

void QtConsoleUi::plainMessage(const QString& text) {
    RunBox(nullptr, QMessageBox::NoIcon, text::kAppName, text, QMessageBox::Ok);
}

QString QtConsoleUi::chooseOpenFile(QWidget* owner, const QString& filter) {
    return QFileDialog::getOpenFileName(owner, QString(), QString(), filter);
}

QString QtConsoleUi::chooseSaveFile(QWidget* owner, const QString& proposedName,
                                    const QString& filter) {
    return QFileDialog::getSaveFileName(owner, QString(), proposedName, filter);
}

QString QtConsoleUi::chooseSaveFileOfType(QWidget* owner, const QString& caption,
                                          const QString& proposedName, const QString& filters,
                                          QString& chosenFilter) {
    return QFileDialog::getSaveFileName(owner, caption, proposedName, filters, &chosenFilter);
}

void QtConsoleUi::openInBrowser(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

bool QtConsoleUi::startProgram(const QString& program) {
    const QFileInfo file(program);
    if (!file.isFile() || !file.isExecutable()) {
        return false;
    }
    return QProcess::startDetached(file.absoluteFilePath(), {}, file.absolutePath());
}

void QtConsoleUi::quit() {
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                              Qt::QueuedConnection);
}

} // namespace talmor
