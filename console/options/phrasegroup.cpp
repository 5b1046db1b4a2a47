#include "console/options/phrasegroup.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QToolTip>

#include "console/options/optiontexts.h"
#include "kit/gbktext.h"

namespace talmor {

CPhraseGroup::CPhraseGroup(const PhraseRule& rule, const char* choiceLabel, const char* editLabel,
                           QWidget* parent)
    : QWidget(parent), rule_(rule), choice_(new QComboBox(this)), edit_(new QPlainTextEdit(this)),
      add_(new QPushButton(QString::fromUtf8(text::kAddPhrase), this)),
      delete_(new QPushButton(QString::fromUtf8(text::kDeletePhrase), this)) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new QLabel(QString::fromUtf8(choiceLabel), this), 0, 0);
    grid->addWidget(choice_, 0, 1);
    grid->addWidget(add_, 0, 2);
    grid->addWidget(delete_, 0, 3);
    grid->addWidget(new QLabel(QString::fromUtf8(editLabel), this), 1, 0, 1, 4);
    grid->addWidget(edit_, 2, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    // The page's spare height goes below the group, not between its rows.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    edit_->setTabChangesFocus(true);
    edit_->setFixedHeight(edit_->fontMetrics().lineSpacing() * 3 + 12);
    connect(choice_, &QComboBox::currentIndexChanged, this, &CPhraseGroup::chosen);
    connect(edit_, &QPlainTextEdit::textChanged, this, &CPhraseGroup::typed);
    connect(add_, &QPushButton::clicked, this, [this] {
        list_.add(edited());
        show();
    });
    connect(delete_, &QPushButton::clicked, this, [this] {
        list_.remove();
        show();
    });
    show();
}

void CPhraseGroup::load(std::vector<std::string> phrases, const std::string& current) {
    list_.load(std::move(phrases), current);
    show();
}

void CPhraseGroup::chosen(int index) {
    if (!showing_) {
        list_.select(index, edited());
        show();
    }
}

std::optional<std::string> CPhraseGroup::edited() const {
    if (!modified_) {
        return std::nullopt;
    }
    // A text the guard let through because it shortened an older phrase may still hold a
    // character GBK cannot write; the phrase then keeps its bytes until check() reports it.
    return ToGbk(edit_->toPlainText());
}

void CPhraseGroup::typed() {
    if (showing_) {
        return;
    }
    const QString text = edit_->toPlainText();
    const QString refusal = RefusePhrase(text, rule_, QString::fromUtf8(rule_.name));
    if (refusal.isEmpty() || text.size() < accepted_.size()) {
        accepted_ = text;
        modified_ = true;
        return;
    }
    const int cursor = static_cast<int>(accepted_.size());
    {
        const QSignalBlocker blocker(edit_);
        edit_->setPlainText(accepted_);
    }
    QTextCursor at = edit_->textCursor();
    at.setPosition(cursor);
    edit_->setTextCursor(at);
    lastRefusal_ = refusal;
    QToolTip::showText(edit_->mapToGlobal(QPoint(0, edit_->height())), refusal, edit_);
    emit refused(refusal);
}

void CPhraseGroup::show() {
    showing_ = true;
    {
        const QSignalBlocker blocker(choice_);
        choice_->clear();
        for (std::size_t i = 0; i < list_.phrases().size(); ++i) {
            choice_->addItem(QString::number(i + 1));
        }
        choice_->setCurrentIndex(list_.shown());
    }
    accepted_ = FromGbk(list_.shownText());
    edit_->setPlainText(accepted_);
    modified_ = false;
    edit_->setEnabled(!list_.empty());
    delete_->setEnabled(!list_.empty());
    showing_ = false;
}

QString CPhraseGroup::check() {
    if (modified_) {
        const QString refusal = RefusePhrase(
            edit_->toPlainText(), rule_,
            NumberedPhrase(rule_, static_cast<std::size_t>(std::max(list_.shown(), 0))));
        if (!refusal.isEmpty()) {
            return refusal;
        }
        list_.keep(edited());
        modified_ = false;
    }
    const std::vector<std::string>& phrases = list_.phrases();
    for (std::size_t i = 0; i < phrases.size(); ++i) {
        const QString refusal = RefuseStoredPhrase(phrases[i], rule_, NumberedPhrase(rule_, i));
        if (!refusal.isEmpty()) {
            list_.select(static_cast<int>(i), std::nullopt);
            show();
            return refusal;
        }
    }
    return {};
}

} // namespace talmor
