#include "support/tempfolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace talmor::storage::testing {

TempFolder::TempFolder(const std::string& base) {
    std::string root = base;
    if (root.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        root = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
    }
    std::string pattern = root + "/talmor-storage-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder under " + root);
    }
    path_ = std::string(name.data()) + "/";
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
}

bool FileExists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

} // namespace talmor::storage::testing
