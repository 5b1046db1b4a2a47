#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "storage/calljournal.h"
#include "support/tempfolder.h"

namespace talmor::storage {
namespace {

constexpr int64_t kDayMs = 24 * 3600 * 1000;
constexpr int64_t kMonday = 1'765'152'000'000; // some midnight, UTC

JournalEntry Step(int64_t timeMs, uint32_t callId, uint32_t callerId, const std::string& name,
                  int32_t category, JournalStep step, const std::string& detail = {}) {
    return JournalEntry{timeMs, callId, callerId, name, category, step, detail};
}

// Three calls over two days: SOS 11 from caller 2001, help 12 from 2002, service 13 from 2001.
std::vector<JournalEntry> Sample() {
    const std::string zhang = "\xd5\xc5\xc8\xfd"; // 张三 in GBK
    const std::string li = "\xc0\xee\xcb\xc4";    // 李四
    return {
        Step(kMonday + 1000, 11, 2001, zhang, 1, JournalStep::Arrived),
        Step(kMonday + 1001, 11, 2001, zhang, 1, JournalStep::Shown),
        Step(kMonday + 2500, 12, 2002, li, 0, JournalStep::Arrived),
        Step(kMonday + 9000, 11, 2001, zhang, 1, JournalStep::Taken),
        Step(kMonday + kDayMs + 5, 13, 2001, zhang, 7, JournalStep::Arrived),
        Step(kMonday + kDayMs + 60000, 11, 2001, zhang, 1, JournalStep::ReportSaved,
             "\xd2\xd1\xb4\xa6\xc0\xed"), // 已处理
        Step(kMonday + kDayMs + 60400, 11, 2001, zhang, 1, JournalStep::Confirmed),
    };
}

class CallJournalTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(journal.open(folder.file(kCallJournalFile)));
        for (const JournalEntry& entry : Sample()) {
            ASSERT_TRUE(journal.append(entry));
        }
    }
    std::vector<JournalEntry> find(const JournalFilter& filter) {
        std::vector<JournalEntry> found;
        EXPECT_TRUE(journal.query(filter, found));
        return found;
    }
    static std::vector<uint32_t> callsOf(const std::vector<JournalEntry>& entries) {
        std::vector<uint32_t> ids;
        for (const JournalEntry& entry : entries) {
            ids.push_back(entry.callId);
        }
        return ids;
    }

    testing::TempFolder folder;
    CallJournal journal;
};

TEST_F(CallJournalTest, EntriesComeBackWholeInAppendOrderAfterReopening) {
    journal.close();
    ASSERT_TRUE(journal.open(folder.file(kCallJournalFile)));
    EXPECT_EQ(find({}), Sample());
    // The operator's alone, as every data file.
    struct stat file {};
    ASSERT_EQ(::stat(folder.file(kCallJournalFile).c_str(), &file), 0);
    EXPECT_EQ(file.st_mode & 0777, 0600u);
}

TEST_F(CallJournalTest, FiltersSelectByCallCallerCategoryAndDay) {
    JournalFilter byCall;
    byCall.callId = 11;
    JournalFilter byCallerId;
    byCallerId.caller = "2001";
    JournalFilter byName;
    byName.caller = "\xc0\xee"; // 李, a part of the name
    JournalFilter byCategory;
    byCategory.category = 0;
    JournalFilter secondDay;
    secondDay.fromMs = kMonday + kDayMs;
    secondDay.toMs = kMonday + 2 * kDayMs;
    JournalFilter sosOnFirstDay;
    sosOnFirstDay.category = 1;
    sosOnFirstDay.fromMs = kMonday;
    sosOnFirstDay.toMs = kMonday + kDayMs;
    JournalFilter nobody;
    nobody.caller = "9999";
    const struct {
        const char* name;
        JournalFilter filter;
        std::vector<uint32_t> calls;
    } cases[] = {
        {"call", byCall, {11, 11, 11, 11, 11}},
        {"caller id", byCallerId, {11, 11, 11, 13, 11, 11}},
        {"part of a name", byName, {12}},
        {"category 0 (a help call)", byCategory, {12}},
        {"day boundaries", secondDay, {13, 11, 11}},
        {"two filters at once", sosOnFirstDay, {11, 11, 11}},
        {"no match", nobody, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(callsOf(find(c.filter)), c.calls) << c.name;
    }
}

TEST_F(CallJournalTest, TheFileRefusesUpdatesAndDeletions) {
    journal.close();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(folder.file(kCallJournalFile).c_str(), &db), SQLITE_OK);
    EXPECT_NE(sqlite3_exec(db, "UPDATE journal SET detail = x'00'", nullptr, nullptr, nullptr),
              SQLITE_OK);
    EXPECT_NE(sqlite3_exec(db, "DELETE FROM journal", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    ASSERT_TRUE(journal.open(folder.file(kCallJournalFile)));
    EXPECT_EQ(find({}), Sample());
}

TEST(CallJournal, ForeignFilesAreRefusedAndLeftAlone) {
    testing::TempFolder folder;
    const std::string text = folder.file("notes.txt");
    testing::WriteFile(text, std::string(4096, 'x'));
    const std::string foreign = folder.file("other.db");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(foreign.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE t(x)", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);

    CallJournal journal;
    for (const std::string& path : {text, foreign, folder.file("missing/CallJournal.db")}) {
        EXPECT_FALSE(journal.open(path)) << path;
        EXPECT_FALSE(journal.append(Step(1, 1, 1, "a", 1, JournalStep::Arrived))) << path;
        std::vector<JournalEntry> found;
        EXPECT_FALSE(journal.query({}, found)) << path;
        EXPECT_FALSE(journal.flush()) << path;
    }
    EXPECT_EQ(testing::ReadFile(text), std::string(4096, 'x'));
}

TEST(CallJournal, FlushedEntriesAreInTheDatabaseFileItself) {
    testing::TempFolder folder;
    CallJournal journal;
    ASSERT_TRUE(journal.open(folder.file(kCallJournalFile)));
    ASSERT_TRUE(journal.append(Step(5, 7, 8, "n", 2, JournalStep::Withdrawn)));
    ASSERT_TRUE(journal.flush());
    // A copy of the database file alone, without its log, holds the entry.
    testing::WriteFile(folder.file("copy.db"), testing::ReadFile(folder.file(kCallJournalFile)));
    CallJournal copy;
    ASSERT_TRUE(copy.open(folder.file("copy.db")));
    std::vector<JournalEntry> found;
    ASSERT_TRUE(copy.query({}, found));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].step, JournalStep::Withdrawn);
}

} // namespace
} // namespace talmor::storage
