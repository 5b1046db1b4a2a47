#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "storage/logcheckpointer.h"

struct sqlite3;
struct sqlite3_stmt;

namespace talmor::storage {

// The file of the handling journal in the operator's folder.
inline constexpr const char* kCallJournalFile = "CallJournal.db";

// One step in the life of a call, as the journal records it. The numbers are stored: never
// renumber them.
enum class JournalStep : uint8_t {
    Arrived = 1,           // a new call was taken in
    Shown = 2,             // the call got a row in its pane (new or listed)
    SoundPlayed = 3,       // its alarm sounded (detail: the sound event, "repeat" for a re-alert)
    Taken = 4,             // this operator took it
    GivenUp = 5,           // this operator gave it up
    Misdial = 6,           // marked as misdialled or a test
    Blacklisted = 7,       // the caller's number was blacklisted (detail: the number)
    ReportSaved = 8,       // the handling report went to the server (detail: its text)
    SmsSent = 9,           // an SMS went out (detail: to whom)
    MerchantNotified = 10, // a merchant was sent the call (detail: the merchant)
    Confirmed = 11,        // the server confirmed the handling
    Withdrawn = 12,        // another console took it or it stopped waiting
};
constexpr uint8_t kFirstJournalStep = 1;
constexpr uint8_t kLastJournalStep = 12;

// One journal line. Texts are GBK bytes, as everywhere in the data files.
struct JournalEntry {
    int64_t timeMs = 0; // milliseconds since 1970-01-01 UTC
    uint32_t callId = 0;
    uint32_t callerId = 0;
    std::string callerName;
    int32_t category = -1; // -1 when the call's category is not known
    JournalStep step = JournalStep::Arrived;
    std::string detail;
    bool operator==(const JournalEntry& other) const;
};

// What the journal window asks for; an empty field does not filter.
struct JournalFilter {
    std::optional<uint32_t> callId;
    // The caller's id when the text is all digits, else a part of the caller's name.
    std::string caller;
    std::optional<int32_t> category;
    // [fromMs, toMs): one day of the operator's calendar, computed by the window.
    std::optional<int64_t> fromMs;
    std::optional<int64_t> toMs;
};

// The append-only handling journal of one operator on SQLite. The file stays open while the
// operator is logged in. An append is one small transaction in a write-ahead log that is written
// before append returns, so it survives a crash of the process (SIGKILL included) at any moment;
// the log is synced to the disk and folded into the file about once a second by the journal's
// checkpointer, on its own thread (a disk sync costs milliseconds, a hundred on a busy disk,
// which the caller's event loop must not wait for). Nothing is ever updated or deleted. Every
// operation reports failure as false or an empty result; none throws.
class CallJournal {
public:
    CallJournal() = default;
    ~CallJournal();
    CallJournal(const CallJournal&) = delete;
    CallJournal& operator=(const CallJournal&) = delete;

    // Opens (creating when missing) the journal at `path`. False for a file that cannot be
    // opened or is not a journal; the journal then stays closed.
    bool open(const std::string& path);
    void close();
    bool isOpen() const { return db_ != nullptr; }

    // Adds the entry at the end. False when the journal is closed or the write failed.
    bool append(const JournalEntry& entry);
    // Adds the `count` entries at the end, in one transaction: all of them or, false, none.
    bool append(const JournalEntry* entries, std::size_t count);
    // Whether what was appended reaches the disk: false when the journal is closed or its last
    // checkpoint failed.
    bool syncing() const;
    // Folds what was appended into the file now and waits for the disk (tests and tools). False
    // when the journal is closed or the checkpoint failed.
    bool flush();
    // The entries that pass `filter`, oldest first (in the order they were appended). False when
    // the journal is closed or could not be read.
    bool query(const JournalFilter& filter, std::vector<JournalEntry>& entries) const;

private:
    bool insert(const JournalEntry& entry);

    sqlite3* db_ = nullptr;
    sqlite3_stmt* insert_ = nullptr; // prepared at the first append, kept while open
    std::unique_ptr<LogCheckpointer> log_;
};

} // namespace talmor::storage
