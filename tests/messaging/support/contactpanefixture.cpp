#include "support/contactpanefixture.h"

#include <QCoreApplication>
#include <QMouseEvent>

#include "messaging/contactrowmodel.h"
#include "messaging/messagingparts.h"
#include "messaging/outlistctrl.h"
#include "messaging/outlistdlg.h"
#include "protocol/commands.h"
#include "support/wire.h"

namespace talmor::testing {

void ContactPaneFixture::SetUp() {
    InstallMessagingParts(h.window());
    part_ = dynamic_cast<ContactPart*>(h.window().routes().contacts);
    ASSERT_NE(part_, nullptr);
    pane().resize(208, 400);
    pane().listCtrl().resize(208, 400);
}

void ContactPaneFixture::loginWith(const std::vector<GroupEntry>& groups,
                                   const std::vector<ContactEntry>& contacts,
                                   const UserRecord& profile) {
    h.startLogin();
    h.loginReply();
    h.rights(ConsoleHarness::AllRights());
    h.ownProfile(profile);
    h.deliver(CMD_GROUP_LIST, [&](OutPacket& out) { writeList(out, groups); });
    h.deliver(CMD_CONTACT_LIST, [&](OutPacket& out) { writeList(out, contacts); });
}

void ContactPaneFixture::standardLogin() {
    loginWith({{101, Gbk("我的好友")}, {102, Gbk("服务商家")}, {103, Gbk("重点老人")}},
              {{kColleague, "", 101, Gbk("值班员小李"), "", "S", 2},
               {kMerchant, "", 102, Gbk("安居家电维修"), "", "B", 1},
               {kSubscriber, "", 0, Gbk("张大爷"), "", "", 1}});
}

std::vector<QString> ContactPaneFixture::rowTexts() {
    std::vector<QString> texts;
    ContactRowModel& rows = pane().rows();
    for (int row = 0; row < rows.rowCount(); ++row) {
        texts.push_back(rows.index(row).data().toString());
    }
    return texts;
}

int ContactPaneFixture::rowOf(uint32_t contactId) {
    return pane().rows().rowOfContact(contactId);
}

int ContactPaneFixture::headerRowOf(uint32_t groupId) {
    return pane().rows().headerRow(list().indexOfGroup(groupId));
}

QPoint ContactPaneFixture::rowPoint(int row, int x) {
    COutListCtrl& ctrl = pane().listCtrl();
    const QRect rect = ctrl.visualRect(ctrl.model()->index(row, 0));
    return QPoint(x, rect.center().y());
}

void ContactPaneFixture::mouse(QEvent::Type type, int row, Qt::MouseButton button, int x) {
    QWidget* viewport = pane().listCtrl().viewport();
    const QPoint at = rowPoint(row, x);
    QMouseEvent event(type, at, viewport->mapToGlobal(at), button,
                      type == QEvent::MouseMove ? Qt::NoButton : button, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &event);
}

QImage ContactPaneFixture::paintedList() {
    QWidget* viewport = pane().listCtrl().viewport();
    pane().listCtrl().doItemsLayout();
    return viewport->grab().toImage();
}

void ContactPaneFixture::online(uint32_t id, uint32_t status) {
    h.deliver(CMD_CONTACT_ONLINE, [&](OutPacket& out) {
        PresenceEntry entry;
        entry.id = id;
        entry.status = status;
        entry.write(out);
    });
}

void ContactPaneFixture::statusChange(uint32_t id, uint32_t status) {
    event32x2(CMD_CONTACT_STATUS, id, status);
}

void ContactPaneFixture::offline(uint32_t id) {
    event32(CMD_CONTACT_OFFLINE, id);
}

void ContactPaneFixture::profile(uint32_t id, const UserRecord& record) {
    h.deliver(CMD_USER_INFO, [&](OutPacket& out) {
        out.writeInt(id);
        record.write(out);
    });
}

void ContactPaneFixture::event32(uint16_t command, uint32_t value) {
    h.deliver(command, [&](OutPacket& out) { out.writeInt(value); });
}

void ContactPaneFixture::event32x2(uint16_t command, uint32_t first, uint32_t second) {
    h.deliver(command, [&](OutPacket& out) { out.writeInt(first).writeInt(second); });
}

std::vector<Bytes> ContactPaneFixture::sentBodies(uint16_t command) {
    std::vector<Bytes> bodies;
    for (const Sent& request : h.takeSent()) {
        if (request.command == command) {
            bodies.push_back(request.body);
        }
    }
    return bodies;
}

std::vector<uint32_t> U32s(const Bytes& body, std::size_t count) {
    BodyReader reader(body);
    std::vector<uint32_t> values;
    for (std::size_t i = 0; i < count; ++i) {
        values.push_back(reader.in().u32());
    }
    return values;
}

std::pair<uint32_t, std::string> U32Text(const Bytes& body) {
    BodyReader reader(body);
    const uint32_t value = reader.in().u32();
    return {value, reader.in().text()};
}

} // namespace talmor::testing
