#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "protocol/environment.h"
#include "protocol/records.h"
#include "server/directory.h"
#include "server/scope.h"

namespace talmor::server {

// A call raised by `caller` now: its profile, phones, address and organisation fill the record.
CallRecord makeCall(const Account& caller, uint32_t category, uint32_t callTime);

// What the scenario generator raises: how often, which categories in which proportion, and
// from which subscribers (listed ids, else every subscriber within the areas, else all).
struct ScenarioConfig {
    int intervalMs = 0;                                         // 0: no calls are generated
    std::vector<std::pair<uint32_t, uint32_t>> categoryWeights; // category, weight
    std::vector<uint32_t> users;
    std::vector<Area> areas;
    uint32_t mobileShare = 0; // percent of calls that come from the mobile application
};

// Picks calls for a training scenario. Driven by the caller's timer; repeatable for a given
// random source.
class ScenarioGenerator {
public:
    ScenarioGenerator(ScenarioConfig config, Random& random);

    const ScenarioConfig& config() const { return config_; }
    void setConfig(ScenarioConfig config) { config_ = std::move(config); }
    // The next call, none when no subscriber or category fits.
    std::optional<CallRecord> next(const Directory& directory, uint32_t nowSeconds);

private:
    uint32_t pickCategory();
    uint32_t pick(uint32_t bound); // 0 .. bound-1

    ScenarioConfig config_;
    Random& random_;
};

} // namespace talmor::server
