#include "net/tracelog.h"

#include "protocol/trace.h"

namespace talmor {

Q_LOGGING_CATEGORY(lcTrace, "talmor.trace", QtInfoMsg)

void SendTracesToQtLog() {
    setTraceOutput(
        [](TraceLevel level, const std::string& line) {
            if (level == TraceLevel::Warning) {
                qCWarning(lcTrace, "%s", line.c_str());
            } else {
                qCDebug(lcTrace, "%s", line.c_str());
            }
        },
        lcTrace().isDebugEnabled());
}

} // namespace talmor
