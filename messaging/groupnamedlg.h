#pragma once

#include <QDialog>

#include <cstdint>
#include <string>

#include "protocol/registeredwindow.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace talmor {

class ConsoleUi;

// What the create and rename dialogs share: a banner, a prompt, the name field (edit 1081), OK
// and Cancel. OK with an empty name shows the dialog's error and stays; otherwise the dialog
// goes into its saving state (prompt changed, controls disabled) and sends its request. The
// server's confirmation then completes it; Cancel (or closing) ends it at any time. A dialog
// that has ended no longer answers to its window type, even before it is destroyed.
class GroupNameDlg : public QDialog, public RegisteredWindow {
    Q_OBJECT
public:
    // Longer names would not fit the request (the field's characters take up to 2 bytes).
    static constexpr int kMaxNameLength = 100;

    struct Texts {
        const char* caption;
        const char* prompt;
        const char* empty;
        const char* saving;
    };

    GroupNameDlg(QWidget* owner, WindowRegistry& registry, uint32_t windowType, ConsoleUi& ui,
                 const Texts& texts, bool createBanner, const QString& initialName);

    // Waiting for the server after OK.
    bool saving() const { return saving_; }
    // The name sent (GBK).
    const std::string& name() const { return name_; }

    QLineEdit& nameEdit() { return *edit_; }
    QLabel& prompt() { return *prompt_; }
    QPushButton& okButton() { return *ok_; }
    QPushButton& cancelButton() { return *cancel_; }

    void accept() override;
    void done(int result) override;

protected:
    // Sends the request with the name (GBK).
    virtual void send(const std::string& name) = 0;

private:
    ConsoleUi& ui_;
    Texts texts_;
    QLabel* prompt_;
    QLineEdit* edit_;
    QPushButton* ok_;
    QPushButton* cancel_;
    bool saving_ = false;
    std::string name_;
};

} // namespace talmor
