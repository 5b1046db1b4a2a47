#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace talmor {

// A monotonic millisecond tick: the speed of a transfer is measured against it.
class Ticks {
public:
    virtual ~Ticks() = default;
    virtual int64_t ms() const = 0;
};

// What the strip shows of a transfer's progress: the totals on every update, the speed at
// most twice a second (a new sample once 500 ms have passed since the last).
class TransferMeter {
public:
    static constexpr int64_t kSampleMs = 500;

    explicit TransferMeter(int64_t startMs) : sampleMs_(startMs), movedMs_(startMs) {}

    // "总计:" total "/" done.
    static QString Totals(uint32_t total, uint32_t done);
    static QString InitialSpeed() { return QStringLiteral("0.00/KBPS"); }
    // In place of the speed once nothing moved for kStallMs: a peer that died otherwise leaves
    // its last speed on a frozen bar until the session times out.
    static QString WaitingForPeer() { return QStringLiteral("等待对方..."); }
    static constexpr int64_t kStallMs = 5000;
    // The speed text when a new sample is due at `nowMs`, else none.
    std::optional<QString> speed(uint32_t done, int64_t nowMs);
    // A figure of the transfer at `nowMs`: when it moved on, the moment is kept.
    void seen(uint32_t done, int64_t nowMs);
    bool stalled(int64_t nowMs) const { return nowMs - movedMs_ >= kStallMs; }

private:
    int64_t sampleMs_;
    uint32_t sampleDone_ = 0;
    int64_t movedMs_;
    uint32_t lastDone_ = 0;
};

} // namespace talmor
