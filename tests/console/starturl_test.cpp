#include <gtest/gtest.h>

#include "console/starturl.h"

namespace talmor {
namespace {

struct UrlCase {
    const char* name;
    std::string commandLine;
    uint32_t operatorId;
    std::string password;
};

class StartUrlTest : public ::testing::TestWithParam<UrlCase> {};

TEST_P(StartUrlTest, ReadsTheLoginOrFallsBackToTheDialog) {
    const UrlCase& c = GetParam();
    const StartLogin login = ParseStartUrl(c.commandLine);
    EXPECT_EQ(login.operatorId, c.operatorId);
    EXPECT_EQ(login.password, c.password);
    EXPECT_EQ(login.direct(), c.operatorId != 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartUrlTest,
    ::testing::Values(
        UrlCase{"quoted", "\"quorvane://login/?uid=1024&pw=talmor1024\"", 1024, "talmor1024"},
        // The first character of the command is taken for the quote: "ogin" is no command.
        UrlCase{"unquoted", "quorvane://login/?uid=1024&pw=talmor1024", 0, ""},
        UrlCase{"no_marker", "\"quorvane://login?uid=1024&pw=x\"", 0, ""},
        UrlCase{"other_command", "\"quorvane://logout/?uid=1024&pw=x\"", 0, ""},
        UrlCase{"non_numeric_uid", "\"quorvane://login/?uid=abc&pw=x\"", 0, ""},
        UrlCase{"uid_stops_at_non_digit", "\"quorvane://login/?uid=12ab&pw=x\"", 12, "x"},
        UrlCase{"uid_zero", "\"quorvane://login/?uid=0&pw=x\"", 0, ""},
        UrlCase{"uid_beyond_32_bits", "\"quorvane://login/?uid=4294967296&pw=x\"", 0, ""},
        UrlCase{"empty_password", "\"quorvane://login/?uid=1024&pw=\"", 0, ""},
        UrlCase{"no_ampersand", "\"quorvane://login/?uid=1024\"", 0, ""},
        UrlCase{"ampersand_in_password", "\"quorvane://login/?uid=1024&pw=a&b&c\"", 1024, "a&b&c"},
        // The operator's password is never edited, even where it holds the key names.
        UrlCase{"key_names_in_password", "\"quorvane://login/?uid=7&pw=pw=uid=x\"", 7, "pw=uid=x"},
        UrlCase{"empty", "", 0, ""}),
    [](const ::testing::TestParamInfo<UrlCase>& param) { return std::string(param.param.name); });

TEST(RawCommandLineTest, QuotesEachArgumentAsTheShellPassesALink) {
    const char* argv[] = {"talmormanager", "quorvane://login/?uid=1024&pw=a b"};
    const std::string line = RawCommandLine(2, argv);
    EXPECT_EQ(line, "\"quorvane://login/?uid=1024&pw=a b\"");
    EXPECT_EQ(ParseStartUrl(line).password, "a b");

    const char* quoted[] = {"talmormanager", "\"quorvane://login/?uid=5&pw=q\""};
    EXPECT_EQ(RawCommandLine(2, quoted), "\"quorvane://login/?uid=5&pw=q\"");
    const char* none[] = {"talmormanager"};
    EXPECT_EQ(RawCommandLine(1, none), "");
}

} // namespace
} // namespace talmor
