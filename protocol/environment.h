#pragma once

#include <cstdint>

namespace talmor {

// "Now" for the protocol core: calendar time in whole seconds. Tests drive it by hand.
class Clock {
public:
    virtual ~Clock() = default;
    virtual int64_t now() const = 0;
};

// The process's pseudo-random generator: values 0 to 32767, like the C library's rand().
class Random {
public:
    virtual ~Random() = default;
    virtual uint32_t next() = 0;
    virtual void seed(uint32_t value) = 0;
};

// Periodic timers, identified by number (1001 retransmission, 1002 keep-alive, ...). The
// owner of the timers calls back into the protocol core when one fires.
class TimerHost {
public:
    virtual ~TimerHost() = default;
    virtual void startTimer(int id, int milliseconds) = 0;
    virtual void stopTimer(int id) = 0;
};

// Timer numbers and periods shared by the console and its protocol core.
constexpr int kRetransmitTimer = 1001;
constexpr int kKeepAliveTimer = 1002;
constexpr int kHelloSweepTimer = 1010;
// The wait before the next attempt to log in again after a lost link.
constexpr int kReconnectTimer = 1004;
constexpr int kRetransmitPeriodMs = 10000;
constexpr int kHelloSweepPeriodMs = 1000;
constexpr int kKeepAlivePeriodMs = 30000;

} // namespace talmor
