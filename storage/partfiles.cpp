#include "storage/partfiles.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <random>
#include <vector>

namespace talmor::storage {

namespace {

constexpr char kPartMark[] = ".part-";
constexpr int kSuffixLength = 6;

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::vector<std::string> ReadLines(const std::string& file) {
    std::vector<std::string> lines;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

void WriteLines(const std::string& file, const std::vector<std::string>& lines) {
    std::ofstream out(file, std::ios::trunc);
    for (const std::string& line : lines) {
        out << line << '\n';
    }
}

} // namespace

bool PartFiles::IsPartName(const std::string& path) {
    const std::string name = NameOf(path);
    const std::size_t mark = name.rfind(kPartMark);
    return name.size() > 1 && name[0] == '.' && mark != std::string::npos && mark > 0 &&
           name.size() == mark + sizeof(kPartMark) - 1 + kSuffixLength;
}

std::FILE* PartFiles::OpenPart(const std::string& partPath) {
    const int fd = ::open(partPath.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        const int error = errno;
        ::close(fd);
        errno = error;
    }
    return file;
}

std::string PartFiles::create(const std::string& finalPath, int& error) const {
    static std::mt19937 random{std::random_device{}()};
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string suffix;
        for (int i = 0; i < kSuffixLength; ++i) {
            suffix += kLetters[random() % (sizeof(kLetters) - 1)];
        }
        const std::string part = FolderOf(finalPath) + "." + NameOf(finalPath) + kPartMark + suffix;
        // Listed before it exists: a kill in between leaves a name, never an unlisted file.
        std::ofstream(ledger_, std::ios::app) << part << '\n';
        const int fd =
            ::open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            return part;
        }
        error = errno;
        unlist(part);
        if (error != EEXIST) {
            return {};
        }
    }
    return {};
}

bool PartFiles::finish(const std::string& partPath, const std::string& finalPath,
                       int& error) const {
    if (std::rename(partPath.c_str(), finalPath.c_str()) != 0) {
        error = errno;
        return false;
    }
    unlist(partPath);
    return true;
}

void PartFiles::discard(const std::string& partPath) const {
    std::remove(partPath.c_str());
    unlist(partPath);
}

int PartFiles::removeLeftovers() const {
    int removed = 0;
    for (const std::string& part : ReadLines(ledger_)) {
        // Only a name of the temporary kind is removed, whatever the list says.
        if (IsPartName(part) && std::remove(part.c_str()) == 0) {
            ++removed;
        }
    }
    std::remove(ledger_.c_str());
    return removed;
}

void PartFiles::unlist(const std::string& partPath) const {
    std::vector<std::string> lines = ReadLines(ledger_);
    std::vector<std::string> kept;
    for (const std::string& line : lines) {
        if (line != partPath) {
            kept.push_back(line);
        }
    }
    if (kept.empty()) {
        std::remove(ledger_.c_str());
    } else if (kept.size() != lines.size()) {
        WriteLines(ledger_, kept);
    }
}

} // namespace talmor::storage
