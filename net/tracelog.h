#pragma once

#include <QLoggingCategory>

namespace talmor {

// The cores' trace lines in Qt's logging: category "talmor.trace". Its warnings show by default;
// its details (a line per packet or event) only when asked for, for example with
// QT_LOGGING_RULES="talmor.trace.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcTrace)

// Sends the cores' trace lines to lcTrace from now on.
void SendTracesToQtLog();

} // namespace talmor
