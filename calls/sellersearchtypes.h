#pragma once

#include <string>
#include <vector>

#include "protocol/queryrecords.h"

namespace talmor {

// A merchant type of the merchant search with its sub-types (UTF-8).
struct SellerType {
    const char* name;
    std::vector<const char*> subTypes;
};

// The ten merchant types in the order the type box offers them (after "请选择商户类型").
const std::vector<SellerType>& SellerTypes();

// The search of the merchant search window: `type` and `subType` are positions in the lists
// (-1 for the "请选择..." entry). The refusal (UTF-8) when one is missing, else null.
const char* SellerSearchRefusal(int type, int subType);

// Request 1802 for the merchants of `type` / `subType` around `call`'s caller, keyed by the call.
SellerQuery SellerQueryFor(const CallRecord& call, int type, int subType);

} // namespace talmor
