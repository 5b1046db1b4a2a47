#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace talmor {

// A call that waits untaken in one of the operator's panes.
struct WaitingCall {
    uint32_t callId = 0;
    int category = 0;
    // When it began to wait (milliseconds since 1970), as far as the console knows.
    int64_t sinceMs = 0;
    // When this console listed it; its alarm repeats count from then (0: from the sync).
    int64_t shownMs = 0;
};

// What is due at one moment: the alarm sounds to repeat and the calls they repeat for.
struct RealertDue {
    bool sosSound = false;
    bool helpSound = false;
    std::vector<uint32_t> calls; // in the order the board first saw them
    bool any() const { return sosSound || helpSound; }
};

// How urgent the oldest wait looks: amber past 60 seconds and red past 180 seconds, for an SOS
// call only.
enum class WaitingLevel { Calm, Amber, Red };

// The calls that wait in the operator's panes, when each began to wait, and when the alarm of
// each help or SOS call is next repeated: every 15 seconds for an SOS call, every 60 for a help
// call, counted from the moment the board first saw it, until it stops waiting. The caller
// passes "now" to every operation, so tests need no clock.
class WaitingBoard {
public:
    static constexpr int64_t kSosRepeatMs = 15000;
    static constexpr int64_t kHelpRepeatMs = 60000;
    static constexpr int64_t kAmberSeconds = 60;
    static constexpr int64_t kRedSeconds = 180;

    // Replaces the waiting calls by `waiting`: a call seen before keeps its start and its
    // schedule, a new one starts at its `sinceMs` (never later than `nowMs`) with its first
    // repeat one period after it was shown (`nowMs` when that is unknown or later); a call no
    // longer listed is dropped.
    void sync(const std::vector<WaitingCall>& waiting, int64_t nowMs);
    // The repeats due at `nowMs`; each due call is scheduled one period on. After a pause longer
    // than a period (a sleeping machine) a call is repeated once, not once per missed period.
    RealertDue due(int64_t nowMs);

    bool empty() const { return calls_.empty(); }
    // Whether a help or an SOS call waits (the tray blinks while one does).
    bool alarmWaits() const;
    // Seconds the call has waited at `nowMs`, or -1 for a call not on the board.
    int64_t waitedSeconds(uint32_t callId, int64_t nowMs) const;
    // Seconds the oldest call has waited (-1 when none waits), and the level of the longest
    // waiting SOS call.
    int64_t oldestSeconds(int64_t nowMs) const;
    WaitingLevel level(int64_t nowMs) const;

private:
    struct Entry {
        int category = 0;
        int64_t sinceMs = 0;
        int64_t nextRepeatMs = 0; // 0: the call is not repeated (a service category)
        uint64_t order = 0;
    };
    std::unordered_map<uint32_t, Entry> calls_;
    uint64_t seen_ = 0;
};

// "45秒", "2分05秒", "1小时02分05秒" (UTF-8); a negative count reads as 0.
std::string WaitingText(int64_t seconds);
// "最久等待 2分05秒" for the status line; empty when no call waits (`seconds` < 0).
std::string OldestWaitingText(int64_t seconds);

} // namespace talmor
