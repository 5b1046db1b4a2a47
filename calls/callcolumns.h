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
};

struct CallColumn {
    const char* heading; // UTF-8
    bool centred;        // else left aligned
    int width;           // pixels
    CallField field;
};

// The columns of a pane of `wording`, in order.
const std::vector<CallColumn>& CallColumns(ColumnWording wording);

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
