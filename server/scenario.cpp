#include "server/scenario.h"

#include "server/calllists.h"

namespace talmor::server {

CallRecord makeCall(const Account& caller, uint32_t category, uint32_t callTime) {
    CallRecord call;
    call.userId = caller.profile.id;
    call.category = category;
    call.callTime = callTime;
    call.userName = caller.name.empty() ? caller.profile.nick : caller.name;
    call.age = caller.profile.age;
    call.sex = caller.profile.sex;
    call.phone = caller.phone;
    call.mobile = caller.mobile;
    call.province = caller.profile.province;
    call.city = caller.profile.city;
    call.district = caller.profile.district;
    call.street = caller.profile.street;
    call.community = caller.profile.community;
    call.address = caller.address;
    call.mapMark = caller.mapMark;
    call.orgFlag = caller.orgFlag;
    call.orgId = caller.orgId;
    return call;
}

ScenarioGenerator::ScenarioGenerator(ScenarioConfig config, Random& random)
    : config_(std::move(config)), random_(random) {}

uint32_t ScenarioGenerator::pick(uint32_t bound) {
    // Two draws of 15 bits: enough for any list of subscribers the seed holds.
    const uint32_t wide = (random_.next() << 15) | random_.next();
    return bound == 0 ? 0 : wide % bound;
}

uint32_t ScenarioGenerator::pickCategory() {
    uint32_t total = 0;
    for (const auto& [category, weight] : config_.categoryWeights) {
        if (category < kCategoryCount) {
            total += weight;
        }
    }
    if (total == 0) {
        return kCategoryCount;
    }
    uint32_t draw = pick(total);
    for (const auto& [category, weight] : config_.categoryWeights) {
        if (category >= kCategoryCount) {
            continue;
        }
        if (draw < weight) {
            return category;
        }
        draw -= weight;
    }
    return kCategoryCount;
}

std::optional<CallRecord> ScenarioGenerator::next(const Directory& directory, uint32_t nowSeconds) {
    const uint32_t category = pickCategory();
    if (category >= kCategoryCount) {
        return std::nullopt;
    }
    std::vector<const Account*> callers;
    if (!config_.users.empty()) {
        for (uint32_t id : config_.users) {
            const Account* account = directory.find(id);
            if (account != nullptr && account->kind == AccountKind::Subscriber) {
                callers.push_back(account);
            }
        }
    } else {
        for (const auto& entry : directory.accounts()) {
            const Account& account = entry.second;
            if (account.kind != AccountKind::Subscriber) {
                continue;
            }
            bool inArea = config_.areas.empty();
            for (const Area& area : config_.areas) {
                inArea = inArea || areaWithin(areaOf(account.profile), area);
            }
            if (inArea) {
                callers.push_back(&account);
            }
        }
    }
    if (callers.empty()) {
        return std::nullopt;
    }
    CallRecord call =
        makeCall(*callers[pick(static_cast<uint32_t>(callers.size()))], category, nowSeconds);
    call.source = pick(100) < config_.mobileShare ? 1 : 0;
    return call;
}

} // namespace talmor::server
