#pragma once

#include <cstdio>
#include <string>

namespace talmor::storage {

// A file being received is written under a temporary name in its target folder and renamed
// over the chosen name only once whole: an overwrite the operator confirmed keeps the old file
// until the new one is complete, and a transfer cut short (even by a killed console) never
// leaves a part of a file under the chosen name. The temporary names in use are listed in a
// ledger file, so that those of a console that was killed are removed at its next start.
class PartFiles {
public:
    // `ledgerPath`: the list of temporary names in use (in the application folder).
    explicit PartFiles(std::string ledgerPath) : ledger_(std::move(ledgerPath)) {}

    // Creates a new, empty temporary file beside `finalPath` (mode 0600, never through a link)
    // and lists it; its path, or empty with `error` set (errno) when it cannot be created.
    std::string create(const std::string& finalPath, int& error) const;
    // Renames the whole file over `finalPath`; false with `error` set when it cannot.
    bool finish(const std::string& partPath, const std::string& finalPath, int& error) const;
    // Removes an incomplete temporary file.
    void discard(const std::string& partPath) const;
    // Removes the temporary files listed by an earlier run and empties the list; how many.
    int removeLeftovers() const;

    // Whether `path` names a file of the temporary kind (its name only is looked at).
    static bool IsPartName(const std::string& path);
    // Opens a temporary file for writing from its start, never through a link; none with errno
    // set when it cannot.
    static std::FILE* OpenPart(const std::string& partPath);

private:
    void unlist(const std::string& partPath) const;

    std::string ledger_;
};

// The ledger's name in the application folder.
inline constexpr const char* kPartFilesLedger = "ReceivingFiles.lst";

} // namespace talmor::storage
