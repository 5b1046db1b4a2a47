#pragma once

#include <QString>

#include <cstdint>
#include <vector>

#include "calls/callcolumns.h"

namespace talmor {

// The twelve columns of the processing list, in order.
const std::vector<CallColumn>& ProcColumns();

// The report dialog's title: the label followed by "呼叫" for codes 2 to 26, else
// "Quorvane多键呼叫".
QString ReportTitle(uint32_t category);
// 0 for help and customer service, 1 for SOS, 5 for every other code.
int ProcRowImage(uint32_t category);

} // namespace talmor
