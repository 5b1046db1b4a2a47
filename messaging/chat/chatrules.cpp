#include "messaging/chat/chatrules.h"

#include <QDateTime>
#include <QFontDatabase>

#include <algorithm>

#include "kit/gbktext.h"

namespace talmor {

namespace {

// A peer's size outside this range would make its words unreadable or flood the display.
constexpr int kSmallestPoints = 8;
constexpr int kLargestPoints = 28;

} // namespace

SendRefusal CheckOutgoing(const QString& text) {
    if (text.isEmpty()) {
        return SendRefusal::Empty;
    }
    const std::optional<std::string> gbk = ToGbk(text);
    if (!gbk) {
        return SendRefusal::NotGbk;
    }
    return gbk->size() > kMaxChatTextBytes ? SendRefusal::TooLong : SendRefusal::None;
}

QString ChatTitle(const QString& nick) {
    return QStringLiteral("与 ") + nick + QStringLiteral(" 交谈中...");
}

QString NickLabelText(const QString& nick, const QString& profile, uint32_t status) {
    const char* words = status == kStatusOnline ? "（联机）"
                        : status == kStatusAway ? "（离开）"
                                                : "（脱机）";
    return nick + QLatin1Char(' ') + profile + QString::fromUtf8(words);
}

QUrl ContactPageUrl(const QString& publicSite, uint32_t peerId) {
    QString base = publicSite;
    if (!base.endsWith(QLatin1Char('/'))) {
        base += QLatin1Char('/');
    }
    return QUrl(base + QStringLiteral("soft/CallCustomerInfo.aspx?CallID=") +
                QString::number(peerId));
}

QString MessageHeader(const QString& name, uint32_t time) {
    const QString clock =
        QDateTime::fromSecsSinceEpoch(time).toLocalTime().toString(QStringLiteral("HH:mm:ss"));
    return name + QStringLiteral(" (") + clock + QStringLiteral("): ");
}

QString HistoryItemText(const QString& name, uint32_t time, const QString& text) {
    const QString stamp = QDateTime::fromSecsSinceEpoch(time).toLocalTime().toString(
        QStringLiteral("(yyyy-MM-dd HH:mm:ss)"));
    return stamp + QStringLiteral("   ") + name + QStringLiteral("\r\n") + text;
}

int HistoryItemLines(const QString& itemText) {
    return 1 + std::min(10, static_cast<int>(itemText.count(QStringLiteral("\r\n"))));
}

bool IsOpenableLink(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    if (!url.isValid()) {
        return false;
    }
    if (scheme == QLatin1String("mailto")) {
        return !url.path().isEmpty();
    }
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !url.host().isEmpty();
}

std::optional<ShownFont> ShownFontOf(const MessageFont& font) {
    if (font.size == 0 || font.face.empty()) {
        return std::nullopt;
    }
    ShownFont shown;
    const QString face = FromGbk(font.face.substr(0, 32));
    if (QFontDatabase::families().contains(face)) {
        shown.face = face;
    }
    shown.points = std::clamp(static_cast<int>(font.size), kSmallestPoints, kLargestPoints);
    shown.bold = (font.effects & 1) != 0;
    shown.italic = (font.effects & 2) != 0;
    shown.underline = (font.effects & 4) != 0;
    shown.colour =
        QColor(static_cast<int>(font.colour & 0xFF), static_cast<int>((font.colour >> 8) & 0xFF),
               static_cast<int>((font.colour >> 16) & 0xFF));
    return shown;
}

MessageFont MessageFontOf(const QString& face, double points, bool bold, bool italic,
                          bool underline, const QColor& colour) {
    MessageFont font;
    font.face = ToGbk(face).value_or(std::string());
    // (twips + 5) / 20 with 20 twips a point.
    font.size = static_cast<uint8_t>(std::clamp(static_cast<int>((points * 20 + 5) / 20), 0, 255));
    font.effects = static_cast<uint8_t>((bold ? 1 : 0) | (italic ? 2 : 0) | (underline ? 4 : 0));
    font.colour = static_cast<uint32_t>(colour.red()) |
                  (static_cast<uint32_t>(colour.green()) << 8) |
                  (static_cast<uint32_t>(colour.blue()) << 16);
    return font;
}

ChatLayout LayChat(int w, int h, int p) {
    ChatLayout layout;
    const int xs[4] = {10, 81, 152, 223};
    for (int i = 0; i < 4; ++i) {
        layout.topButtons[i] = QRect(xs[i], 4, 56, 50);
    }
    layout.display = QRect(11, 89, w - p - 28, h - 214);
    layout.font = QRect(9, h - 120, 21, 21);
    layout.colour = QRect(30, h - 120, 21, 21);
    layout.quickReply = QRect(51, h - 120, 21, 21);
    layout.emoticon = QRect(83, h - 120, 51, 21);
    layout.input = QRect(11, h - 94, w - p - 105, 70);
    layout.send = QRect(w - p - 90, h - 81, 69, 45);
    layout.paneToggle = QRect(w - p - 16, h - 203, 9, 57);
    layout.pane = QRect(w - p, 58, p, h - 116);
    return layout;
}

} // namespace talmor
