#pragma once

#include "protocol/environment.h"

namespace talmor {

// Calendar time in whole seconds from the system clock.
class QtClock : public Clock {
public:
    int64_t now() const override;
};

} // namespace talmor
