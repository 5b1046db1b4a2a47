#pragma once

#include <QColor>
#include <QTextBrowser>

#include <optional>
#include <utility>
#include <vector>

#include "messaging/chat/chatrules.h"

namespace talmor {

// The chat window's conversation display: read-only, every text shown as text (nothing a peer
// writes is read as markup). Web addresses (http, https, mailto) in a message become links
// that `openLink` asks to open; the link words of a notice raise `notification` with their
// code. Anything else is never opened.
class CMsgView : public QTextBrowser {
    Q_OBJECT
public:
    explicit CMsgView(QWidget* parent);

    // Header (in `headerColour`, no effects), a line break, the body with its emoticons as
    // pictures, in `font` when given, and a line break.
    void appendMessage(const QString& header, const QColor& headerColour, const QString& body,
                       const std::optional<ShownFont>& font);
    // A notice at the end; each (word, code) pair makes the first occurrence of word a link.
    void appendNotice(const QString& text, const std::vector<std::pair<QString, int>>& links);
    // The links of notices raising one of `codes` become plain text: they answer no more.
    void forgetNoticeLinks(const std::vector<int>& codes);

signals:
    void notification(int code);
    void openLink(const QUrl& url);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void follow(const QUrl& url);
    void showLatest();
};

// Adds the emoticon pictures to `document` as image resources, unless it holds them.
void AddEmoticonResources(class QTextDocument* document);
// The image name of emoticon `index` in a document.
QString EmoticonResourceName(int index);

} // namespace talmor
