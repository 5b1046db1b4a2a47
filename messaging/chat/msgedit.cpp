#include "messaging/chat/msgedit.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>

#include "messaging/chat/emoticons.h"
#include "messaging/chat/msgview.h"

namespace talmor {

CMsgEdit::CMsgEdit(QWidget* parent) : QTextEdit(parent) {
    setObjectName(QStringLiteral("input"));
    setAcceptRichText(false);
    AddEmoticonResources(document());
    connect(this, &QTextEdit::textChanged, this, &CMsgEdit::pictureTypedCode);
}

QString CMsgEdit::textWithCodes() const {
    QString text;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (block != document()->begin()) {
            text += QStringLiteral("\r\n");
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (format.isImageFormat()) {
                // One object character per picture.
                const QString code = format.property(QTextFormat::UserProperty).toString();
                for (int i = 0; i < fragment.length(); ++i) {
                    text += code;
                }
            } else {
                text += fragment.text();
            }
        }
    }
    return text;
}

void CMsgEdit::insertEmoticon(int index) {
    if (index < 0 || index >= kEmoticonCount) {
        return;
    }
    AddEmoticonResources(document());
    QTextImageFormat picture;
    picture.setName(EmoticonResourceName(index));
    picture.setProperty(QTextFormat::UserProperty, EmoticonCode(index));
    QTextCursor cursor = textCursor();
    const QTextCharFormat typing = cursor.charFormat();
    cursor.insertImage(picture);
    // What is typed after a picture keeps the input's format.
    cursor.setCharFormat(typing);
    setTextCursor(cursor);
}

void CMsgEdit::insertWithPictures(const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    replacing_ = true;
    for (const TextPiece& piece : SplitEmoticons(lines)) {
        if (piece.emoticon < 0) {
            textCursor().insertText(piece.text);
        } else {
            insertEmoticon(piece.emoticon);
        }
    }
    replacing_ = false;
}

void CMsgEdit::pictureTypedCode() {
    if (replacing_) {
        return;
    }
    const QTextCursor caret = textCursor();
    const QString line = caret.block().text();
    const int end = caret.positionInBlock();
    for (int at = end - 2; at >= 0; --at) {
        const QChar c = line[at];
        if (c.isSpace()) {
            return;
        }
        if (c != QLatin1Char('/')) {
            continue;
        }
        const int emoticon = EmoticonAt(line, at);
        const int length = static_cast<int>(EmoticonCode(emoticon).size());
        if (emoticon < 0 || at + length > end) {
            return;
        }
        QTextCursor code(caret.block());
        code.setPosition(caret.block().position() + at);
        code.setPosition(caret.block().position() + at + length, QTextCursor::KeepAnchor);
        replacing_ = true;
        code.removeSelectedText();
        setTextCursor(code);
        insertEmoticon(emoticon);
        replacing_ = false;
        return;
    }
}

void CMsgEdit::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & Qt::ControlModifier)) {
        emit sendRequested();
        return;
    }
    if (enter) {
        textCursor().insertBlock();
        ensureCursorVisible();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void CMsgEdit::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(QStringLiteral("MsgEdit"), this);
    const bool selected = textCursor().hasSelection();
    menu.addAction(QStringLiteral("撤消(&Z)"), this, &QTextEdit::undo)
        ->setEnabled(document()->isUndoAvailable());
    menu.addAction(QStringLiteral("剪切(&T)"), this, &QTextEdit::cut)->setEnabled(selected);
    menu.addAction(QStringLiteral("复制(&C)"), this, &QTextEdit::copy)->setEnabled(selected);
    const QMimeData* clipboard = QApplication::clipboard()->mimeData();
    menu.addAction(QStringLiteral("粘贴(&P)"), this, &QTextEdit::paste)
        ->setEnabled(clipboard != nullptr && clipboard->hasText());
    menu.exec(event->globalPos());
}

bool CMsgEdit::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasText();
}

void CMsgEdit::insertFromMimeData(const QMimeData* source) {
    if (source->hasText()) {
        insertWithPictures(source->text());
    }
}

} // namespace talmor
