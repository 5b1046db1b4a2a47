#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "storage/consoleoptions.h"
#include "storage/storestream.h"

namespace talmor::storage {

// Keys of UserOption.db.
constexpr uint32_t kAccountRecordKey = 0;
constexpr uint32_t kOptionsKey = 0xFFFFFFFF;
// The safety switches, a record of their own: the options record keeps its layout.
constexpr uint32_t kSafetySwitchesKey = 0xFFFFFFFE;

// The saved account: the operator's own profile (`UserRecord` with the login
// extension) as far as UserOption.db keeps it. profileText[i] is profileText(i+1); texts 4 to 7
// (profileText[3] ... profileText[6]) are not stored and load empty, as do the area texts and
// scope fields, which this record leaves out.
struct AccountRecord {
    uint32_t id = 0;
    std::string nick;
    std::string typeCode;
    uint8_t age = 0;
    uint8_t sex = 0;
    std::array<std::string, 14> profileText;
    uint32_t pictureIndex = 0;
    std::string extraText;
    std::string password; // as the operator typed it
    uint8_t profileFlag = 0;
    bool operator==(const AccountRecord& other) const;
};

// Store-stream forms. Account: u32 id, text nick, text typeCode, u8 sex, u8 age
// (sex before age), texts profileText1-3, texts profileText8-13, text profileText14, u32
// pictureIndex, text extraText, text password, u8 profile flag. Options: u32 bits, ten sound
// paths, the automatic reply, the quick reply, the SMS text. Decoding takes any bytes; decoding
// options keeps bits 0 to 10 only.
StoreWriter EncodeAccountRecord(const AccountRecord& account);
AccountRecord DecodeAccountRecord(const uint8_t* data, std::size_t size);
StoreWriter EncodeConsoleOptions(const ConsoleOptions& options);
ConsoleOptions DecodeConsoleOptions(const uint8_t* data, std::size_t size);

// The option store on userFolder + "UserOption.db". Each call opens the database (creating it
// when missing) and closes it again; saving replaces the record (no merge). Loading returns
// false when there is no such record or the file cannot be opened.
bool SaveAccountRecord(const std::string& userFolder, const AccountRecord& account);
bool LoadAccountRecord(const std::string& userFolder, AccountRecord& account);
bool SaveOptions(const std::string& userFolder, const ConsoleOptions& options);
bool LoadOptions(const std::string& userFolder, ConsoleOptions& options);

// The safety switches as the system page stored them: u8, bit 0 realert, bit 1 waiting time,
// bit 2 journal. Loading returns false when none are stored (the INI's then hold) or the file
// cannot be opened.
bool SaveSafetySwitches(const std::string& userFolder, const SafetySwitches& switches);
bool LoadSafetySwitches(const std::string& userFolder, SafetySwitches& switches);

// Writes the three default lists, each replacing its file. False when one of them
// could not be written.
bool WriteDefaultLists(const std::string& userFolder);

// Where LoadOptionsOrDefaults took the options from.
enum class OptionsOrigin {
    Stored,     // loaded from UserOption.db
    FirstLogin, // the database holds no options: defaults written with the default lists
    Unavailable // the database cannot be opened or read: defaults in memory, no file touched
};

// The options of a login: LoadOptions; when the database opens but holds no
// options (first login of the account on this computer), the defaults are saved and
// the three list files are rewritten with their default lists. When the database cannot be
// opened or read, `options` gets the defaults too, but the list files are left alone: an
// unreadable database must not cost the operator the lists edited earlier. The caller then sets
// bits 2 and 3 and saves.
OptionsOrigin LoadOptionsOrDefaults(const std::string& applicationFolder,
                                    const std::string& userFolder, ConsoleOptions& options);

} // namespace talmor::storage
