#include "console/options/optionrules.h"

#include "console/options/optiontexts.h"
#include "console/options/wavefile.h"
#include "kit/gbktext.h"

namespace talmor {

const PhraseRule kAutoReplyRule{text::kAutoReplyName, 25};
const PhraseRule kQuickReplyRule{text::kQuickReplyName, 25};
const PhraseRule kSmsReplyRule{text::kSmsReplyName, 50};

namespace {

QString TooLong(const PhraseRule& rule, const QString& name) {
    return QString::fromUtf8(text::kPhraseTooLong)
        .arg(name)
        .arg(rule.characters)
        .arg(rule.maxBytes());
}

} // namespace

QString RefusePhrase(const QString& text, const PhraseRule& rule, const QString& name) {
    if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')) ||
        text.contains(QChar::LineSeparator) || text.contains(QChar::ParagraphSeparator)) {
        return QString::fromUtf8(text::kPhraseLineBreak).arg(name);
    }
    const std::optional<std::string> bytes = ToGbk(text);
    if (!bytes) {
        return NotGbkMessage(FirstNonGbk(text));
    }
    if (bytes->size() > rule.maxBytes()) {
        return TooLong(rule, name);
    }
    return {};
}

QString RefuseStoredPhrase(const std::string& bytes, const PhraseRule& rule, const QString& name) {
    if (bytes.find_first_of("\r\n") != std::string::npos) {
        return QString::fromUtf8(text::kPhraseLineBreak).arg(name);
    }
    // Bytes that are not GBK do not come back the same (half a character at the end of a piece
    // is swallowed, not reported, by the decoder).
    if (ToGbk(FromGbk(bytes)) != bytes) {
        return QString::fromUtf8(text::kPhraseNotGbk).arg(name);
    }
    if (bytes.size() > rule.maxBytes()) {
        return TooLong(rule, name);
    }
    return {};
}

QString NumberedPhrase(const PhraseRule& rule, std::size_t index) {
    return QString::fromUtf8(text::kNumberedPhrase)
        .arg(index + 1)
        .arg(QString::fromUtf8(rule.name));
}

QString RefuseSoundFile(const QString& path, const QString& event) {
    if (path.isEmpty()) {
        return {};
    }
    if (!ToGbk(path)) {
        return QString::fromUtf8(text::kSoundPathNotGbk).arg(event);
    }
    const QByteArray bytes = path.toUtf8();
    if (static_cast<std::size_t>(bytes.size()) > kMaxSoundPathBytes) {
        return QString::fromUtf8(text::kSoundPathTooLong).arg(event).arg(kMaxSoundPathBytes);
    }
    if (!IsPlayableWave(bytes.toStdString())) {
        return QString::fromUtf8(text::kSoundNotWave).arg(event, path);
    }
    return {};
}

} // namespace talmor
