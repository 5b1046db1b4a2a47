#pragma once

#include <cstdint>
#include <optional>

#include "protocol/records.h"

namespace talmor::server {

constexpr uint32_t kCategoryCount = 27; // 0 help, 1 SOS, 2 to 26 service categories
constexpr uint32_t kHelpCategory = 0;
constexpr uint32_t kSosCategory = 1;
constexpr uint32_t kServiceCategory = 10; // customer service, listed by 1832

// One waiting-call list as the console asks for it: the request code, the reply code, the
// category it holds and the field order of its entries.
struct CallList {
    uint16_t request = 0;
    uint16_t reply = 0;
    uint32_t category = 0;
    CallWireOrder order = CallWireOrder::ListEntry;
};

// The list that request `code` asks for; none when `code` is not a waiting-call list request.
std::optional<CallList> callListOfRequest(uint16_t code);
// The list that shows calls of `category`; none outside 0 to 26.
std::optional<CallList> callListOfCategory(uint32_t category);

} // namespace talmor::server
