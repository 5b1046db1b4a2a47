#include "protocol/trace.h"

#include <cstdio>

namespace talmor {

namespace {

struct Outputs {
    TraceSink sink;
    TraceOutput output;
    bool details = false;
};

Outputs& outputs() {
    static Outputs current;
    return current;
}

void emit(TraceLevel level, const std::string& line) {
    Outputs& out = outputs();
    if (out.sink) {
        out.sink(line);
    } else if (out.output) {
        if (level == TraceLevel::Warning || out.details) {
            out.output(level, line);
        }
    } else if (level == TraceLevel::Warning) {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
}

} // namespace

void trace(const std::string& line) {
    emit(TraceLevel::Detail, line);
}

void traceWarning(const std::string& line) {
    emit(TraceLevel::Warning, line);
}

bool traceDetails() {
    const Outputs& out = outputs();
    return out.sink || (out.output && out.details);
}

void setTraceOutput(TraceOutput output, bool details) {
    outputs().output = std::move(output);
    outputs().details = details;
}

TraceSink setTraceSink(TraceSink sink) {
    TraceSink previous = std::move(outputs().sink);
    outputs().sink = std::move(sink);
    return previous;
}

} // namespace talmor
