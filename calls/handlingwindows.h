#pragma once

#include <cstdint>

#include "kit/consolehost.h"
#include "protocol/registeredwindow.h"

namespace talmor {

// The open handling window of type `Window` for call `callId`, or none. Call id 0 is no call:
// as a registry key it would find the window of any call, and a confirmation with it must not
// close another call's window.
template <typename Window> Window* FindHandlingWindow(ConsoleHost& window, uint32_t callId) {
    if (callId == 0) {
        return nullptr;
    }
    return dynamic_cast<Window*>(window.windows().findWindow(Window::kWindowType, callId, 0));
}

// Whether a handling window of type `Window` may open for `callId`: a call, with none open.
template <typename Window> bool MayOpenHandlingWindow(ConsoleHost& window, uint32_t callId) {
    return callId != 0 && window.windows().findWindow(Window::kWindowType, callId, 0) == nullptr;
}

} // namespace talmor
