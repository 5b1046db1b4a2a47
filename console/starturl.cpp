#include "console/starturl.h"

namespace talmor {

namespace {

constexpr char kScheme[] = "quorvane://";
constexpr char kLoginCommand[] = "login";

void RemoveAll(std::string& text, const std::string& what) {
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at)) {
        text.erase(at, what.size());
    }
}

void RemovePrefix(std::string& text, const std::string& prefix) {
    if (text.compare(0, prefix.size(), prefix) == 0) {
        text.erase(0, prefix.size());
    }
}

} // namespace

std::string RawCommandLine(int argc, const char* const* argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (!line.empty()) {
            line += ' ';
        }
        if (!argument.empty() && argument.front() == '"') {
            line += argument;
        } else {
            line += '"' + argument + '"';
        }
    }
    return line;
}

uint32_t LeadingDecimal(const std::string& text) {
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > 0xFFFFFFFFu) {
            return 0;
        }
    }
    return static_cast<uint32_t>(value);
}

StartLogin ParseStartUrl(const std::string& commandLine) {
    const std::size_t marker = commandLine.find("/?");
    if (marker == std::string::npos) {
        return {};
    }
    // The scheme is removed from the command only: the password after "/?" is the operator's
    // and is never edited.
    std::string command = commandLine.substr(0, marker);
    RemoveAll(command, kScheme);
    command = command.empty() ? command : command.substr(1);
    if (command != kLoginCommand) {
        return {};
    }
    std::string rest = commandLine.substr(marker + 2);
    if (!rest.empty()) {
        rest.pop_back();
    }
    const std::size_t ampersand = rest.find('&');
    if (ampersand == std::string::npos) {
        return {};
    }
    std::string uid = rest.substr(0, ampersand);
    RemoveAll(uid, "uid=");
    std::string password = rest.substr(ampersand + 1);
    RemovePrefix(password, "pw=");
    StartLogin login{LeadingDecimal(uid), password};
    if (!login.direct()) {
        return {};
    }
    return login;
}

} // namespace talmor
