#pragma once

#include <gtest/gtest.h>

#include <QEvent>
#include <QImage>
#include <QPoint>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "messaging/contactpart.h"
#include "support/consoleharness.h"
#include "support/wire.h"

namespace talmor::testing {

// The receiver of the processing list: remembers the calls dropped on contacts.
struct DropRecorder : HandlingReceiver {
    void onTakenCalls(std::vector<CallRecord>) override {}
    void onCallTaken(const CallRecord&) override {}
    void onCallNoticeDone(uint32_t, bool) override {}
    void onCallGone(uint32_t) override {}
    void onCallMemoSaved(uint32_t) override {}
    void onFamilyContact(bool, uint32_t, const std::string&, const std::string&) override {}
    void onSellerResult(std::vector<SellerEntry>, uint32_t) override {}
    void onListsRequested() override {}
    void onCallDroppedOnContact(uint32_t callId, uint32_t userId) override {
        drops.push_back({callId, userId});
    }
    std::vector<std::pair<uint32_t, uint32_t>> drops;
};

// The chat part: remembers which chats the contact pane asked for.
struct ChatRecorder : MessagingReceiver {
    void onMessage(MessageRecord) override {}
    void onContactChanged(uint32_t userId) override { changed.push_back(userId); }
    void openChat(uint32_t userId, ChatStart start) override { chats.push_back({userId, start}); }
    std::vector<std::pair<uint32_t, ChatStart>> chats;
    std::vector<uint32_t> changed;
};

// The main window on the console harness with the messaging parts installed, logged in with
// the groups 我的好友 (101, the default group), 服务商家 (102) and 重点老人 (103), shown in
// the reverse order, and the contacts 1025 (101), 3001 (102, type "B") and 2001 (no group).
class ContactPaneFixture : public ::testing::Test {
protected:
    static constexpr uint32_t kColleague = 1025;
    static constexpr uint32_t kMerchant = 3001;
    static constexpr uint32_t kSubscriber = 2001;

    void SetUp() override;

    void loginWith(const std::vector<GroupEntry>& groups, const std::vector<ContactEntry>& contacts,
                   const UserRecord& profile = ConsoleHarness::Operator());
    void standardLogin();

    ContactPart& part() { return *part_; }
    ContactList& list() { return part_->list(); }
    COutListDlg& pane() { return part_->pane(); }
    // The texts of the rows as the list shows them.
    std::vector<QString> rowTexts();
    int rowOf(uint32_t contactId);
    int headerRowOf(uint32_t groupId);
    // The centre of a row in the list's viewport (x given).
    QPoint rowPoint(int row, int x = 60);
    void mouse(QEvent::Type type, int row, Qt::MouseButton button, int x = 60);
    QImage paintedList();

    // Server events.
    void online(uint32_t id, uint32_t status = kStatusOnline);
    void statusChange(uint32_t id, uint32_t status);
    void offline(uint32_t id);
    void profile(uint32_t id, const UserRecord& record);
    void event32(uint16_t command, uint32_t value);
    void event32x2(uint16_t command, uint32_t first, uint32_t second);

    // The bodies of the requests with `command` sent since the last take.
    std::vector<Bytes> sentBodies(uint16_t command);

    ConsoleHarness h;
    ContactPart* part_ = nullptr;
};

// u32 fields of a request body, in order.
std::vector<uint32_t> U32s(const Bytes& body, std::size_t count);
// A u32 then a text.
std::pair<uint32_t, std::string> U32Text(const Bytes& body);

} // namespace talmor::testing
