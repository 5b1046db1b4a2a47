#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <string>
#include <vector>

#include "console/options/optionrules.h"
#include "console/options/phraselist.h"
#include "console/options/wavefile.h"
#include "support/optionfiles.h"
#include "support/qtapp.h"

namespace talmor {
namespace {

using testing::Gbk;
using testing::U;

// ---- the texts of the phrase lists ----

TEST(PhraseRules, TypedTextsAreOneLineOfGbkWithinTheLabelsLength) {
    const QString twentyFive = QString(25, QChar(0x4E2D));   // 中 x 25: 50 bytes
    const QString twentySix = QString(26, QChar(0x4E2D));    // 52 bytes
    const QString fiftyChinese = QString(50, QChar(0x4E2D)); // 100 bytes
    struct Case {
        QString text;
        const PhraseRule& rule;
        const char* refusal; // start of the message, or nullptr when the text is kept
    };
    const std::vector<Case> cases = {
        {twentyFive, kQuickReplyRule, nullptr},
        {QString(50, 'a'), kAutoReplyRule, nullptr},
        {twentySix, kQuickReplyRule, "亲爱的用户：快捷回复短语不能超过25个汉字（50个字节）"},
        {QString(51, 'a'), kAutoReplyRule, "亲爱的用户：快捷回复短语不能超过25个汉字"},
        {twentySix, kSmsReplyRule, nullptr},
        {fiftyChinese, kSmsReplyRule, nullptr},
        {fiftyChinese + "a", kSmsReplyRule,
         "亲爱的用户：快捷回复短语不能超过50个汉字（100个字节）"},
        {U("第一行\n第二行"), kQuickReplyRule, "亲爱的用户：快捷回复短语不能换行"},
        {U("一\r二"), kSmsReplyRule, "亲爱的用户：快捷回复短语不能换行"},
        {U("一") + QChar(QChar::ParagraphSeparator) + U("二"), kQuickReplyRule,
         "亲爱的用户：快捷回复短语不能换行"},
        {U("好的😀"), kQuickReplyRule, "您输入的字符“😀”无法以本系统使用的中文编码（GBK）保存"},
        {QString(), kQuickReplyRule, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const QString refusal = RefusePhrase(c.text, c.rule, U("快捷回复短语"));
        if (c.refusal == nullptr) {
            EXPECT_TRUE(refusal.isEmpty()) << refusal.toStdString();
        } else {
            EXPECT_TRUE(refusal.startsWith(U(c.refusal))) << refusal.toStdString();
        }
    }
}

// Texts from the files as an older console wrote them: a piece of a long line may end in half
// a Chinese character.
TEST(PhraseRules, StoredTextsAreCheckedAsBytes) {
    const std::string longLine = Gbk("一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十"
                                     "一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十"
                                     "一二三四五");
    ASSERT_GT(longLine.size(), 127u);
    const std::string piece = longLine.substr(0, 127); // ends in half a character
    struct Case {
        std::string bytes;
        const char* refusal;
    };
    const std::vector<Case> cases = {
        {Gbk("你家人现在平安，请放心。"), nullptr},
        {piece, "亲爱的用户：第2条短信快捷回复含有本系统使用的中文编码（GBK）无法保存的字符"},
        {longLine.substr(0, 126), "亲爱的用户：第2条短信快捷回复不能超过50个汉字"},
        {"a\rb", "亲爱的用户：第2条短信快捷回复不能换行"},
    };
    for (const Case& c : cases) {
        const QString refusal =
            RefuseStoredPhrase(c.bytes, kSmsReplyRule, NumberedPhrase(kSmsReplyRule, 1));
        if (c.refusal == nullptr) {
            EXPECT_TRUE(refusal.isEmpty()) << refusal.toStdString();
        } else {
            EXPECT_TRUE(refusal.startsWith(U(c.refusal))) << refusal.toStdString();
        }
    }
}

// ---- sound files ----

TEST(WaveFiles, OnlyPlayableWaveFilesPass) {
    testing::EnsureApplication();
    testing::TempFolder folder;
    struct Case {
        const char* what;
        std::string bytes;
        bool playable;
    };
    std::string list = "LIST";
    list += std::string("\x05\0\0\0abcde\0", 10); // an odd chunk with its pad byte
    const std::vector<Case> cases = {
        {"PCM, 16 bits", testing::WaveBytes(), true},
        {"PCM, 8 bits, stereo", testing::WaveBytes(1, 2, 8), true},
        {"float, 32 bits", testing::WaveBytes(3, 1, 32), true},
        {"another chunk in front, odd-sized", testing::WaveBytes(1, 1, 16, list), true},
        {"compressed (ADPCM)", testing::WaveBytes(2, 1, 4), false},
        {"no channels", testing::WaveBytes(1, 0, 16), false},
        {"the samples before their format", testing::WaveBytes(1, 1, 16, {}, true), false},
        {"no samples", testing::WaveBytes().substr(0, 36), false},
        {"not a wave", "RIFF\x10\0\0\0AVI LIST", false},
        {"text", "hello, world", false},
        {"empty", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = folder.path() + "sound.wav";
        testing::WriteBytes(path, c.bytes);
        EXPECT_EQ(IsPlayableWave(path), c.playable);
    }
    EXPECT_FALSE(IsPlayableWave(folder.path() + "missing.wav"));
    // The console's own sounds.
    for (const QString& name : QDir(TALMOR_SOUND_FOLDER).entryList({"*.wav"})) {
        EXPECT_TRUE(IsPlayableWave(TALMOR_SOUND_FOLDER + name.toStdString())) << name.toStdString();
    }
}

TEST(WaveFiles, SoundFileRulesNameTheEvent) {
    testing::EnsureApplication();
    testing::TempFolder folder;
    const QString base = QString::fromStdString(folder.path());
    const QString wave = base + "ok.wav";
    testing::WriteBytes(wave.toStdString(), testing::WaveBytes());
    const QString notWave = base + "notes.wav";
    testing::WriteBytes(notWave.toStdString(), "not a sound");
    // A file GBK can name, and one whose name it cannot hold.
    const QString chinese = base + U("提醒.wav");
    testing::WriteBytes(chinese.toUtf8().toStdString(), testing::WaveBytes());
    const QString emoji = base + U("🔔.wav");
    testing::WriteBytes(emoji.toUtf8().toStdString(), testing::WaveBytes());
    const QString deep = base + QString(260, 'd') + ".wav";

    const QString event = U("求助报警");
    EXPECT_TRUE(RefuseSoundFile(QString(), event).isEmpty());
    EXPECT_TRUE(RefuseSoundFile(wave, event).isEmpty());
    EXPECT_TRUE(RefuseSoundFile(chinese, event).isEmpty());
    EXPECT_TRUE(RefuseSoundFile(notWave, event).startsWith(U("亲爱的用户：“求助报警”的声音文件“")));
    EXPECT_TRUE(
        RefuseSoundFile(base + "gone.wav", event).contains(U("不是可以播放的波形声音文件")));
    EXPECT_TRUE(RefuseSoundFile(emoji, event).contains(U("中文编码（GBK）无法保存")));
    EXPECT_TRUE(RefuseSoundFile(deep, event).contains(U("路径太长（不能超过259个字节）")));
}

// ---- the phrase list behind the drop-down list and the edit box ----

TEST(PhraseListState, LoadingShowsTheCurrentTextOrTheFirst) {
    PhraseList list;
    list.load({"a", "b", "b"}, "b");
    EXPECT_EQ(list.shown(), 1);
    list.load({"a", "b"}, "gone");
    EXPECT_EQ(list.shown(), 0);
    list.load({}, "a");
    EXPECT_EQ(list.shown(), -1);
    EXPECT_EQ(list.shownText(), "");
}

TEST(PhraseListState, EditsGoIntoThePhraseShownUntilThen) {
    PhraseList list;
    list.load({"a", "b", "c"}, "a");
    list.select(2, std::string("A"));
    list.select(0, std::nullopt); // untouched: "c" keeps its bytes
    EXPECT_EQ(list.phrases(), (std::vector<std::string>{"A", "b", "c"}));
    EXPECT_EQ(list.shownText(), "A");
    // Added, typed, confirmed without choosing another: the text is kept.
    list.add(std::nullopt);
    EXPECT_EQ(list.shown(), 3);
    list.keep(std::string("new"));
    EXPECT_EQ(list.phrases(), (std::vector<std::string>{"A", "b", "c", "new"}));
}

TEST(PhraseListState, DeletingShowsTheOneBeforeOrTheNewFirst) {
    struct Case {
        std::vector<std::string> phrases;
        int shown;
        std::vector<std::string> left;
        int shownAfter;
    };
    const std::vector<Case> cases = {
        {{"a", "b", "c"}, 0, {"b", "c"}, 0},
        {{"a", "b", "c"}, 2, {"a", "b"}, 1},
        {{"a", "b", "c"}, 1, {"a", "c"}, 0},
        {{"only"}, 0, {}, -1},
    };
    for (const Case& c : cases) {
        PhraseList list;
        list.load(c.phrases, c.phrases[static_cast<std::size_t>(c.shown)]);
        list.remove();
        EXPECT_EQ(list.phrases(), c.left);
        EXPECT_EQ(list.shown(), c.shownAfter);
    }
    PhraseList empty;
    empty.remove();
    EXPECT_TRUE(empty.empty());
}

} // namespace
} // namespace talmor
