#include "console/options/wavefile.h"

#include <cstdint>
#include <cstring>
#include <fstream>

namespace talmor {

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;

uint32_t Le32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint16_t Le16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

bool PlayableFormat(const unsigned char* fmt, uint32_t size) {
    if (size < 16) {
        return false;
    }
    const uint16_t format = Le16(fmt);
    const uint16_t channels = Le16(fmt + 2);
    const uint32_t rate = Le32(fmt + 4);
    const uint16_t bits = Le16(fmt + 14);
    const bool knownFormat =
        format == kFormatPcm || format == kFormatFloat || format == kFormatExtensible;
    const bool knownBits = bits == 8 || bits == 16 || bits == 24 || bits == 32;
    return knownFormat && knownBits && channels >= 1 && channels <= 8 && rate > 0;
}

} // namespace

bool IsPlayableWave(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    unsigned char header[12];
    if (!file.read(reinterpret_cast<char*>(header), sizeof header) ||
        std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0) {
        return false;
    }
    bool formatOk = false;
    unsigned char chunk[8];
    while (file.read(reinterpret_cast<char*>(chunk), sizeof chunk)) {
        const uint32_t size = Le32(chunk + 4);
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            unsigned char fmt[16];
            if (size < sizeof fmt || !file.read(reinterpret_cast<char*>(fmt), sizeof fmt)) {
                return false;
            }
            formatOk = PlayableFormat(fmt, size);
            file.seekg(static_cast<std::streamoff>(size - sizeof fmt + (size & 1U)), std::ios::cur);
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            // The samples follow; a "fmt " chunk must have come before them.
            return formatOk;
        } else {
            file.seekg(static_cast<std::streamoff>(size) + (size & 1U), std::ios::cur);
        }
    }
    return false;
}

} // namespace talmor
