#pragma once

#include <QString>

#include <cstdint>
#include <vector>

#include "protocol/records.h"

namespace talmor {

// What a column of the processing list shows of its record.
enum class ProcField {
    UserId,
    Source, // "APP应用" for a help or SOS call raised from the phone application
    CallType,
    CallTime,
    UserName,
    Sex,
    Age,
    Phone,
    Mobile,
    Location,
    Address,
    MapMark,
};

struct ProcColumn {
    const char* heading; // UTF-8
    bool centred;        // else left aligned
    int width;           // pixels
    ProcField field;
};

// The twelve columns of the processing list, in order.
const std::vector<ProcColumn>& ProcColumns();

// The call-type label of `category`: "求助呼叫", "求救呼叫", "咨询Quorvane" for 10, the tab
// caption for the other service categories, empty outside 0 to 26.
QString CallTypeLabel(uint32_t category);
// The report dialog's title: the label followed by "呼叫" for codes 2 to 26, else
// "Quorvane多键呼叫".
QString ReportTitle(uint32_t category);
// 0 for help and customer service, 1 for SOS, 5 for every other code.
int ProcRowImage(uint32_t category);
// The cell text of `field` for `call`, shown as plain text.
QString ProcCellText(ProcField field, const CallRecord& call);

} // namespace talmor
