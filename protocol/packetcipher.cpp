#include "protocol/packetcipher.h"

#include <array>

#include "protocol/commands.h"

namespace talmor {

namespace {

// Tables of the standard algorithm; bit positions count from 1 at the most significant bit.
constexpr uint8_t kPc1[56] = {57, 49, 41, 33, 25, 17, 9,  1,  58, 50, 42, 34, 26, 18,
                              10, 2,  59, 51, 43, 35, 27, 19, 11, 3,  60, 52, 44, 36,
                              63, 55, 47, 39, 31, 23, 15, 7,  62, 54, 46, 38, 30, 22,
                              14, 6,  61, 53, 45, 37, 29, 21, 13, 5,  28, 20, 12, 4};

constexpr uint8_t kPc2[48] = {14, 17, 11, 24, 1,  5,  3,  28, 15, 6,  21, 10, 23, 19, 12, 4,
                              26, 8,  16, 7,  27, 20, 13, 2,  41, 52, 31, 37, 47, 55, 30, 40,
                              51, 45, 33, 48, 44, 49, 39, 56, 34, 53, 46, 42, 50, 36, 29, 32};

constexpr uint8_t kRotations[16] = {1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1};

constexpr uint8_t kP[32] = {16, 7, 20, 21, 29, 12, 28, 17, 1,  15, 23, 26, 5,  18, 31, 10,
                            2,  8, 24, 14, 32, 27, 3,  9,  19, 13, 30, 6,  22, 11, 4,  25};

constexpr uint8_t kSBoxes[8][64] = {
    {14, 4,  13, 1, 2,  15, 11, 8, 3, 10, 6, 12, 5,  9,  0,  7,  0,  15, 7,  4,  14, 2,
     13, 1,  10, 6, 12, 11, 9,  5, 3, 8,  4, 1,  14, 8,  13, 6,  2,  11, 15, 12, 9,  7,
     3,  10, 5,  0, 15, 12, 8,  2, 4, 9,  1, 7,  5,  11, 3,  14, 10, 0,  6,  13},
    {15, 1,  8,  14, 6,  11, 3,  4, 9,  7,  2, 13, 12, 0,  5,  10, 3,  13, 4,  7, 15, 2,
     8,  14, 12, 0,  1,  10, 6,  9, 11, 5,  0, 14, 7,  11, 10, 4,  13, 1,  5,  8, 12, 6,
     9,  3,  2,  15, 13, 8,  10, 1, 3,  15, 4, 2,  11, 6,  7,  12, 0,  5,  14, 9},
    {10, 0,  9,  14, 6, 3,  15, 5,  1,  13, 12, 7, 11, 4,  2,  8,  13, 7, 0,  9, 3, 4,
     6,  10, 2,  8,  5, 14, 12, 11, 15, 1,  13, 6, 4,  9,  8,  15, 3,  0, 11, 1, 2, 12,
     5,  10, 14, 7,  1, 10, 13, 0,  6,  9,  8,  7, 4,  15, 14, 3,  11, 5, 2,  12},
    {7, 13, 14, 3, 0, 6,  9, 10, 1,  2, 8,  5, 11, 12, 4,  15, 13, 8,  11, 5, 6, 15,
     0, 3,  4,  7, 2, 12, 1, 10, 14, 9, 10, 6, 9,  0,  12, 11, 7,  13, 15, 1, 3, 14,
     5, 2,  8,  4, 3, 15, 0, 6,  10, 1, 13, 8, 9,  4,  5,  11, 12, 7,  2,  14},
    {2,  12, 4, 1,  7,  10, 11, 6, 8, 5,  3, 15, 13, 0,  14, 9,  14, 11, 2,  12, 4,  7,
     13, 1,  5, 0,  15, 10, 3,  9, 8, 6,  4, 2,  1,  11, 10, 13, 7,  8,  15, 9,  12, 5,
     6,  3,  0, 14, 11, 8,  12, 7, 1, 14, 2, 13, 6,  15, 0,  9,  10, 4,  5,  3},
    {12, 1,  10, 15, 9,  2,  6, 8,  0, 13, 3,  4,  14, 7,  5, 11, 10, 15, 4, 2, 7, 12,
     9,  5,  6,  1,  13, 14, 0, 11, 3, 8,  9,  14, 15, 5,  2, 8,  12, 3,  7, 0, 4, 10,
     1,  13, 11, 6,  4,  3,  2, 12, 9, 5,  15, 10, 11, 14, 1, 7,  6,  0,  8, 13},
    {4, 11, 2,  14, 15, 0,  8,  13, 3, 12, 9,  7, 5,  10, 6,  1,  13, 0,  11, 7,  4, 9,
     1, 10, 14, 3,  5,  12, 2,  15, 8, 6,  1,  4, 11, 13, 12, 3,  7,  14, 10, 15, 6, 8,
     0, 5,  9,  2,  6,  11, 13, 8,  1, 4,  10, 7, 9,  5,  0,  15, 14, 2,  3,  12},
    {13, 2, 8,  4, 6, 15, 11, 1,  10, 9,  3, 14, 5,  0,  12, 7,  1,  15, 13, 8, 10, 3,
     7,  4, 12, 5, 6, 11, 0,  14, 9,  2,  7, 11, 4,  1,  9,  12, 14, 2,  0,  6, 10, 13,
     15, 3, 5,  8, 2, 1,  14, 7,  4,  10, 8, 13, 15, 12, 9,  0,  3,  5,  6,  11}};

// Each S-box's output already moved through P: one lookup per S-box and round.
using SpTables = std::array<std::array<uint32_t, 64>, 8>;

uint32_t permuteP(uint32_t value) {
    uint32_t out = 0;
    for (int i = 0; i < 32; ++i) {
        out = (out << 1) | ((value >> (32 - kP[i])) & 1u);
    }
    return out;
}

SpTables buildSpTables() {
    SpTables tables{};
    for (int box = 0; box < 8; ++box) {
        for (uint32_t x = 0; x < 64; ++x) {
            // The outer bits of the 6-bit input pick the row, the inner four the column.
            const uint32_t row = ((x >> 4) & 2u) | (x & 1u);
            const uint32_t column = (x >> 1) & 15u;
            const uint32_t output = kSBoxes[box][row * 16 + column];
            tables[box][x] = permuteP(output << (28 - 4 * box));
        }
    }
    return tables;
}

const SpTables& spTables() {
    static const SpTables tables = buildSpTables();
    return tables;
}

uint32_t rotateRight(uint32_t value, int count) {
    return (value >> count) | (value << (32 - count));
}

uint32_t loadBigEndian(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

void storeBigEndian(uint8_t* p, uint32_t value) {
    p[0] = static_cast<uint8_t>(value >> 24);
    p[1] = static_cast<uint8_t>(value >> 16);
    p[2] = static_cast<uint8_t>(value >> 8);
    p[3] = static_cast<uint8_t>(value);
}

// The expansion E of R gives eight overlapping 6-bit groups. Rotating R right by 3 brings the
// groups of S-boxes 1, 3, 5, 7 to bits 24, 16, 8, 0; rotating by 7 brings those of S-boxes 2,
// 4, 6, 8 to bits 16, 8, 0, 24. Round keys are stored in that arrangement (high word, low
// word), so E costs two rotations and the key mixing two XORs.
inline uint32_t feistel(const SpTables& sp, uint32_t right, uint64_t roundKey) {
    // One mask per word leaves each group alone in its byte, so each index is a byte load.
    constexpr uint32_t kGroupBits = 0x3F3F3F3F;
    const uint32_t even =
        (rotateRight(right, 3) ^ static_cast<uint32_t>(roundKey >> 32)) & kGroupBits;
    const uint32_t odd = (rotateRight(right, 7) ^ static_cast<uint32_t>(roundKey)) & kGroupBits;
    return sp[0][even >> 24] ^ sp[2][(even >> 16) & 0xFF] ^ sp[4][(even >> 8) & 0xFF] ^
           sp[6][even & 0xFF] ^ sp[1][(odd >> 16) & 0xFF] ^ sp[3][(odd >> 8) & 0xFF] ^
           sp[5][odd & 0xFF] ^ sp[7][odd >> 24];
}

// Sixteen rounds over the two halves; the round keys are taken from `kFirst` on, one `kStep`
// (1 or -1) at a time. Both are compile-time constants so the loop unrolls.
template <int kFirst, int kStep> void runRounds(const uint64_t* keys, uint8_t block[8]) {
    const SpTables& sp = spTables();
    uint32_t left = loadBigEndian(block);
    uint32_t right = loadBigEndian(block + 4);
    for (int round = 0, k = kFirst; round < 16; round += 2, k += 2 * kStep) {
        left ^= feistel(sp, right, keys[k]);
        right ^= feistel(sp, left, keys[k + kStep]);
    }
    // The halves are swapped after the last round.
    storeBigEndian(block, right);
    storeBigEndian(block + 4, left);
}

uint16_t headerShort(const uint8_t* datagram, std::size_t offset) {
    return static_cast<uint16_t>((datagram[offset] << 8) | datagram[offset + 1]);
}

constexpr std::size_t kBlockSize = 8;
constexpr std::size_t kCommandOffset = 14;

} // namespace

PacketCipher::PacketCipher() {
    // Building the tables here keeps the first enciphered request from paying for it.
    spTables();
}

void PacketCipher::setKey(const uint8_t key[8]) {
    uint64_t keyBits = 0;
    for (int i = 0; i < 8; ++i) {
        keyBits = (keyBits << 8) | key[i];
    }
    // PC-1 drops the parity bits and splits the rest into two 28-bit halves.
    uint32_t c = 0;
    uint32_t d = 0;
    for (int i = 0; i < 28; ++i) {
        c = (c << 1) | static_cast<uint32_t>((keyBits >> (64 - kPc1[i])) & 1u);
        d = (d << 1) | static_cast<uint32_t>((keyBits >> (64 - kPc1[i + 28])) & 1u);
    }
    constexpr uint32_t kHalfMask = (1u << 28) - 1;
    for (int round = 0; round < 16; ++round) {
        const int r = kRotations[round];
        c = ((c << r) | (c >> (28 - r))) & kHalfMask;
        d = ((d << r) | (d >> (28 - r))) & kHalfMask;
        const uint64_t cd = (uint64_t{c} << 28) | d;
        uint64_t subkey = 0;
        for (int i = 0; i < 48; ++i) {
            subkey = (subkey << 1) | ((cd >> (56 - kPc2[i])) & 1u);
        }
        // Six bits per S-box, S-box 1 first; arranged for feistel().
        std::array<uint32_t, 8> group{};
        for (int box = 0; box < 8; ++box) {
            group[box] = static_cast<uint32_t>((subkey >> (42 - 6 * box)) & 63u);
        }
        const uint32_t even = (group[0] << 24) | (group[2] << 16) | (group[4] << 8) | group[6];
        const uint32_t odd = (group[7] << 24) | (group[1] << 16) | (group[3] << 8) | group[5];
        roundKeys_[round] = (uint64_t{even} << 32) | odd;
    }
}

void PacketCipher::setKeyFromPassword(const std::string& password) {
    uint8_t key[8] = {};
    for (std::size_t i = 0; i < password.size() && i < 8; ++i) {
        key[i] = static_cast<uint8_t>(password[i]);
    }
    setKey(key);
}

void PacketCipher::encryptBlock(uint8_t block[8]) const {
    runRounds<0, 1>(roundKeys_, block);
}

void PacketCipher::decryptBlock(uint8_t block[8]) const {
    runRounds<15, -1>(roundKeys_, block);
}

bool encipherRequest(OutPacket& packet, const PacketCipher& cipher, uint8_t randomByte) {
    if (packet.length() <= kDatagramHeaderSize ||
        headerShort(packet.data(), kCommandOffset) == CMD_LOGIN) {
        return true;
    }
    const std::size_t bodyLength = packet.length() - kDatagramHeaderSize;
    const std::size_t padded = (bodyLength + kBlockSize - 1) / kBlockSize * kBlockSize;
    // A body too long for its padding is left as it is rather than written past the packet.
    if (!packet.zeroFillTo(kDatagramHeaderSize + padded)) {
        return false;
    }
    uint8_t* body = packet.data() + kDatagramHeaderSize;
    const std::size_t index = randomByte % bodyLength;
    packet.putShortAt(kCheckWordOffset, static_cast<uint16_t>((index << 8) | body[index]));
    for (std::size_t offset = 0; offset < padded; offset += kBlockSize) {
        cipher.encryptBlock(body + offset);
    }
    return true;
}

bool decipherRequest(uint8_t* datagram, std::size_t size, const PacketCipher& cipher) {
    if (size < kDatagramHeaderSize) {
        return false;
    }
    const uint16_t checkWord = headerShort(datagram, kCheckWordOffset);
    const std::size_t bodyLength = size - kDatagramHeaderSize;
    if (headerShort(datagram, kCommandOffset) == CMD_LOGIN) {
        return true;
    }
    if (bodyLength == 0) {
        return checkWord == 0;
    }
    if (bodyLength % kBlockSize != 0) {
        return false;
    }
    uint8_t* body = datagram + kDatagramHeaderSize;
    for (std::size_t offset = 0; offset < bodyLength; offset += kBlockSize) {
        cipher.decryptBlock(body + offset);
    }
    const std::size_t index = checkWord >> 8;
    return index < bodyLength && body[index] == (checkWord & 0xFF);
}

} // namespace talmor
