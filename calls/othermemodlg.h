#pragma once

#include <QDialog>

#include <cstdint>
#include <string>

#include "protocol/records.h"
#include "protocol/registeredwindow.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace talmor {

class ConsoleHost;
class PhraseMenuPopup;

// "填写呼叫处理情况": the handling report of one call. 确定 sends it and greys the window until
// the server confirms (ReportSaved); there is no time-out, the frame still closes it. One per
// call: window type 44 keyed by the call id.
class COtherMemoDlg : public QDialog, public RegisteredWindow {
    Q_OBJECT
public:
    static constexpr uint32_t kWindowType = 44;

    // Opens the report window of `call` unless one is open for it; the new window or none.
    static COtherMemoDlg* Open(ConsoleHost& window, const CallRecord& call);

    // `name` and `phone` are GBK. The window deletes itself when it closes.
    COtherMemoDlg(ConsoleHost& window, uint32_t callId, const std::string& name,
                  const std::string& phone, uint32_t callTime, uint32_t category);

    // The server recorded the report: the window says so and closes.
    void ReportSaved();
    // 确定: sends the report and waits, greyed.
    void sendReport();

    QPlainTextEdit* edit() const { return edit_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    QLabel* titleLabel() const { return title_; }
    PhraseMenuPopup& phrases() { return *phrases_; }

private:
    ConsoleHost& window_;
    QLabel* title_;
    QPlainTextEdit* edit_;
    QPushButton* ok_;
    QPushButton* cancel_;
    PhraseMenuPopup* phrases_;
};

} // namespace talmor
