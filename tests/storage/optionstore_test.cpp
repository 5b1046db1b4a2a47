#include <gtest/gtest.h>

#include <iconv.h>

#include <string>
#include <vector>

#include "storage/optionstore.h"
#include "storage/textlists.h"
#include "storage/userdb.h"
#include "support/tempfolder.h"

namespace talmor::storage {
namespace {

using testing::FileExists;
using testing::ReadFile;
using testing::TempFolder;
using testing::WriteFile;
using Texts = std::vector<std::string>;
using Bytes = std::vector<uint8_t>;

AccountRecord sampleAccount() {
    AccountRecord a;
    a.id = 30001;
    a.nick = "\xD5\xC5\xC8\xFD"; // 张三
    a.typeCode = "S";
    a.age = 41;
    a.sex = 2;
    for (std::size_t i = 0; i < a.profileText.size(); ++i) {
        a.profileText[i] = "p" + std::to_string(i + 1);
    }
    a.pictureIndex = 7;
    a.extraText = "extra";
    a.password = "secret12";
    a.profileFlag = 1;
    return a;
}

// GBK bytes of a UTF-8 text, by the C library's converter: an independent check of the tables.
std::string gbk(const std::string& utf8) {
    iconv_t cd = iconv_open("GBK", "UTF-8");
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
    std::string in = utf8;
    std::string out(in.size() * 2 + 4, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size();
    std::size_t outLeft = out.size();
    EXPECT_NE(iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft), static_cast<std::size_t>(-1));
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

Texts gbkList(const std::vector<std::string>& utf8) {
    Texts result;
    for (const auto& text : utf8) {
        result.push_back(gbk(text));
    }
    return result;
}

// ---- key 0: the saved account ----

TEST(OptionStore, AccountRecordRoundTrips) {
    TempFolder user;
    AccountRecord expected = sampleAccount();
    ASSERT_TRUE(SaveAccountRecord(user.path(), expected));
    EXPECT_TRUE(FileExists(user.file("UserOption.db")));
    AccountRecord loaded;
    ASSERT_TRUE(LoadAccountRecord(user.path(), loaded));
    for (std::size_t i = 3; i <= 6; ++i) {
        expected.profileText[i].clear(); // profileText4 to profileText7 are not stored
    }
    EXPECT_EQ(loaded, expected);
}

TEST(OptionStore, AccountRecordKeepsTheFieldOrderOfPart61) {
    const Bytes bytes = EncodeAccountRecord(sampleAccount()).bytes();
    StoreReader r(bytes);
    EXPECT_EQ(r.u32(), 30001u);
    EXPECT_EQ(r.text(), "\xD5\xC5\xC8\xFD");
    EXPECT_EQ(r.text(), "S");
    EXPECT_EQ(r.u8(), 2);  // sex
    EXPECT_EQ(r.u8(), 41); // then age
    for (const char* text : {"p1", "p2", "p3", "p8", "p9", "p10", "p11", "p12", "p13", "p14"}) {
        EXPECT_EQ(r.text(), text);
    }
    EXPECT_EQ(r.u32(), 7u);
    EXPECT_EQ(r.text(), "extra");
    EXPECT_EQ(r.text(), "secret12");
    EXPECT_EQ(r.u8(), 1);
    EXPECT_EQ(r.remaining(), 0u);
}

TEST(OptionStore, SavingTheAccountReplacesTheOldRecord) {
    TempFolder user;
    AccountRecord account = sampleAccount();
    ASSERT_TRUE(SaveAccountRecord(user.path(), account));
    account.password = "changed";
    ASSERT_TRUE(SaveAccountRecord(user.path(), account));
    AccountRecord loaded;
    ASSERT_TRUE(LoadAccountRecord(user.path(), loaded));
    EXPECT_EQ(loaded.password, "changed");
    UserDB db;
    ASSERT_TRUE(db.open(user.file("UserOption.db")));
    int records = 0;
    db.walk(kAccountRecordKey, [&](const uint8_t*, std::size_t) { return ++records > 0; });
    EXPECT_EQ(records, 1);
}

TEST(OptionStore, NoAccountRecordOrNoFolderLoadsFalse) {
    TempFolder user;
    AccountRecord loaded;
    EXPECT_FALSE(LoadAccountRecord(user.path(), loaded));
    EXPECT_FALSE(LoadAccountRecord(user.file("missing/"), loaded));
    EXPECT_FALSE(SaveAccountRecord(user.file("missing/"), sampleAccount()));
}

// ---- key 0xFFFFFFFF: the console options ----

TEST(OptionStore, OptionsRoundTripBesideTheAccount) {
    TempFolder app, user;
    ConsoleOptions options = DefaultConsoleOptions(app.path());
    options.setBit(kOptionAutoReply, true);
    options.autoReplyText = "away";
    options.quickReplyText = "quick";
    options.smsReplyText = "sms";
    ASSERT_TRUE(SaveAccountRecord(user.path(), sampleAccount()));
    ASSERT_TRUE(SaveOptions(user.path(), options));
    ConsoleOptions loaded;
    ASSERT_TRUE(LoadOptions(user.path(), loaded));
    EXPECT_EQ(loaded, options);
    AccountRecord account;
    EXPECT_TRUE(LoadAccountRecord(user.path(), account));
}

TEST(OptionStore, OptionsStreamIsBitsTenPathsThreeTexts) {
    ConsoleOptions options;
    options.bits = 0x123;
    for (std::size_t i = 0; i < kSoundEventCount; ++i) {
        options.soundPaths[i] = "s" + std::to_string(i);
    }
    options.autoReplyText = "a";
    options.quickReplyText = "q";
    options.smsReplyText = "m";
    const Bytes bytes = EncodeConsoleOptions(options).bytes();
    StoreReader r(bytes);
    EXPECT_EQ(r.u32(), 0x123u);
    for (std::size_t i = 0; i < kSoundEventCount; ++i) {
        EXPECT_EQ(r.text(), "s" + std::to_string(i));
    }
    EXPECT_EQ(r.text(), "a");
    EXPECT_EQ(r.text(), "q");
    EXPECT_EQ(r.text(), "m");
    EXPECT_EQ(r.remaining(), 0u);
}

// Sound paths too long for the 4096 bytes together: the ones that do not fit come back empty and
// the texts after them stay in their places.
TEST(OptionStore, PathsThatDoNotFitLoadEmptyAndTheTextsKeepTheirPlaces) {
    ConsoleOptions options;
    options.bits = 0x32;
    for (std::string& path : options.soundPaths) {
        path = std::string(1000, 'p');
    }
    options.autoReplyText = "away";
    options.quickReplyText = "quick";
    options.smsReplyText = "sms";
    const Bytes bytes = EncodeConsoleOptions(options).bytes();
    const ConsoleOptions loaded = DecodeConsoleOptions(bytes.data(), bytes.size());
    EXPECT_EQ(loaded.bits, 0x32u);
    for (std::size_t i = 0; i < kSoundEventCount; ++i) {
        EXPECT_EQ(loaded.soundPaths[i], i < 4 ? options.soundPaths[i] : "") << i;
    }
    EXPECT_EQ(loaded.autoReplyText, "away");
    EXPECT_EQ(loaded.quickReplyText, "quick");
    EXPECT_EQ(loaded.smsReplyText, "sms");
}

TEST(OptionStore, StoredBitTwelveIsDroppedOnLoading) {
    TempFolder user;
    StoreWriter stream;
    stream.u32((1U << 12) | (1U << 31) | (1U << 10) | (1U << 1)).text("path0");
    {
        UserDB db;
        ASSERT_TRUE(db.open(user.file("UserOption.db")));
        ASSERT_TRUE(db.replace(0xFFFFFFFF, stream.data(), stream.size()));
    }
    ConsoleOptions loaded;
    ASSERT_TRUE(LoadOptions(user.path(), loaded));
    EXPECT_EQ(loaded.bits, (1U << 10) | (1U << 1));
    EXPECT_EQ(loaded.soundPaths[0], "path0");
    EXPECT_EQ(loaded.soundPaths[1], ""); // a short record: the rest reads empty
    EXPECT_EQ(loaded.smsReplyText, "");
}

TEST(OptionStore, NoOptionsLoadFalse) {
    TempFolder user;
    ConsoleOptions options;
    EXPECT_FALSE(LoadOptions(user.path(), options));
    ASSERT_TRUE(SaveAccountRecord(user.path(), sampleAccount()));
    EXPECT_FALSE(LoadOptions(user.path(), options));
    EXPECT_FALSE(LoadOptions(user.file("missing/"), options));
}

// ---- defaults and the first login ----

TEST(ConsoleOptionsDefaults, BitsAndSoundPathsOfPart24) {
    const ConsoleOptions options = DefaultConsoleOptions("/opt/talmor/");
    for (int bit : {1, 4, 5, 6, 7, 8}) {
        EXPECT_TRUE(options.bit(bit)) << bit;
    }
    for (int bit : {0, 2, 3, 9, 10}) {
        EXPECT_FALSE(options.bit(bit)) << bit;
    }
    EXPECT_EQ(options.bits, 0x1F2u);
    const char* files[] = {"frommessage.wav", "general.wav", "special.wav", "online.wav",
                           "offline.wav",     "logout.wav",  "menci.wav",   "hongwai.wav",
                           "yangan.wav",      "meiqi.wav"};
    for (std::size_t i = 0; i < kSoundEventCount; ++i) {
        EXPECT_EQ(options.soundPaths[i], std::string("/opt/talmor/Sound/") + files[i]);
    }
    EXPECT_EQ(options.autoReplyText, "");
    EXPECT_EQ(options.quickReplyText, "");
    EXPECT_EQ(options.smsReplyText, "");
}

TEST(ConsoleOptionsDefaults, SetBitAndBit) {
    ConsoleOptions options;
    options.setBit(kOptionAutoReconnect, true);
    EXPECT_EQ(options.bits, 1U << 10);
    options.setBit(kOptionAutoReconnect, false);
    options.setBit(40, true); // outside the u32: ignored
    EXPECT_EQ(options.bits, 0u);
    EXPECT_FALSE(options.bit(-1));
}

TEST(ConsoleOptionsDefaults, TablesAreTheExpectedGbkTexts) {
    EXPECT_EQ(DefaultQuickReplies(),
              gbkList({"哦。", "好了，我知道了。", "是吗？", "不会是真的吧！"}));
    EXPECT_EQ(DefaultAutoReplies(),
              gbkList({"你好，我现在有事不在，一会儿再和你联系。",
                       "工作中，请勿打扰，等会再与你联系。", "我去吃饭了，一会儿再联系。"}));
    EXPECT_EQ(DefaultSmsReplies(), gbkList({"你家人刚发起了求助呼叫！", "你家人刚发起了求救呼叫！",
                                            "120已上门。", "你家人现在平安，请放心。"}));
    const Texts names = gbkList({"即时讯息", "求助报警", "求救报警", "用户上线", "用户下线",
                                 "脱机提醒", "门磁报警", "红外报警", "烟感报警", "煤气报警"});
    for (std::size_t i = 0; i < kSoundEventCount; ++i) {
        EXPECT_EQ(kSoundEventNames[i], names[i]) << i;
    }
}

TEST(FirstLogin, WritesTheDefaultsAndTheThreeDefaultLists) {
    TempFolder app, user;
    WriteFile(user.file("QuickReply.dat"), "old\n");
    ConsoleOptions options;
    EXPECT_EQ(LoadOptionsOrDefaults(app.path(), user.path(), options), OptionsOrigin::FirstLogin);
    EXPECT_EQ(options, DefaultConsoleOptions(app.path()));

    ConsoleOptions stored;
    ASSERT_TRUE(LoadOptions(user.path(), stored));
    EXPECT_EQ(stored, options);
    Texts quick, autoReplies, sms;
    LoadQuickReplies(user.path(), quick);
    LoadAutoReplies(user.path(), autoReplies);
    LoadSmsReplies(user.path(), sms);
    EXPECT_EQ(quick, DefaultQuickReplies()); // replaced, not appended
    EXPECT_EQ(autoReplies, DefaultAutoReplies());
    EXPECT_EQ(sms, DefaultSmsReplies());
    EXPECT_EQ(ReadFile(user.file("SmsReply.dat")).back(), '\n');
}

TEST(FirstLogin, LaterLoginsKeepWhatTheOperatorChanged) {
    TempFolder app, user;
    ConsoleOptions options;
    ASSERT_EQ(LoadOptionsOrDefaults(app.path(), user.path(), options), OptionsOrigin::FirstLogin);
    // The login then sets bits 2 and 3 and saves; the operator edits a list.
    options.setBit(kOptionSavePassword, true);
    options.setBit(kOptionBackupServer, true);
    ASSERT_TRUE(SaveOptions(user.path(), options));
    ASSERT_TRUE(SaveQuickReplies(user.path(), {"mine"}));

    ConsoleOptions again;
    EXPECT_EQ(LoadOptionsOrDefaults(app.path(), user.path(), again), OptionsOrigin::Stored);
    EXPECT_EQ(again, options);
    Texts quick;
    LoadQuickReplies(user.path(), quick);
    EXPECT_EQ(quick, Texts{"mine"});
}

TEST(FirstLogin, AnUnreadableDatabaseDoesNotCostTheLists) {
    TempFolder app, user;
    ASSERT_TRUE(SaveQuickReplies(user.path(), {"mine"}));
    WriteFile(user.file("UserOption.db"), std::string(3000, 'x'));
    ConsoleOptions options;
    EXPECT_EQ(LoadOptionsOrDefaults(app.path(), user.path(), options), OptionsOrigin::Unavailable);
    EXPECT_EQ(options, DefaultConsoleOptions(app.path()));
    EXPECT_EQ(ReadFile(user.file("QuickReply.dat")), "mine\n");
    EXPECT_FALSE(FileExists(user.file("SmsReply.dat")));
}

TEST(FirstLogin, MissingUserFolderGivesDefaultsInMemory) {
    TempFolder app;
    ConsoleOptions options;
    EXPECT_EQ(LoadOptionsOrDefaults(app.path(), app.file("missing/"), options),
              OptionsOrigin::Unavailable);
    EXPECT_EQ(options.bits, 0x1F2u);
    EXPECT_FALSE(WriteDefaultLists(app.file("missing/")));
}

} // namespace
} // namespace talmor::storage
