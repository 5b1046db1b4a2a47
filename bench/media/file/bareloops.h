#pragma once

#include <cstdint>
#include <string>

namespace talmor::bench {

// The references of the file benchmark: the same file moved in chunks of 2048 bytes, one chunk
// in flight, on one thread, with nothing of the console around it. Each returns the elapsed
// milliseconds, or -1 when a socket or file failed.

// Over a loopback TCP connection: a 12-byte header and the chunk, answered by a 12-byte header.
double BareTcpStopAndWait(const std::string& from, const std::string& to);
// The same with every arrival first waited for in poll(), as an event loop waits: the floor
// of any console that serves its sockets from one loop (not a goal's reference).
double PolledTcpStopAndWait(const std::string& from, const std::string& to);

// As datagrams through a minimal relay (a socket that forwards each datagram to the other
// side): the chunk with its byte count, answered by the count received. With `dropPercent`,
// the relay loses that share of datagrams each way and the sender repeats a chunk after
// `repeatMs` without an answer; `repeats` counts the repetitions.
double BareRelayStopAndWait(const std::string& from, const std::string& to, int dropPercent,
                            int repeatMs, long* repeats);

} // namespace talmor::bench
