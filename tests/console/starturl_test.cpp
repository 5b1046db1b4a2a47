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

TEST(CheckStartUrl, RefusesLongControlNonGbkAndMalformedUrls) {
    const std::string login = "\"quorvane://login/?uid=1024&pw=";
    const struct {
        const char* name;
        std::string commandLine;
        StartUrlProblem problem;
    } cases[] = {
        {"plain login", login + "talmor1024\"", StartUrlProblem::None},
        {"GBK password", login + "\xc3\xdc\xc2\xeb\"", StartUrlProblem::None}, // 密码
        {"exactly the limit", login + std::string(kMaxStartUrlBytes - login.size() - 1, 'p') + "\"",
         StartUrlProblem::None},
        {"one byte over", login + std::string(kMaxStartUrlBytes - login.size(), 'p') + "\"",
         StartUrlProblem::TooLong},
        {"line break", login + "a\nb\"", StartUrlProblem::ControlCharacter},
        {"NUL", login + std::string("a\0b", 3) + "\"", StartUrlProblem::ControlCharacter},
        {"DEL", login + "a\x7f\"", StartUrlProblem::ControlCharacter},
        {"UTF-8 (not GBK)", login + "\xe5\xaf\x86\"", StartUrlProblem::NotGbk},
        {"lone lead byte at the end", login + "\xc3", StartUrlProblem::NotGbk},
        {"0x80 lead", login + "\x80\x41\"", StartUrlProblem::NotGbk},
        {"trail 0x7f", login + "\xc3\x7f\"", StartUrlProblem::ControlCharacter},
        {"trail below 0x40", login + "\xc3\x30\"", StartUrlProblem::NotGbk},
        {"empty password", login + "\"", StartUrlProblem::Malformed},
        {"other command", "\"quorvane://logout/?uid=1&pw=x\"", StartUrlProblem::Malformed},
        {"no URL at all", "\"--verbose\"", StartUrlProblem::Malformed},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CheckStartUrl(c.commandLine), c.problem) << c.name;
        EXPECT_EQ(std::string(StartUrlProblemText(CheckStartUrl(c.commandLine))).empty(),
                  c.problem == StartUrlProblem::None)
            << c.name;
    }
}

} // namespace
} // namespace talmor
