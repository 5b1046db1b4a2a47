#pragma once

#include <cstdint>
#include <string>

#include "protocol/records.h"

namespace talmor {

// The operator as the protocol core knows it. The id and password come from the login dialog
// before connecting; the record and flag arrive after the seat rights, the scope code after
// the profile when the operator watches a scope.
struct OwnProfile {
    UserRecord record;
    std::string password; // its first 8 bytes key the request cipher
    uint8_t profileFlag = 0;
    uint32_t operatorId = 0;
    uint32_t status = kStatusOffline;
    std::string scopeCode;
};

} // namespace talmor
