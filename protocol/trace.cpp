#include "protocol/trace.h"

#include <cstdio>

namespace talmor {

namespace {
TraceSink& currentSink() {
    static TraceSink sink;
    return sink;
}
} // namespace

void trace(const std::string& line) {
    if (currentSink()) {
        currentSink()(line);
        return;
    }
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

TraceSink setTraceSink(TraceSink sink) {
    TraceSink previous = std::move(currentSink());
    currentSink() = std::move(sink);
    return previous;
}

} // namespace talmor
