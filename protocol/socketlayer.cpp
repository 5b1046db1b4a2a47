#include "protocol/socketlayer.h"

namespace talmor {

uint32_t parseDottedAddress(const std::string& text) {
    uint32_t address = 0;
    int parts = 0;
    std::size_t i = 0;
    while (parts < 4) {
        if (i >= text.size() || text[i] < '0' || text[i] > '9') {
            return 0;
        }
        uint32_t part = 0;
        std::size_t digits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 4) {
            part = part * 10 + static_cast<uint32_t>(text[i] - '0');
            ++i;
            ++digits;
        }
        if (part > 255 || digits > 3) {
            return 0;
        }
        address = (address << 8) | part;
        ++parts;
        if (parts < 4) {
            if (i >= text.size() || text[i] != '.') {
                return 0;
            }
            ++i;
        }
    }
    return i == text.size() ? address : 0;
}

} // namespace talmor
