#pragma once

#include <cstdint>
#include <vector>

namespace talmor {

class WindowRegistry;

// The chat window with one contact, keyed by the contact's id.
constexpr uint32_t kChatWindowType = 6;

// A window that protocol events must be able to find: registered for its lifetime under a
// type, a key (usually a peer's user id) and key2 (usually the sequence number of the request
// it waits for).
class RegisteredWindow {
public:
    RegisteredWindow(WindowRegistry& registry, uint32_t windowType, uint32_t key, uint32_t key2);
    virtual ~RegisteredWindow();
    RegisteredWindow(const RegisteredWindow&) = delete;
    RegisteredWindow& operator=(const RegisteredWindow&) = delete;

    // True when this window waits for `number`: a request's sequence number or a peer
    // message number.
    virtual bool matches(uint32_t number) const { return number == key2; }
    virtual void onAcked(uint32_t) {}
    virtual void onTimedOut(uint32_t) {}
    // The window's peer acknowledged its direct chat message `number`.
    virtual void onPeerAcked(uint32_t) {}

    uint32_t windowType;
    uint32_t key;
    uint32_t key2;

private:
    friend class WindowRegistry;
    WindowRegistry* registry_;
};

// The registered windows in registration order. It does not own them.
class WindowRegistry {
public:
    WindowRegistry() = default;
    ~WindowRegistry();
    WindowRegistry(const WindowRegistry&) = delete;
    WindowRegistry& operator=(const WindowRegistry&) = delete;

    // The first window of `windowType` whose key and key2 equal the given ones; 0 means any.
    RegisteredWindow* findWindow(uint32_t windowType, uint32_t key, uint32_t key2) const;
    // The first window that matches `number`, or none.
    RegisteredWindow* findWaiting(uint32_t number) const;
    std::size_t size() const { return windows_.size(); }

private:
    friend class RegisteredWindow;
    void add(RegisteredWindow* window) { windows_.push_back(window); }
    void remove(RegisteredWindow* window);

    std::vector<RegisteredWindow*> windows_;
};

} // namespace talmor
