#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "storage/partfiles.h"
#include "support/tempfolder.h"

namespace talmor::storage {
namespace {

using testing::TempFolder;

std::string Read(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::trunc) << text;
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// A received file is written beside its target and takes the target's name only once whole:
// what was there before stays until then, and a console killed in the middle leaves only a
// temporary file, which its next start removes.
TEST(PartFiles, TheChosenNameHoldsTheOldFileUntilTheNewOneIsWhole) {
    TempFolder folder;
    const PartFiles parts(folder.path() + kPartFilesLedger);
    const std::string target = folder.path() + "report.doc";
    Write(target, "old");
    int error = 0;
    const std::string part = parts.create(target, error);
    ASSERT_FALSE(part.empty()) << error;
    EXPECT_TRUE(PartFiles::IsPartName(part)) << part;
    struct stat info {};
    ASSERT_EQ(::stat(part.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    std::FILE* file = PartFiles::OpenPart(part);
    ASSERT_NE(file, nullptr);
    std::fputs("new", file);
    std::fclose(file);
    EXPECT_EQ(Read(target), "old");
    ASSERT_TRUE(parts.finish(part, target, error));
    EXPECT_EQ(Read(target), "new");
    EXPECT_FALSE(Exists(part));
    EXPECT_EQ(parts.removeLeftovers(), 0); // nothing listed any more

    // Cancelled: the old file stays, the part goes.
    const std::string cancelled = parts.create(target, error);
    parts.discard(cancelled);
    EXPECT_FALSE(Exists(cancelled));
    EXPECT_EQ(Read(target), "new");
}

TEST(PartFiles, AKilledReceiverLeavesNothingUnderTheChosenNameAndTheNextStartCleansUp) {
    TempFolder folder;
    const std::string ledger = folder.path() + kPartFilesLedger;
    const std::string target = folder.path() + "video.mp4";
    int error = 0;
    std::string part;
    {
        const PartFiles parts(ledger);
        part = parts.create(target, error);
        ASSERT_FALSE(part.empty());
        Write(part, std::string(3084288, 'x')); // the console dies here
    }
    EXPECT_FALSE(Exists(target));
    const std::string stranger = folder.path() + "notes.txt";
    Write(stranger, "keep");
    // A ledger that names a file of another kind never has it removed.
    std::ofstream(ledger, std::ios::app) << stranger << '\n';
    EXPECT_EQ(PartFiles(ledger).removeLeftovers(), 1);
    EXPECT_FALSE(Exists(part));
    EXPECT_TRUE(Exists(stranger));
    EXPECT_FALSE(Exists(ledger));
}

TEST(PartFiles, APartIsNeverWrittenThroughALink) {
    TempFolder folder;
    const PartFiles parts(folder.path() + kPartFilesLedger);
    const std::string victim = folder.path() + "victim";
    Write(victim, "safe");
    int error = 0;
    const std::string part = parts.create(folder.path() + "x.bin", error);
    ASSERT_FALSE(part.empty());
    ASSERT_EQ(std::remove(part.c_str()), 0);
    ASSERT_EQ(::symlink(victim.c_str(), part.c_str()), 0);
    EXPECT_EQ(PartFiles::OpenPart(part), nullptr);
    EXPECT_EQ(Read(victim), "safe");
}

TEST(PartFiles, OnlyNamesOfTheTemporaryKindCount) {
    struct Case {
        const char* path;
        bool part;
    };
    const Case cases[] = {
        {"/d/.a.bin.part-ab12cd", true},   {".a.part-000000", true},
        {"/d/a.bin.part-ab12cd", false},   {"/d/.a.bin.part-ab12c", false},
        {"/d/.a.bin.part-ab12cde", false}, {"/d/.part-ab12cd", false},
        {"/d/notes.txt", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PartFiles::IsPartName(c.path), c.part) << c.path;
    }
}

} // namespace
} // namespace talmor::storage
