#pragma once

#include <QString>

#include <cstddef>
#include <string>

namespace talmor {

// What a phrase list of the options sheet holds. Its texts go one per line into a list file and
// into a store stream field, so each one must be a single line of GBK text no longer than the
// edit box's label allows (two bytes per Chinese character); then no list line is ever split by
// the reader and no field of the options record is ever left out.
struct PhraseRule {
    const char* name; // how the messages call a text of the list (UTF-8)
    int characters;   // the Chinese characters of the label
    std::size_t maxBytes() const { return 2 * static_cast<std::size_t>(characters); }
};

extern const PhraseRule kAutoReplyRule;  // AutoReply.dat, 25 characters
extern const PhraseRule kQuickReplyRule; // QuickReply.dat, 25 characters
extern const PhraseRule kSmsReplyRule;   // SmsReply.dat, 50 characters

// Why `text` may not be kept under `rule`, in the operator's words; empty when it may.
// `name` names the text in the message ("快捷回复短语", "第3条快捷回复短语").
QString RefusePhrase(const QString& text, const PhraseRule& rule, const QString& name);
// The same for a text as it came from a file (GBK bytes, perhaps a piece of an older line).
QString RefuseStoredPhrase(const std::string& bytes, const PhraseRule& rule, const QString& name);
// "第n条" + the list's name, for the phrase at `index`.
QString NumberedPhrase(const PhraseRule& rule, std::size_t index);

// A sound path fits the options record next to nine others and the three texts.
constexpr std::size_t kMaxSoundPathBytes = 259;

// Why the sound file `path` may not be the one of the event called `event`; empty when it may.
// An empty path (no sound) may. Otherwise the path must be one GBK can hold, at most
// kMaxSoundPathBytes long, and name a playable wave file.
QString RefuseSoundFile(const QString& path, const QString& event);

} // namespace talmor
