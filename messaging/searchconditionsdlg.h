#pragma once

#include <QWidget>

#include <array>

#include "messaging/searchconditions.h"
#include "protocol/registeredwindow.h"

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace talmor {

struct SearchWizardKind;

// The conditions page of a search wizard: the exact or combined mode and the fields of the
// wizard's kind, the area fields filled with the operator's scope. A scope part that is set
// stays fixed; the combined mode lets the operator choose only the parts it leaves empty.
// Controls are named by their template ids ("1082" the account, ...).
class CSearchConditionsDlg : public QWidget, public RegisteredWindow {
    Q_OBJECT
public:
    CSearchConditionsDlg(QWidget* frame, WindowRegistry& registry, const SearchWizardKind& kind,
                         const UserRecord& scope);

    // 1104 and 1106 (or the colleagues' 1106 check box): enables the fields of the mode.
    void setCombined(bool combined);
    bool combined() const { return combined_; }
    // What the operator entered.
    SearchConditions conditions() const;

    QPushButton& nextButton() { return *next_; }
    QPushButton& cancelButton() { return *cancel_; }

private:
    QLineEdit* addEdit(int id, int maxLength);
    void enableFields();

    const SearchWizardKind& kind_;
    UserRecord scope_;
    bool combined_ = false;
    QAbstractButton* exactMode_ = nullptr;
    QAbstractButton* combinedMode_ = nullptr;
    QLineEdit* account_ = nullptr;
    QLineEdit* email_ = nullptr;
    QLineEdit* nick_ = nullptr;
    QLineEdit* name_ = nullptr;
    QComboBox* sex_ = nullptr;
    QComboBox* age_ = nullptr;
    QComboBox* province_ = nullptr;
    // City, district, street and community.
    std::array<QLineEdit*, 4> areaEdits_{};
    QLineEdit* phone_ = nullptr;
    QCheckBox* onlineOnly_ = nullptr;
    QPushButton* next_;
    QPushButton* cancel_;
};

} // namespace talmor
