#pragma once

#include <random>

#include "protocol/environment.h"

namespace talmor {

// The process's pseudo-random generator: values 0 to 32767, like the C library's rand(), but
// owned by its user instead of being process-wide state.
class StdRandom : public Random {
public:
    explicit StdRandom(uint32_t seed = 1) : engine_(seed) {}
    uint32_t next() override { return static_cast<uint32_t>(engine_()) & 0x7FFF; }
    void seed(uint32_t value) override { engine_.seed(value); }

private:
    std::minstd_rand engine_;
};

} // namespace talmor
