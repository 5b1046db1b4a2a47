// The seed file: the demo seed loads, and a faulty seed is refused with a reason.
#include <gtest/gtest.h>

#include <QString>

#include <map>

#include "server/gbk.h"
#include "server/scope.h"
#include "server/seed.h"
#include "server/serversettings.h"

namespace talmor::server {
namespace {

TEST(Seed, TheDemoSeedLoadsWithItsOperatorsAndTextsInGbk) {
    QString error;
    const auto seed = loadSeedFile(QString(TALMOR_DEMO_SEED), error);
    ASSERT_TRUE(seed) << error.toStdString();
    for (uint32_t id : {1024u, 1025u}) {
        const Account* account = seed->directory.find(id);
        ASSERT_NE(account, nullptr);
        EXPECT_EQ(account->profile.typeCode, "S");
        for (std::size_t i = 0; i < kSeatRightCount; ++i) {
            EXPECT_TRUE(account->rights.granted(i));
        }
        EXPECT_GE(account->groups.size(), 3u);
    }
    EXPECT_EQ(seed->directory.find(1024)->profile.community,
              seed->directory.find(1025)->profile.community);
    const Account* organisation = seed->directory.find(1026);
    EXPECT_EQ(organisation->profile.scopeKind, 1u);
    EXPECT_GT(organisation->profile.scopeId, 0u);
    EXPECT_FALSE(organisation->scopeCode.empty());
    EXPECT_EQ(seed->directory.find(3001)->profile.typeCode, "B");
    // "张大爷" in GBK.
    EXPECT_EQ(seed->directory.find(2001)->profile.nick, std::string("\xD5\xC5\xB4\xF3\xD2\xAF"));
    EXPECT_EQ(fromGbk(seed->directory.find(2001)->profile.nick), QString::fromUtf8("张大爷"));
    EXPECT_FALSE(seed->directory.find(2001)->family.empty());
    EXPECT_FALSE(seed->calls.empty());
}

TEST(Seed, TheDemoSeedFillsMoreThanOneSearchReplyOfEachKindInTheDemoOperatorsArea) {
    QString error;
    const auto seed = loadSeedFile(QString(TALMOR_DEMO_SEED), error);
    ASSERT_TRUE(seed) << error.toStdString();
    const Area area = areaOf(seed->directory.find(1024)->profile);
    std::map<AccountKind, std::size_t> inArea;
    for (const auto& [id, account] : seed->directory.accounts()) {
        if (areaWithin(areaOf(account.profile), area)) {
            ++inArea[account.kind];
        }
    }
    const std::size_t page = ServerSettings().searchPageSize;
    for (AccountKind kind :
         {AccountKind::Subscriber, AccountKind::Merchant, AccountKind::Operator}) {
        EXPECT_GT(inArea[kind], page) << static_cast<int>(kind);
    }
}

TEST(Seed, FaultySeedsAreRefusedWithAReason) {
    struct Case {
        const char* json;
        const char* reason;
    };
    const Case cases[] = {
        {"[]", "not a JSON object"},
        {R"({"operators":[{"id":1,"nick":"a"},{"id":1,"nick":"b"}]})", "used twice"},
        {R"({"operators":[{"id":1,"groups":[{"id":5,"contacts":[77]}]}]})", "contact 77"},
        {R"({"subscribers":[{"id":2,"nick":"😀"}]})", "GBK"},
        {R"({"operators":[{"id":1,"age":300}]})", "above 255"},
        {R"({"operators":[{"id":1,"nick":5}]})", "not a text"},
        {R"({"operators":[{"id":1,"rights":["Y"]}]})", "rights"},
        {R"({"calls":[{"user":9,"category":1}]})", "not a subscriber"},
        {R"({"subscribers":[{"id":2}],"calls":[{"user":2,"category":27}]})", "category 27"},
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_FALSE(parseSeed(QByteArray(c.json), error)) << c.json;
        EXPECT_TRUE(error.contains(c.reason)) << c.json << " -> " << error.toStdString();
    }
}

} // namespace
} // namespace talmor::server
