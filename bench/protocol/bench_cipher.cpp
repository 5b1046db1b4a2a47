// Packet cipher throughput: 8-byte blocks enciphered one by one over a 4 KB buffer (a full
// datagram body), beside the same work done by OpenSSL's DES in the same run.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <openssl/des.h>

#include "protocol/packetcipher.h"

namespace talmor {
namespace {

constexpr std::size_t kBufferSize = 4096;
constexpr uint8_t kKey[8] = {0x13, 0x34, 0x57, 0x79, 0x9B, 0xBC, 0xDF, 0xF1};

std::vector<uint8_t> filledBuffer() {
    std::vector<uint8_t> buffer(kBufferSize);
    for (std::size_t i = 0; i < buffer.size(); ++i) {
        buffer[i] = static_cast<uint8_t>(i * 31 + 7);
    }
    return buffer;
}

void runPacketCipher(benchmark::State& state, void (PacketCipher::*direction)(uint8_t*) const) {
    PacketCipher cipher;
    cipher.setKey(kKey);
    std::vector<uint8_t> buffer = filledBuffer();
    for (auto _ : state) {
        for (std::size_t offset = 0; offset < buffer.size(); offset += 8) {
            (cipher.*direction)(buffer.data() + offset);
        }
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBufferSize));
}

void PacketCipherEncrypt(benchmark::State& state) {
    runPacketCipher(state, &PacketCipher::encryptBlock);
}
BENCHMARK(PacketCipherEncrypt);

void PacketCipherDecrypt(benchmark::State& state) {
    runPacketCipher(state, &PacketCipher::decryptBlock);
}
BENCHMARK(PacketCipherDecrypt);

void runOpenSsl(benchmark::State& state, int direction) {
    DES_cblock key;
    std::memcpy(key, kKey, sizeof key);
    DES_key_schedule schedule;
    DES_set_key_unchecked(&key, &schedule);
    std::vector<uint8_t> buffer = filledBuffer();
    for (auto _ : state) {
        for (std::size_t offset = 0; offset < buffer.size(); offset += 8) {
            auto* block = reinterpret_cast<DES_cblock*>(buffer.data() + offset);
            DES_ecb_encrypt(block, block, &schedule, direction);
        }
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBufferSize));
}

void OpenSslDesEncrypt(benchmark::State& state) {
    runOpenSsl(state, DES_ENCRYPT);
}
BENCHMARK(OpenSslDesEncrypt);

void OpenSslDesDecrypt(benchmark::State& state) {
    runOpenSsl(state, DES_DECRYPT);
}
BENCHMARK(OpenSslDesDecrypt);

// A whole request: checkWord, padding and encipherment of a 1000-byte body.
void EncipherRequestBody(benchmark::State& state) {
    PacketCipher cipher;
    cipher.setKey(kKey);
    const std::vector<uint8_t> body = filledBuffer();
    uint8_t randomByte = 0;
    for (auto _ : state) {
        OutPacket packet = makeDatagram(1, 2, 15, 3);
        packet.writeBytes(body.data(), 1000);
        encipherRequest(packet, cipher, ++randomByte);
        benchmark::DoNotOptimize(packet.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * 1000));
}
BENCHMARK(EncipherRequestBody);

} // namespace
} // namespace talmor

#pragma GCC diagnostic pop

BENCHMARK_MAIN();
