#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "protocol/packet.h"

namespace talmor {

// DES without its initial and final permutations: encryptBlock(b) equals
// IP(DES_K(IP^-1(b))) for standard DES. The combined S-and-P tables are built once per process;
// each instance holds the sixteen round keys of one key (the server keeps one per console).
class PacketCipher {
public:
    PacketCipher();
    void setKey(const uint8_t key[8]);
    // The key is the password's first 8 bytes, filled with zero bytes when it is shorter.
    void setKeyFromPassword(const std::string& password);
    void encryptBlock(uint8_t block[8]) const;
    void decryptBlock(uint8_t block[8]) const;

private:
    uint64_t roundKeys_[16] = {};
};

// Enciphers the body of a console request in place: checkWord, zero fill to a multiple of 8,
// then each 8-byte block on its own. The login request (command 3) and empty bodies are left
// as they are. `randomByte` picks the body byte that the checkWord carries. False, with the
// packet untouched, when the body is too long to pad within the packet (4073 to 4076 bytes):
// such a request must not go out at all.
bool encipherRequest(OutPacket& packet, const PacketCipher& cipher, uint8_t randomByte);

// The receiving side: deciphers the body of a console datagram in place and checks the
// checkWord. False when the body is not a whole number of blocks or the check fails. Bodies
// of command 3 and empty bodies with checkWord 0 pass unchanged.
bool decipherRequest(uint8_t* datagram, std::size_t size, const PacketCipher& cipher);

} // namespace talmor
