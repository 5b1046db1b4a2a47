#include "kit/appfolders.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
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
                                     const char* xdgDataHome, const char* home, bool runsInPlace) {
    const std::string exe = WithSlash(executableFolder);
    if (Set(talmorHome)) {
        // A home of its own still takes the pictures and sounds it lacks from the program.
        return {WithSlash(talmorHome), exe};
    }
    if (runsInPlace) {
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

bool RunsInPlace(const std::string& executableFolder, bool executableFolderWritable,
                 const std::vector<std::string>& trees) {
    if (!executableFolderWritable) {
        return false;
    }
    std::error_code ignored;
    const std::filesystem::path exe =
        std::filesystem::weakly_canonical(executableFolder, ignored).lexically_normal();
    for (const std::string& tree : trees) {
        if (tree.empty()) {
            continue;
        }
        const std::filesystem::path root =
            std::filesystem::weakly_canonical(tree, ignored).lexically_normal();
        // Inside when the tree's components start the executable folder's.
        auto mismatch = std::mismatch(root.begin(), root.end(), exe.begin(), exe.end());
        if (mismatch.first == root.end() ||
            (std::next(mismatch.first) == root.end() && mismatch.first->empty())) {
            return true;
        }
    }
    return false;
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
