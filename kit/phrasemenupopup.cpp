#include "kit/phrasemenupopup.h"

#include <QAbstractButton>
#include <QCursor>
#include <QMenu>
#include <QPlainTextEdit>

#include "kit/appfolders.h"
#include "kit/consolehost.h"
#include "kit/gbktext.h"
#include "kit/optionsheetentry.h"

namespace talmor {

namespace {

// A menu caption is read for a mnemonic ("&") and a shortcut (after a tab); a phrase is text.
QString PlainCaption(QString text) {
    return text.replace(QLatin1Char('&'), QLatin1String("&&"))
        .replace(QLatin1Char('\t'), QLatin1Char(' '));
}

} // namespace

PhraseMenuPopup::PhraseMenuPopup(ConsoleHost& window, const PhraseMenuKind& kind, Loader loader,
                                 QAbstractButton& button, QPlainTextEdit& edit)
    : PhraseMenuPopup(window, kind, loader, button,
                      [&edit](const QString& phrase) { edit.setPlainText(phrase); }) {}

PhraseMenuPopup::PhraseMenuPopup(ConsoleHost& window, const PhraseMenuKind& kind, Loader loader,
                                 QAbstractButton& button, Replace replace)
    : QObject(&button), window_(window), kind_(kind), loader_(loader), button_(button),
      replace_(std::move(replace)) {
    connect(&button, &QAbstractButton::clicked, this, [this] { popup(QCursor::pos()); });
}

QMenu* PhraseMenuPopup::build() {
    phrases_.clear();
    loader_(userFolder(), phrases_);
    auto* menu = new QMenu(QString::fromLatin1(kind_.name), &button_);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    auto add = [this, menu](const QString& caption, int command) {
        QAction* action = menu->addAction(caption);
        action->setData(command);
        connect(action, &QAction::triggered, this, [this, command] { choose(command); });
    };
    add(QString::fromUtf8(text::kCustomise), kCustomiseCommand);
    if (!phrases_.empty()) {
        menu->addSeparator();
    }
    for (std::size_t i = 0; i < phrases_.size(); ++i) {
        add(PlainCaption(FromGbk(PhraseCaption(phrases_[i], kind_.captionBytes))),
            kind_.firstId + static_cast<int>(i));
    }
    return menu;
}

void PhraseMenuPopup::popup(const QPoint& at) {
    build()->popup(at);
}

void PhraseMenuPopup::choose(int command) {
    if (command == kCustomiseCommand) {
        OpenOptionsSheet(window_, button_.window(), static_cast<OptionPage>(kind_.optionPage));
        return;
    }
    if (const std::optional<std::string> phrase = PhraseOfCommand(phrases_, command, kind_)) {
        replace_(FromGbk(*phrase));
    }
}

} // namespace talmor
