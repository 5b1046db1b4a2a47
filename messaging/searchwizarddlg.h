#pragma once

#include <QDialog>

#include "protocol/registeredwindow.h"

class QStackedLayout;

namespace talmor {

class ConsoleHost;
class ContactPart;
class CSearchConditionsDlg;
class CSearchResultsDlg;
struct SearchWizardKind;

// A search wizard: a frame whose conditions page and results page replace each other. It
// registers under its kind's frame type (29, 32 or 40), one per kind; closing it destroys both
// pages and every stored reply.
class CSearchWizardDlg : public QDialog, public RegisteredWindow {
    Q_OBJECT
public:
    CSearchWizardDlg(ConsoleHost& window, ContactPart& contacts, const SearchWizardKind& kind);

    // "下一步": refuses the conditions with the wizard's text, or shows the results page and
    // starts the search.
    void search();
    // "上一步": back to the conditions as they were.
    void backToConditions();

    const SearchWizardKind& kind() const { return kind_; }
    CSearchConditionsDlg& conditions() { return *conditions_; }
    CSearchResultsDlg& results() { return *results_; }

private:
    ConsoleHost& window_;
    const SearchWizardKind& kind_;
    CSearchConditionsDlg* conditions_;
    CSearchResultsDlg* results_;
    QStackedLayout* pages_;
};

} // namespace talmor
