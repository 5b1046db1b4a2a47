#pragma once

#include <QDialog>

#include <cstdint>
#include <string>

#include "protocol/records.h"
#include "protocol/registeredwindow.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace talmor {

class ConsoleHost;
class PhraseMenuPopup;

// The merchant notice: a help call passed on to a merchant. "完成通知" sends the notice (with the
// choice of an SMS of the caller's details to the merchant) and waits, greyed, until the server
// confirms (NoticeDone). One per call, whichever merchant: window type 24 keyed by the call id.
class CSendCallDlg : public QDialog, public RegisteredWindow {
    Q_OBJECT
public:
    static constexpr uint32_t kWindowType = 24;

    // Opens the notice of `call` to `merchantId` unless one is open for the call: tells the
    // operator how to go on, then shows the window. The new window or none.
    static CSendCallDlg* Open(ConsoleHost& window, uint32_t merchantId, const CallRecord& call);

    CSendCallDlg(ConsoleHost& window, uint32_t merchantId, const CallRecord& call);

    // "完成通知".
    void sendNotice();
    // The server recorded the notice: the window says so and closes.
    void NoticeDone();

    uint32_t merchantId() const { return merchantId_; }
    // The value label of template control `id` (1055 ... 1071).
    QString valueText(int id) const;
    QPlainTextEdit* edit() const { return edit_; }
    QCheckBox* smsBox() const { return sms_; }
    QPushButton* noticeButton() const { return notice_; }
    QPushButton* cancelButton() const { return cancel_; }
    PhraseMenuPopup& phrases() { return *phrases_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ConsoleHost& window_;
    uint32_t merchantId_;
    std::string merchantNick_;
    QPixmap banner_;
    QPlainTextEdit* edit_;
    QCheckBox* sms_;
    QPushButton* notice_;
    QPushButton* cancel_;
    PhraseMenuPopup* phrases_;
};

} // namespace talmor
