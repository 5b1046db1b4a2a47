#pragma once

#include <functional>
#include <string>

namespace talmor {

// One-line trace messages of the console's cores. A detail is a line per packet or event
// (acknowledgements, repeats, an event nobody receives): worth reading when a fault is hunted,
// noise in a normal run. A warning is something an operator or administrator should read (the
// server cannot be reached, a request could not be sent, a contact is not shown).
enum class TraceLevel { Detail, Warning };

void trace(const std::string& line); // a detail
void traceWarning(const std::string& line);
// Whether details go anywhere: callers skip building a line per packet when they do not.
bool traceDetails();

// Where the lines go in a running program. Without an output, warnings go to standard error
// and details nowhere; the console sends both to Qt's logging (net/tracelog.h).
using TraceOutput = std::function<void(TraceLevel level, const std::string& line)>;
void setTraceOutput(TraceOutput output, bool details);

// A capture of every line, of both levels, in place of the output (tests, benchmarks); an
// empty function ends the capture. Returns the previous capture.
using TraceSink = std::function<void(const std::string&)>;
TraceSink setTraceSink(TraceSink sink);

} // namespace talmor
