#include "console/programinfo.h"

namespace talmor {

const char* ProgramVersion() {
    return TALMOR_VERSION;
}

std::optional<std::string> InformationRequested(int argc, const char* const* argv) {
    if (argc != 2) {
        return std::nullopt;
    }
    const std::string argument = argv[1];
    if (argument == "--version" || argument == "-v") {
        return std::string("talmormanager ") + ProgramVersion() + "\n";
    }
    if (argument != "--help" && argument != "-h") {
        return std::nullopt;
    }
    return "Usage: talmormanager [START-URL]\n"
           "The operator console of the community home-care and emergency platform.\n"
           "\n"
           "  START-URL         quorvane://login/?uid=<operator id>&pw=<password>\n"
           "                    logs the operator in at once; while a console runs on the\n"
           "                    same data folder, the URL is handed to it instead.\n"
           "  -h, --help        this text\n"
           "  -v, --version     the version\n"
           "\n"
           "Environment:\n"
           "  TALMOR_HOME       the data folder (User/, Sound/, gif/)\n"
           "  TALMOR_CONFIG     the INI file with the server addresses and web hosts\n"
           "                    (default: talmormanager.ini in the data folder)\n";
}

} // namespace talmor
