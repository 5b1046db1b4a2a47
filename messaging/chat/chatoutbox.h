#pragma once

#include <cstdint>
#include <functional>
#include <map>

#include "protocol/records.h"
#include "protocol/registeredwindow.h"

namespace talmor {

// The chat messages sent through the server and not yet acknowledged by it, for every contact.
// They outlive the chat window that sent them: each is handed on once the server acknowledges
// it (to be stored) or once the server never does (to ask the operator), window open or not.
class ChatOutbox : public RegisteredWindow {
public:
    static constexpr uint32_t kWindowType = 0x8006;
    using Handler = std::function<void(const MessageRecord&)>;

    ChatOutbox(WindowRegistry& registry, Handler acknowledged, Handler timedOut);

    // `seq`: the sequence number of the request that carries `message`.
    void add(uint32_t seq, const MessageRecord& message);
    std::size_t waitingFor(uint32_t peer) const;

    bool matches(uint32_t number) const override { return waiting_.count(number) != 0; }
    void onAcked(uint32_t number) override;
    void onTimedOut(uint32_t number) override;

private:
    Handler acknowledged_;
    Handler timedOut_;
    std::map<uint32_t, MessageRecord> waiting_;
};

} // namespace talmor
