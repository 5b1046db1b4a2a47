#include "server/scope.h"

namespace talmor::server {

Area areaOf(const UserRecord& profile) {
    return {profile.province, profile.city, profile.district, profile.street, profile.community};
}

Area areaOf(const CallRecord& call) {
    return {call.province, call.city, call.district, call.street, call.community};
}

bool areaWithin(const Area& area, const Area& scope) {
    for (std::size_t i = 0; i < scope.size(); ++i) {
        if (!scope[i].empty() && scope[i] != area[i]) {
            return false;
        }
    }
    return true;
}

bool callInScope(const CallRecord& call, const UserRecord& operatorProfile) {
    if (operatorProfile.scopeKind == 1 && operatorProfile.scopeId > 0) {
        return call.orgFlag == 1 && call.orgId == operatorProfile.scopeId;
    }
    return areaWithin(areaOf(call), areaOf(operatorProfile));
}

} // namespace talmor::server
