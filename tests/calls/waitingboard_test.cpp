#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calls/waitingboard.h"

namespace talmor {
namespace {

constexpr int64_t kStart = 1'765'000'000'000;
constexpr int kHelp = 0;
constexpr int kSos = 1;
constexpr int kProperty = 2;

std::vector<uint32_t> RepeatedAt(WaitingBoard& board, int64_t offsetMs) {
    return board.due(kStart + offsetMs).calls;
}

TEST(WaitingBoard, SosRepeatsEvery15SecondsHelpEvery60AndServiceCallsNever) {
    WaitingBoard board;
    board.sync({{1, kSos, kStart}, {2, kHelp, kStart}, {3, kProperty, kStart}}, kStart);
    const struct {
        int64_t offsetMs;
        std::vector<uint32_t> calls;
        bool sos;
        bool help;
    } steps[] = {
        {14999, {}, false, false},   {15000, {1}, true, false}, {29999, {}, false, false},
        {30000, {1}, true, false},   {45000, {1}, true, false}, {59999, {}, false, false},
        {60000, {1, 2}, true, true}, {60001, {}, false, false}, {120000, {1, 2}, true, true},
    };
    for (const auto& step : steps) {
        const RealertDue due = board.due(kStart + step.offsetMs);
        EXPECT_EQ(due.calls, step.calls) << step.offsetMs;
        EXPECT_EQ(due.sosSound, step.sos) << step.offsetMs;
        EXPECT_EQ(due.helpSound, step.help) << step.offsetMs;
    }
}

TEST(WaitingBoard, ACallThatStopsWaitingStopsAndOneThatComesBackStartsAgain) {
    WaitingBoard board;
    board.sync({{1, kSos, kStart}, {2, kSos, kStart}}, kStart);
    EXPECT_TRUE(board.alarmWaits());
    board.sync({{2, kSos, kStart}}, kStart + 10000); // call 1 was taken
    EXPECT_EQ(RepeatedAt(board, 15000), (std::vector<uint32_t>{2}));
    board.sync({}, kStart + 16000);
    EXPECT_FALSE(board.alarmWaits());
    EXPECT_TRUE(RepeatedAt(board, 60000).empty());
    // Listed again later: a fresh period from the moment it is seen again.
    board.sync({{1, kSos, kStart}}, kStart + 70000);
    EXPECT_TRUE(RepeatedAt(board, 84999).empty());
    EXPECT_EQ(RepeatedAt(board, 85000), (std::vector<uint32_t>{1}));
}

TEST(WaitingBoard, RepeatsCountFromTheMomentTheCallWasShownNotFromTheFirstLook) {
    WaitingBoard board;
    // Shown 5 s before the board first looked (the look waits for the event loop's turn).
    board.sync({{1, kSos, kStart - 60000, kStart - 5000}, {2, kSos, kStart, kStart + 9000}},
               kStart);
    EXPECT_TRUE(RepeatedAt(board, 9999).empty());
    EXPECT_EQ(RepeatedAt(board, 10000), (std::vector<uint32_t>{1}));
    // A moment ahead of the look counts from the look.
    EXPECT_EQ(RepeatedAt(board, 15000), (std::vector<uint32_t>{2}));
}

TEST(WaitingBoard, AStallRepeatsOnceAndKeepsThePeriodFromThen) {
    WaitingBoard board;
    board.sync({{1, kSos, kStart}}, kStart);
    EXPECT_EQ(RepeatedAt(board, 100000), (std::vector<uint32_t>{1}));
    EXPECT_TRUE(RepeatedAt(board, 114999).empty());
    EXPECT_EQ(RepeatedAt(board, 115000), (std::vector<uint32_t>{1}));
}

TEST(WaitingBoard, ServiceCallsWaitWithoutAnAlarm) {
    WaitingBoard board;
    board.sync({{3, kProperty, kStart}}, kStart);
    EXPECT_FALSE(board.alarmWaits());
    EXPECT_FALSE(board.empty());
    EXPECT_EQ(board.oldestSeconds(kStart + 5000), 5);
}

TEST(WaitingBoard, WaitsCountFromTheCallTimeButNeverFromTheFuture) {
    WaitingBoard board;
    board.sync({{1, kHelp, kStart - 90000}, {2, kSos, kStart + 3'600'000}}, kStart);
    EXPECT_EQ(board.waitedSeconds(1, kStart), 90);
    EXPECT_EQ(board.waitedSeconds(2, kStart + 2500), 2);
    EXPECT_EQ(board.waitedSeconds(3, kStart), -1);
    EXPECT_EQ(board.oldestSeconds(kStart), 90);
    // A call seen again keeps its start.
    board.sync({{1, kHelp, kStart}}, kStart + 1000);
    EXPECT_EQ(board.waitedSeconds(1, kStart + 1000), 91);
    board.sync({}, kStart + 2000);
    EXPECT_EQ(board.oldestSeconds(kStart + 2000), -1);
}

TEST(WaitingBoard, OnlyTheLongestWaitingSosCallColoursTheWait) {
    const struct {
        const char* name;
        std::vector<WaitingCall> calls;
        int64_t atSeconds;
        WaitingLevel level;
    } cases[] = {
        {"SOS at 60 s", {{1, kSos, kStart}}, 60, WaitingLevel::Calm},
        {"SOS past 60 s", {{1, kSos, kStart}}, 61, WaitingLevel::Amber},
        {"SOS at 180 s", {{1, kSos, kStart}}, 180, WaitingLevel::Amber},
        {"SOS past 180 s", {{1, kSos, kStart}}, 181, WaitingLevel::Red},
        {"help call long waiting", {{1, kHelp, kStart}}, 900, WaitingLevel::Calm},
        {"older help call, younger SOS call",
         {{1, kHelp, kStart - 300000}, {2, kSos, kStart - 70000}},
         0,
         WaitingLevel::Amber},
        {"nothing waits", {}, 500, WaitingLevel::Calm},
    };
    for (const auto& c : cases) {
        WaitingBoard board;
        board.sync(c.calls, kStart);
        EXPECT_EQ(board.level(kStart + c.atSeconds * 1000), c.level) << c.name;
    }
}

TEST(WaitingBoard, WaitingTexts) {
    const struct {
        int64_t seconds;
        const char* text;
    } cases[] = {
        {-3, "0秒"},
        {0, "0秒"},
        {59, "59秒"},
        {60, "1分00秒"},
        {125, "2分05秒"},
        {3599, "59分59秒"},
        {3600, "1小时00分00秒"},
        {90061, "25小时01分01秒"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WaitingText(c.seconds), c.text) << c.seconds;
    }
    EXPECT_EQ(OldestWaitingText(125), "最久等待 2分05秒");
    EXPECT_EQ(OldestWaitingText(-1), "");
}

} // namespace
} // namespace talmor
