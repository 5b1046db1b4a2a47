#pragma once

#include <QDialog>

#include "kit/consoleui.h"
#include "kit/deployment.h"
#include "protocol/registeredwindow.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace talmor {

class CHeaderDlg;
class GbkGuard;

// "准备登录": account, password, "保存密码" and the server, with the accounts remembered in
// HistoryUser.dat. Choosing an account loads what its options remember (password, server).
class CLoginDlg : public QDialog, public RegisteredWindow {
    Q_OBJECT
public:
    static constexpr uint32_t kWindowType = 20;

    CLoginDlg(WindowRegistry& registry, const Deployment& deployment, ConsoleUi& ui,
              bool withBrowser, QWidget* parent = nullptr);

    // Valid once the dialog was accepted.
    LoginChoice choice() const { return choice_; }

    QComboBox* accountBox() const { return account_; }
    QLineEdit* passwordEdit() const { return password_; }
    QCheckBox* savePasswordBox() const { return savePassword_; }
    QComboBox* serverBox() const { return server_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* forgotButton() const { return forgot_; }
    CHeaderDlg* header() const { return header_; }
    GbkGuard* passwordGuard() const { return guard_; }

    void accept() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void fillAccounts();
    void selectAccount();
    void forgotPassword();

    const Deployment& deployment_;
    ConsoleUi& ui_;
    CHeaderDlg* header_;
    QComboBox* account_;
    QLineEdit* password_;
    QCheckBox* savePassword_;
    QComboBox* server_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QPushButton* forgot_;
    GbkGuard* guard_;
    LoginChoice choice_;
};

} // namespace talmor
