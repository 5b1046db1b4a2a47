#include <gtest/gtest.h>

#include <map>

#include "protocol/commands.h"
#include "protocol/listcursors.h"
#include "protocol/queryrecords.h"
#include "support/clientharness.h"

namespace talmor {
namespace {

using testing::body;
using testing::Bytes;
using testing::ClientHarness;
using testing::SentRequest;
using testing::u32At;

struct ListCase {
    uint16_t reply;
    uint16_t request;
    CallWireOrder order;
    bool scoped; // the request carries the scope block with code after the start id
};

std::vector<ListCase> listCases() {
    std::vector<ListCase> cases = {
        {CMD_HELP_CALLS, CMD_GET_HELP_CALLS, CallWireOrder::ListEntryWithSource, true},
        {CMD_SOS_CALLS, CMD_GET_SOS_CALLS, CallWireOrder::ListEntryWithSource, true},
        {CMD_SERVICE_CALLS, CMD_GET_SERVICE_CALLS, CallWireOrder::ListEntry, true},
        {CMD_TAKEN_CALLS, CMD_GET_TAKEN_CALLS, CallWireOrder::TakenCall, false},
    };
    for (int pane = 0; pane < kCategoryPaneCount; ++pane) {
        cases.push_back({static_cast<uint16_t>(CMD_CATEGORY_CALLS + pane),
                         static_cast<uint16_t>(CMD_GET_CATEGORY_CALLS + pane),
                         CallWireOrder::ListEntry, true});
    }
    return cases;
}

Bytes calls(std::vector<uint32_t> ids, CallWireOrder order) {
    return body([&](OutPacket& out) {
        out.writeShort(static_cast<uint16_t>(ids.size()));
        for (uint32_t id : ids) {
            CallRecord r;
            r.callId = id;
            r.write(out, order);
        }
    });
}

// The one request sent besides the acknowledgement.
SentRequest reRequest(ClientHarness& h) {
    std::vector<SentRequest> requests;
    for (SentRequest& request : h.takeSent()) {
        if (request.command != CMD_ACK) {
            requests.push_back(std::move(request));
        }
    }
    EXPECT_EQ(requests.size(), 1u);
    return requests.empty() ? SentRequest{} : requests.front();
}

void loginWithScope(ClientHarness& h) {
    h.login();
    UserRecord& profile = h.listener.own().record;
    profile.province = "prov";
    profile.community = "comm";
    profile.scopeKind = 1;
    profile.scopeId = 4401;
    h.listener.own().scopeCode = "code";
}

// Each list has its own cursor: a delivery moves it to its last call and asks again from
// there; an empty delivery asks again from where it was.
TEST(ListCursors, EachListReRequestsFromItsLastCall) {
    ClientHarness h;
    loginWithScope(h);
    ScopeBlock scope = ScopeBlock::of(h.listener.own().record, "code");
    const Bytes scopeBytes = body([&](OutPacket& out) { scope.write(out, true); });
    uint32_t nextId = 1000;
    std::map<int, uint32_t> lastOfList;
    for (const ListCase& c : listCases()) {
        SCOPED_TRACE(c.reply);
        const uint32_t last = nextId += 3;
        lastOfList[ListCursors::listOfReply(c.reply)] = last;
        h.deliver(c.reply, calls({last - 2, last - 1, last}, c.order));
        SentRequest request = reRequest(h);
        EXPECT_EQ(request.command, c.request);
        EXPECT_EQ(u32At(request.body, 0), last);
        if (c.scoped) {
            EXPECT_EQ(Bytes(request.body.begin() + 4,
                            request.body.begin() + 4 + static_cast<long>(scopeBytes.size())),
                      scopeBytes);
        }

        h.deliver(c.reply, calls({}, c.order));
        request = reRequest(h);
        EXPECT_EQ(request.command, c.request);
        EXPECT_EQ(u32At(request.body, 0), last);
    }
    // No delivery moved another list's cursor.
    for (const auto& [list, last] : lastOfList) {
        EXPECT_EQ(h.client().cursors().at(list), last) << list;
    }
}

TEST(ListCursors, HelpRequestAfterThreeCallsCarriesTheThird) {
    ClientHarness h;
    h.login();
    h.deliver(CMD_HELP_CALLS, calls({71, 72, 73}, CallWireOrder::ListEntryWithSource));
    EXPECT_EQ(h.listener.events, std::vector<std::string>{"OnHelpCalls([71,72,73])"});
    const SentRequest request = reRequest(h);
    EXPECT_EQ(request.command, CMD_GET_HELP_CALLS);
    EXPECT_EQ(u32At(request.body, 0), 73u);
}

TEST(ListCursors, EmptyFirstDeliveryAsksFromZero) {
    ClientHarness h;
    h.login();
    h.deliver(CMD_SOS_CALLS, calls({}, CallWireOrder::ListEntryWithSource));
    const SentRequest request = reRequest(h);
    EXPECT_EQ(request.command, CMD_GET_SOS_CALLS);
    EXPECT_EQ(u32At(request.body, 0), 0u);
}

TEST(ListCursors, ReplyCodesMapToTheirLists) {
    EXPECT_EQ(ListCursors::listOfReply(CMD_HELP_CALLS), ListCursors::kHelp);
    EXPECT_EQ(ListCursors::listOfReply(CMD_CATEGORY_CALLS + 5), ListCursors::kFirstCategory + 5);
    EXPECT_EQ(ListCursors::listOfReply(CMD_CATEGORY_CALLS + kCategoryPaneCount),
              ListCursors::kService);
    EXPECT_EQ(ListCursors::listOfReply(CMD_CATEGORY_CALLS - 1), -1);
    EXPECT_EQ(ListCursors::listOfReply(CMD_NEW_CALL), -1);
    EXPECT_EQ(ListCursors::requestOf(ListCursors::kFirstCategory + 23), 1831);
}

} // namespace
} // namespace talmor
