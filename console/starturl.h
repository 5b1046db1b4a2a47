#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace talmor {

// What the command line asks for: a login with an operator id and password, or (id 0, empty
// password) the login dialog.
struct StartLogin {
    uint32_t operatorId = 0;
    std::string password;

    // Only a positive id with a password logs in without the dialog.
    bool direct() const { return operatorId > 0 && !password.empty(); }
};

// The raw command line as the shell passes a link to the console: every argument in double
// quotes, joined by single blanks. An argument that already starts with a quote is taken as it
// is.
std::string RawCommandLine(int argc, const char* const* argv);
// Once the command line was read: overwrites, in place, what follows the first '&' of the
// arguments (a start URL's password, as the parser takes it) with '*', so another local user
// cannot read it among the running processes.
void HideStartUrlPassword(int argc, char** argv);

// Reads "\"quorvane://login/?uid=<id>&pw=<password>\"". The first character of the command and
// the last of the text are the quotes and are dropped without being looked at; without "/?" or
// with another command than "login" the result is the dialog. Everything after the first "&" is
// the password, so a password may hold "&" (and "pw=" or "uid="). The id is read as a decimal
// number up to its first non-digit.
StartLogin ParseStartUrl(const std::string& commandLine);

// Why a start URL is refused, before it is read.
enum class StartUrlProblem { None, TooLong, ControlCharacter, NotGbk, Malformed };
// The longest raw command line taken as a start URL, in bytes.
constexpr std::size_t kMaxStartUrlBytes = 1024;

// Checks a raw command line (GBK bytes, quoted as RawCommandLine makes it) before it logs
// anyone in: at most kMaxStartUrlBytes, no control characters, well-formed GBK, and a login
// that ParseStartUrl reads as direct. The same check serves the command line and a start URL
// handed over by a second launch.
StartUrlProblem CheckStartUrl(const std::string& commandLine);
// The operator's message for a refused start URL (UTF-8); empty for None.
const char* StartUrlProblemText(StartUrlProblem problem);

// Decimal digits from the start of `text` up to the first non-digit, as a u32 (0 when there are
// none; a number beyond 32 bits is 0 as well, never a wrapped id).
uint32_t LeadingDecimal(const std::string& text);

} // namespace talmor
