#include "storage/consoleoptions.h"

#include "storage/datafiles.h"

namespace talmor::storage {

// GBK bytes; the UTF-8 text of each is in its comment.
const std::array<const char*, kSoundEventCount> kSoundEventNames = {
    "\xBC\xB4\xCA\xB1\xD1\xB6\xCF\xA2", // 即时讯息
    "\xC7\xF3\xD6\xFA\xB1\xA8\xBE\xAF", // 求助报警
    "\xC7\xF3\xBE\xC8\xB1\xA8\xBE\xAF", // 求救报警
    "\xD3\xC3\xBB\xA7\xC9\xCF\xCF\xDF", // 用户上线
    "\xD3\xC3\xBB\xA7\xCF\xC2\xCF\xDF", // 用户下线
    "\xCD\xD1\xBB\xFA\xCC\xE1\xD0\xD1", // 脱机提醒
    "\xC3\xC5\xB4\xC5\xB1\xA8\xBE\xAF", // 门磁报警
    "\xBA\xEC\xCD\xE2\xB1\xA8\xBE\xAF", // 红外报警
    "\xD1\xCC\xB8\xD0\xB1\xA8\xBE\xAF", // 烟感报警
    "\xC3\xBA\xC6\xF8\xB1\xA8\xBE\xAF", // 煤气报警
};

const std::array<const char*, kSoundEventCount> kSoundEventFiles = {
    "frommessage.wav", "general.wav", "special.wav", "online.wav", "offline.wav",
    "logout.wav",      "menci.wav",   "hongwai.wav", "yangan.wav", "meiqi.wav",
};

void ConsoleOptions::setBit(int index, bool on) {
    if (index < 0 || index >= 32) {
        return;
    }
    if (on) {
        bits |= 1U << index;
    } else {
        bits &= ~(1U << index);
    }
}

bool ConsoleOptions::operator==(const ConsoleOptions& other) const {
    return bits == other.bits && soundPaths == other.soundPaths &&
           autoReplyText == other.autoReplyText && quickReplyText == other.quickReplyText &&
           smsReplyText == other.smsReplyText;
}

ConsoleOptions DefaultConsoleOptions(const std::string& applicationFolder) {
    ConsoleOptions options;
    for (int bit : {kOptionSoundsOn, kOptionTakeSosCalls, kOptionTakeHelpCalls, kOptionSosReminder,
                    kOptionHelpReminder, kOptionJumpToTab}) {
        options.setBit(bit, true);
    }
    const std::string soundFolder = JoinPath(applicationFolder, "Sound/");
    for (std::size_t i = 0; i < kSoundEventCount; ++i) {
        options.soundPaths[i] = soundFolder + kSoundEventFiles[i];
    }
    return options;
}

const std::vector<std::string>& DefaultQuickReplies() {
    static const std::vector<std::string> list = {
        "\xC5\xB6\xA1\xA3",                                                 // 哦。
        "\xBA\xC3\xC1\xCB\xA3\xAC\xCE\xD2\xD6\xAA\xB5\xC0\xC1\xCB\xA1\xA3", // 好了，我知道了。
        "\xCA\xC7\xC2\xF0\xA3\xBF",                                         // 是吗？
        "\xB2\xBB\xBB\xE1\xCA\xC7\xD5\xE6\xB5\xC4\xB0\xC9\xA3\xA1",         // 不会是真的吧！
    };
    return list;
}

const std::vector<std::string>& DefaultAutoReplies() {
    static const std::vector<std::string> list = {
        // 你好，我现在有事不在，一会儿再和你联系。
        "\xC4\xE3\xBA\xC3\xA3\xAC\xCE\xD2\xCF\xD6\xD4\xDA\xD3\xD0\xCA\xC2\xB2\xBB\xD4\xDA\xA3\xAC"
        "\xD2\xBB\xBB\xE1\xB6\xF9\xD4\xD9\xBA\xCD\xC4\xE3\xC1\xAA\xCF\xB5\xA1\xA3",
        // 工作中，请勿打扰，等会再与你联系。
        "\xB9\xA4\xD7\xF7\xD6\xD0\xA3\xAC\xC7\xEB\xCE\xF0\xB4\xF2\xC8\xC5\xA3\xAC\xB5\xC8\xBB\xE1"
        "\xD4\xD9\xD3\xEB\xC4\xE3\xC1\xAA\xCF\xB5\xA1\xA3",
        // 我去吃饭了，一会儿再联系。
        "\xCE\xD2\xC8\xA5\xB3\xD4\xB7\xB9\xC1\xCB\xA3\xAC\xD2\xBB\xBB\xE1\xB6\xF9\xD4\xD9\xC1\xAA"
        "\xCF\xB5\xA1\xA3",
    };
    return list;
}

const std::vector<std::string>& DefaultSmsReplies() {
    static const std::vector<std::string> list = {
        // 你家人刚发起了求助呼叫！
        "\xC4\xE3\xBC\xD2\xC8\xCB\xB8\xD5\xB7\xA2\xC6\xF0\xC1\xCB\xC7\xF3\xD6\xFA\xBA\xF4\xBD\xD0"
        "\xA3\xA1",
        // 你家人刚发起了求救呼叫！
        "\xC4\xE3\xBC\xD2\xC8\xCB\xB8\xD5\xB7\xA2\xC6\xF0\xC1\xCB\xC7\xF3\xBE\xC8\xBA\xF4\xBD\xD0"
        "\xA3\xA1",
        "120\xD2\xD1\xC9\xCF\xC3\xC5\xA1\xA3", // 120已上门。
        // 你家人现在平安，请放心。
        "\xC4\xE3\xBC\xD2\xC8\xCB\xCF\xD6\xD4\xDA\xC6\xBD\xB0\xB2\xA3\xAC\xC7\xEB\xB7\xC5\xD0\xC4"
        "\xA1\xA3",
    };
    return list;
}

} // namespace talmor::storage
