#include "messaging/chat/msgview.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>

#include "messaging/chat/emoticons.h"

namespace talmor {

namespace {

constexpr const char* kNoticeScheme = "notice";

// Web addresses found in a message's text.
const QRegularExpression& AddressPattern() {
    static const QRegularExpression pattern(QStringLiteral(R"((?:https?://|mailto:)[^\s<>"']+)"),
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

// Inserts `text`, its web addresses as links, in `format`.
void InsertWithLinks(QTextCursor& cursor, const QString& text, const QTextCharFormat& format) {
    int at = 0;
    QRegularExpressionMatchIterator matches = AddressPattern().globalMatch(text);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        cursor.insertText(text.mid(at, match.capturedStart() - at), format);
        QTextCharFormat link = format;
        link.setAnchor(true);
        link.setAnchorHref(QString::fromLatin1(QUrl(match.captured()).toEncoded()));
        link.setFontUnderline(true);
        link.setForeground(QColor(0, 0, 255));
        cursor.insertText(match.captured(), link);
        at = static_cast<int>(match.capturedEnd());
    }
    cursor.insertText(text.mid(at), format);
}

// Inserts a message text: lines split at CR LF (or LF), emoticons as pictures.
void InsertBody(QTextCursor& cursor, const QString& text, const QTextCharFormat& format) {
    AddEmoticonResources(cursor.document());
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QStringList parts = lines.split(QLatin1Char('\n'));
    for (int i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            cursor.insertBlock();
        }
        for (const TextPiece& piece : SplitEmoticons(parts[i])) {
            if (piece.emoticon < 0) {
                InsertWithLinks(cursor, piece.text, format);
                continue;
            }
            QTextImageFormat picture;
            picture.setName(EmoticonResourceName(piece.emoticon));
            picture.setProperty(QTextFormat::UserProperty, piece.text);
            cursor.insertImage(picture);
        }
    }
}

} // namespace

QString EmoticonResourceName(int index) {
    return QStringLiteral("emoticon:") + QString::number(index);
}

void AddEmoticonResources(QTextDocument* document) {
    // Emptying a document drops its resources: they come back at the next picture.
    if (!document->resource(QTextDocument::ImageResource, QUrl(EmoticonResourceName(0))).isNull()) {
        return;
    }
    for (int i = 0; i < kEmoticonCount; ++i) {
        document->addResource(QTextDocument::ImageResource, QUrl(EmoticonResourceName(i)),
                              EmoticonPicture(i));
    }
}

CMsgView::CMsgView(QWidget* parent) : QTextBrowser(parent) {
    setObjectName(QStringLiteral("display"));
    setReadOnly(true);
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setUndoRedoEnabled(false);
    AddEmoticonResources(document());
    connect(this, &QTextBrowser::anchorClicked, this, &CMsgView::follow);
}

void CMsgView::appendMessage(const QString& header, const QColor& headerColour, const QString& body,
                             const std::optional<ShownFont>& font) {
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    if (!document()->isEmpty()) {
        cursor.insertBlock();
    }
    QTextCharFormat headerFormat;
    headerFormat.setForeground(headerColour);
    cursor.insertText(header, headerFormat);
    cursor.insertBlock();
    QTextCharFormat bodyFormat;
    if (font) {
        if (!font->face.isEmpty()) {
            bodyFormat.setFontFamilies({font->face});
        }
        bodyFormat.setFontPointSize(font->points);
        bodyFormat.setFontWeight(font->bold ? QFont::Bold : QFont::Normal);
        bodyFormat.setFontItalic(font->italic);
        bodyFormat.setFontUnderline(font->underline);
        bodyFormat.setForeground(font->colour);
    }
    InsertBody(cursor, body, bodyFormat);
    showLatest();
}

void CMsgView::appendNotice(const QString& text,
                            const std::vector<std::pair<QString, int>>& links) {
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
    QString rest = text;
    rest.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // The links in the order they appear.
    std::vector<std::pair<int, std::pair<QString, int>>> placed;
    int from = 0;
    for (const auto& link : links) {
        const int at = static_cast<int>(rest.indexOf(link.first, from));
        if (at >= 0) {
            placed.push_back({at, link});
            from = at + static_cast<int>(link.first.size());
        }
    }
    int at = 0;
    QTextCharFormat plain;
    for (const auto& [start, link] : placed) {
        cursor.insertText(rest.mid(at, start - at), plain);
        QTextCharFormat format;
        format.setAnchor(true);
        format.setAnchorHref(QString::fromLatin1(kNoticeScheme) + QLatin1Char(':') +
                             QString::number(link.second));
        format.setFontUnderline(true);
        format.setFontPointSize(9);
        format.setForeground(QColor(0, 0, 255));
        cursor.insertText(link.first, format);
        at = start + static_cast<int>(link.first.size());
    }
    cursor.insertText(rest.mid(at), plain);
    showLatest();
}

void CMsgView::showLatest() {
    // Entries go in through a cursor of their own, and the view's cursor stays where the
    // operator last clicked (a notice's link): the view follows the end of the document, and
    // keeps a selection being copied.
    if (!textCursor().hasSelection()) {
        moveCursor(QTextCursor::End);
    }
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void CMsgView::forgetNoticeLinks(const std::vector<int>& codes) {
    QStringList hrefs;
    for (int code : codes) {
        hrefs << QString::fromLatin1(kNoticeScheme) + QLatin1Char(':') + QString::number(code);
    }
    // Found first, changed after: a format change splits and merges the fragments.
    std::vector<std::pair<int, int>> ranges;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid() && hrefs.contains(fragment.charFormat().anchorHref())) {
                ranges.emplace_back(fragment.position(), fragment.length());
            }
        }
    }
    for (const auto& [position, length] : ranges) {
        QTextCursor cursor(document());
        cursor.setPosition(position);
        cursor.setPosition(position + length, QTextCursor::KeepAnchor);
        QTextCharFormat format = cursor.charFormat();
        format.setAnchor(false);
        format.setAnchorHref(QString());
        format.setFontUnderline(false);
        format.clearForeground();
        cursor.setCharFormat(format);
    }
}

void CMsgView::follow(const QUrl& url) {
    if (url.scheme() == QLatin1String(kNoticeScheme)) {
        bool ok = false;
        const int code = url.path().toInt(&ok);
        if (ok) {
            emit notification(code);
        }
        return;
    }
    if (IsOpenableLink(url)) {
        emit openLink(url);
    }
}

void CMsgView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(QStringLiteral("MsgView"), this);
    QAction* copyAction = menu.addAction(QStringLiteral("复制(&C)"), this, &QTextEdit::copy);
    copyAction->setEnabled(textCursor().hasSelection());
    menu.exec(event->globalPos());
}

} // namespace talmor
