#pragma once

#include <QDialog>

#include <cstdint>
#include <string>
#include <vector>

#include "protocol/registeredwindow.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

namespace talmor {

class ConsoleHost;
class PhraseMenuPopup;

// One contact of the family SMS window (GBK), as its tree item shows it.
struct SmsContact {
    std::string name;
    std::string phone;
    bool ticked = false;
};

// The phones an SMS goes to: the ticked family contacts in tree order, then the ticked others.
std::vector<std::string> SmsRecipients(const std::vector<SmsContact>& family,
                                       const std::vector<SmsContact>& others);

// "填写求救处理内容或短信告知呼叫人的家属": the handling text of a help or SOS call, sent as an
// SMS to the ticked family members and other contacts of the caller and filed as the call's
// report. It asks the server for the contacts when it opens; they arrive one per reply. One per
// call: window type 39 keyed by the call id.
class CSpecialSmsSend : public QDialog, public RegisteredWindow {
    Q_OBJECT
public:
    static constexpr uint32_t kWindowType = 39;

    // Opens the window for the call unless one is open for it; the new window or none. `name`
    // and `phone` (the caller's) are GBK.
    static CSpecialSmsSend* Open(ConsoleHost& window, uint32_t callId, uint32_t userId,
                                 const std::string& name, const std::string& phone);

    CSpecialSmsSend(ConsoleHost& window, uint32_t callId, uint32_t userId, const std::string& name,
                    const std::string& phone);

    void AddFamilyContact(const std::string& name, const std::string& phone);
    void AddOtherContact(const std::string& name, const std::string& phone);
    // 确定: the SMS requests in tree order, then the report; the window closes.
    void send();

    QTreeWidget* familyTree() const { return family_; }
    QTreeWidget* otherTree() const { return others_; }
    QPlainTextEdit* edit() const { return edit_; }
    QString titleText() const;
    PhraseMenuPopup& phrases() { return *phrases_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static void addContact(QTreeWidget* tree, const std::string& name, const std::string& phone);
    static std::vector<SmsContact> contactsOf(const QTreeWidget* tree);

    ConsoleHost& window_;
    uint32_t userId_;
    QPixmap banner_;
    QLabel* title_;
    QTreeWidget* family_;
    QTreeWidget* others_;
    QPlainTextEdit* edit_;
    PhraseMenuPopup* phrases_;
};

} // namespace talmor
