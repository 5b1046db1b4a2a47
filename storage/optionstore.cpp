#include "storage/optionstore.h"

#include <vector>

#include "storage/datafiles.h"
#include "storage/storefields.h"
#include "storage/textlists.h"
#include "storage/userdb.h"

namespace talmor::storage {

namespace {

// profileText indexes stored, in stream order: 1-3, 8-13, 14.
constexpr std::array<std::size_t, 10> kStoredProfileTexts = {0, 1, 2, 7, 8, 9, 10, 11, 12, 13};

// The account record, sex before age; only the stored profile texts.
const auto accountFields = [](auto& a, auto& s) {
    s(a.id)(a.nick)(a.typeCode)(a.sex)(a.age);
    for (std::size_t i : kStoredProfileTexts) {
        s(a.profileText[i]);
    }
    s(a.pictureIndex)(a.extraText)(a.password)(a.profileFlag);
};

const auto optionFields = [](auto& o, auto& s) {
    s(o.bits)(o.soundPaths)(o.autoReplyText)(o.quickReplyText)(o.smsReplyText);
};

bool replaceRecord(const std::string& userFolder, uint32_t key, const StoreWriter& stream) {
    UserDB db;
    return db.open(JoinPath(userFolder, kOptionFile)) &&
           db.replace(key, stream.data(), stream.size());
}

bool readRecord(const std::string& userFolder, uint32_t key, std::vector<uint8_t>& value) {
    UserDB db;
    return db.open(JoinPath(userFolder, kOptionFile)) && db.read(key, value);
}

} // namespace

bool AccountRecord::operator==(const AccountRecord& other) const {
    return id == other.id && nick == other.nick && typeCode == other.typeCode && age == other.age &&
           sex == other.sex && profileText == other.profileText &&
           pictureIndex == other.pictureIndex && extraText == other.extraText &&
           password == other.password && profileFlag == other.profileFlag;
}

StoreWriter EncodeAccountRecord(const AccountRecord& account) {
    return WriteStoredFields(account, accountFields);
}

AccountRecord DecodeAccountRecord(const uint8_t* data, std::size_t size) {
    return ReadStoredFields<AccountRecord>(data, size, accountFields);
}

StoreWriter EncodeConsoleOptions(const ConsoleOptions& options) {
    return WriteStoredFields(options, optionFields);
}

ConsoleOptions DecodeConsoleOptions(const uint8_t* data, std::size_t size) {
    ConsoleOptions options = ReadStoredFields<ConsoleOptions>(data, size, optionFields);
    options.bits &= kOptionBitsMask;
    return options;
}

bool SaveAccountRecord(const std::string& userFolder, const AccountRecord& account) {
    return replaceRecord(userFolder, kAccountRecordKey, EncodeAccountRecord(account));
}

bool LoadAccountRecord(const std::string& userFolder, AccountRecord& account) {
    std::vector<uint8_t> value;
    if (!readRecord(userFolder, kAccountRecordKey, value)) {
        return false;
    }
    account = DecodeAccountRecord(value.data(), value.size());
    return true;
}

bool SaveOptions(const std::string& userFolder, const ConsoleOptions& options) {
    return replaceRecord(userFolder, kOptionsKey, EncodeConsoleOptions(options));
}

bool LoadOptions(const std::string& userFolder, ConsoleOptions& options) {
    std::vector<uint8_t> value;
    if (!readRecord(userFolder, kOptionsKey, value)) {
        return false;
    }
    options = DecodeConsoleOptions(value.data(), value.size());
    return true;
}

bool SaveSafetySwitches(const std::string& userFolder, const SafetySwitches& switches) {
    StoreWriter stream;
    stream.u8(static_cast<uint8_t>((switches.realert ? 1 : 0) | (switches.waitingTime ? 2 : 0) |
                                   (switches.journal ? 4 : 0)));
    return replaceRecord(userFolder, kSafetySwitchesKey, stream);
}

bool LoadSafetySwitches(const std::string& userFolder, SafetySwitches& switches) {
    std::vector<uint8_t> value;
    if (!readRecord(userFolder, kSafetySwitchesKey, value) || value.empty()) {
        return false;
    }
    switches.realert = (value[0] & 1) != 0;
    switches.waitingTime = (value[0] & 2) != 0;
    switches.journal = (value[0] & 4) != 0;
    return true;
}

bool WriteDefaultLists(const std::string& userFolder) {
    const bool autoReplies = SaveAutoReplies(userFolder, DefaultAutoReplies());
    const bool quickReplies = SaveQuickReplies(userFolder, DefaultQuickReplies());
    const bool smsReplies = SaveSmsReplies(userFolder, DefaultSmsReplies());
    return autoReplies && quickReplies && smsReplies;
}

OptionsOrigin LoadOptionsOrDefaults(const std::string& applicationFolder,
                                    const std::string& userFolder, ConsoleOptions& options) {
    UserDB db;
    if (db.open(JoinPath(userFolder, kOptionFile))) {
        std::vector<uint8_t> value;
        if (db.read(kOptionsKey, value)) {
            options = DecodeConsoleOptions(value.data(), value.size());
            return OptionsOrigin::Stored;
        }
        // Tell "no options yet" from a database that fails to read.
        bool empty = true;
        const bool walked = db.walk(kOptionsKey, [&](const uint8_t*, std::size_t) {
            empty = false;
            return false;
        });
        if (walked && empty) {
            options = DefaultConsoleOptions(applicationFolder);
            const StoreWriter stream = EncodeConsoleOptions(options);
            db.replace(kOptionsKey, stream.data(), stream.size());
            db.close();
            WriteDefaultLists(userFolder);
            return OptionsOrigin::FirstLogin;
        }
    }
    options = DefaultConsoleOptions(applicationFolder);
    return OptionsOrigin::Unavailable;
}

} // namespace talmor::storage
