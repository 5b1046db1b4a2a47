#pragma once

#include <QObject>
#include <QPoint>

#include <functional>
#include <string>
#include <vector>

#include "kit/phrasemenu.h"

class QAbstractButton;
class QMenu;
class QPlainTextEdit;

namespace talmor {

class ConsoleHost;

// The phrase button of a handling or chat window: pressing `button` pops up the phrases of the
// operator's list file as it is then; a chosen phrase replaces the text of `edit` (or is handed
// to `replace`), and "自定义" opens the options sheet on the page where the list is edited.
class PhraseMenuPopup : public QObject {
    Q_OBJECT
public:
    using Loader = bool (*)(const std::string& userFolder, std::vector<std::string>& list);

    using Replace = std::function<void(const QString& phrase)>;

    PhraseMenuPopup(ConsoleHost& window, const PhraseMenuKind& kind, Loader loader,
                    QAbstractButton& button, QPlainTextEdit& edit);
    PhraseMenuPopup(ConsoleHost& window, const PhraseMenuKind& kind, Loader loader,
                    QAbstractButton& button, Replace replace);

    // Loads the list and builds the popup (deleted when it closes); the caller shows it.
    QMenu* build();
    // Builds the popup and shows it at `at` (screen).
    void popup(const QPoint& at);
    // What choosing `command` of the popup does.
    void choose(int command);
    const std::vector<std::string>& phrases() const { return phrases_; }

private:
    ConsoleHost& window_;
    PhraseMenuKind kind_;
    Loader loader_;
    QAbstractButton& button_;
    Replace replace_;
    std::vector<std::string> phrases_;
};

} // namespace talmor
