#include "protocol/packetcipher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <openssl/des.h>

#include "protocol/commands.h"
#include "support/wire.h"

namespace talmor {
namespace {

using Block = std::array<uint8_t, 8>;
using testing::Bytes;

// The initial permutation of standard DES: output bit i (from 1 at the most significant bit)
// is input bit kIp[i - 1].
constexpr uint8_t kIp[64] = {58, 50, 42, 34, 26, 18, 10, 2, 60, 52, 44, 36, 28, 20, 12, 4,
                             62, 54, 46, 38, 30, 22, 14, 6, 64, 56, 48, 40, 32, 24, 16, 8,
                             57, 49, 41, 33, 25, 17, 9,  1, 59, 51, 43, 35, 27, 19, 11, 3,
                             61, 53, 45, 37, 29, 21, 13, 5, 63, 55, 47, 39, 31, 23, 15, 7};

bool bitAt(const Block& block, int position) {
    return ((block[position / 8] >> (7 - position % 8)) & 1) != 0;
}

void setBit(Block& block, int position) {
    block[position / 8] = static_cast<uint8_t>(block[position / 8] | (0x80 >> (position % 8)));
}

Block initialPermutation(const Block& in) {
    Block out{};
    for (int i = 0; i < 64; ++i) {
        if (bitAt(in, kIp[i] - 1)) {
            setBit(out, i);
        }
    }
    return out;
}

Block inverseInitialPermutation(const Block& in) {
    Block out{};
    for (int i = 0; i < 64; ++i) {
        if (bitAt(in, i)) {
            setBit(out, kIp[i] - 1);
        }
    }
    return out;
}

Block standardDes(const Block& key, const Block& input, int direction) {
    DES_cblock keyBlock;
    std::memcpy(keyBlock, key.data(), 8);
    DES_key_schedule schedule;
    DES_set_key_unchecked(&keyBlock, &schedule);
    DES_cblock in;
    DES_cblock out;
    std::memcpy(in, input.data(), 8);
    DES_ecb_encrypt(&in, &out, &schedule, direction);
    Block result;
    std::memcpy(result.data(), out, 8);
    return result;
}

// The cipher as standard DES sees it: IP before and IP^-1 after are left out.
Block reference(const Block& key, const Block& block, int direction) {
    return initialPermutation(standardDes(key, inverseInitialPermutation(block), direction));
}

Block encrypted(const PacketCipher& cipher, Block block) {
    cipher.encryptBlock(block.data());
    return block;
}

Block decrypted(const PacketCipher& cipher, Block block) {
    cipher.decryptBlock(block.data());
    return block;
}

PacketCipher keyed(const Block& key) {
    PacketCipher cipher;
    cipher.setKey(key.data());
    return cipher;
}

Block randomBlock(std::mt19937& generator) {
    Block block;
    for (uint8_t& byte : block) {
        byte = static_cast<uint8_t>(generator());
    }
    return block;
}

// The textbook worked example of DES, through the test's own permutations: checks them and
// the cipher without the library.
TEST(PacketCipher, MatchesTheWorkedExampleOfStandardDes) {
    const Block key = {0x13, 0x34, 0x57, 0x79, 0x9B, 0xBC, 0xDF, 0xF1};
    const Block plain = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
    const Block expected = {0x85, 0xE8, 0x13, 0x54, 0x0F, 0x0A, 0xB4, 0x05};
    const PacketCipher cipher = keyed(key);
    const Block ours = encrypted(cipher, initialPermutation(plain));
    EXPECT_EQ(inverseInitialPermutation(ours), expected);
    EXPECT_EQ(initialPermutation(inverseInitialPermutation(plain)), plain);
}

TEST(PacketCipher, EqualsStandardDesWithoutTheInitialAndFinalPermutations) {
    std::mt19937 generator(20240611);
    for (int k = 0; k < 300; ++k) {
        const Block key = randomBlock(generator);
        const PacketCipher cipher = keyed(key);
        for (int b = 0; b < 40; ++b) {
            const Block block = randomBlock(generator);
            ASSERT_EQ(encrypted(cipher, block), reference(key, block, DES_ENCRYPT))
                << "key " << k << " block " << b;
            ASSERT_EQ(decrypted(cipher, block), reference(key, block, DES_DECRYPT))
                << "key " << k << " block " << b;
            ASSERT_EQ(decrypted(cipher, encrypted(cipher, block)), block);
        }
    }
}

// The weak keys and keys of all ones or all zeros stress the rotations of the key halves.
TEST(PacketCipher, EqualsStandardDesForExtremeKeysAndBlocks) {
    const std::vector<Block> values = {
        {0, 0, 0, 0, 0, 0, 0, 0},
        {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
        {0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01},
        {0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE},
        {0x1F, 0x1F, 0x1F, 0x1F, 0x0E, 0x0E, 0x0E, 0x0E},
        {0x80, 0, 0, 0, 0, 0, 0, 0x01},
        {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA},
    };
    for (const Block& key : values) {
        const PacketCipher cipher = keyed(key);
        for (const Block& block : values) {
            EXPECT_EQ(encrypted(cipher, block), reference(key, block, DES_ENCRYPT));
            EXPECT_EQ(decrypted(cipher, block), reference(key, block, DES_DECRYPT));
        }
    }
}

TEST(PacketCipher, KeyIsThePasswordsFirstEightBytesFilledWithZeros) {
    struct Case {
        std::string password;
        Block key;
    };
    const std::vector<Case> cases = {
        {"", {0, 0, 0, 0, 0, 0, 0, 0}},
        {"abc", {'a', 'b', 'c', 0, 0, 0, 0, 0}},
        {"12345678", {'1', '2', '3', '4', '5', '6', '7', '8'}},
        {"1234567890ab", {'1', '2', '3', '4', '5', '6', '7', '8'}},
        {"\xc3\xdc\xc2\xeb", {0xC3, 0xDC, 0xC2, 0xEB, 0, 0, 0, 0}}, // GBK text as bytes
    };
    const Block block = {1, 2, 3, 4, 5, 6, 7, 8};
    for (const Case& c : cases) {
        PacketCipher cipher;
        cipher.setKeyFromPassword(c.password);
        EXPECT_EQ(encrypted(cipher, block), reference(c.key, block, DES_ENCRYPT)) << c.password;
    }
}

// The receiving side keeps one cipher per console: two instances must not share keys.
TEST(PacketCipher, EachInstanceKeepsItsOwnKey) {
    const Block keyA = {1, 2, 3, 4, 5, 6, 7, 8};
    const Block keyB = {8, 7, 6, 5, 4, 3, 2, 1};
    const PacketCipher a = keyed(keyA);
    const PacketCipher b = keyed(keyB);
    const Block block = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80};
    EXPECT_EQ(encrypted(a, block), reference(keyA, block, DES_ENCRYPT));
    EXPECT_EQ(encrypted(b, block), reference(keyB, block, DES_ENCRYPT));
}

// --- Request bodies -------------------------------------------------------------------------

constexpr uint32_t kSession = 4321;
const Block kKey = {'s', 'e', 'c', 'r', 'e', 't', 0, 0};

OutPacket request(uint16_t command, const Bytes& body) {
    OutPacket packet = makeDatagram(77, kSession, command, 500);
    if (!body.empty()) {
        packet.writeBytes(body.data(), body.size());
    }
    return packet;
}

uint16_t checkWordOf(const Bytes& datagram) {
    return static_cast<uint16_t>((datagram[kCheckWordOffset] << 8) |
                                 datagram[kCheckWordOffset + 1]);
}

Bytes countingBody(std::size_t size) {
    Bytes body(size);
    for (std::size_t i = 0; i < size; ++i) {
        body[i] = static_cast<uint8_t>(i * 7 + 3);
    }
    return body;
}

TEST(EncipherRequest, PadsToWholeBlocksAndCarriesTheCheckedByte) {
    struct Case {
        const char* name;
        std::size_t bodySize;
        uint8_t randomByte;
        std::size_t paddedSize;
        std::size_t checkIndex;
    };
    const Case cases[] = {
        {"one byte", 1, 200, 8, 0},
        {"one block, no padding", 8, 13, 8, 5},
        {"nine bytes", 9, 9, 16, 0},
        {"index is the random byte modulo the body length", 300, 255, 304, 255},
        {"largest body that can be padded", 4072, 77, 4072, 77},
        {"padding up to the last byte of the packet", 4069, 0, 4072, 0},
    };
    const PacketCipher cipher = keyed(kKey);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes body = countingBody(c.bodySize);
        OutPacket packet = request(CMD_SEND_MESSAGE, body);
        encipherRequest(packet, cipher, c.randomByte);
        const Bytes sent = testing::bytesOf(packet);
        ASSERT_EQ(sent.size(), kDatagramHeaderSize + c.paddedSize);
        EXPECT_EQ(checkWordOf(sent), (c.checkIndex << 8) | body[c.checkIndex]);
        // The header is never enciphered.
        const Bytes header = testing::bytesOf(makeDatagram(77, kSession, CMD_SEND_MESSAGE, 500));
        EXPECT_TRUE(std::equal(header.begin(), header.begin() + kCheckWordOffset, sent.begin()));
        // Each block on its own, with the plaintext zero-filled.
        Bytes plain = body;
        plain.resize(c.paddedSize, 0);
        for (std::size_t offset = 0; offset < c.paddedSize; offset += 8) {
            Block block;
            std::copy_n(plain.begin() + static_cast<long>(offset), 8, block.begin());
            const Block expected = encrypted(cipher, block);
            ASSERT_TRUE(std::equal(expected.begin(), expected.end(),
                                   sent.begin() + static_cast<long>(kDatagramHeaderSize + offset)))
                << "block at " << offset;
        }
    }
}

TEST(EncipherRequest, LeavesLoginsEmptyBodiesAndUnpaddableBodiesAsTheyAre) {
    struct Case {
        const char* name;
        uint16_t command;
        std::size_t bodySize;
        bool mayGoOut;
    };
    const Case cases[] = {
        {"login carries the password in plain text", CMD_LOGIN, 40, true},
        {"empty body keeps checkWord 0", CMD_GET_GROUPS, 0, true},
        {"empty keep-alive", CMD_KEEP_ALIVE, 0, true},
        // Padding 4073 to 4076 bytes would run past the 4096-byte packet: refused.
        {"body too long to pad", CMD_SEND_MESSAGE, 4073, false},
        {"longest body", CMD_SEND_MESSAGE, kPacketCapacity - kDatagramHeaderSize, false},
    };
    const PacketCipher cipher = keyed(kKey);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OutPacket packet = request(c.command, countingBody(c.bodySize));
        const Bytes before = testing::bytesOf(packet);
        EXPECT_EQ(encipherRequest(packet, cipher, 99), c.mayGoOut);
        EXPECT_EQ(testing::bytesOf(packet), before);
        EXPECT_EQ(checkWordOf(before), 0);
    }
}

TEST(DecipherRequest, RecoversEveryBodyLengthAndAcceptsIt) {
    const PacketCipher cipher = keyed(kKey);
    std::mt19937 generator(7);
    for (std::size_t size = 1; size <= 70; ++size) {
        Bytes body(size);
        for (uint8_t& byte : body) {
            byte = static_cast<uint8_t>(generator());
        }
        OutPacket packet = request(CMD_SET_STATUS, body);
        encipherRequest(packet, cipher, static_cast<uint8_t>(generator()));
        Bytes datagram = testing::bytesOf(packet);
        ASSERT_TRUE(decipherRequest(datagram.data(), datagram.size(), cipher)) << size;
        body.resize((size + 7) / 8 * 8, 0);
        EXPECT_EQ(testing::bodyOf(datagram), body) << size;
    }
}

TEST(DecipherRequest, RejectsWhatFailsTheCheck) {
    const PacketCipher cipher = keyed(kKey);
    const auto enciphered = [&cipher](std::size_t bodySize, uint8_t randomByte) {
        OutPacket packet = request(CMD_SET_STATUS, countingBody(bodySize));
        encipherRequest(packet, cipher, randomByte);
        return testing::bytesOf(packet);
    };
    struct Case {
        const char* name;
        Bytes datagram;
    };
    std::vector<Case> cases;
    {
        Bytes d = enciphered(16, 3);
        d[kCheckWordOffset + 1] ^= 0x01; // the checked byte no longer matches
        cases.push_back({"checked byte differs", d});
    }
    {
        Bytes d = enciphered(16, 3);
        d[kCheckWordOffset] = 16; // index past the body
        cases.push_back({"index past the body", d});
    }
    {
        Bytes d = enciphered(16, 3);
        d.pop_back();
        cases.push_back({"not whole blocks", d});
    }
    {
        Bytes d = testing::bytesOf(request(CMD_SET_STATUS, {}));
        d[kCheckWordOffset + 1] = 5;
        cases.push_back({"empty body with a checkWord", d});
    }
    cases.push_back({"shorter than a header", Bytes(kDatagramHeaderSize - 1, 0)});
    for (Case& c : cases) {
        EXPECT_FALSE(decipherRequest(c.datagram.data(), c.datagram.size(), cipher)) << c.name;
    }
}

TEST(DecipherRequest, RejectsABodyEncipheredWithAnotherKey) {
    const PacketCipher ours = keyed(kKey);
    const PacketCipher other = keyed({'o', 't', 'h', 'e', 'r', 0, 0, 0});
    OutPacket packet = request(CMD_SET_STATUS, countingBody(24));
    encipherRequest(packet, other, 4);
    Bytes datagram = testing::bytesOf(packet);
    EXPECT_FALSE(decipherRequest(datagram.data(), datagram.size(), ours));
}

TEST(DecipherRequest, PassesLoginsAndEmptyBodiesUnchanged) {
    const PacketCipher cipher = keyed(kKey);
    for (const Bytes& original : {testing::bytesOf(request(CMD_LOGIN, countingBody(13))),
                                  testing::bytesOf(request(CMD_GET_GROUPS, {})),
                                  testing::bytesOf(makeDatagram(77, kSession, CMD_ACK, 9))}) {
        Bytes datagram = original;
        EXPECT_TRUE(decipherRequest(datagram.data(), datagram.size(), cipher));
        EXPECT_EQ(datagram, original);
    }
}

} // namespace
} // namespace talmor

#pragma GCC diagnostic pop
