#pragma once

#include <array>
#include <cstdint>

namespace talmor {

// The 28 call lists the server delivers in parts: help, SOS, the 24 category panes, customer
// service and the calls this operator has taken. Each keeps the call id of the last record
// delivered, and the next request for that list starts after it.
class ListCursors {
public:
    static constexpr int kHelp = 0;
    static constexpr int kSos = 1;
    static constexpr int kFirstCategory = 2; // kFirstCategory + pane, pane 0 to 23
    static constexpr int kService = 26;
    static constexpr int kTaken = 27;
    static constexpr int kCount = 28;

    // The list a reply code delivers, or -1 when the code is not a list reply.
    static int listOfReply(uint16_t replyCode);
    // The request code that asks for `list`.
    static uint16_t requestOf(int list);

    uint32_t at(int list) const { return cursors_[static_cast<std::size_t>(list)]; }
    void set(int list, uint32_t callId) { cursors_[static_cast<std::size_t>(list)] = callId; }

private:
    std::array<uint32_t, kCount> cursors_{};
};

} // namespace talmor
