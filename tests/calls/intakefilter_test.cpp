#include <gtest/gtest.h>

#include "calls/intakefilter.h"
#include "support/qtapp.h"

namespace talmor {
namespace {

using testing::Gbk;

UserRecord AreaOperator(const char* province, const char* city, const char* district) {
    UserRecord own;
    own.province = Gbk(province);
    own.city = Gbk(city);
    own.district = Gbk(district);
    return own;
}

UserRecord OrgOperator(uint32_t scopeId) {
    UserRecord own;
    own.scopeKind = 1;
    own.scopeId = scopeId;
    return own;
}

CallRecord AreaCall(const char* province, const char* city, const char* district) {
    CallRecord call;
    call.province = Gbk(province);
    call.city = Gbk(city);
    call.district = Gbk(district);
    return call;
}

CallRecord OrgCall(uint32_t flag, uint32_t orgId) {
    CallRecord call;
    call.orgFlag = flag;
    call.orgId = orgId;
    return call;
}

TEST(MonitoringScope, AreaAndOrganisationCases) {
    struct Case {
        const char* name;
        UserRecord own;
        std::string scopeCode;
        CallRecord call;
        bool inScope;
    };
    const Case cases[] = {
        {"the whole country", AreaOperator("", "", ""), "", AreaCall("广东", "深圳", "南山"), true},
        {"same area", AreaOperator("广东", "深圳", "南山"), "", AreaCall("广东", "深圳", "南山"),
         true},
        {"other district", AreaOperator("广东", "深圳", "南山"), "",
         AreaCall("广东", "深圳", "福田"), false},
        {"empty level 1, level 2 set: any province", AreaOperator("", "深圳", ""), "",
         AreaCall("江苏", "深圳", "X"), true},
        {"empty level 1, level 2 differs", AreaOperator("", "深圳", ""), "",
         AreaCall("广东", "广州", ""), false},
        {"call without a province", AreaOperator("广东", "", ""), "", AreaCall("", "深圳", ""),
         false},
        {"organisation id", OrgOperator(501), "", OrgCall(1, 501), true},
        {"not an organisation member", OrgOperator(501), "", OrgCall(0, 501), false},
        {"organisation flag other than 1", OrgOperator(501), "", OrgCall(2, 501), false},
        {"other organisation, no scope code", OrgOperator(501), "", OrgCall(1, 502), false},
        {"id in the scope code", OrgOperator(501), "600,502,700", OrgCall(1, 502), true},
        {"compared as numbers", OrgOperator(501), "0502", OrgCall(1, 502), true},
        {"blanks around an id", OrgOperator(501), "600, 502 ,700", OrgCall(1, 502), true},
        {"scopeId still counts beside a code", OrgOperator(501), "600", OrgCall(1, 501), true},
        {"prefix of an id is not the id", OrgOperator(501), "5020", OrgCall(1, 502), false},
        {"text code matches no id 0", OrgOperator(501), "ORG501", OrgCall(1, 0), false},
        {"scopeId beside a text code", OrgOperator(501), "ORG501", OrgCall(1, 501), true},
        {"empty parts match no id 0", OrgOperator(501), ",,", OrgCall(1, 0), false},
        {"beyond 32 bits wraps to nothing", OrgOperator(501), "4294967298", OrgCall(1, 2), false},
        {"last id of the list", OrgOperator(501), "1,2,3", OrgCall(1, 3), true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(InMonitoringScope(c.call, c.own, c.scopeCode), c.inScope) << c.name;
    }
}

SeatRights Rights(std::initializer_list<int> granted) {
    SeatRights rights;
    for (int right : granted) {
        rights.rights[static_cast<std::size_t>(right)] = "Y";
    }
    return rights;
}

storage::ConsoleOptions Options(std::initializer_list<int> bits) {
    storage::ConsoleOptions options;
    for (int bit : bits) {
        options.setBit(bit, true);
    }
    return options;
}

TEST(JudgeNewCall, CategoryStepWithRightsAndOptionBits) {
    const std::initializer_list<int> allBits = {1, 4, 5, 6, 7, 8};
    struct Case {
        const char* name;
        uint32_t category;
        SeatRights rights;
        storage::ConsoleOptions options;
        bool taken;
        int sound;
        int pane;
        int box;
    };
    const Case cases[] = {
        {"help", 0, Rights({45}), Options(allBits), true, 1, 0, 0},
        {"help without its right", 0, Rights({46}), Options(allBits), false, -1, -1, 10},
        {"help while not taken in", 0, Rights({45}), Options({1, 4, 6, 7}), false, -1, -1, 10},
        {"help without its reminder", 0, Rights({45}), Options({1, 5}), true, -1, 0, 0},
        {"SOS", 1, Rights({46}), Options(allBits), true, 2, 1, 1},
        {"SOS while not taken in", 1, Rights({46}), Options({1, 5, 6, 7}), false, -1, -1, 10},
        {"SOS without its reminder", 1, Rights({46}), Options({1, 4, 7}), true, -1, 1, 1},
        {"SOS with only the help reminder", 1, Rights({46}), Options({4, 7}), true, -1, 1, 1},
        {"property: door sound, no bit", 2, Rights({20}), Options({}), true, 6, 2, 2},
        {"property without its right", 2, Rights({21}), Options(allBits), false, -1, -1, 10},
        {"group purchase", 3, Rights({21}), Options(allBits), true, 1, 3, 3},
        {"customer service", 10, Rights({44}), Options({7}), true, 1, 10, 10},
        {"computer repair, no reminder", 26, Rights({43}), Options({}), true, -1, 26, 26},
        {"security alarm without right", 19, Rights({}), Options(allBits), false, -1, -1, 10},
        {"code 27: box of category 10 only", 27, Rights({}), Options({}), true, -1, -1, 10},
        {"code 4000000000", 4000000000U, Rights({}), Options({}), true, -1, -1, 10},
    };
    const UserRecord own;
    for (const Case& c : cases) {
        CallRecord call;
        call.category = c.category;
        const IntakeVerdict verdict = JudgeNewCall(call, own, "", c.rights, c.options);
        EXPECT_EQ(verdict.taken, c.taken) << c.name;
        if (verdict.taken) {
            EXPECT_EQ(verdict.soundEvent, c.sound) << c.name;
            EXPECT_EQ(verdict.paneCode, c.pane) << c.name;
            EXPECT_EQ(verdict.boxCategory, c.box) << c.name;
        }
    }
}

TEST(JudgeNewCall, ScopeComesFirstEvenForUnknownCodes) {
    const UserRecord own = AreaOperator("广东", "", "");
    CallRecord call = AreaCall("江苏", "", "");
    call.category = 27;
    EXPECT_FALSE(JudgeNewCall(call, own, "", Rights({}), Options({})).taken);
    call.category = 1;
    EXPECT_FALSE(JudgeNewCall(call, own, "", Rights({46}), Options({1, 4, 6})).taken);
}

} // namespace
} // namespace talmor
