#pragma once

#include <QString>
#include <QWidget>

#include <optional>
#include <string>
#include <vector>

#include "console/options/optionrules.h"
#include "console/options/phraselist.h"

class QComboBox;
class QPlainTextEdit;
class QPushButton;

namespace talmor {

// The widgets of one phrase list of the options sheet: "快捷选择:" with the numbers of the
// phrases, the edit box of the shown phrase and the buttons 增加 and 删除. The edit box refuses,
// as the operator types, a text that breaks the list's rule (a line break, a character GBK
// cannot hold, too many bytes) and says why beside it; a change that shortens a text is always
// taken, so that an older phrase that breaks the rule can be mended. The edit box and 删除 are
// disabled while the list is empty.
class CPhraseGroup : public QWidget {
    Q_OBJECT
public:
    CPhraseGroup(const PhraseRule& rule, const char* choiceLabel, const char* editLabel,
                 QWidget* parent);

    // Fills the group from `phrases` (GBK) and shows the first one equal to `current`.
    void load(std::vector<std::string> phrases, const std::string& current);
    // Takes the edit box's text into its phrase and checks every phrase; the first refusal,
    // with its phrase shown, or empty.
    QString check();
    // The list as edited and the text in the edit box (GBK), after check().
    const std::vector<std::string>& phrases() const { return list_.phrases(); }
    std::string currentText() const { return list_.shownText(); }

    QComboBox* choice() const { return choice_; }
    QPlainTextEdit* edit() const { return edit_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* deleteButton() const { return delete_; }
    // The last refusal shown while typing; empty while none.
    const QString& lastRefusal() const { return lastRefusal_; }

signals:
    void refused(const QString& message);

private:
    void chosen(int index);
    void typed();
    void show();
    // The edit box's text when the operator changed it since its phrase was shown.
    std::optional<std::string> edited() const;

    const PhraseRule& rule_;
    PhraseList list_;
    QComboBox* choice_;
    QPlainTextEdit* edit_;
    QPushButton* add_;
    QPushButton* delete_;
    QString accepted_;
    QString lastRefusal_;
    bool modified_ = false;
    bool showing_ = false;
};

} // namespace talmor
