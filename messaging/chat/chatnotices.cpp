#include "messaging/chat/chatnotices.h"

#include "kit/gbktext.h"
#include "messaging/chat/msgview.h"

namespace talmor {

namespace {
const QString kCancel = QStringLiteral(" 取消 ");
const QString kAccept = QStringLiteral(" 接受 ");

bool Reorders(char16_t c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

int CancelCode(OfferKind kind) {
    return kind == OfferKind::File    ? kCancelFile
           : kind == OfferKind::Voice ? kCancelVoice
                                      : kCancelVideo;
}
} // namespace

QString OneLine(const QString& text) {
    QString line;
    line.reserve(text.size());
    for (const QChar c : text) {
        const QChar::Category category = c.category();
        if (category != QChar::Other_Control && category != QChar::Separator_Line &&
            category != QChar::Separator_Paragraph && !Reorders(c.unicode())) {
            line += c;
        }
    }
    return line;
}

void ShowOfferNotice(CMsgView& display, OfferKind kind, const std::string& fileName) {
    QString lead;
    switch (kind) {
    case OfferKind::File:
        lead = QStringLiteral("—\r\n对方发来文件 ") + OneLine(FromGbk(fileName)) +
               QStringLiteral(" 传送请求,同意传送请点击");
        break;
    case OfferKind::Voice:
        lead = QStringLiteral("—\r\n对方发来与您的语音交谈请求,同意传送请点击");
        break;
    case OfferKind::Video:
        lead = QStringLiteral("—\r\n对方发来与您的视频对话请求,同意传送请点击");
        break;
    }
    const int accept = CancelCode(kind) + 1;
    display.appendNotice(lead + QStringLiteral(" 接受 拒绝传送请求点击 取消 ？\r\n—\r\n"),
                         {{kAccept, accept}, {kCancel, CancelCode(kind)}});
}

void ShowRequestNotice(CMsgView& display, OfferKind kind, const std::string& fileName) {
    QString lead;
    switch (kind) {
    case OfferKind::File:
        lead = QStringLiteral("—\r\n正在进行 ") + FromGbk(fileName) +
               QStringLiteral(" 文件传送请求,请等待对方接受,结束请点击");
        break;
    case OfferKind::Voice:
        lead = QStringLiteral("—\r\n正在进行与对方语音交谈请求,请等待对方接受,结束请点击");
        break;
    case OfferKind::Video:
        lead = QStringLiteral("—\r\n正在进行与对方视频对话请求,请等待对方接受,结束请点击");
        break;
    }
    display.appendNotice(lead + QStringLiteral(" 取消 \r\n—\r\n"), {{kCancel, CancelCode(kind)}});
}

} // namespace talmor
