// The chat's text rules: emoticon codes in texts and as typed, history item heights, links.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QTest>

#include "messaging/chat/chatrules.h"
#include "messaging/chat/emoticons.h"
#include "messaging/chat/imageselector.h"
#include "messaging/chat/msgedit.h"
#include "support/qtapp.h"

namespace talmor {
namespace {

class ChatText : public ::testing::Test {
protected:
    void SetUp() override { testing::EnsureApplication(); }
};

// Pieces written as "text" or "[index]".
QString Pieces(const QString& text) {
    QString out;
    for (const TextPiece& piece : SplitEmoticons(text)) {
        out += piece.emoticon < 0
                   ? piece.text
                   : QStringLiteral("[") + QString::number(piece.emoticon) + QStringLiteral("]");
    }
    return out;
}

TEST_F(ChatText, CodesInATextBecomePicturesFirstMatchInTableOrder) {
    const std::pair<const char*, const char*> cases[] = {
        {"你好/微笑", "你好[0]"},  {"1/2 and 3/4", "1/2 and 3/4"},
        {"/不高兴", "[16]"},       {"/不好", "/不好"},
        {"/不要了", "[40]了"},     {"//晕/", "/[31]/"},
        {"/微笑/冷饮", "[0][64]"}, {"/ 晕", "/ 晕"},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(Pieces(QString::fromUtf8(text)), QString::fromUtf8(expected)) << text;
    }
    EXPECT_EQ(EmoticonName(0), QStringLiteral("微笑"));
    EXPECT_EQ(EmoticonPicture(64).size(), QSize(20, 20));
    EXPECT_NE(EmoticonPicture(0), EmoticonPicture(1)); // each its own drawing
}

// Types `text` a character at a time at the caret, as the keyboard would.
void TypeInto(CMsgEdit& edit, const QString& text) {
    for (const QChar c : text) {
        edit.insertPlainText(QString(c));
    }
}

TEST_F(ChatText, TypingACodeTurnsItIntoItsPictureAtItsLastCharacter) {
    const std::pair<const char*, int> cases[] = {
        {"/晕", 1}, {"/ 晕", 0}, {"a/不高兴b", 1}, {"/不", 0}, {"/微笑/大笑", 2}, {"1/2", 0},
    };
    for (const auto& [typed, pictures] : cases) {
        CMsgEdit edit(nullptr);
        TypeInto(edit, QString::fromUtf8(typed));
        EXPECT_EQ(edit.toPlainText().count(QChar::ObjectReplacementCharacter), pictures) << typed;
        EXPECT_EQ(edit.textWithCodes(), QString::fromUtf8(typed)) << typed;
    }
}

TEST_F(ChatText, EnterBreaksTheLineAndCtrlEnterSends) {
    CMsgEdit edit(nullptr);
    int sends = 0;
    QObject::connect(&edit, &CMsgEdit::sendRequested, [&] { ++sends; });
    QTest::keyClicks(&edit, QStringLiteral("a"));
    QTest::keyClick(&edit, Qt::Key_Return);
    QTest::keyClicks(&edit, QStringLiteral("b"));
    EXPECT_EQ(sends, 0);
    QTest::keyClick(&edit, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(sends, 1);
    EXPECT_EQ(edit.textWithCodes(), QStringLiteral("a\r\nb"));
}

TEST_F(ChatText, HistoryItemsAreOneLinePerLineBreakUpToEleven) {
    EXPECT_EQ(HistoryItemLines(QStringLiteral("head")), 1);
    EXPECT_EQ(HistoryItemLines(QStringLiteral("head\r\nbody")), 2);
    EXPECT_EQ(HistoryItemLines(QStringLiteral("head") + QStringLiteral("\r\nx").repeated(15)), 11);
}

TEST_F(ChatText, OnlyWebAndMailAddressesAreOpenable) {
    const std::pair<const char*, bool> cases[] = {
        {"http://example.org", true},   {"HTTPS://example.org/x", true},
        {"mailto:a@example.org", true}, {"file:///etc/passwd", false},
        {"/etc/passwd", false},         {"javascript:alert(1)", false},
        {"ftp://example.org", false},   {"http://", false},
        {"smb://server/share", false},  {"data:text/html,<b>x</b>", false},
    };
    for (const auto& [url, openable] : cases) {
        EXPECT_EQ(IsOpenableLink(QUrl(QString::fromUtf8(url))), openable) << url;
    }
}

TEST_F(ChatText, PickerCellsAreRowTimesThirteenPlusColumn) {
    EXPECT_EQ(CImageSelector::cellAt(QPoint(1, 1)), 0);
    EXPECT_EQ(CImageSelector::cellAt(QPoint(1 + 26 * 12 + 25, 1)), 12);
    EXPECT_EQ(CImageSelector::cellAt(QPoint(1 + 26 * 12, 1 + 26 * 4)), 64);
    EXPECT_EQ(CImageSelector::cellAt(QPoint(0, 0)), -1); // the border
    CImageSelector picker(nullptr);
    EXPECT_EQ(picker.size(), QSize(13 * 26 + 2, 5 * 26 + 2));
}

} // namespace
} // namespace talmor
