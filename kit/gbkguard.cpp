#include "kit/gbkguard.h"

#include <QLineEdit>
#include <QToolTip>

#include "kit/gbktext.h"

namespace talmor {

GbkGuard::GbkGuard(QLineEdit* field) : QObject(field), field_(field), accepted_(field->text()) {
    connect(field, &QLineEdit::textChanged, this, &GbkGuard::check);
}

void GbkGuard::check(const QString& text) {
    const QString bad = FirstNonGbk(text);
    if (bad.isEmpty()) {
        accepted_ = text;
        return;
    }
    const int cursor = static_cast<int>(accepted_.size());
    field_->setText(accepted_);
    field_->setCursorPosition(cursor);
    lastRefusal_ = NotGbkMessage(bad);
    QToolTip::showText(field_->mapToGlobal(QPoint(0, field_->height())), lastRefusal_, field_);
    emit refused(lastRefusal_);
}

} // namespace talmor
