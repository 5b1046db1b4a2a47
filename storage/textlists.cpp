#include "storage/textlists.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "storage/datafiles.h"

namespace talmor::storage {

namespace {

constexpr int kLineBuffer = 128; // pieces of at most 127 bytes

bool parseAccount(const std::string& line, uint32_t& account) {
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
        ++i;
    }
    uint64_t value = 0;
    int digits = 0;
    while (i < line.size() && digits < 10 && line[i] >= '0' && line[i] <= '9') {
        value = value * 10 + static_cast<uint64_t>(line[i] - '0');
        ++i;
        ++digits;
    }
    if (digits == 0 || value > UINT32_MAX) {
        return false;
    }
    account = static_cast<uint32_t>(value);
    return true;
}

bool readWholeFile(const std::string& path, std::string& contents) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        contents.append(buffer, n);
    }
    std::fclose(file);
    return true;
}

} // namespace

std::vector<uint32_t> LoadAccounts(const std::string& applicationFolder) {
    std::vector<uint32_t> accounts;
    std::string contents;
    if (!readWholeFile(JoinPath(applicationFolder, kAccountListFile), contents)) {
        return accounts;
    }
    std::size_t start = 0;
    while (start < contents.size()) {
        std::size_t end = contents.find('\n', start);
        if (end == std::string::npos) {
            end = contents.size();
        }
        uint32_t account = 0;
        if (parseAccount(contents.substr(start, end - start), account)) {
            accounts.push_back(account);
        }
        start = end + 1;
    }
    return accounts;
}

bool RememberAccount(const std::string& applicationFolder, uint32_t account) {
    std::vector<uint32_t> accounts = LoadAccounts(applicationFolder);
    accounts.erase(std::remove(accounts.begin(), accounts.end(), account), accounts.end());
    accounts.insert(accounts.begin(), account);
    std::string contents;
    for (uint32_t each : accounts) {
        contents += std::to_string(each);
        contents += '\n';
    }
    return ReplaceFileContents(JoinPath(applicationFolder, kAccountListFile), contents);
}

bool LoadTextList(const std::string& path, std::vector<std::string>& list) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    char piece[kLineBuffer];
    while (std::fgets(piece, kLineBuffer, file) != nullptr) {
        std::string entry(piece); // as a C string: up to a NUL byte
        if (!entry.empty() && entry.back() == '\n') {
            entry.pop_back();
        }
        list.push_back(std::move(entry));
    }
    std::fclose(file);
    return true;
}

bool TextListEntryFits(const std::string& entry) {
    const std::size_t length = std::strlen(entry.c_str());
    return length <= kMaxTextListEntry && std::memchr(entry.c_str(), '\n', length) == nullptr;
}

bool SaveTextList(const std::string& path, const std::vector<std::string>& list) {
    if (!std::all_of(list.begin(), list.end(), TextListEntryFits)) {
        return false;
    }
    std::string contents;
    for (const std::string& entry : list) {
        contents.append(entry.c_str()); // "%s": up to a NUL byte
        contents += '\n';
    }
    return ReplaceFileContents(path, contents);
}

bool LoadQuickReplies(const std::string& userFolder, std::vector<std::string>& list) {
    return LoadTextList(JoinPath(userFolder, kQuickReplyFile), list);
}
bool SaveQuickReplies(const std::string& userFolder, const std::vector<std::string>& list) {
    return SaveTextList(JoinPath(userFolder, kQuickReplyFile), list);
}
bool LoadAutoReplies(const std::string& userFolder, std::vector<std::string>& list) {
    return LoadTextList(JoinPath(userFolder, kAutoReplyFile), list);
}
bool SaveAutoReplies(const std::string& userFolder, const std::vector<std::string>& list) {
    return SaveTextList(JoinPath(userFolder, kAutoReplyFile), list);
}
bool LoadSmsReplies(const std::string& userFolder, std::vector<std::string>& list) {
    return LoadTextList(JoinPath(userFolder, kSmsReplyFile), list);
}
bool SaveSmsReplies(const std::string& userFolder, const std::vector<std::string>& list) {
    return SaveTextList(JoinPath(userFolder, kSmsReplyFile), list);
}

} // namespace talmor::storage
