// The start URL reader: the command line of a launch and the URL a second launch hands over.
// Any bytes must be checked and read without a crash, and what the check lets through must be
// a direct login whose password is the URL's own tail.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "console/starturl.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    const talmor::StartUrlProblem problem = talmor::CheckStartUrl(line);
    const talmor::StartLogin login = talmor::ParseStartUrl(line);
    if (login.direct() != (login.operatorId != 0)) {
        std::abort(); // an id without a password, or a password without an id
    }
    if (problem == talmor::StartUrlProblem::None) {
        if (!login.direct() || line.size() > talmor::kMaxStartUrlBytes) {
            std::abort();
        }
        // The password is the URL's tail before the closing character, never edited.
        const std::string body = line.substr(0, line.size() - 1);
        if (body.size() < login.password.size() ||
            body.compare(body.size() - login.password.size(), std::string::npos, login.password) !=
                0) {
            std::abort();
        }
    }
    const char* arguments[] = {"talmormanager", line.c_str()};
    (void)talmor::ParseStartUrl(talmor::RawCommandLine(2, arguments));
    return 0;
}
