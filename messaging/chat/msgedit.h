#pragma once

#include <QTextEdit>

namespace talmor {

// The chat window's input. Enter breaks the line and Ctrl+Enter asks to send; a typed emoticon
// code turns into its picture as soon as its last character is typed; pasting takes plain text
// only.
class CMsgEdit : public QTextEdit {
    Q_OBJECT
public:
    explicit CMsgEdit(QWidget* parent);

    // The content as a message text: lines joined by CR LF, each picture written as its code.
    QString textWithCodes() const;
    // Inserts emoticon `index` at the caret.
    void insertEmoticon(int index);
    // Inserts `text` at the caret, its emoticon codes as pictures.
    void insertWithPictures(const QString& text);

signals:
    void sendRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // Looks back from the caret for a code just completed.
    void pictureTypedCode();

    bool replacing_ = false;
};

} // namespace talmor
