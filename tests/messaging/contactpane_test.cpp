#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>

#include "console/commandids.h"
#include "console/ecpbar.h"
#include "console/myworkdlg.h"
#include "kit/eventroutes.h"
#include "messaging/contactactions.h"
#include "messaging/contactmenu.h"
#include "messaging/contactrowmodel.h"
#include "messaging/contacttexts.h"
#include "messaging/creategroupdlg.h"
#include "messaging/outlistctrl.h"
#include "messaging/outlistdlg.h"
#include "messaging/updategroupdlg.h"
#include "protocol/commands.h"
#include "support/contactpanefixture.h"

namespace talmor {
namespace {

using testing::Gbk;
using testing::U;
using testing::U32s;
using testing::U32Text;

class ContactPaneTest : public testing::ContactPaneFixture {
protected:
    QColor pixel(const QImage& image, int row, int x) { return image.pixelColor(rowPoint(row, x)); }
    QColor foreground(int row) {
        return pane().rows().index(row).data(Qt::ForegroundRole).value<QColor>();
    }
    // Chooses `command` from the next contact menu and keeps a copy of what the menu held.
    void chooseFromMenu(int command) {
        menuShown = false;
        pane().setMenuRunner([this, command](QMenu& menu, const QPoint&) {
            menuShown = true;
            menuItems.clear();
            for (QAction* action : menu.actions()) {
                menuItems.push_back(
                    {action->text(), CommandOf(action), action->isEnabled(), action->menu()});
            }
            if (QMenu* moveTo = menu.actions().value(kMoveSubmenuPosition)->menu()) {
                submenu.clear();
                for (QAction* action : moveTo->actions()) {
                    submenu.push_back({action->text(), CommandOf(action)});
                }
            }
            return command;
        });
    }

    struct Item {
        QString text;
        int id;
        bool enabled;
        QMenu* submenu;
    };
    bool menuShown = false;
    std::vector<Item> menuItems;
    std::vector<std::pair<QString, int>> submenu;
};

TEST_F(ContactPaneTest, LoginShowsGroupsReversedAndFilesContactWithoutGroupInDefaultGroup) {
    standardLogin();
    EXPECT_EQ(rowTexts(),
              (std::vector<QString>{U("重点老人 (0/0)"), U("服务商家 (0/1)"), U("安居家电维修"),
                                    U("我的好友 (0/2)"), U("值班员小李"), U("张大爷")}));
    const auto filed = sentBodies(CMD_MOVE_NEW_CONTACT);
    ASSERT_EQ(filed.size(), 1u);
    EXPECT_EQ(U32s(filed[0], 2), (std::vector<uint32_t>{kSubscriber, 101}));
    EXPECT_EQ(h.window().menuState().groupCount, 3);
    EXPECT_EQ(foreground(0), QColor(0, 0, 117));
    EXPECT_EQ(foreground(rowOf(kColleague)), QColor(129, 129, 129));
}

TEST_F(ContactPaneTest, PresenceReordersMembersRecountsAndRecolours) {
    standardLogin();
    // A presence change repaints its group's rows, header included, and no others.
    QSignalSpy repainted(&pane().rows(), &QAbstractItemModel::dataChanged);
    online(kMerchant);
    ASSERT_EQ(repainted.size(), 1);
    EXPECT_EQ(repainted[0][0].value<QModelIndex>().row(), headerRowOf(102));
    EXPECT_EQ(repainted[0][1].value<QModelIndex>().row(), rowOf(kMerchant));
    online(kColleague);
    online(kSubscriber, kStatusAway);
    EXPECT_EQ(rowTexts()[3], U("我的好友 (2/2)"));
    EXPECT_EQ(rowOf(kSubscriber), 4);
    EXPECT_EQ(foreground(rowOf(kSubscriber)), QColor(0, 0, 0));
    statusChange(kColleague, kStatusAway);
    EXPECT_EQ(rowOf(kColleague), 5); // online to away: stays
    statusChange(kColleague, kStatusOnline);
    EXPECT_EQ(rowOf(kColleague), 4); // back from away: to the top
    offline(kColleague);
    EXPECT_EQ(rowOf(kColleague), 5);
    EXPECT_EQ(rowTexts()[3], U("我的好友 (1/2)"));
    EXPECT_EQ(foreground(rowOf(kColleague)), QColor(129, 129, 129));
    EXPECT_EQ(pane().rows().index(rowOf(kSubscriber)).data(ContactRowModel::StatusRole).toUInt(),
              kStatusAway);
    // Values other than online and away are no presence: nothing is counted or stored.
    online(kColleague, 3);
    statusChange(kSubscriber, kStatusOffline);
    EXPECT_EQ(rowTexts()[3], U("我的好友 (1/2)"));
    EXPECT_EQ(h.window().contacts().find(kColleague)->status, kStatusOffline);
    EXPECT_EQ(h.window().contacts().find(kSubscriber)->status, kStatusAway);
}

TEST_F(ContactPaneTest, ClickSelectsAndSelectionIsPaintedLightBlue) {
    standardLogin();
    const QColor selected(231, 239, 253);
    const QColor white(255, 255, 255);
    const int header = headerRowOf(102);
    mouse(QEvent::MouseButtonPress, header, Qt::LeftButton);
    EXPECT_EQ(part().selectedGroup(), 1);
    QImage image = paintedList();
    EXPECT_EQ(pixel(image, header, 2), selected);
    EXPECT_EQ(pixel(image, header, 200), selected);
    EXPECT_EQ(pixel(image, headerRowOf(103), 200), white);

    const int merchant = rowOf(kMerchant);
    mouse(QEvent::MouseButtonPress, merchant, Qt::LeftButton);
    EXPECT_EQ(part().selectedGroup(), -1);
    EXPECT_EQ(pane().rows().selectedContact(), kMerchant);
    image = paintedList();
    EXPECT_EQ(pixel(image, merchant, 35), white); // the fill starts 36 pixels in
    EXPECT_EQ(pixel(image, merchant, 36), selected);
    EXPECT_EQ(pixel(image, merchant, 200), selected);
    EXPECT_EQ(pixel(image, header, 200), white);

    // The selection stays on its contact when the rows move.
    online(kMerchant);
    online(kColleague);
    EXPECT_EQ(pane().rows().selectedContact(), kMerchant);
    EXPECT_EQ(pixel(paintedList(), rowOf(kMerchant), 200), selected);

    mouse(QEvent::MouseButtonPress, header, Qt::LeftButton);
    QWidget* viewport = pane().listCtrl().viewport();
    QMouseEvent below(QEvent::MouseButtonPress, QPointF(60, 390),
                      viewport->mapToGlobal(QPointF(60, 390)), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &below);
    EXPECT_EQ(part().selectedGroup(), -1);
}

TEST_F(ContactPaneTest, DoubleClickTogglesGroupOrOpensChatWhileOnline) {
    testing::ChatRecorder chats;
    h.window().routes().messaging = &chats;
    standardLogin();
    const int header = headerRowOf(101);
    mouse(QEvent::MouseButtonDblClick, header, Qt::LeftButton);
    EXPECT_EQ(rowTexts().size(), 4u);
    EXPECT_EQ(rowOf(kColleague), -1);
    mouse(QEvent::MouseButtonDblClick, header, Qt::LeftButton);
    EXPECT_EQ(rowTexts().size(), 6u);

    mouse(QEvent::MouseButtonDblClick, rowOf(kColleague), Qt::LeftButton);
    ASSERT_EQ(chats.chats.size(), 1u);
    EXPECT_EQ(chats.chats[0].first, kColleague);
    EXPECT_EQ(chats.chats[0].second, MessagingReceiver::ChatStart::Open);

    // The operator offline (the link just went): no chat.
    h.window().own().status = kStatusOffline;
    mouse(QEvent::MouseButtonDblClick, rowOf(kColleague), Qt::LeftButton);
    EXPECT_EQ(chats.chats.size(), 1u);
    h.window().routes().messaging = nullptr;
}

TEST_F(ContactPaneTest, ContactMenuHoldsItsCommandsAndTheGroupsToMoveTo) {
    standardLogin();
    chooseFromMenu(0);
    mouse(QEvent::MouseButtonPress, rowOf(kMerchant), Qt::RightButton);
    ASSERT_TRUE(menuShown);
    EXPECT_EQ(pane().rows().selectedContact(), kMerchant);
    ASSERT_EQ(menuItems.size(), 10u);
    const std::vector<std::pair<int, const char*>> expected = {
        {contactcmd::kChat, text::kMenuChat},
        {0, ""},
        {contactcmd::kSendFile, text::kMenuSendFile},
        {contactcmd::kVoice, text::kMenuVoice},
        {contactcmd::kVideo, text::kMenuVideo},
        {0, ""},
        {contactcmd::kProfile, text::kMenuProfile},
        {contactcmd::kDelete, text::kMenuDeleteContact},
        {0, ""},
        {0, text::kMenuMoveTo}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(menuItems[i].id, expected[i].first) << i;
        EXPECT_EQ(menuItems[i].text, U(expected[i].second)) << i;
    }
    EXPECT_EQ(menuItems[9].text, U("联系人转移到"));
    EXPECT_NE(menuItems[9].submenu, nullptr);
    // The merchant is offline: no file, voice or video.
    EXPECT_TRUE(menuItems[0].enabled);
    EXPECT_FALSE(menuItems[2].enabled);
    EXPECT_FALSE(menuItems[3].enabled);
    EXPECT_FALSE(menuItems[4].enabled);
    EXPECT_EQ(submenu,
              (std::vector<std::pair<QString, int>>{
                  {U("重点老人"), 34000}, {U("服务商家"), 34001}, {U("我的好友"), 34002}}));

    online(kMerchant);
    h.takeSent();
    chooseFromMenu(34002);
    mouse(QEvent::MouseButtonPress, rowOf(kMerchant), Qt::RightButton);
    EXPECT_TRUE(menuItems[2].enabled && menuItems[3].enabled && menuItems[4].enabled);
    const auto moves = sentBodies(CMD_MOVE_CONTACT);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(U32s(moves[0], 2), (std::vector<uint32_t>{101, kMerchant}));
    // Nothing moves before the server says so; then the online merchant leads its new group.
    EXPECT_EQ(rowTexts()[1], U("服务商家 (1/1)"));
    event32x2(CMD_CONTACT_MOVED, 101, kMerchant);
    EXPECT_EQ(rowTexts(),
              (std::vector<QString>{U("重点老人 (0/0)"), U("服务商家 (0/0)"), U("我的好友 (1/3)"),
                                    U("安居家电维修"), U("值班员小李"), U("张大爷")}));
}

TEST_F(ContactPaneTest, NoMenuOnHeadersOrWhileTheOperatorIsOffline) {
    standardLogin();
    chooseFromMenu(0);
    mouse(QEvent::MouseButtonPress, headerRowOf(101), Qt::RightButton);
    EXPECT_FALSE(menuShown);
    const int merchant = rowOf(kMerchant);
    h.window().own().status = kStatusOffline;
    mouse(QEvent::MouseButtonPress, merchant, Qt::RightButton);
    EXPECT_FALSE(menuShown);
}

TEST_F(ContactPaneTest, LogoutEmptiesThePaneAndTheNextLoginFillsItAgain) {
    standardLogin();
    const std::vector<QString> shown = rowTexts();
    h.window().SetOffline();
    EXPECT_TRUE(rowTexts().empty());
    EXPECT_EQ(h.window().menuState().groupCount, 0);
    EXPECT_NE(h.window().contacts().find(kMerchant), nullptr);
    standardLogin();
    EXPECT_EQ(rowTexts(), shown);
}

TEST_F(ContactPaneTest, FileVoiceAndVideoOpenTheChatWithTheirRequest) {
    testing::ChatRecorder chats;
    h.window().routes().messaging = &chats;
    standardLogin();
    using Start = MessagingReceiver::ChatStart;
    for (const auto& [command, start] : {std::pair{contactcmd::kChat, Start::Open},
                                         std::pair{contactcmd::kSendFile, Start::SendFile},
                                         std::pair{contactcmd::kVoice, Start::Voice},
                                         std::pair{contactcmd::kVideo, Start::Video}}) {
        chats.chats.clear();
        pane().runCommand(command, kColleague);
        ASSERT_EQ(chats.chats.size(), 1u) << command;
        EXPECT_EQ(chats.chats[0], std::make_pair(kColleague, start));
    }
    h.window().routes().messaging = nullptr;
}

TEST_F(ContactPaneTest, DeleteContactAsksFirstAndTheServerRemovesIt) {
    standardLogin();
    h.takeSent();
    pane().runCommand(contactcmd::kDelete, kMerchant);
    EXPECT_EQ(h.ui.texts("warning").back(), U(text::kDeleteContactQuestion));
    EXPECT_TRUE(sentBodies(CMD_DELETE_CONTACT).empty());
    h.ui.answerYes = true;
    pane().runCommand(contactcmd::kDelete, kMerchant);
    const auto deletes = sentBodies(CMD_DELETE_CONTACT);
    ASSERT_EQ(deletes.size(), 1u);
    EXPECT_EQ(U32s(deletes[0], 1)[0], kMerchant);
    ASSERT_NE(h.window().contacts().find(kMerchant), nullptr);
    event32(CMD_CONTACT_DELETED, kMerchant);
    EXPECT_EQ(h.window().contacts().find(kMerchant), nullptr);
    EXPECT_EQ(rowTexts()[1], U("服务商家 (0/0)"));
}

TEST_F(ContactPaneTest, ProfilePageOfOperatorsAndMerchantsOpensInTheWorkPane) {
    standardLogin();
    const QString base = h.window().backOfficeBase();
    const QString randnum = QString::fromStdString(h.window().installationId());
    ASSERT_EQ(randnum.size(), 20);
    pane().runCommand(contactcmd::kProfile, kMerchant);
    EXPECT_EQ(h.window().workPane().requested(),
              QUrl(base + "sellerinfo.aspx?manager_id=1024&user_id=3001&randnum=" + randnum));
    pane().runCommand(contactcmd::kProfile, kColleague);
    EXPECT_EQ(h.window().workPane().requested(),
              QUrl(base + "managerinfo.aspx?manager_id=1024&user_id=1025&randnum=" + randnum));
    pane().runCommand(contactcmd::kProfile, kSubscriber);
    EXPECT_EQ(h.window().workPane().requested().path(), QStringLiteral("/managerinfo.aspx"));
}

TEST_F(ContactPaneTest, HoveringAContactShowsTheQuickBarWithItsTexts) {
    standardLogin();
    UserRecord merchant;
    merchant.nick = Gbk("安居家电维修");
    merchant.typeCode = "B";
    merchant.profileText[7] = "shop@example.com";
    profile(kMerchant, merchant);
    UserRecord subscriber;
    subscriber.nick = Gbk("张大爷");
    subscriber.profileText[10] = "13900001111";
    profile(kSubscriber, subscriber);

    CECPBar& bar = h.window().ecpBar();
    mouse(QEvent::MouseMove, rowOf(kMerchant), Qt::NoButton);
    EXPECT_EQ(bar.values().email, "shop@example.com");
    EXPECT_EQ(bar.values().phone, "");
    EXPECT_EQ(bar.values().userId, 0u);
    EXPECT_FALSE(bar.isHidden());
    // One button, 21 pixels wide, on the hovered row at its right end, wherever the window
    // manager put the window.
    EXPECT_EQ(bar.width(), 21);
    const QRect row = pane().listCtrl().rowOnScreen(rowOf(kMerchant));
    EXPECT_EQ(bar.x() + bar.width(), row.x() + row.width() - 2);
    EXPECT_TRUE(row.contains(bar.geometry().center())) << "the bar sits on its row";

    mouse(QEvent::MouseMove, rowOf(kSubscriber), Qt::NoButton);
    EXPECT_EQ(bar.values().phone, "13900001111");
    EXPECT_EQ(bar.values().email, "");

    mouse(QEvent::MouseMove, headerRowOf(101), Qt::NoButton);
    EXPECT_TRUE(bar.isHidden());
    EXPECT_EQ(bar.values(), EcpBarValues());
    // A contact without any of the three texts hides it too.
    mouse(QEvent::MouseMove, rowOf(kMerchant), Qt::NoButton);
    mouse(QEvent::MouseMove, rowOf(kColleague), Qt::NoButton);
    EXPECT_TRUE(bar.isHidden());
}

// The bar stands on a contact's row: when the rows re-sort (a contact comes online and moves up
// its group) or the list empties, it goes rather than stay beside another contact.
TEST_F(ContactPaneTest, TheQuickBarGoesWhenTheRowsMoveOrGo) {
    standardLogin();
    UserRecord merchant;
    merchant.nick = Gbk("安居家电维修");
    merchant.typeCode = "B";
    merchant.profileText[7] = "shop@example.com";
    profile(kMerchant, merchant);
    CECPBar& bar = h.window().ecpBar();
    mouse(QEvent::MouseMove, rowOf(kMerchant), Qt::NoButton);
    ASSERT_FALSE(bar.isHidden());
    online(kColleague);
    EXPECT_TRUE(bar.isHidden());

    mouse(QEvent::MouseMove, rowOf(kMerchant), Qt::NoButton);
    ASSERT_FALSE(bar.isHidden());
    h.window().SetOffline(); // every contact offline, the list re-sorts
    EXPECT_TRUE(bar.isHidden());
}

TEST_F(ContactPaneTest, CallDroppedOnContactRowGoesToTheProcessingList) {
    testing::DropRecorder handling;
    h.window().routes().handling = &handling;
    standardLogin();
    QWidget* viewport = pane().listCtrl().viewport();
    const auto drop = [&](int row, const QByteArray& data, const QString& format) {
        QMimeData mime;
        mime.setData(format, data);
        const QPoint at = rowPoint(row);
        QDragEnterEvent enter(at, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &enter);
        QDragMoveEvent move(at, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &move);
        QDropEvent dropped(at, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &dropped);
        return move.isAccepted();
    };
    const QString call = QString::fromLatin1(kCallMimeType);
    EXPECT_TRUE(drop(rowOf(kMerchant), "77", call));
    EXPECT_FALSE(drop(headerRowOf(102), "78", call));
    EXPECT_FALSE(drop(rowOf(kColleague), "7x", call));
    EXPECT_FALSE(drop(rowOf(kColleague), "99999999999", call));
    EXPECT_FALSE(drop(rowOf(kColleague), "79", QStringLiteral("text/plain")));
    EXPECT_EQ(handling.drops, (std::vector<std::pair<uint32_t, uint32_t>>{{77, kMerchant}}));
    h.window().routes().handling = nullptr;
}

TEST_F(ContactPaneTest, CreateGroupDialogRefusesEmptyNameThenWaitsForTheServer) {
    standardLogin();
    h.window().onCommand(cmd::kCreateGroup);
    auto* dialog =
        dynamic_cast<CCreateGroupDlg*>(h.window().findWindow(CCreateGroupDlg::kWindowType, 0, 0));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), U("创建联系组"));
    EXPECT_EQ(dialog->prompt().text(), U("请输入新创建的联系人组名:"));
    dialog->okButton().click();
    EXPECT_EQ(h.ui.texts("error").back(), U(text::kCreateGroupEmpty));
    EXPECT_TRUE(dialog->nameEdit().isEnabled());
    EXPECT_TRUE(sentBodies(CMD_CREATE_GROUP).empty());

    dialog->nameEdit().setText(U("社区志愿者"));
    dialog->okButton().click();
    EXPECT_EQ(dialog->prompt().text(), U(text::kCreateGroupSaving));
    EXPECT_FALSE(dialog->nameEdit().isEnabled());
    EXPECT_FALSE(dialog->okButton().isEnabled());
    EXPECT_FALSE(dialog->cancelButton().isEnabled());
    const auto creates = sentBodies(CMD_CREATE_GROUP);
    ASSERT_EQ(creates.size(), 1u);
    testing::BodyReader reader(creates[0]);
    EXPECT_EQ(reader.in().text(), Gbk("社区志愿者"));
    // A second command leaves the one dialog.
    h.window().onCommand(cmd::kCreateGroup);
    EXPECT_EQ(h.window().findWindow(CCreateGroupDlg::kWindowType, 0, 0), dialog);

    event32(CMD_GROUP_CREATED, 104);
    EXPECT_EQ(rowTexts()[0], U("社区志愿者 (0/0)"));
    EXPECT_EQ(h.ui.texts("notice").back(), U(text::kCreateGroupDone));
    EXPECT_EQ(h.window().findWindow(CCreateGroupDlg::kWindowType, 0, 0), nullptr);
    event32(CMD_GROUP_CREATED, 105);
    EXPECT_EQ(list().groupCount(), 4);

    // Closed before the answer: the group shows only at the next login.
    h.window().onCommand(cmd::kCreateGroup);
    dialog =
        dynamic_cast<CCreateGroupDlg*>(h.window().findWindow(CCreateGroupDlg::kWindowType, 0, 0));
    ASSERT_NE(dialog, nullptr);
    dialog->nameEdit().setText(QStringLiteral("late"));
    dialog->okButton().click();
    dialog->reject();
    EXPECT_EQ(h.window().findWindow(CCreateGroupDlg::kWindowType, 0, 0), nullptr);
    event32(CMD_GROUP_CREATED, 106);
    EXPECT_EQ(list().indexOfGroup(106), -1);
}

TEST_F(ContactPaneTest, OverlongGroupNameIsCutSoTheRequestCarriesWhatTheListShows) {
    standardLogin();
    h.window().onCommand(cmd::kCreateGroup);
    auto* dialog =
        dynamic_cast<CCreateGroupDlg*>(h.window().findWindow(CCreateGroupDlg::kWindowType, 0, 0));
    ASSERT_NE(dialog, nullptr);
    h.takeSent();
    dialog->nameEdit().setText(QString(3000, QChar(0x7EC4))); // 组: 2 bytes in GBK
    dialog->okButton().click();
    const auto creates = sentBodies(CMD_CREATE_GROUP);
    ASSERT_EQ(creates.size(), 1u);
    testing::BodyReader reader(creates[0]);
    const std::string sent = reader.in().text();
    EXPECT_EQ(sent.size(), 200u);
    event32(CMD_GROUP_CREATED, 104);
    EXPECT_EQ(list().groups()[0].name, sent);
}

TEST_F(ContactPaneTest, CreateGroupIsRefusedAtFiftyGroups) {
    std::vector<GroupEntry> groups;
    for (uint32_t id = 1; id <= 50; ++id) {
        groups.push_back({id, "g" + std::to_string(id)});
    }
    loginWith(groups, {});
    EXPECT_EQ(h.window().menuState().groupCount, 50);
    h.window().onCommand(cmd::kCreateGroup);
    EXPECT_EQ(h.window().findWindow(CCreateGroupDlg::kWindowType, 0, 0), nullptr);
}

TEST_F(ContactPaneTest, RenameGroupDialogSendsTheSelectedGroupAndAppliesTheAnswer) {
    standardLogin();
    mouse(QEvent::MouseButtonPress, headerRowOf(102), Qt::LeftButton);
    h.window().onCommand(cmd::kRenameGroup);
    auto* dialog =
        dynamic_cast<CUpdateGroupDlg*>(h.window().findWindow(CUpdateGroupDlg::kWindowType, 0, 0));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), U("更名联系组"));
    EXPECT_EQ(dialog->prompt().text(), U("请输入新的联系人组名:"));
    EXPECT_EQ(dialog->nameEdit().text(), U("服务商家"));
    dialog->nameEdit().clear();
    dialog->okButton().click();
    EXPECT_EQ(h.ui.texts("error").back(), U(text::kRenameGroupEmpty));
    EXPECT_TRUE(dialog->okButton().isEnabled());

    // A group created meanwhile shifts the positions; the rename stays on its group.
    h.takeSent();
    dialog->nameEdit().setText(U("签约服务商家及维修师傅"));
    dialog->okButton().click();
    EXPECT_EQ(dialog->prompt().text(), U(text::kRenameGroupSaving));
    EXPECT_FALSE(dialog->cancelButton().isEnabled());
    const auto renames = sentBodies(CMD_RENAME_GROUP);
    ASSERT_EQ(renames.size(), 1u);
    EXPECT_EQ(U32Text(renames[0]), std::make_pair(uint32_t{102}, Gbk("签约服务商家及维修师傅")));

    h.deliver(CMD_GROUP_NAME_CHANGED,
              [](OutPacket& out) { out.writeInt(102).writeString(Gbk("签约服务商家及维修师傅")); });
    EXPECT_EQ(rowTexts()[1], U("签约服务商家及维修师傅 (0/1)"));
    EXPECT_EQ(h.ui.texts("notice").back(), U(text::kRenameGroupDone));
    EXPECT_EQ(h.window().findWindow(CUpdateGroupDlg::kWindowType, 0, 0), nullptr);

    // Without a dialog the event's own name is applied.
    h.deliver(CMD_GROUP_NAME_CHANGED,
              [](OutPacket& out) { out.writeInt(103).writeString(Gbk("老人")); });
    EXPECT_EQ(rowTexts()[0], U("老人 (0/0)"));
}

TEST_F(ContactPaneTest, OnlyGroupsBeforeTheLastThreeCanBeDeleted) {
    loginWith({{1, "A"}, {2, "B"}, {3, "C"}, {4, "D"}}, {{50, "", 4, "fifty", "", "", 0}});
    mouse(QEvent::MouseButtonPress, headerRowOf(3), Qt::LeftButton);
    h.window().onCommand(cmd::kDeleteGroup);
    EXPECT_TRUE(h.ui.texts("warning").empty());

    h.takeSent();
    h.ui.answerYes = true;
    mouse(QEvent::MouseButtonPress, headerRowOf(4), Qt::LeftButton);
    EXPECT_EQ(h.window().menuState().selectedGroup, 0);
    h.window().onCommand(cmd::kDeleteGroup);
    EXPECT_EQ(h.ui.texts("warning").back(), U(text::kDeleteGroupQuestion));
    const auto deletes = sentBodies(CMD_DELETE_GROUP);
    ASSERT_EQ(deletes.size(), 1u);
    EXPECT_EQ(U32s(deletes[0], 1)[0], 4u);

    // The chat side hears of every member whose record went with the group.
    testing::ChatRecorder chats;
    h.window().routes().messaging = &chats;
    event32(CMD_GROUP_DELETED, 4);
    h.window().routes().messaging = nullptr;
    EXPECT_EQ(rowTexts(), (std::vector<QString>{U("C (0/0)"), U("B (0/0)"), U("A (0/0)")}));
    EXPECT_EQ(h.window().contacts().find(50), nullptr);
    EXPECT_EQ(chats.changed, std::vector<uint32_t>{50});
    EXPECT_EQ(h.window().menuState().selectedGroup, -1);
}

TEST_F(ContactPaneTest, AFormerContactIsNoContactOnceTheNextLoginsListLeavesItOut) {
    standardLogin();
    const ContactRecord* former = h.window().contacts().find(kMerchant);
    ASSERT_NE(former, nullptr);
    h.window().SetOffline();
    loginWith({{101, Gbk("我的好友")}, {102, Gbk("服务商家")}, {103, Gbk("重点老人")}},
              {{kColleague, "", 101, Gbk("值班员小李"), "", "S", 2}});
    EXPECT_EQ(h.window().contacts().find(kMerchant), nullptr);
    EXPECT_EQ(h.window().contacts().size(), 1u);
    EXPECT_EQ(rowOf(kMerchant), -1);
    // It asks to be added like any stranger does.
    event32(CMD_ADD_REQUEST, kMerchant);
    EXPECT_EQ(h.ui.texts("ask").back(), U("用户：3001 已加你为通讯联系人，是否通过？"));

    // Listed again, it comes back in the record a window may still point at.
    h.window().SetOffline();
    standardLogin();
    EXPECT_EQ(h.window().contacts().find(kMerchant), former);
    EXPECT_EQ(former->nick, Gbk("安居家电维修"));
}

TEST_F(ContactPaneTest, AddedContactIsAnnouncedAndItsProfileAskedFor) {
    standardLogin();
    h.takeSent();
    event32(CMD_CONTACT_ADDED, 2005);
    EXPECT_EQ(h.ui.texts("notice").back(), U("已将用户： 2005 加为您的通讯联系人。"));
    const auto asked = sentBodies(CMD_GET_USER_INFO);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(U32s(asked[0], 1)[0], 2005u);
    EXPECT_EQ(rowTexts().back(), U("2005"));
    EXPECT_EQ(rowTexts()[3], U("我的好友 (0/3)"));
    UserRecord record;
    record.nick = Gbk("王奶奶");
    profile(2005, record);
    EXPECT_EQ(rowTexts().back(), U("王奶奶"));

    const std::size_t shown = h.ui.shown.size();
    event32(CMD_CONTACT_ADDED, 2005);
    EXPECT_EQ(h.ui.shown.size(), shown);
}

TEST_F(ContactPaneTest, AddRequestIsApprovedIntoTheDefaultGroupOnlyOnYes) {
    standardLogin();
    h.takeSent();
    event32(CMD_ADD_REQUEST, 2006);
    EXPECT_EQ(h.ui.texts("ask").back(), U("用户：2006 已加你为通讯联系人，是否通过？"));
    EXPECT_TRUE(sentBodies(CMD_ADD_CONTACT).empty());

    h.ui.answerYes = true;
    event32(CMD_ADD_REQUEST, 2006);
    const auto adds = sentBodies(CMD_ADD_CONTACT);
    ASSERT_EQ(adds.size(), 1u);
    EXPECT_EQ(U32s(adds[0], 2), (std::vector<uint32_t>{2006, 101}));

    const std::size_t asked = h.ui.texts("ask").size();
    event32(CMD_ADD_REQUEST, kColleague);
    EXPECT_EQ(h.ui.texts("ask").size(), asked);
}

TEST_F(ContactPaneTest, AnAccountRepeatingItsAddRequestRaisesOneQuestionAtATime) {
    standardLogin();
    h.ui.holdAnswers = true;
    for (int i = 0; i < 5; ++i) {
        event32(CMD_ADD_REQUEST, 2006);
    }
    event32(CMD_ADD_REQUEST, 2007); // another account asks a question of its own
    EXPECT_EQ(h.ui.texts("ask"),
              (std::vector<QString>{U("用户：2006 已加你为通讯联系人，是否通过？"),
                                    U("用户：2007 已加你为通讯联系人，是否通过？")}));
    ASSERT_EQ(h.ui.heldAnswers.size(), 2u);
    h.ui.heldAnswers[0](false);
    event32(CMD_ADD_REQUEST, 2006); // answered: it may ask again
    EXPECT_EQ(h.ui.texts("ask").size(), 3u);
    event32(CMD_ADD_REQUEST, 2007);
    EXPECT_EQ(h.ui.texts("ask").size(), 3u);
}

} // namespace
} // namespace talmor
