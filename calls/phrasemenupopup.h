#pragma once

#include <QObject>
#include <QPoint>

#include <functional>
#include <string>
#include <vector>

#include "calls/phrasemenu.h"

class QMenu;
class QWidget;

namespace talmor {

class CTalmorManagerDlg;

// The phrase button of a handling window: its popup lists the phrases of the operator's list
// file as it is when the button is pressed; a chosen phrase replaces the window's text through
// `insert` (GBK), and "自定义" opens the options sheet where the lists are edited.
class PhraseMenuPopup : public QObject {
    Q_OBJECT
public:
    using Loader = bool (*)(const std::string& userFolder, std::vector<std::string>& list);

    PhraseMenuPopup(CTalmorManagerDlg& window, const PhraseMenuKind& kind, Loader loader,
                    QWidget* owner, std::function<void(const std::string&)> insert);

    // Loads the list and builds the popup (deleted when it closes); the caller shows it.
    QMenu* build();
    // Builds the popup and shows it at `at` (screen).
    void popup(const QPoint& at);
    // What choosing `command` of the popup does.
    void choose(int command);
    const std::vector<std::string>& phrases() const { return phrases_; }

private:
    CTalmorManagerDlg& window_;
    PhraseMenuKind kind_;
    Loader loader_;
    QWidget* owner_;
    std::function<void(const std::string&)> insert_;
    std::vector<std::string> phrases_;
};

// Opens the console options sheet and, when it closes, loads the options again and applies
// them.
void OpenOptionsSheet(CTalmorManagerDlg& window);

} // namespace talmor
