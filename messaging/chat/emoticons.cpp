#include "messaging/chat/emoticons.h"

#include <QPainter>
#include <QSvgRenderer>

#include <array>

static void InitChatResources() {
    Q_INIT_RESOURCE(chat);
}

namespace talmor {

namespace {

constexpr std::array<const char*, kEmoticonCount> kCodes = {
    "/微笑", "/大笑", "/调皮", "/偷笑", "/淫笑", "/桃心", "/脸红",     "/憧憬", "/惊讶", "/难受",
    "/惊呆", "/傲慢", "/流泪", "/闭嘴", "/睡觉", "/哭泣", "/不高兴",   "/寒",   "/疑问", "/撒娇",
    "/冷汗", "/诧异", "/疲惫", "/摆势", "/拍砖", "/历害", "/目瞪口呆", "/痛苦", "/绝望", "/打击",
    "/呕吐", "/晕",   "/奸笑", "/愤怒", "/无奈", "/眨眼", "/喜欢",     "/磕睡", "/纳闷", "/生气",
    "/不要", "/口罩", "/红心", "/心碎", "/吃饭", "/飞吻", "/投降",     "/愉快", "/彩虹", "/灯泡",
    "/花朵", "/可乐", "/手机", "/蛋糕", "/月笑", "/太阳", "/邮件",     "/礼物", "/大便", "/药丸",
    "/闪电", "/刀子", "/猪头", "/炸弹", "/冷饮"};

const std::array<QString, kEmoticonCount>& Codes() {
    static const std::array<QString, kEmoticonCount> codes = [] {
        std::array<QString, kEmoticonCount> all;
        for (int i = 0; i < kEmoticonCount; ++i) {
            all[static_cast<std::size_t>(i)] =
                QString::fromUtf8(kCodes[static_cast<std::size_t>(i)]);
        }
        return all;
    }();
    return codes;
}

// The sprite of all 65, rendered once.
const QImage& Sprite() {
    static const QImage sprite = [] {
        InitChatResources();
        QImage image(kEmoticonSize * kEmoticonCount, kEmoticonSize,
                     QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QSvgRenderer renderer(QStringLiteral(":/chat/emoticons.svg"));
        QPainter painter(&image);
        renderer.render(&painter);
        return image;
    }();
    return sprite;
}

} // namespace

QString EmoticonCode(int index) {
    return index >= 0 && index < kEmoticonCount ? Codes()[static_cast<std::size_t>(index)]
                                                : QString();
}

QString EmoticonName(int index) {
    return EmoticonCode(index).mid(1);
}

int EmoticonAt(const QString& text, int at) {
    if (at < 0 || at >= text.size() || text[at] != QLatin1Char('/')) {
        return -1;
    }
    for (int i = 0; i < kEmoticonCount; ++i) {
        const QString& code = Codes()[static_cast<std::size_t>(i)];
        if (QStringView(text).mid(at).startsWith(code)) {
            return i;
        }
    }
    return -1;
}

QImage EmoticonPicture(int index) {
    if (index < 0 || index >= kEmoticonCount) {
        return {};
    }
    return Sprite().copy(index * kEmoticonSize, 0, kEmoticonSize, kEmoticonSize);
}

std::vector<TextPiece> SplitEmoticons(const QString& text) {
    std::vector<TextPiece> pieces;
    int start = 0;
    int at = text.indexOf(QLatin1Char('/'));
    while (at >= 0) {
        const int emoticon = EmoticonAt(text, at);
        if (emoticon < 0) {
            at = text.indexOf(QLatin1Char('/'), at + 1);
            continue;
        }
        if (at > start) {
            pieces.push_back({text.mid(start, at - start), -1});
        }
        const QString& code = Codes()[static_cast<std::size_t>(emoticon)];
        pieces.push_back({code, emoticon});
        start = at + static_cast<int>(code.size());
        at = text.indexOf(QLatin1Char('/'), start);
    }
    if (start < text.size()) {
        pieces.push_back({text.mid(start), -1});
    }
    return pieces;
}

} // namespace talmor
