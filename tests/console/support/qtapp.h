#pragma once

#include <QString>

#include <string>

namespace talmor::testing {

// The QApplication of the test program on the offscreen platform, made on first use.
void EnsureApplication();

// A folder of its own for one test, removed with the object.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    // With a final '/'.
    std::string path() const { return path_; }

private:
    std::string path_;
};

// UTF-8 to GBK for test texts.
std::string Gbk(const char* utf8);
// UTF-8 to QString.
inline QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace talmor::testing
