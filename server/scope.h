#pragma once

#include <array>
#include <string>

#include "protocol/records.h"

namespace talmor::server {

using Area = std::array<std::string, 5>; // province, city, district, street, community

Area areaOf(const UserRecord& profile);
Area areaOf(const CallRecord& call);

// True when every non-empty part of `scope` equals that part of `area` (an empty scope is the
// whole country).
bool areaWithin(const Area& area, const Area& scope);

// Whether a call falls within an operator's monitoring scope: an organisation scope
// (scopeKind 1 with a scopeId) takes the calls of that organisation's members, any other
// scope the calls raised in its area.
bool callInScope(const CallRecord& call, const UserRecord& operatorProfile);

} // namespace talmor::server
