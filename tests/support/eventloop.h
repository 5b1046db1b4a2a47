#pragma once

#include <functional>

namespace talmor::e2e {

// The test program's QCoreApplication, made on first use (GoogleTest owns main).
void ensureApplication();
// Runs the event loop until `done` holds or `timeoutMs` pass; returns whether it held.
bool waitFor(const std::function<bool()>& done, int timeoutMs = 5000);

} // namespace talmor::e2e
