#include "kit/phrasemenu.h"

namespace talmor {

namespace {

bool GbkLeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

} // namespace

std::string PhraseCaption(const std::string& phrase, std::size_t captionBytes) {
    if (phrase.size() <= captionBytes) {
        return phrase;
    }
    std::size_t cut = 0;
    while (cut < captionBytes) {
        const std::size_t step =
            GbkLeadByte(static_cast<unsigned char>(phrase[cut])) && cut + 1 < phrase.size() ? 2 : 1;
        if (cut + step > captionBytes) {
            break;
        }
        cut += step;
    }
    return phrase.substr(0, cut) + "...";
}

std::optional<std::string> PhraseOfCommand(const std::vector<std::string>& phrases, int command,
                                           const PhraseMenuKind& kind) {
    const int index = command - kind.firstId;
    if (index < 0 || index >= kPhraseCommandsHandled ||
        static_cast<std::size_t>(index) >= phrases.size()) {
        return std::nullopt;
    }
    return phrases[static_cast<std::size_t>(index)];
}

} // namespace talmor
