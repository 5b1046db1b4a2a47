// The search wizards' decisions without their windows: from conditions to the request, the
// stored replies and their paging, and the rows the entries become.
#include <gtest/gtest.h>

#include "kit/searchresults.h"
#include "messaging/searchconditions.h"
#include "messaging/searchpaging.h"
#include "messaging/searchtexts.h"
#include "support/qtapp.h"

namespace talmor {
namespace {

using testing::Gbk;
using testing::U;

UserRecord Scope(const char* province, const char* city, const char* district = "",
                 const char* street = "", const char* community = "") {
    UserRecord scope;
    scope.province = Gbk(province);
    scope.city = Gbk(city);
    scope.district = Gbk(district);
    scope.street = Gbk(street);
    scope.community = Gbk(community);
    return scope;
}

SearchConditions Exact(const char* account, const char* email = "") {
    SearchConditions c;
    c.account = U(account);
    c.email = U(email);
    return c;
}

TEST(SearchConditionsTest, ExactModeNeedsItsFieldsAndReadsTheAccountAsADecimalNumber) {
    struct Case {
        SearchKind kind;
        const char* account;
        const char* email;
        const char* refusal; // null: sent
        uint32_t sentAccount;
    };
    const Case cases[] = {
        {SearchKind::Subscribers, "", "", text::kExactNeedsAccountOrEmail, 0},
        {SearchKind::Providers, "  ", "", text::kExactNeedsAccountOrEmail, 0},
        {SearchKind::Colleagues, "", "a@b.c", text::kAccountOnlyNeedsAccount, 0},
        {SearchKind::Subscribers, "", "a@b.c", nullptr, 0},
        {SearchKind::Subscribers, "12abc", "", nullptr, 12},
        {SearchKind::Providers, "abc", "", nullptr, 0},
        {SearchKind::Colleagues, " 1025", "", nullptr, 1025},
        {SearchKind::Subscribers, "4294967295", "", nullptr, 4294967295u},
        // Digits beyond 32 bits are refused, never wrapped to another account.
        {SearchKind::Subscribers, "4294967296", "", text::kAccountTooLarge, 0},
        {SearchKind::Colleagues, "99999999999999999999x", "", text::kAccountTooLarge, 0},
        {SearchKind::Providers, "-5", "", nullptr, 0},
    };
    const UserRecord scope = Scope("广东省", "深圳市", "南山区", "粤海街道", "科技园社区");
    for (const Case& c : cases) {
        const QueryOrRefusal built = BuildQuery(c.kind, Exact(c.account, c.email), scope);
        if (c.refusal != nullptr) {
            EXPECT_FALSE(built.query) << c.account;
            EXPECT_STREQ(built.refusal, c.refusal) << c.account;
            continue;
        }
        ASSERT_TRUE(built.query) << c.account;
        EXPECT_EQ(built.query->account, c.sentAccount) << c.account;
        EXPECT_EQ(built.query->email, c.kind == SearchKind::Colleagues ? "" : c.email);
        EXPECT_EQ(built.query->area[4], Gbk("科技园社区"));
    }
}

TEST(SearchConditionsTest, ExactModeSendsTheScopeAndLeavesTheCombinedFieldsOut) {
    SearchConditions c = Exact("2001");
    c.nick = U("张");
    c.name = U("张建国");
    c.sex = 1;
    c.ageBand = 5;
    c.area = {U("北京市"), U("x"), U("y"), U("z"), U("w")};
    c.phone = U("0755");
    c.onlineOnly = true;
    for (SearchKind kind :
         {SearchKind::Subscribers, SearchKind::Providers, SearchKind::Colleagues}) {
        const QueryOrRefusal built = BuildQuery(kind, c, Scope("广东省", "深圳市"));
        ASSERT_TRUE(built.query);
        const SearchQuery& q = *built.query;
        EXPECT_TRUE(q.nick.empty() && q.name.empty() && q.phone.empty());
        EXPECT_EQ(q.sex + q.ageBand + q.onlineOnly, 0u);
        EXPECT_EQ(q.area, (std::array<std::string, 5>{Gbk("广东省"), Gbk("深圳市"), "", "", ""}));
    }
}

TEST(SearchConditionsTest, CombinedModeTakesTheFreeAreaPartsAndTheKindsOwnFields) {
    // The scope sets province and city: only district, street and community are chosen.
    const UserRecord scope = Scope("广东省", "深圳市");
    EXPECT_FALSE(AreaPartFree(scope, 0));
    EXPECT_FALSE(AreaPartFree(scope, 1));
    EXPECT_TRUE(AreaPartFree(scope, 2));
    EXPECT_TRUE(AreaPartFree(scope, 4));
    SearchConditions c;
    c.combined = true;
    c.account = U("2001");
    c.email = U("a@b.c");
    c.nick = U("张");
    c.name = U("张建国");
    c.sex = 2;
    c.ageBand = 14;
    c.area = {U("北京市"), U("北京市"), U("南山区"), U("不限"), U("科技园社区")};
    c.phone = U("0755");
    c.onlineOnly = true;

    const SearchQuery users = *BuildQuery(SearchKind::Subscribers, c, scope).query;
    EXPECT_EQ(users.account, 0u);
    EXPECT_EQ(users.email, "");
    EXPECT_EQ(users.nick, Gbk("张"));
    EXPECT_EQ(users.name, Gbk("张建国"));
    EXPECT_EQ(users.sex, 2);
    EXPECT_EQ(users.ageBand, 14);
    EXPECT_EQ(users.area, (std::array<std::string, 5>{Gbk("广东省"), Gbk("深圳市"), Gbk("南山区"),
                                                      "", Gbk("科技园社区")}));
    EXPECT_TRUE(users.phone.empty());

    const SearchQuery providers = *BuildQuery(SearchKind::Providers, c, scope).query;
    EXPECT_EQ(providers.name, Gbk("张建国"));
    EXPECT_EQ(providers.phone, "0755");
    EXPECT_TRUE(providers.nick.empty());
    EXPECT_EQ(providers.sex + providers.ageBand, 0);

    const SearchQuery colleagues = *BuildQuery(SearchKind::Colleagues, c, scope).query;
    EXPECT_EQ(colleagues.onlineOnly, 1u);
    EXPECT_TRUE(colleagues.phone.empty() && colleagues.nick.empty());

    // Positions outside the lists send "any".
    c.sex = 7;
    c.ageBand = -1;
    const SearchQuery odd = *BuildQuery(SearchKind::Subscribers, c, Scope("", "")).query;
    EXPECT_EQ(odd.sex + odd.ageBand, 0);
    EXPECT_EQ(odd.area[0], Gbk("北京市")) << "a free province is the chosen one";
}

TEST(SearchConditionsTest, TheListsHoldTheirEntries) {
    ASSERT_EQ(Provinces().size(), 35);
    EXPECT_EQ(Provinces().front(), U("不限"));
    EXPECT_EQ(Provinces()[1], U("安徽省"));
    EXPECT_EQ(Provinces().back(), U("浙江省"));
    ASSERT_EQ(AgeBands().size(), 15);
    EXPECT_EQ(AgeBands()[1], U("不大于20岁"));
    EXPECT_EQ(AgeBands()[14], U("不小于81岁"));
    EXPECT_EQ(SexChoices(), (QStringList{U("不限"), U("男"), U("女")}));
}

std::vector<ResultRow> Reply(uint32_t firstId, int count) {
    std::vector<ResultRow> rows;
    for (int i = 0; i < count; ++i) {
        rows.push_back({firstId + static_cast<uint32_t>(i), true, {}});
    }
    return rows;
}

TEST(SearchPagingTest, StoresRepliesPagesThroughThemAndKeepsTheCursorOfTheLastReply) {
    SearchPaging paging;
    EXPECT_EQ(paging.current(), -1);
    EXPECT_EQ(paging.shown(), nullptr);
    EXPECT_FALSE(paging.canGoBack());
    EXPECT_TRUE(paging.canGoOn());
    EXPECT_FALSE(paging.next()) << "nothing stored: the server is asked";

    ASSERT_TRUE(paging.addReply(Reply(10, 3)));
    ASSERT_TRUE(paging.addReply(Reply(20, 2)));
    EXPECT_EQ(paging.cursor(), 21u);
    EXPECT_EQ(paging.current(), 1);
    // An empty reply keeps the list shown and the cursor.
    EXPECT_FALSE(paging.addReply({}));
    EXPECT_EQ(paging.current(), 1);
    EXPECT_EQ(paging.cursor(), 21u);

    EXPECT_TRUE(paging.previous());
    EXPECT_EQ(paging.shown()->front().id, 10u);
    EXPECT_FALSE(paging.canGoBack());
    EXPECT_FALSE(paging.previous());
    EXPECT_TRUE(paging.next()) << "the stored second reply, not the server";
    EXPECT_EQ(paging.shown()->front().id, 20u);
    EXPECT_FALSE(paging.next());
    EXPECT_EQ(paging.cursor(), 21u) << "paging back and forth leaves the cursor";

    paging.restart();
    EXPECT_EQ(paging.stored(), 0);
    EXPECT_EQ(paging.cursor(), 0u);
    EXPECT_EQ(paging.current(), -1);
}

TEST(SearchPagingTest, AfterAHundredRepliesTheNextPageStaysClosed) {
    SearchPaging paging;
    for (uint32_t reply = 0; reply < 100; ++reply) {
        ASSERT_TRUE(paging.addReply(Reply(reply * 10 + 1, 2)));
        EXPECT_EQ(paging.canGoOn(), reply < 99) << reply;
    }
    EXPECT_FALSE(paging.addReply(Reply(5000, 1))) << "a 101st reply is not stored";
    EXPECT_EQ(paging.stored(), 100);
    EXPECT_EQ(paging.cursor(), 992u);
    EXPECT_TRUE(paging.previous());
    EXPECT_TRUE(paging.canGoOn());
    EXPECT_TRUE(paging.next());
    EXPECT_FALSE(paging.canGoOn());
}

TEST(SearchResultsTest, EntriesBecomeTheRowsOfTheirColumns) {
    const SearchEntryA user{2001, 1, Gbk("张大爷"), Gbk("张建国"), 0, 78, Gbk("3栋502")};
    const std::optional<ResultRow> a = RowOf(user);
    ASSERT_TRUE(a);
    EXPECT_TRUE(a->online);
    EXPECT_EQ(a->texts,
              (QStringList{U("2001"), U("张大爷"), U("张建国"), U("保密"), U("78"), U("3栋502")}));
    EXPECT_EQ(a->texts.size(), static_cast<int>(SubscriberColumns().size()));

    SearchEntryB provider;
    provider.id = 3001;
    provider.name = Gbk("安居");
    provider.province = Gbk("广东省");
    provider.serviceContent = Gbk("维修");
    const ResultRow b = *RowOf(provider);
    EXPECT_FALSE(b.online);
    ASSERT_EQ(b.texts.size(), static_cast<int>(ProviderColumns().size()));
    EXPECT_EQ(b.texts[1], U("安居"));
    EXPECT_EQ(b.texts[3], U("广东省"));
    EXPECT_EQ(b.texts[11], U("维修"));

    SearchEntryD colleague;
    colleague.id = 1025;
    colleague.sex = 2;
    colleague.area = {Gbk("广东省"), Gbk("深圳市"), "", "", Gbk("科技园社区")};
    const ResultRow d = *RowOf(colleague);
    ASSERT_EQ(d.texts.size(), static_cast<int>(ColleagueColumns().size()));
    EXPECT_EQ(d.texts[4], U("女"));
    EXPECT_EQ(d.texts[6], U("广东省 深圳市   科技园社区"));
    EXPECT_EQ(ColleagueColumns()[6].heading, std::string("所管辖区"));
}

TEST(SearchResultsTest, BadEntriesAreShownSafelyOrDropped) {
    struct Case {
        const char* what;
        SearchEntryA entry;
        bool kept;
        QString id;
    };
    const std::string enormous(4000, 'x');
    const Case cases[] = {
        {"empty texts", {7, 0, "", "", 0, 0, ""}, true, U("7")},
        {"enormous text", {8, 0, enormous, enormous, 1, 255, enormous}, true, U("8")},
        {"not GBK", {9, 0, "\xFF\xFF\x80", "\x81", 9, 0, "\xA1"}, true, U("9")},
        {"largest id", {4294967295u, 1, "n", "", 2, 1, ""}, true, U("4294967295")},
        {"id 0", {0, 1, "ghost", "", 1, 1, ""}, false, {}},
    };
    for (const Case& c : cases) {
        const std::optional<ResultRow> row = RowOf(c.entry);
        ASSERT_EQ(row.has_value(), c.kept) << c.what;
        if (row) {
            EXPECT_EQ(row->id, c.entry.id) << c.what;
            EXPECT_EQ(row->texts.front(), c.id) << c.what;
            EXPECT_EQ(row->texts.size(), 6) << c.what;
        }
    }
    EXPECT_EQ(RowOf(cases[1].entry)->texts[1].size(), 4000);
    EXPECT_EQ(RowOf(cases[2].entry)->texts[3], QString()) << "sex 9 has no text";
    const std::vector<SearchEntryA> entries = {cases[0].entry, cases[4].entry, cases[3].entry};
    const std::vector<ResultRow> rows = RowsOf(entries);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows.back().id, 4294967295u);
}

} // namespace
} // namespace talmor
