#pragma once

#include <QByteArray>

#include <functional>

#include "media/voice/audioformat.h"

namespace talmor::voice {

// Cuts whatever sizes a capture device delivers into whole 60 ms blocks, in order; the rest
// waits for the next delivery.
class Reblocker {
public:
    using Sink = std::function<void(const QByteArray& block)>;
    explicit Reblocker(Sink sink) : sink_(std::move(sink)) {}

    void push(const char* bytes, qsizetype size);
    void clear() { pending_.clear(); }
    qsizetype pending() const { return pending_.size(); }

private:
    Sink sink_;
    QByteArray pending_;
};

} // namespace talmor::voice
