#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>

#include <memory>

#include "console/commandids.h"
#include "console/qtenvironment.h"
#include "console/talmormanagerdlg.h"
#include "kit/appfolders.h"
#include "messaging/contactmenu.h"
#include "messaging/contactpart.h"
#include "messaging/contactrowmodel.h"
#include "messaging/creategroupdlg.h"
#include "messaging/messagingparts.h"
#include "messaging/outlistdlg.h"
#include "messaging/updategroupdlg.h"
#include "protocol/commands.h"
#include "support/controlclient.h"
#include "support/eventloop.h"
#include "support/fakeui.h"
#include "support/qtapp.h"
#include "support/serverprocess.h"
#include "support/testconsole.h"

namespace talmor {
namespace {

using e2e::waitFor;
using testing::U;

constexpr int kWaitMs = 10000;

// Operator 1024's console, in process on real sockets, against a quorvane-server of its own
// with the contacts seed: groups 我的好友 (101: 2004, 1025; the default group), 服务商家
// (102: 3001), 重点老人 (103: 2001, 2002) and 临时 (104, empty); 2003 comes without a group.
class ContactsEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        testing::EnsureApplication();
        QString error;
        ASSERT_TRUE(server.start(QStringLiteral(TALMOR_CONTACTS_SEED), error))
            << error.toStdString();
        setApplicationFolders({folder.path(), folder.path()});
        Deployment deployment;
        deployment.port = server.udpPort();
        deployment.backOfficeHost = QStringLiteral("127.0.0.1:%1").arg(server.httpPort());
        window = std::make_unique<CTalmorManagerDlg>(environment.services(), deployment, ui, false);
        environment.setTimerTarget([this](int id) { window->onTimer(id); });
        InstallMessagingParts(*window);
        part = dynamic_cast<ContactPart*>(window->routes().contacts);
        ASSERT_NE(part, nullptr);
        ASSERT_TRUE(window->StartLogin(1024, "talmor1024"));
        ASSERT_TRUE(waitFor([this] { return window->ready() && profilesIn(); }, kWaitMs))
            << "ready " << window->ready() << ", groups " << part->list().groupCount()
            << ", contacts " << window->contacts().size() << "\n"
            << server.output().toStdString();
    }

    void TearDown() override {
        window.reset();
        server.stop();
    }

    // The groups and the contacts are in.
    bool profilesIn() { return part->list().groupCount() == 4 && window->contacts().size() == 6; }

    std::vector<QString> rows() {
        std::vector<QString> texts;
        ContactRowModel& model = part->pane().rows();
        for (int row = 0; row < model.rowCount(); ++row) {
            texts.push_back(model.index(row).data().toString());
        }
        return texts;
    }
    bool rowsAre(const std::vector<QString>& expected) { return rows() == expected; }
    void selectGroup(uint32_t id) {
        ContactRowModel& model = part->pane().rows();
        model.select(model.headerRow(part->list().indexOfGroup(id)));
    }
    // The requests of operator 1024 the server logged with `command`.
    std::vector<QByteArray> logged(uint16_t command) {
        return control().loggedBodies(1024, command);
    }
    e2e::ControlClient& control() {
        if (!control_) {
            control_ = std::make_unique<e2e::ControlClient>(server.httpPort());
        }
        return *control_;
    }

    testing::TempFolder folder;
    e2e::ServerProcess server;
    QtEnvironment environment;
    testing::FakeUi ui;
    std::unique_ptr<CTalmorManagerDlg> window;
    ContactPart* part = nullptr;
    std::unique_ptr<e2e::ControlClient> control_;
};

TEST_F(ContactsEndToEnd, GroupsAreCreatedRenamedAndDeletedThroughTheServer) {
    ASSERT_TRUE(waitFor(
        [this] {
            return rowsAre({U("临时 (0/0)"), U("重点老人 (0/2)"), U("张大爷"), U("李奶奶"),
                            U("服务商家 (0/1)"), U("安居家电维修"), U("我的好友 (0/3)"),
                            U("赵阿姨"), U("值班员小李"), U("王大爷")});
        },
        kWaitMs))
        << rows().size();
    // 2003 came without a group: the console filed it in the default group and told the server.
    ASSERT_TRUE(waitFor([this] { return !logged(CMD_MOVE_NEW_CONTACT).empty(); }, kWaitMs));
    EXPECT_EQ(logged(CMD_MOVE_NEW_CONTACT)[0].toHex(), QByteArray("000007d300000065"));

    window->onCommand(cmd::kCreateGroup);
    auto* create =
        dynamic_cast<CCreateGroupDlg*>(window->findWindow(CCreateGroupDlg::kWindowType, 0, 0));
    ASSERT_NE(create, nullptr);
    create->nameEdit().setText(U("社区志愿者"));
    create->okButton().click();
    ASSERT_TRUE(waitFor([this] { return rows()[0] == U("社区志愿者 (0/0)"); }, kWaitMs));
    EXPECT_EQ(ui.texts("notice").back(), U("亲爱的用户：您所创建的联系人组已成功进行保存！"));
    const uint32_t created = part->list().groupIdAt(0);

    selectGroup(created);
    window->onCommand(cmd::kRenameGroup);
    auto* rename =
        dynamic_cast<CUpdateGroupDlg*>(window->findWindow(CUpdateGroupDlg::kWindowType, 0, 0));
    ASSERT_NE(rename, nullptr);
    EXPECT_EQ(rename->nameEdit().text(), U("社区志愿者"));
    rename->nameEdit().setText(U("社区志愿者服务队"));
    rename->okButton().click();
    ASSERT_TRUE(waitFor([this] { return rows()[0] == U("社区志愿者服务队 (0/0)"); }, kWaitMs));
    EXPECT_EQ(ui.texts("notice").back(), U("亲爱的用户：您所更改的联系人组名已成功进行保存！"));

    ui.answerYes = true;
    selectGroup(created);
    window->onCommand(cmd::kDeleteGroup);
    ASSERT_TRUE(waitFor([this] { return rows()[0] == U("临时 (0/0)"); }, kWaitMs));
    EXPECT_EQ(part->list().groupCount(), 4);
}

TEST_F(ContactsEndToEnd, ContactsAreMovedAndDeletedThroughTheServer) {
    ui.answerYes = true;
    // 张大爷 to 临时, the first group.
    part->pane().runCommand(contactcmd::kMoveFirst + part->list().indexOfGroup(104), 2001);
    ASSERT_TRUE(waitFor([this] { return part->list().groupOf(2001) == 0; }, kWaitMs));
    EXPECT_EQ(rows()[0], U("临时 (0/1)"));
    EXPECT_EQ(rows()[1], U("张大爷"));

    part->pane().runCommand(contactcmd::kDelete, 2002);
    ASSERT_TRUE(waitFor([this] { return window->contacts().find(2002) == nullptr; }, kWaitMs));
    EXPECT_EQ(rows()[2], U("重点老人 (0/0)"));
}

TEST_F(ContactsEndToEnd, ApprovedContactAndPresenceReorderTheDefaultGroup) {
    const auto defaultGroup = [this] {
        std::vector<QString> shown = rows();
        const int header = part->pane().rows().headerRow(part->list().defaultGroup());
        return std::vector<QString>(shown.begin() + header, shown.end());
    };
    e2e::TestConsole colleague;
    colleague.connect(1025, "talmor1025", server.udpPort());
    ASSERT_TRUE(waitFor([&] { return colleague.ready(); }, kWaitMs));
    ASSERT_TRUE(waitFor(
        [&] {
            return defaultGroup() == std::vector<QString>{U("我的好友 (1/3)"), U("值班员小李"),
                                                          U("赵阿姨"), U("王大爷")};
        },
        kWaitMs));

    colleague.client().setStatus(kStatusAway);
    ASSERT_TRUE(waitFor(
        [this] {
            const ContactRecord* record = window->contacts().find(1025);
            return record != nullptr && record->status == kStatusAway;
        },
        kWaitMs));
    EXPECT_EQ(defaultGroup()[1], U("值班员小李"));

    // Operator 1030 asks to be a contact; 1024 approves and sees it online at the top.
    e2e::TestConsole newcomer;
    newcomer.connect(1030, "talmor1030", server.udpPort());
    ASSERT_TRUE(waitFor([&] { return newcomer.ready(); }, kWaitMs));
    ui.answerYes = true;
    newcomer.client().addContact(1024, 0);
    ASSERT_TRUE(waitFor(
        [this] {
            return !ui.texts("notice").empty() &&
                   ui.texts("notice").back() == U("已将用户： 1030 加为您的通讯联系人。");
        },
        kWaitMs));
    EXPECT_EQ(ui.texts("ask").back(), U("用户：1030 已加你为通讯联系人，是否通过？"));
    ASSERT_TRUE(waitFor(
        [&] {
            return defaultGroup() == std::vector<QString>{U("我的好友 (2/4)"), U("值班员小周"),
                                                          U("值班员小李"), U("赵阿姨"),
                                                          U("王大爷")};
        },
        kWaitMs))
        << defaultGroup().size();

    // Back from away: to the top again.
    colleague.client().setStatus(kStatusOnline);
    ASSERT_TRUE(waitFor([&] { return defaultGroup()[1] == U("值班员小李"); }, kWaitMs));
    EXPECT_EQ(defaultGroup()[2], U("值班员小周"));

    colleague.client().goOffline();
    ASSERT_TRUE(waitFor(
        [&] {
            return defaultGroup() == std::vector<QString>{U("我的好友 (1/4)"), U("值班员小周"),
                                                          U("赵阿姨"), U("王大爷"),
                                                          U("值班员小李")};
        },
        kWaitMs));
}

} // namespace
} // namespace talmor
