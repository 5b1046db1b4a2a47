#include "calls/intakefilter.h"

#include <array>
#include <cstddef>

#include "kit/categories.h"

namespace talmor {

namespace {

constexpr int kHelpSound = 1;
constexpr int kSosSound = 2;
constexpr int kPropertySound = 6;
constexpr int kPropertyCategory = 2;

// `text` between `begin` and `end` as a decimal id without blanks around it; false when it is
// not one (empty, other characters, beyond 32 bits).
bool ParseId(const std::string& text, std::size_t begin, std::size_t end, uint32_t& id) {
    while (begin < end && text[begin] == ' ') {
        ++begin;
    }
    while (end > begin && text[end - 1] == ' ') {
        --end;
    }
    if (begin == end) {
        return false;
    }
    uint64_t value = 0;
    for (std::size_t i = begin; i < end; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > UINT32_MAX) {
            return false;
        }
    }
    id = static_cast<uint32_t>(value);
    return true;
}

bool ScopeCodeHolds(const std::string& scopeCode, uint32_t orgId) {
    std::size_t begin = 0;
    while (begin <= scopeCode.size()) {
        std::size_t end = scopeCode.find(',', begin);
        if (end == std::string::npos) {
            end = scopeCode.size();
        }
        uint32_t id = 0;
        if (ParseId(scopeCode, begin, end, id) && id == orgId) {
            return true;
        }
        begin = end + 1;
    }
    return false;
}

} // namespace

bool InMonitoringScope(const CallRecord& call, const UserRecord& own,
                       const std::string& scopeCode) {
    if (own.scopeKind == 0) {
        const std::array<const std::string*, 5> mine = {&own.province, &own.city, &own.district,
                                                        &own.street, &own.community};
        const std::array<const std::string*, 5> theirs = {
            &call.province, &call.city, &call.district, &call.street, &call.community};
        for (std::size_t level = 0; level < mine.size(); ++level) {
            if (!mine[level]->empty() && *mine[level] != *theirs[level]) {
                return false;
            }
        }
        return true;
    }
    if (call.orgFlag != 1) {
        return false;
    }
    return call.orgId == own.scopeId || ScopeCodeHolds(scopeCode, call.orgId);
}

IntakeVerdict JudgeNewCall(const CallRecord& call, const UserRecord& own,
                           const std::string& scopeCode, const SeatRights& rights,
                           const storage::ConsoleOptions& options) {
    IntakeVerdict verdict;
    if (!InMonitoringScope(call, own, scopeCode)) {
        return verdict;
    }
    if (call.category >= kCategoryCount) {
        // Unknown kinds get no row, but the operator still sees that something came in.
        verdict.taken = true;
        verdict.boxCategory = kServiceCategory;
        return verdict;
    }
    const int code = static_cast<int>(call.category);
    const Category& category = kCategories[static_cast<std::size_t>(code)];
    if (!rights.granted(static_cast<std::size_t>(category.right))) {
        return verdict;
    }
    if (code == kHelpCategory) {
        if (!options.bit(storage::kOptionTakeHelpCalls)) {
            return verdict;
        }
        verdict.soundEvent = options.bit(storage::kOptionHelpReminder) ? kHelpSound : -1;
    } else if (code == kSosCategory) {
        if (!options.bit(storage::kOptionTakeSosCalls)) {
            return verdict;
        }
        verdict.soundEvent = options.bit(storage::kOptionSosReminder) ? kSosSound : -1;
    } else if (code == kPropertyCategory) {
        verdict.soundEvent = kPropertySound;
    } else {
        verdict.soundEvent = options.bit(storage::kOptionHelpReminder) ? kHelpSound : -1;
    }
    verdict.taken = true;
    verdict.paneCode = code;
    verdict.boxCategory = code;
    return verdict;
}

} // namespace talmor
