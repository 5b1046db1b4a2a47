#include "console/starturl.h"

#include <cstring>

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

void HideStartUrlPassword(int argc, char** argv) {
    bool hiding = false;
    for (int i = 1; i < argc; ++i) {
        char* from = hiding ? argv[i] : std::strchr(argv[i], '&');
        if (from == nullptr) {
            continue;
        }
        from += hiding ? 0 : 1;
        hiding = true;
        std::memset(from, '*', std::strlen(from));
    }
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

namespace {

// GBK: ASCII, or a lead byte 0x81-0xFE followed by a trail byte 0x40-0xFE other than 0x7F.
bool WellFormedGbk(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            continue;
        }
        if (lead == 0x80 || lead == 0xFF || i + 1 == text.size()) {
            return false;
        }
        const auto trail = static_cast<unsigned char>(text[++i]);
        if (trail < 0x40 || trail == 0x7F || trail == 0xFF) {
            return false;
        }
    }
    return true;
}

} // namespace

StartUrlProblem CheckStartUrl(const std::string& commandLine) {
    if (commandLine.size() > kMaxStartUrlBytes) {
        return StartUrlProblem::TooLong;
    }
    for (char c : commandLine) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            return StartUrlProblem::ControlCharacter;
        }
    }
    if (!WellFormedGbk(commandLine)) {
        return StartUrlProblem::NotGbk;
    }
    return ParseStartUrl(commandLine).direct() ? StartUrlProblem::None : StartUrlProblem::Malformed;
}

const char* StartUrlProblemText(StartUrlProblem problem) {
    switch (problem) {
    case StartUrlProblem::None:
        return "";
    case StartUrlProblem::TooLong:
        return "启动地址过长（最多1024字节），已拒绝。";
    case StartUrlProblem::ControlCharacter:
        return "启动地址含有控制字符，已拒绝。";
    case StartUrlProblem::NotGbk:
        return "启动地址含有GBK无法表示的字符，已拒绝。";
    case StartUrlProblem::Malformed:
        return "启动地址格式不正确，应为 quorvane://login/?uid=帐号&pw=密码。";
    }
    return "";
}

} // namespace talmor
