#pragma once

#include <cstdint>
#include <string>

#include "protocol/records.h"
#include "protocol/sessionrecords.h"
#include "storage/consoleoptions.h"

namespace talmor {

// Whether `call` falls within the operator's monitoring scope. By area (scopeKind 0): every
// area level the operator has set must equal the call's. By organisation: the caller must
// belong to an organisation whose id is the operator's scopeId or one of the decimal ids of
// `scopeCode`, a comma-separated list compared as numbers ("0501" is 501; a part that is not a
// number matches nothing).
bool InMonitoringScope(const CallRecord& call, const UserRecord& own, const std::string& scopeCode);

// What the intake does with a new call.
struct IntakeVerdict {
    bool taken = false;   // false: nothing shown, nothing played
    int soundEvent = -1;  // the reminder sound, or -1
    int paneCode = -1;    // the pane that gets a row, or -1 (a code outside 0 to 26)
    int boxCategory = 10; // the picture of the service message box
};

// The scope filter, then the category step with its seat right and option bits.
IntakeVerdict JudgeNewCall(const CallRecord& call, const UserRecord& own,
                           const std::string& scopeCode, const SeatRights& rights,
                           const storage::ConsoleOptions& options);

} // namespace talmor
