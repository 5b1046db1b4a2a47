#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <string>

#include "storage/consoleoptions.h"

class QCheckBox;

namespace talmor {

// A page of the options sheet. It holds a copy of the options as stored when it was made
// (cleared when none are stored or UserOption.db cannot be read) and changes only its own
// fields of them.
class COptionPage : public QWidget {
    Q_OBJECT
public:
    COptionPage(const std::string& userFolder, QWidget* parent);

    // OK, first step: takes what the operator typed into the page's state and checks it. The
    // first refusal, in the operator's words, with what it is about shown; empty when the page
    // may be stored.
    virtual QString check() = 0;
    // OK, second step (after every shown page passed check()): writes the page's files and its
    // fields of the options record.
    virtual void store() = 0;

    const storage::ConsoleOptions& options() const { return options_; }

protected:
    // A check box of the page showing option bit `bit` of the copy.
    QCheckBox* optionBox(const char* caption, int bit);
    // Writes the fields that `apply` sets into the options record of UserOption.db, leaving the
    // others as stored there (the page's copy stands in when nothing is stored), so that the
    // pages of one sheet keep each other's changes.
    void storeOwnFields(const std::function<void(storage::ConsoleOptions&)>& apply) const;

    const std::string userFolder_;
    storage::ConsoleOptions options_;
};

} // namespace talmor
