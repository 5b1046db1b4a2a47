#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <QUrl>

#include <cstdint>
#include <optional>
#include <string>

#include "protocol/records.h"

namespace talmor {

// What the chat window decides, apart from the window.

// The most bytes (GBK) a message text may have.
constexpr std::size_t kMaxChatTextBytes = 800;

// Why a text cannot be sent, or none: the refusal's message.
enum class SendRefusal { None, Empty, TooLong, NotGbk };
SendRefusal CheckOutgoing(const QString& text);

// "与 " + nick + " 交谈中...".
QString ChatTitle(const QString& nick);
// Nick, profile text and the status words of status 0, 1 or 2.
QString NickLabelText(const QString& nick, const QString& profile, uint32_t status);
// The contact's page on the public site.
QUrl ContactPageUrl(const QString& publicSite, uint32_t peerId);
// The header line of a displayed message: name " (" local time "): ".
QString MessageHeader(const QString& name, uint32_t time);
// The text of a history entry: "(date time)   name", CR LF, the text.
QString HistoryItemText(const QString& name, uint32_t time, const QString& text);
// How many lines a history item is high: one, plus one per CR LF, at most 11.
int HistoryItemLines(const QString& itemText);

// The only links the display opens: http, https and mailto addresses.
bool IsOpenableLink(const QUrl& url);

// The face and size a received message is shown in: the peer's size kept between 8 and 28
// points; its face only when it is installed, else none (the display's default).
struct ShownFont {
    QString face; // empty: the default face
    int points = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    QColor colour;
};
std::optional<ShownFont> ShownFontOf(const MessageFont& font);
// The font of the input's format, as a message carries it (size in points, rounded).
MessageFont MessageFontOf(const QString& face, double points, bool bold, bool italic,
                          bool underline, const QColor& colour);

// Where the chat window's controls go for client size (w, h) and right pane width p.
struct ChatLayout {
    QRect topButtons[4]; // file, voice, video, history
    QRect display;
    QRect font, colour, quickReply, emoticon;
    QRect input;
    QRect send;
    QRect paneToggle;
    QRect pane;
};
ChatLayout LayChat(int w, int h, int p);
constexpr int kChatMinWidth = 450;
constexpr int kChatMinHeight = 400;
constexpr int kPicturePaneWidth = 120;
constexpr int kVideoPaneWidth = 187;

} // namespace talmor
