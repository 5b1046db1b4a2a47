#pragma once

#include <string>

namespace talmor::storage::testing {

// A fresh folder for real files, removed with everything in it when the object goes.
class TempFolder {
public:
    // Made under `base` (the system's temporary folder when empty).
    explicit TempFolder(const std::string& base = {});
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder with a trailing '/', as applicationFolder and userFolder are.
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

// Whole contents of a file ("" when it cannot be read), and writing one.
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& contents);
bool FileExists(const std::string& path);

} // namespace talmor::storage::testing
