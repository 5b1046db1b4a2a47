#pragma once

#include <cstdint>
#include <vector>

#include "kit/searchresults.h"
#include "messaging/searchconditions.h"

namespace talmor {

// The fields of a conditions page, named by their controls.
enum class ConditionField {
    Account,    // 1082
    Email,      // 1047
    Nick,       // 1037
    Name,       // 1044
    Sex,        // 1045
    Age,        // 1041
    Area,       // province 1039, city 1040, district 1042, street 1120, community 1121
    Phone,      // 1043
    OnlineOnly, // 1107
};

// Which member-information host a double-click on a result opens, if any.
enum class MemberHost { None, Members, Providers };

// One search wizard: the subscribers', the service providers' or the colleagues'. The three
// share one frame, one conditions page and one results page; this is all that differs.
struct SearchWizardKind {
    SearchKind kind;
    uint32_t frameType;
    uint32_t conditionsType;
    uint32_t resultsType;
    const char* caption;
    // The colleagues' 1106 is a "组合查询" check box; the others choose between the radio
    // buttons 1104 "精确查询" and 1106 "组合查询".
    bool modeCheckBox;
    std::vector<ConditionField> exactFields;
    std::vector<ConditionField> combinedFields;
    const std::vector<ResultColumn>& (*columns)();
    const char* timedOut;
    const char* nothingSelected;
    const char* alreadyContact;
    // An added colleague goes to the default group; the others let the server choose (0).
    bool addToDefaultGroup;
    MemberHost memberHost;
    // The wizard's command again while it is open makes it flash (the colleagues' leaves it
    // be).
    bool flashWhenOpen;

    bool has(ConditionField field) const;
};

// The three wizards: subscribers (window type 29), service providers (32), colleagues (40).
const std::vector<SearchWizardKind>& SearchWizardKinds();
// The wizard whose frame has `frameType`, or none.
const SearchWizardKind* SearchWizardOfFrame(uint32_t frameType);
const SearchWizardKind& SearchWizardOf(SearchKind kind);

} // namespace talmor
