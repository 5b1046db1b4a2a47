#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace talmor::storage {

// Option bits of `ConsoleOptions`.
enum OptionBit : int {
    kOptionAutoReply = 0, // automatic reply on
    kOptionSoundsOn = 1,  // "打开声音"
    kOptionSavePassword = 2,
    kOptionBackupServer = 3,  // serverIndex 1
    kOptionTakeSosCalls = 4,  // "接收求救呼叫"
    kOptionTakeHelpCalls = 5, // "接收求助呼叫"
    kOptionSosReminder = 6,   // "求救报警提醒"
    kOptionHelpReminder = 7,  // "求助信息提醒"
    kOptionJumpToTab = 8,     // "自动跳转窗口"
    kOptionAgreementAccepted = 9,
    kOptionAutoReconnect = 10, // "脱机自动连接"
};

// Bits 0 to 10; a stored u32 loses every bit above bit 10 on loading.
constexpr uint32_t kOptionBitsMask = 0x7FF;

// Sound events 0 to 9.
constexpr std::size_t kSoundEventCount = 10;
// The event names as the sound options list them (GBK), "即时讯息" ... "煤气报警".
extern const std::array<const char*, kSoundEventCount> kSoundEventNames;
// The default file of each event, "frommessage.wav" ... "meiqi.wav".
extern const std::array<const char*, kSoundEventCount> kSoundEventFiles;

// The operator's console options (UserOption.db key 0xFFFFFFFF).
struct ConsoleOptions {
    uint32_t bits = 0;
    std::array<std::string, kSoundEventCount> soundPaths; // file of sound event i
    std::string autoReplyText;                            // the automatic reply in use
    std::string quickReplyText; // the quick reply last shown on the system page
    std::string smsReplyText;   // the SMS text last shown on the SMS page

    bool bit(int index) const { return index >= 0 && index < 32 && ((bits >> index) & 1U) != 0; }
    void setBit(int index, bool on);
    bool operator==(const ConsoleOptions& other) const;
};

// The operator-safety features, each on unless switched off (the option sheet's system page,
// else the INI's [safety] section).
struct SafetySwitches {
    bool realert = true;     // repeat the alarm of a waiting SOS or help call until it is taken
    bool waitingTime = true; // the oldest wait in the status line, a waiting column in the panes
    bool journal = true;     // the handling journal of every call step
    bool operator==(const SafetySwitches& other) const {
        return realert == other.realert && waitingTime == other.waitingTime &&
               journal == other.journal;
    }
};

// The options of an operator who has none stored yet: bits 1, 4, 5, 6, 7 and 8 on,
// bits 0, 2, 3, 9 and 10 off, sound event i at applicationFolder + "Sound/" + its default file,
// the three texts empty.
ConsoleOptions DefaultConsoleOptions(const std::string& applicationFolder);

// The default lists (GBK), in their order.
const std::vector<std::string>& DefaultQuickReplies();
const std::vector<std::string>& DefaultAutoReplies();
const std::vector<std::string>& DefaultSmsReplies();

} // namespace talmor::storage
