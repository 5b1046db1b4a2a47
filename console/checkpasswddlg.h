#pragma once

#include <QDialog>

#include <string>

class QLineEdit;
class QPushButton;

namespace talmor {

class ConsoleUi;
class FadingLabel;

// "多重密码": asks for the multiple-login password of one level (1 to 4). A wrong entry is
// refused and the prompt stays; only the exact password (case counts) closes it with OK.
class CCheckPassWdDlg : public QDialog {
    Q_OBJECT
public:
    CCheckPassWdDlg(int level, std::string expected, ConsoleUi& ui, QWidget* parent = nullptr);

    int level() const { return level_; }
    FadingLabel* prompt() const { return prompt_; }
    QLineEdit* entry() const { return entry_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

    void accept() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int level_;
    std::string expected_;
    ConsoleUi& ui_;
    FadingLabel* prompt_;
    QLineEdit* entry_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

} // namespace talmor
