// Where the cores' trace lines go: details only when someone reads them, warnings always.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "protocol/trace.h"

namespace talmor {
namespace {

struct Seen {
    TraceLevel level;
    std::string line;
};

class TraceTest : public ::testing::Test {
protected:
    void TearDown() override {
        setTraceOutput(nullptr, false);
        setTraceSink(nullptr);
    }
    void watch(bool details) {
        setTraceOutput(
            [this](TraceLevel level, const std::string& line) {
                seen.push_back({level, line});
            },
            details);
    }
    std::vector<Seen> seen;
};

TEST_F(TraceTest, DetailsReachTheOutputOnlyWhenAskedForAndWarningsAlways) {
    for (const bool details : {false, true}) {
        seen.clear();
        watch(details);
        EXPECT_EQ(traceDetails(), details);
        trace("packet 7 is ACKed");
        traceWarning("can not connect to server");
        ASSERT_EQ(seen.size(), details ? 2u : 1u);
        EXPECT_EQ(seen.back().level, TraceLevel::Warning);
        EXPECT_EQ(seen.back().line, "can not connect to server");
        if (details) {
            EXPECT_EQ(seen.front().level, TraceLevel::Detail);
            EXPECT_EQ(seen.front().line, "packet 7 is ACKed");
        }
    }
}

TEST_F(TraceTest, ACaptureTakesEveryLineInsteadOfTheOutput) {
    watch(false);
    std::vector<std::string> captured;
    setTraceSink([&](const std::string& line) { captured.push_back(line); });
    EXPECT_TRUE(traceDetails());
    trace("packet 7 is ACKed");
    traceWarning("packet 8 timed out");
    EXPECT_EQ(captured, (std::vector<std::string>{"packet 7 is ACKed", "packet 8 timed out"}));
    EXPECT_TRUE(seen.empty());
    setTraceSink(nullptr);
    traceWarning("packet 9 timed out");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].line, "packet 9 timed out");
}

// With nothing installed a detail costs nothing and goes nowhere; a warning goes to standard
// error.
TEST_F(TraceTest, WithoutAnOutputDetailsAreDroppedAndWarningsGoToStandardError) {
    EXPECT_FALSE(traceDetails());
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    trace("packet 7 is ACKed");
    traceWarning("can not connect to server");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "can not connect to server\n");
}

} // namespace
} // namespace talmor
