#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <vector>

#include "calls/journalrecorder.h"
#include "calls/journaltexts.h"
#include "protocol/commands.h"
#include "storage/datafiles.h"
#include "support/qtapp.h"

namespace talmor {
namespace {

using storage::JournalEntry;
using storage::JournalStep;

CallRecord Sos(uint32_t callId) {
    CallRecord call;
    call.callId = callId;
    call.userId = 2001;
    call.userName = testing::Gbk("张大爷");
    call.category = 1;
    return call;
}

class RecorderTest : public ::testing::Test {
protected:
    RecorderTest() : recorder([this] { return now; }) {
        recorder.setFailureHandler([this](bool failing) { reports.push_back(failing); });
    }
    std::vector<JournalEntry> entries() {
        std::vector<JournalEntry> found;
        EXPECT_TRUE(recorder.query({}, found));
        return found;
    }

    testing::TempFolder folder;
    int64_t now = 1'765'000'000'123;
    JournalRecorder recorder;
    std::vector<bool> reports;
};

TEST_F(RecorderTest, RequestsBecomeStepsFiledWithTheCallerOfTheirCall) {
    ASSERT_TRUE(recorder.open(folder.path()));
    recorder.record(JournalStep::Shown, Sos(7));
    const struct {
        uint16_t command;
        std::string detail;
        JournalStep step;
    } requests[] = {
        {CMD_TAKE_CALL, "", JournalStep::Taken},
        {CMD_SOS_SMS, "13800001111", JournalStep::SmsSent},
        {CMD_SERVICE_NOTICE_2, "shop (3001)", JournalStep::MerchantNotified},
        {CMD_MISDIAL, "", JournalStep::Misdial},
        {CMD_BLACKLIST, "0755-8888", JournalStep::Blacklisted},
        {CMD_CALL_REPORT, testing::Gbk("已送医"), JournalStep::ReportSaved},
        {CMD_GIVE_UP_CALL, "", JournalStep::GivenUp},
    };
    for (const auto& request : requests) {
        ++now;
        recorder.onCallRequest(request.command, 7, request.detail);
    }
    recorder.onCallRequest(CMD_GET_CONTACTS, 7, {}); // not a handling step

    const std::vector<JournalEntry> found = entries();
    ASSERT_EQ(found.size(), 1 + std::size(requests));
    for (std::size_t i = 0; i < std::size(requests); ++i) {
        const JournalEntry& entry = found[i + 1];
        EXPECT_EQ(entry.step, requests[i].step) << i;
        EXPECT_EQ(entry.detail, requests[i].detail) << i;
        EXPECT_EQ(entry.timeMs, 1'765'000'000'124 + static_cast<int64_t>(i)) << i;
        EXPECT_EQ(entry.callerId, 2001u) << i;
        EXPECT_EQ(entry.callerName, testing::Gbk("张大爷")) << i;
        EXPECT_EQ(entry.category, 1) << i;
    }
    EXPECT_TRUE(reports.empty());
}

TEST_F(RecorderTest, AStepOfACallNeverSeenIsStillWritten) {
    ASSERT_TRUE(recorder.open(folder.path()));
    recorder.record(JournalStep::Confirmed, 99);
    const std::vector<JournalEntry> found = entries();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].callId, 99u);
    EXPECT_EQ(found[0].callerId, 0u);
    EXPECT_EQ(found[0].category, -1);
}

TEST_F(RecorderTest, FailuresAreReportedOnceAndTheRecoveryToo) {
    // A folder that does not exist: the journal cannot open and every write fails.
    EXPECT_FALSE(recorder.open(folder.path() + "missing/"));
    recorder.record(JournalStep::Arrived, Sos(1));
    recorder.record(JournalStep::Shown, Sos(1));
    EXPECT_EQ(reports, (std::vector<bool>{true}));
    EXPECT_TRUE(recorder.failing());
    ASSERT_TRUE(recorder.open(folder.path()));
    recorder.record(JournalStep::Arrived, Sos(2));
    EXPECT_EQ(reports, (std::vector<bool>{true, false}));
    EXPECT_EQ(entries().size(), 1u);
}

TEST_F(RecorderTest, SwitchedOffNothingIsOpenedOrWritten) {
    recorder.setEnabled(false);
    EXPECT_FALSE(recorder.open(folder.path()));
    recorder.record(JournalStep::Arrived, Sos(1));
    recorder.onCallRequest(CMD_TAKE_CALL, 1, {});
    EXPECT_TRUE(reports.empty());
    EXPECT_FALSE(recorder.journal().isOpen());
    EXPECT_FALSE(
        QFileInfo::exists(QString::fromStdString(folder.path()) + storage::kCallJournalFile));
}

TEST_F(RecorderTest, StepsOfAFailingJournalWaitAndAreWrittenInOrderOnceItWorks) {
    // The operator's folder appears only later: until then every write fails.
    const std::string later = folder.path() + "later/";
    EXPECT_FALSE(recorder.open(later));
    recorder.record(JournalStep::Arrived, Sos(1));
    now += 5;
    recorder.record(JournalStep::Shown, Sos(1));
    recorder.onCallRequest(CMD_TAKE_CALL, 1, {});
    EXPECT_EQ(recorder.waiting(), 3u);
    EXPECT_FALSE(recorder.retry());
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(later)));
    EXPECT_TRUE(recorder.retry());
    EXPECT_EQ(recorder.waiting(), 0u);
    EXPECT_EQ(reports, (std::vector<bool>{true, false}));
    std::vector<JournalStep> steps;
    for (const JournalEntry& entry : entries()) {
        steps.push_back(entry.step);
        EXPECT_EQ(entry.callerId, 2001u);
    }
    EXPECT_EQ(steps, (std::vector<JournalStep>{JournalStep::Arrived, JournalStep::Shown,
                                               JournalStep::Taken}));
    EXPECT_EQ(entries()[1].timeMs, now); // the moment of the step, not of the late write
}

TEST_F(RecorderTest, ABatchSchedulerGathersTheStepsOfATurnIntoOneWrite) {
    int scheduled = 0;
    recorder.setBatchScheduler([&] { ++scheduled; });
    ASSERT_TRUE(recorder.open(folder.path()));
    recorder.record(JournalStep::Arrived, Sos(1));
    recorder.record(JournalStep::Shown, Sos(1));
    recorder.record(JournalStep::Arrived, Sos(2));
    EXPECT_EQ(scheduled, 1);
    std::vector<JournalEntry> written;
    ASSERT_TRUE(recorder.journal().query({}, written));
    EXPECT_TRUE(written.empty());
    recorder.commitWaiting();
    ASSERT_TRUE(recorder.journal().query({}, written));
    EXPECT_EQ(written.size(), 3u);
    // The next turn schedules anew; a query writes what waits before it reads.
    recorder.record(JournalStep::Taken, 2);
    EXPECT_EQ(scheduled, 2);
    EXPECT_EQ(entries().size(), 4u);
    EXPECT_TRUE(reports.empty());
}

// A handling request is recorded before it leaves and written at once with the steps before
// it, not at the end of the turn: a console killed right after the send keeps the step.
TEST_F(RecorderTest, AHandlingRequestsStepIsWrittenBeforeTheRequestLeaves) {
    recorder.setBatchScheduler([] {});
    ASSERT_TRUE(recorder.open(folder.path()));
    recorder.record(JournalStep::Shown, Sos(3));
    recorder.onCallRequest(CMD_TAKE_CALL, 3, {});
    std::vector<JournalEntry> written;
    ASSERT_TRUE(recorder.journal().query({}, written));
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[0].step, JournalStep::Shown);
    EXPECT_EQ(written[1].step, JournalStep::Taken);
    EXPECT_EQ(recorder.waiting(), 0u);
}

TEST_F(RecorderTest, WaitingStepsNeverReachTheNextOperatorsJournal) {
    EXPECT_FALSE(recorder.open(folder.path() + "missing/"));
    recorder.record(JournalStep::Arrived, Sos(1));
    ASSERT_TRUE(recorder.open(folder.path()));
    EXPECT_EQ(recorder.waiting(), 0u);
    EXPECT_TRUE(entries().empty());
}

TEST(JournalTexts, CsvQuotesWhatNeedsItAndDisarmsFormulas) {
    JournalEntry entry{1'765'000'000'000,         12, 2001,
                       testing::Gbk("王,\"五\""), 1,  JournalStep::ReportSaved,
                       "=SUM(A1)\r\nline two"};
    const QStringList lines = JournalCsv({entry}).split("\r\n");
    ASSERT_EQ(lines.size(), 4); // heading, the entry over two lines, and the final empty part
    EXPECT_EQ(lines[0], testing::U("时间,呼叫号,帐号,呼叫人,呼叫类型,步骤,内容"));
    const QString time = QDateTime::fromMSecsSinceEpoch(entry.timeMs)
                             .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    EXPECT_EQ(lines[1],
              time + testing::U(",12,2001,\"王,\"\"五\"\"\",求救呼叫,填写处理报告,\"'=SUM(A1)"));
    EXPECT_EQ(lines[2], testing::U("line two\""));
}

TEST(JournalTexts, CsvDisarmsEveryStartASpreadsheetReadsAsAFormula) {
    struct Case {
        const char* detail;
        const char* field; // the last field of the line, as written
    };
    for (const Case& c :
         {Case{"=1+1", "'=1+1"}, Case{"+1", "'+1"}, Case{"-1", "'-1"},
          Case{"@SUM(A1)", "'@SUM(A1)"}, Case{"\t=1+1", "'\t=1+1"}, Case{"\r=1+1", "\"'\r=1+1\""},
          Case{"plain", "plain"}, Case{"a=1", "a=1"}}) {
        const JournalEntry entry{1'765'000'000'000,        12,      2001, "x", 1,
                                 JournalStep::ReportSaved, c.detail};
        const QString csv = JournalCsv({entry});
        const QString line = csv.mid(csv.indexOf("\r\n") + 2);
        EXPECT_TRUE(line.endsWith(QString::fromUtf8(c.field) + "\r\n")) << line.toStdString();
    }
}

TEST(JournalTexts, FiltersFromWhatTheOperatorTyped) {
    JournalQuery byName;
    byName.caller = testing::U(" 张 ");
    byName.category = 1;
    const auto name = JournalFilterOf(byName);
    ASSERT_TRUE(name);
    EXPECT_EQ(name->caller, testing::Gbk("张"));
    EXPECT_EQ(name->category, 1);
    EXPECT_FALSE(name->callId);
    EXPECT_FALSE(name->fromMs);

    JournalQuery byDay;
    byDay.callId = "42";
    byDay.day = QDate(2026, 12, 10);
    const auto day = JournalFilterOf(byDay);
    ASSERT_TRUE(day);
    EXPECT_EQ(day->callId, 42u);
    EXPECT_EQ(*day->fromMs, QDateTime(QDate(2026, 12, 10), QTime(0, 0)).toMSecsSinceEpoch());
    EXPECT_EQ(*day->toMs, QDateTime(QDate(2026, 12, 11), QTime(0, 0)).toMSecsSinceEpoch());

    JournalQuery notANumber;
    notANumber.callId = "4x";
    EXPECT_FALSE(JournalFilterOf(notANumber));
    JournalQuery notGbk;
    notGbk.caller = testing::U("😀");
    EXPECT_FALSE(JournalFilterOf(notGbk));
}

} // namespace
} // namespace talmor
