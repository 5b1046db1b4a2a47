#include "support/typing.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>

namespace talmor::testing {

void TypeKeys(QPlainTextEdit* edit, const QString& text) {
    edit->setFocus();
    edit->moveCursor(QTextCursor::End);
    for (const QChar character : text) {
        const bool lineBreak = character == QLatin1Char('\n');
        QKeyEvent press(QEvent::KeyPress, lineBreak ? Qt::Key_Return : Qt::Key_unknown,
                        Qt::NoModifier, QString(character));
        QApplication::sendEvent(edit, &press);
    }
}

} // namespace talmor::testing
