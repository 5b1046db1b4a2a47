#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace talmor {

// A phrase menu: "自定义" (32881), a separator, then one item per phrase in list order with
// commands from `firstId` up. Only the first 21 commands insert their phrase.
struct PhraseMenuKind {
    const char* name; // the popup's title
    int firstId;
    std::size_t captionBytes; // longer phrases are shown cut, followed by "..."
    int optionPage;           // the page of the options sheet that "自定义" opens
};

constexpr int kCustomiseCommand = 32881;
namespace text {
inline constexpr char kCustomise[] = "自定义";
} // namespace text
constexpr int kPhraseCommandsHandled = 21;
// The quick phrases (QuickReply.dat) of the report and merchant notice windows.
constexpr PhraseMenuKind kQuickPhrases{"QuickReply", 40000, 20, 0};
// The SMS texts (SmsReply.dat) of the family SMS window.
constexpr PhraseMenuKind kSmsPhrases{"SmsReply", 50000, 50, 2};

// The menu caption of `phrase` (GBK): whole when it fits `captionBytes`, else its first
// bytes up to that many followed by "...". A cut never splits a double-byte character, so it
// keeps one byte less when the last one would be half of one.
std::string PhraseCaption(const std::string& phrase, std::size_t captionBytes);

// The phrase that `command` inserts from `phrases`; none for commands past the first 21 or
// beyond the list.
std::optional<std::string> PhraseOfCommand(const std::vector<std::string>& phrases, int command,
                                           const PhraseMenuKind& kind);

} // namespace talmor
