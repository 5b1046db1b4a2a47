#include "console/appfolders.h"

#include <filesystem>
#include <system_error>

namespace talmor {

namespace {

std::string& ApplicationFolderValue() {
    static std::string value;
    return value;
}

std::string& AssetFolderValue() {
    static std::string value;
    return value;
}

std::string& UserFolderValue() {
    static std::string value;
    return value;
}

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

bool Set(const char* value) {
    return value != nullptr && *value != '\0';
}

} // namespace

FolderChoice ChooseApplicationFolder(const std::string& executableFolder, const char* talmorHome,
                                     const char* xdgDataHome, const char* home,
                                     bool executableFolderWritable) {
    const std::string exe = WithSlash(executableFolder);
    if (Set(talmorHome)) {
        // A home of its own still takes the pictures and sounds it lacks from the program.
        return {WithSlash(talmorHome), exe};
    }
    if (executableFolderWritable) {
        return {exe, exe};
    }
    std::string data;
    if (Set(xdgDataHome)) {
        data = WithSlash(xdgDataHome);
    } else {
        data = WithSlash(Set(home) ? std::string(home) : std::string("/tmp")) + ".local/share/";
    }
    const std::string share =
        WithSlash(std::filesystem::path(exe).parent_path().parent_path().string()) +
        "share/talmormanager/";
    return {data + "TalmorManager/", share};
}

const std::string& applicationFolder() {
    return ApplicationFolderValue();
}

const std::string& assetFolder() {
    return AssetFolderValue();
}

const std::string& userFolder() {
    return UserFolderValue();
}

void setApplicationFolders(const FolderChoice& folders) {
    ApplicationFolderValue() = folders.applicationFolder;
    AssetFolderValue() = folders.assetFolder;
}

void setUserFolder(const std::string& folder) {
    UserFolderValue() = folder;
}

std::string MakeUserFolder(uint32_t operatorId) {
    const std::string folder = applicationFolder() + "User/" + std::to_string(operatorId) + "/";
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    // The operator's options, history and (when asked) password: nobody else may read them.
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace, ignored);
    return folder;
}

} // namespace talmor
