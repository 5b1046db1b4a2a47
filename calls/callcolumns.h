#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

#include "calls/callpanetable.h"
#include "protocol/records.h"

namespace talmor {

// What a column of a call list shows of its record.
enum class CallField {
    UserId,
    Source, // "APP应用" for a call raised from the phone application
    ServiceObject,
    CallTime,
    UserName,
    Sex,
    Age,
    Phone,
    Mobile,
    Location, // the five area levels joined by single blanks
    Address,
    MapMark,
    // The processing list's own columns.
    CallType,        // CallTypeLabel of the category
    HelpOrSosSource, // Source, shown for help and SOS calls only
};

struct CallColumn {
    const char* heading; // UTF-8
    bool centred;        // else left aligned
    int width;           // pixels
    CallField field;
};

// The columns of a pane of `wording`, in order.
const std::vector<CallColumn>& CallColumns(ColumnWording wording);

// The call-type label of `category`: "求助呼叫", "求救呼叫", "咨询Quorvane" for 10, the tab
// caption for the other service categories, empty outside 0 to 26.
QString CallTypeLabel(uint32_t category);
// `callTime` as local time "%Y-%m-%d %H:%M:%S"; empty when it does not convert.
std::string CallTimeText(uint32_t callTime);
// Province, city, district, street and community joined by single blanks: empty parts still
// leave their blanks (four blanks for an empty location).
std::string LocationText(const CallRecord& call); // GBK
// 0 "未知", 1 "男", 2 "女", anything else empty (UTF-8).
const char* SexText(uint8_t sex);
// The cell text of `field` for `call`, shown as plain text.
QString CellText(CallField field, const CallRecord& call);

} // namespace talmor
