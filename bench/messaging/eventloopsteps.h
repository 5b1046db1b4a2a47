#pragma once

#include <functional>
#include <vector>

namespace talmor {

// What a run of steps cost the event loop.
struct Figures {
    double totalMs = 0;
    double longestMs = 0; // longest step (bare references) or longest stall of the event loop
};

// Runs `steps` one per turn of the event loop while a 1 ms timer records the longest gap
// between its ticks: the longest time the loop could not turn.
Figures RunInEventLoop(const std::vector<std::function<void()>>& steps);

double Ms(long long ns);

} // namespace talmor
