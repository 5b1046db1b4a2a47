#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "storage/datafiles.h"
#include "storage/textlists.h"
#include "support/tempfolder.h"

namespace talmor::storage {
namespace {

using testing::FileExists;
using testing::ReadFile;
using testing::TempFolder;
using testing::WriteFile;
using Texts = std::vector<std::string>;
using Accounts = std::vector<uint32_t>;

// ---- HistoryUser.dat ----

TEST(AccountList, AbsentFileGivesAnEmptyList) {
    TempFolder app;
    EXPECT_TRUE(LoadAccounts(app.path()).empty());
}

TEST(AccountList, RememberWritesOneNumberPerLineMostRecentFirst) {
    TempFolder app;
    ASSERT_TRUE(RememberAccount(app.path(), 100));
    ASSERT_TRUE(RememberAccount(app.path(), 4294967295u));
    EXPECT_EQ(ReadFile(app.file("HistoryUser.dat")), "4294967295\n100\n");
    EXPECT_EQ(LoadAccounts(app.path()), (Accounts{4294967295u, 100}));
}

TEST(AccountList, AccountInThirdPlaceMovesToTheFront) {
    TempFolder app;
    WriteFile(app.file("HistoryUser.dat"), "11\n22\n33\n44\n");
    ASSERT_TRUE(RememberAccount(app.path(), 33));
    EXPECT_EQ(ReadFile(app.file("HistoryUser.dat")), "33\n11\n22\n44\n");
}

TEST(AccountList, NewAccountGrowsTheFileByOneLine) {
    TempFolder app;
    WriteFile(app.file("HistoryUser.dat"), "11\n22\n");
    ASSERT_TRUE(RememberAccount(app.path(), 5));
    EXPECT_EQ(ReadFile(app.file("HistoryUser.dat")), "5\n11\n22\n");
    ASSERT_TRUE(RememberAccount(app.path(), 5)); // already first: unchanged
    EXPECT_EQ(LoadAccounts(app.path()), (Accounts{5, 11, 22}));
}

TEST(AccountList, ReadsEachLineAsANumber) {
    TempFolder app;
    // Up to 10 digits; a line without digits or over 32 bits is no account.
    WriteFile(app.file("HistoryUser.dat"), "12\n  34\r\n\nabc\n56xyz\n99999999999\n4294967296\n7");
    EXPECT_EQ(LoadAccounts(app.path()), (Accounts{12, 34, 56, 7}));
}

TEST(AccountList, NothingIsWrittenWhereTheFileCannotBeCreated) {
    TempFolder app;
    const std::string missing = app.file("gone/");
    EXPECT_FALSE(RememberAccount(missing, 1));
    EXPECT_FALSE(FileExists(missing));
}

// ---- QuickReply.dat, AutoReply.dat, SmsReply.dat ----

TEST(TextList, SaveWritesOneLinePerEntry) {
    TempFolder user;
    ASSERT_TRUE(SaveQuickReplies(user.path(), {"\xC5\xB6\xA1\xA3", "", "two words"}));
    EXPECT_EQ(ReadFile(user.file("QuickReply.dat")), "\xC5\xB6\xA1\xA3\n\ntwo words\n");
    Texts list;
    ASSERT_TRUE(LoadQuickReplies(user.path(), list));
    EXPECT_EQ(list, (Texts{"\xC5\xB6\xA1\xA3", "", "two words"}));
}

TEST(TextList, EachListHasItsOwnFile) {
    TempFolder user;
    ASSERT_TRUE(SaveQuickReplies(user.path(), {"q"}));
    ASSERT_TRUE(SaveAutoReplies(user.path(), {"a"}));
    ASSERT_TRUE(SaveSmsReplies(user.path(), {"s"}));
    EXPECT_EQ(ReadFile(user.file("QuickReply.dat")), "q\n");
    EXPECT_EQ(ReadFile(user.file("AutoReply.dat")), "a\n");
    EXPECT_EQ(ReadFile(user.file("SmsReply.dat")), "s\n");
    Texts quick, autoReplies, sms;
    LoadQuickReplies(user.path(), quick);
    LoadAutoReplies(user.path(), autoReplies);
    LoadSmsReplies(user.path(), sms);
    EXPECT_EQ(quick, Texts{"q"});
    EXPECT_EQ(autoReplies, Texts{"a"});
    EXPECT_EQ(sms, Texts{"s"});
}

// Files written before (the old writer took lines of any length) load as they always did.
TEST(TextList, LongLineOfAnOlderFileComesBackIn127BytePieces) {
    TempFolder user;
    std::string reply;
    for (int i = 0; i < 200; ++i) {
        reply += static_cast<char>('a' + i % 26);
    }
    WriteFile(user.file("QuickReply.dat"), reply + "\n");
    Texts list;
    ASSERT_TRUE(LoadQuickReplies(user.path(), list));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], reply.substr(0, 127));
    EXPECT_EQ(list[1], reply.substr(127));
    EXPECT_EQ(list[1].size(), 73u);
}

// Saving then loading gives the same list back, or saving refuses and leaves the file alone.
TEST(TextList, SavingNeverWritesALineThatLoadsAsAnotherList) {
    struct Case {
        const char* what;
        Texts list;
        bool saved;
    };
    const std::vector<Case> cases = {
        {"126 bytes", {std::string(126, 'x'), "b"}, true},
        {"127 bytes (a piece of an older line)", {"a", std::string(127, 'x')}, false},
        {"200 bytes", {std::string(200, 'x')}, false},
        {"a line feed", {"one\ntwo"}, false},
        {"a carriage return stays one line", {"one\rtwo"}, true},
        {"empty entries", {"", ""}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder user;
        WriteFile(user.file("SmsReply.dat"), "before\n");
        EXPECT_EQ(SaveSmsReplies(user.path(), c.list), c.saved);
        Texts loaded;
        ASSERT_TRUE(LoadSmsReplies(user.path(), loaded));
        EXPECT_EQ(loaded, c.saved ? c.list : Texts{"before"});
    }
}

TEST(TextList, LineOfExactly127BytesLeavesItsLineFeedAsAnEmptyPiece) {
    TempFolder user;
    const std::string line(127, 'x');
    WriteFile(user.file("AutoReply.dat"), line + "\n" + std::string(126, 'y') + "\n");
    Texts list;
    ASSERT_TRUE(LoadAutoReplies(user.path(), list));
    EXPECT_EQ(list, (Texts{line, "", std::string(126, 'y')}));
}

TEST(TextList, EmptyLineInsideSmsReplyLoadsAsAnEmptyEntry) {
    TempFolder user;
    WriteFile(user.file("SmsReply.dat"), "first\n\nthird\n");
    Texts list;
    ASSERT_TRUE(LoadSmsReplies(user.path(), list));
    EXPECT_EQ(list, (Texts{"first", "", "third"}));
}

TEST(TextList, LastLineWithoutLineFeedIsAnEntry) {
    TempFolder user;
    WriteFile(user.file("SmsReply.dat"), "one\ntwo");
    Texts list;
    ASSERT_TRUE(LoadSmsReplies(user.path(), list));
    EXPECT_EQ(list, (Texts{"one", "two"}));
}

TEST(TextList, LoadingAppendsToTheGivenList) {
    TempFolder user;
    ASSERT_TRUE(SaveAutoReplies(user.path(), {"b", "c"}));
    Texts list{"a"};
    ASSERT_TRUE(LoadAutoReplies(user.path(), list));
    EXPECT_EQ(list, (Texts{"a", "b", "c"}));
}

TEST(TextList, AbsentOrUnreadableFileAddsNothing) {
    TempFolder user;
    Texts list{"kept"};
    EXPECT_FALSE(LoadQuickReplies(user.path(), list));
    EXPECT_FALSE(LoadQuickReplies(user.file("nowhere/"), list));
    std::filesystem::create_directory(user.file("SmsReply.dat")); // a folder where a file should be
    LoadSmsReplies(user.path(), list);
    EXPECT_EQ(list, Texts{"kept"});
}

TEST(TextList, SaveReplacesTheWholeFile) {
    TempFolder user;
    ASSERT_TRUE(SaveSmsReplies(user.path(), {"1", "2", "3"}));
    ASSERT_TRUE(SaveSmsReplies(user.path(), {"4"}));
    EXPECT_EQ(ReadFile(user.file("SmsReply.dat")), "4\n");
    ASSERT_TRUE(SaveSmsReplies(user.path(), {}));
    EXPECT_EQ(ReadFile(user.file("SmsReply.dat")), "");
    EXPECT_FALSE(FileExists(user.file("SmsReply.dat.tmp")));
}

TEST(TextList, FileThatCannotBeCreatedIsSkippedSilently) {
    TempFolder user;
    EXPECT_FALSE(SaveQuickReplies(user.file("missing/"), {"x"}));
    EXPECT_FALSE(FileExists(user.file("missing")));
}

TEST(DataFiles, JoinPathPutsOneSlashBetween) {
    EXPECT_EQ(JoinPath("/a/", "f"), "/a/f");
    EXPECT_EQ(JoinPath("/a", "f"), "/a/f");
    EXPECT_EQ(JoinPath("", "f"), "f");
}

} // namespace
} // namespace talmor::storage
