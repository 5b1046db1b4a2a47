#include "protocol/registeredwindow.h"

#include <algorithm>

namespace talmor {

RegisteredWindow::RegisteredWindow(WindowRegistry& registry, uint32_t type, uint32_t windowKey,
                                   uint32_t windowKey2)
    : windowType(type), key(windowKey), key2(windowKey2), registry_(&registry) {
    registry.add(this);
}

RegisteredWindow::~RegisteredWindow() {
    if (registry_ != nullptr) {
        registry_->remove(this);
    }
}

WindowRegistry::~WindowRegistry() {
    // A window that outlives the registry must not unregister from freed memory.
    for (RegisteredWindow* window : windows_) {
        window->registry_ = nullptr;
    }
}

RegisteredWindow* WindowRegistry::findWindow(uint32_t windowType, uint32_t key,
                                             uint32_t key2) const {
    for (RegisteredWindow* window : windows_) {
        if (window->windowType == windowType && (key == 0 || window->key == key) &&
            (key2 == 0 || window->key2 == key2)) {
            return window;
        }
    }
    return nullptr;
}

RegisteredWindow* WindowRegistry::findWaiting(uint32_t number) const {
    for (RegisteredWindow* window : windows_) {
        if (window->matches(number)) {
            return window;
        }
    }
    return nullptr;
}

void WindowRegistry::remove(RegisteredWindow* window) {
    windows_.erase(std::remove(windows_.begin(), windows_.end(), window), windows_.end());
}

} // namespace talmor
