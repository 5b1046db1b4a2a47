#include "bareloops.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

namespace talmor::bench {

namespace {

constexpr std::size_t kChunk = 2048;
constexpr std::size_t kHeader = 12;

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

sockaddr_in Loopback(uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

uint16_t PortOf(int fd) {
    sockaddr_in address{};
    socklen_t size = sizeof(address);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    return ntohs(address.sin_port);
}

bool SendAll(int fd, const uint8_t* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t sent = send(fd, bytes, size, 0);
        if (sent <= 0) {
            return false;
        }
        bytes += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

bool ReceiveAll(int fd, uint8_t* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t got = recv(fd, bytes, size, 0);
        if (got <= 0) {
            return false;
        }
        bytes += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

void PutU32(uint8_t* at, uint32_t value) {
    const uint32_t big = htonl(value);
    std::memcpy(at, &big, 4);
}

uint32_t GetU32(const uint8_t* at) {
    uint32_t big = 0;
    std::memcpy(&big, at, 4);
    return ntohl(big);
}

struct Files {
    Files(const std::string& from, const std::string& to)
        : in(std::fopen(from.c_str(), "rb")), out(std::fopen(to.c_str(), "wb")) {}
    ~Files() {
        if (in != nullptr) {
            std::fclose(in);
        }
        if (out != nullptr) {
            std::fclose(out);
        }
    }
    bool ok() const { return in != nullptr && out != nullptr; }
    // Written and flushed, as the console writes each chunk.
    bool write(const uint8_t* bytes, std::size_t size) {
        return std::fwrite(bytes, 1, size, out) == size && std::fflush(out) == 0;
    }
    std::FILE* in;
    std::FILE* out;
};

} // namespace

namespace {

// With `polled`, every arrival is first waited for in poll() on both ends, as an event loop
// waits: the floor of any design that serves its sockets from one loop.
double TcpStopAndWait(const std::string& from, const std::string& to, bool polled) {
    Files files(from, to);
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    const int sender = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    if (!files.ok() ||
        bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        listen(listener, 1) != 0) {
        return -1;
    }
    address = Loopback(PortOf(listener));
    if (connect(sender, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        return -1;
    }
    const int receiver = accept(listener, nullptr, nullptr);
    std::vector<uint8_t> packet(kHeader + kChunk);
    std::vector<uint8_t> arrived(kHeader + kChunk);
    uint8_t answer[kHeader] = {};
    bool ok = receiver >= 0;
    auto ready = [&] {
        if (!polled) {
            return true;
        }
        pollfd polls[2] = {{sender, POLLIN, 0}, {receiver, POLLIN, 0}};
        return poll(polls, 2, -1) > 0;
    };
    const Clock::time_point start = Clock::now();
    for (std::size_t count = 0;
         ok && (count = std::fread(packet.data() + kHeader, 1, kChunk, files.in)) > 0;) {
        PutU32(packet.data(), static_cast<uint32_t>(kHeader + count));
        ok = SendAll(sender, packet.data(), kHeader + count) && ready() &&
             ReceiveAll(receiver, arrived.data(), kHeader) &&
             ReceiveAll(receiver, arrived.data() + kHeader, GetU32(arrived.data()) - kHeader) &&
             files.write(arrived.data() + kHeader, count) && SendAll(receiver, answer, kHeader) &&
             ready() && ReceiveAll(sender, answer, kHeader);
    }
    const double ms = MsSince(start);
    close(receiver);
    close(sender);
    close(listener);
    return ok ? ms : -1;
}

} // namespace

double BareTcpStopAndWait(const std::string& from, const std::string& to) {
    return TcpStopAndWait(from, to, false);
}

double PolledTcpStopAndWait(const std::string& from, const std::string& to) {
    return TcpStopAndWait(from, to, true);
}

double BareRelayStopAndWait(const std::string& from, const std::string& to, int dropPercent,
                            int repeatMs, long* repeats) {
    Files files(from, to);
    int fds[3];
    for (int& fd : fds) {
        fd = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in address = Loopback(0);
        if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
            return -1;
        }
    }
    const int sender = fds[0], relay = fds[1], receiver = fds[2];
    const sockaddr_in relayAddress = Loopback(PortOf(relay));
    const sockaddr_in senderAddress = Loopback(PortOf(sender));
    const sockaddr_in receiverAddress = Loopback(PortOf(receiver));
    auto sendTo = [](int fd, const sockaddr_in& target, const uint8_t* bytes, std::size_t size) {
        sendto(fd, bytes, size, 0, reinterpret_cast<const sockaddr*>(&target), sizeof(target));
    };
    std::minstd_rand random(1218);
    std::vector<uint8_t> chunk(kHeader + kChunk);
    std::vector<uint8_t> buffer(kHeader + kChunk + 64);
    std::size_t chunkSize = 0;
    uint32_t sent = 0;
    uint32_t received = 0;
    bool ok = files.ok();
    bool finished = false;
    *repeats = 0;
    auto nextChunk = [&] {
        const std::size_t count = std::fread(chunk.data() + kHeader, 1, kChunk, files.in);
        if (count == 0) {
            finished = true;
            return;
        }
        sent += static_cast<uint32_t>(count);
        PutU32(chunk.data(), static_cast<uint32_t>(count));
        PutU32(chunk.data() + 4, sent);
        chunkSize = kHeader + count;
        sendTo(sender, relayAddress, chunk.data(), chunkSize);
    };
    const Clock::time_point start = Clock::now();
    Clock::time_point lastSend = start;
    nextChunk();
    while (ok && !finished) {
        pollfd polls[3] = {{sender, POLLIN, 0}, {relay, POLLIN, 0}, {receiver, POLLIN, 0}};
        if (poll(polls, 3, repeatMs) < 0) {
            ok = false;
            break;
        }
        if (polls[1].revents & POLLIN) {
            sockaddr_in origin{};
            socklen_t size = sizeof(origin);
            const ssize_t got = recvfrom(relay, buffer.data(), buffer.size(), 0,
                                         reinterpret_cast<sockaddr*>(&origin), &size);
            const bool fromSender = origin.sin_port == senderAddress.sin_port;
            if (got > 0 && static_cast<int>(random() % 100) >= dropPercent) {
                sendTo(relay, fromSender ? receiverAddress : senderAddress, buffer.data(),
                       static_cast<std::size_t>(got));
            }
        }
        if (polls[2].revents & POLLIN) {
            const ssize_t got = recv(receiver, buffer.data(), buffer.size(), 0);
            if (got >= static_cast<ssize_t>(kHeader)) {
                const uint32_t length = GetU32(buffer.data());
                if (GetU32(buffer.data() + 4) == received + length &&
                    static_cast<std::size_t>(got) == kHeader + length) {
                    ok = files.write(buffer.data() + kHeader, length);
                    received += length;
                }
                uint8_t answer[4];
                PutU32(answer, received);
                sendTo(receiver, relayAddress, answer, sizeof(answer));
            }
        }
        if (polls[0].revents & POLLIN) {
            uint8_t answer[16];
            if (recv(sender, answer, sizeof(answer), 0) >= 4 && GetU32(answer) == sent) {
                nextChunk();
                lastSend = Clock::now();
            }
        }
        if (!finished && MsSince(lastSend) >= repeatMs) {
            sendTo(sender, relayAddress, chunk.data(), chunkSize);
            lastSend = Clock::now();
            ++*repeats;
        }
    }
    const double ms = MsSince(start);
    for (int fd : fds) {
        close(fd);
    }
    return ok ? ms : -1;
}

} // namespace talmor::bench
