// Chat end to end: operator 1024's console (the real main window with its chat windows, in
// process on real sockets) and operator 1025 played by the protocol-level test console, against
// a quorvane-server of their own: both paths, the fallback, offline delivery, automatic replies,
// what each side stores and shows.
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <QJsonArray>
#include <QJsonObject>
#include <QTextBlock>
#include <QTextDocument>

#include <memory>

#include "console/qtenvironment.h"
#include "console/talmormanagerdlg.h"
#include "kit/appfolders.h"
#include "kit/gbktext.h"
#include "messaging/chat/chatpart.h"
#include "messaging/chat/chattexts.h"
#include "messaging/chat/historychatdlg.h"
#include "messaging/chat/historylist.h"
#include "messaging/chat/msgedit.h"
#include "messaging/chat/msgview.h"
#include "messaging/chat/sendmsgdlg.h"
#include "messaging/messagingparts.h"
#include "protocol/commands.h"
#include "protocol/messagebody.h"
#include "protocol/peersession.h"
#include "storage/historystore.h"
#include "support/controlclient.h"
#include "support/eventloop.h"
#include "support/fakeui.h"
#include "support/qtapp.h"
#include "support/serverprocess.h"
#include "support/testconsole.h"

namespace talmor {
namespace {

using e2e::waitFor;
using testing::Gbk;
using testing::U;

constexpr int kWaitMs = 15000;
constexpr uint32_t kA = 1024;
constexpr uint32_t kB = 1025;
constexpr uint32_t kC = 3001;

class ChatEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        testing::EnsureApplication();
        QString error;
        ASSERT_TRUE(server.start(QStringLiteral(TALMOR_CONTACTS_SEED), error))
            << error.toStdString();
        setApplicationFolders({folder.path(), folder.path()});
    }
    void TearDown() override {
        if (window) {
            delete chats().findChat(kB);
        }
        window.reset();
        peer.reset();
        server.stop();
    }

    // Console A logs in and waits until its contacts are in.
    void startA() {
        Deployment deployment;
        deployment.port = server.udpPort();
        deployment.backOfficeHost = QStringLiteral("127.0.0.1:%1").arg(server.httpPort());
        window = std::make_unique<CTalmorManagerDlg>(environment.services(), deployment, ui, false);
        environment.setTimerTarget([this](int id) { window->onTimer(id); });
        InstallMessagingParts(*window);
        ASSERT_TRUE(window->StartLogin(kA, "talmor1024"));
        ASSERT_TRUE(
            waitFor([this] { return window->ready() && window->contacts().find(kB); }, kWaitMs));
    }
    // Console B logs in ("real", "none" or "unreachable" address) and A sees it online.
    void startB(const char* address = "real") {
        ASSERT_TRUE(control().post(QStringLiteral("/api/address?operator=%1&mode=%2")
                                       .arg(kB)
                                       .arg(QString::fromLatin1(address))));
        peer = std::make_unique<e2e::TestConsole>();
        peer->connect(kB, "talmor1025", server.udpPort());
        ASSERT_TRUE(waitFor([this] { return peer->ready(); }, kWaitMs));
        if (window) {
            ASSERT_TRUE(waitFor(
                [this] {
                    const ContactRecord* b = window->contacts().find(kB);
                    return b != nullptr && b->status == kStatusOnline;
                },
                kWaitMs));
        }
    }
    ChatPart& chats() { return *window->routes().chat; }
    CSendMsgDlg& chatWithB() {
        chats().openChat(kB, MessagingReceiver::ChatStart::Open);
        return *chats().findChat(kB);
    }
    void say(const QString& text) {
        CSendMsgDlg& chat = chatWithB();
        chat.input().clear();
        chat.input().insertWithPictures(text);
        chat.send();
    }
    // B writes to A directly when it can, else through the server.
    void bSays(const std::string& text, uint8_t kind = 0) {
        MessageRecord m;
        m.kind = kind;
        m.text = text;
        peer->peers().sendChatMessage(kind, kA, encodeMessageBody(m), false);
    }
    std::vector<MessageRecord> storedByA() {
        std::vector<MessageRecord> list;
        storage::LoadHistory(userFolder(), kB, list, 0);
        return list;
    }
    // The chat requests (15) A sent through the server.
    std::size_t serverSends() {
        std::size_t count = 0;
        if (const auto log = control().get(QStringLiteral("/api/log?operator=1024"))) {
            for (const QJsonValue& entry : log->array()) {
                count += entry.toObject().value("command").toInt() == CMD_SEND_MESSAGE ? 1 : 0;
            }
        }
        return count;
    }
    // The server drops A's chat requests unanswered (on) or handles them again (off).
    void withholdAsSends(bool on) {
        ASSERT_TRUE(control().post(QStringLiteral("/api/withhold?operator=%1&command=%2&on=%3")
                                       .arg(kA)
                                       .arg(CMD_SEND_MESSAGE)
                                       .arg(on ? 1 : 0)));
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
    std::unique_ptr<e2e::TestConsole> peer;
    std::unique_ptr<e2e::ControlClient> control_;
};

TEST_F(ChatEndToEnd, DirectMessagesArriveWithTheirPicturesAndAreStoredOnBothSides) {
    startA();
    startB();
    say(U("你好/微笑"));
    ASSERT_TRUE(waitFor([this] { return !peer->messages.empty(); }, kWaitMs));
    EXPECT_EQ(peer->messages[0].text, Gbk("你好/微笑"));
    EXPECT_EQ(peer->messages[0].flags & kMessageViaServer, 0);
    ASSERT_TRUE(waitFor([this] { return storedByA().size() == 1; }, kWaitMs));
    EXPECT_EQ(storedByA()[0].text, Gbk("你好/微笑"));
    EXPECT_FALSE(chatWithB().fallbackRunning());

    // 801 bytes are refused and nothing goes out.
    say(QString(801, QLatin1Char('x')));
    EXPECT_EQ(ui.texts("information").back(), QString::fromUtf8(chat::kTooLong));

    // B answers: A shows the text and the picture, and stores it once.
    bSays(Gbk("收到/大笑"));
    ASSERT_TRUE(waitFor([this] { return storedByA().size() == 2; }, kWaitMs));
    const QString shown = chatWithB().display().toPlainText();
    EXPECT_TRUE(shown.contains(U("收到") + QChar(QChar::ObjectReplacementCharacter)))
        << shown.toStdString();
    EXPECT_EQ(peer->messages.size(), 1u);
    EXPECT_EQ(serverSends(), 0u);
}

TEST_F(ChatEndToEnd, MarkupAndFileLinksFromThePeerAreShownAsTextAndNeverOpened) {
    startA();
    startB();
    bSays(Gbk("<a href=\"file:///etc/passwd\">x</a> file:///etc/passwd"));
    ASSERT_TRUE(waitFor([this] { return chats().findChat(kB) != nullptr; }, kWaitMs));
    CMsgView& display = chats().findChat(kB)->display();
    ASSERT_TRUE(waitFor(
        [&] {
            return display.toPlainText().contains(QStringLiteral("file:///etc/passwd\">x</a>"));
        },
        kWaitMs));
    for (QTextBlock block = display.document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            EXPECT_FALSE(it.fragment().charFormat().isAnchor())
                << it.fragment().text().toStdString();
        }
    }
    emit display.anchorClicked(QUrl(QStringLiteral("file:///etc/passwd")));
    EXPECT_TRUE(ui.opened.empty());
}

TEST_F(ChatEndToEnd, AwayWithAnAutomaticReplyTheSenderGetsExactlyOneReplyNotStored) {
    startA();
    startB();
    window->options().setBit(storage::kOptionAutoReply, true);
    window->options().autoReplyText = Gbk("我去吃饭了，一会儿再联系。");
    window->SetAway();
    bSays(Gbk("在吗？"));
    ASSERT_TRUE(waitFor([this] { return !peer->messages.empty(); }, kWaitMs));
    EXPECT_EQ(peer->messages[0].kind, kMessageKindAutoReply);
    EXPECT_EQ(peer->messages[0].text, Gbk("我去吃饭了，一会儿再联系。"));
    // B's own automatic reply gets none back.
    bSays(Gbk("auto"), kMessageKindAutoReply);
    ASSERT_TRUE(
        waitFor([this] { return chats().findChat(kB)->display().toPlainText().contains("auto"); },
                kWaitMs));
    EXPECT_FALSE(waitFor([this] { return peer->messages.size() > 1; }, 1000));
    const auto stored = storedByA();
    ASSERT_EQ(stored.size(), 1u); // B's ordinary message only
    EXPECT_EQ(stored[0].text, Gbk("在吗？"));
}

TEST_F(ChatEndToEnd, WithoutAnAddressTheMessageGoesThroughTheServer) {
    startA();
    startB("none");
    say(U("经服务器"));
    ASSERT_TRUE(waitFor([this] { return !peer->messages.empty(); }, kWaitMs));
    EXPECT_EQ(peer->messages[0].text, Gbk("经服务器"));
    EXPECT_NE(peer->messages[0].flags & kMessageViaServer, 0);
    EXPECT_EQ(serverSends(), 1u);
    ASSERT_TRUE(waitFor([this] { return storedByA().size() == 1; }, kWaitMs));
}

TEST_F(ChatEndToEnd, AnUnreachablePeerGetsTheMessageThroughTheServerAfterTheWait) {
    startA();
    startB("unreachable");
    QElapsedTimer sent;
    sent.start();
    say(U("绕道"));
    EXPECT_TRUE(chatWithB().fallbackRunning());
    ASSERT_TRUE(waitFor([this] { return !peer->messages.empty(); }, kWaitMs));
    // Nobody answered the direct attempt: the message waited out the 5 seconds first (a
    // coarse timer may fire up to 5% early).
    EXPECT_GE(sent.elapsed(), 4750);
    EXPECT_EQ(peer->messages[0].text, Gbk("绕道"));
    EXPECT_NE(peer->messages[0].flags & kMessageViaServer, 0);
    ASSERT_TRUE(waitFor([this] { return storedByA().size() == 1; }, kWaitMs));
    EXPECT_EQ(storedByA()[0].flags, kMessageViaServer);
    EXPECT_EQ(peer->messages.size(), 1u);
}

TEST_F(ChatEndToEnd, AnOfflinePeerGetsTheMessageAtItsNextLogin) {
    startA();
    say(U("明天见"));
    // Stored once the server has it, not before.
    ASSERT_TRUE(waitFor([this] { return storedByA().size() == 1; }, kWaitMs));
    startB();
    ASSERT_TRUE(waitFor([this] { return !peer->messages.empty(); }, kWaitMs));
    EXPECT_EQ(peer->messages[0].text, Gbk("明天见"));
    EXPECT_EQ(storedByA().size(), 1u);
}

// The server never acknowledges a message to an offline contact: the operator is asked whether
// to send it again, and the history does not show it as sent.
TEST_F(ChatEndToEnd, AMessageToAnOfflineContactThatTheServerNeverTakesIsNotSilentlyLost) {
    startA();
    withholdAsSends(true);
    say(U("没人收到"));
    EXPECT_EQ(chatWithB().pendingServer(), 1u);
    // Three sends ten seconds apart, then the time-out.
    ASSERT_TRUE(waitFor([this] { return !ui.texts("ask").empty(); }, 60000));
    EXPECT_EQ(ui.texts("ask").back(), QString::fromUtf8(chat::kServerTimeout));
    EXPECT_TRUE(storedByA().empty());
    EXPECT_EQ(chatWithB().pendingServer(), 0u);
}

// A direct acknowledgement from another contact's session, carrying the number of a message to
// B, does not mark that message delivered: it still goes to B through the server.
TEST_F(ChatEndToEnd, AnotherContactsAcknowledgementDoesNotStandForThePeers) {
    startA();
    startB("unreachable");
    // Merchant 3001, one of A's contacts (and A one of its), logs in too and talks to A
    // directly.
    e2e::TestConsole other;
    other.connect(kC, "merchant3001", server.udpPort());
    // A console goes on past its profile only for an operator: the test asks for the rest.
    ASSERT_TRUE(waitFor([&] { return other.ownProfileReceived; }, kWaitMs));
    other.client().getGroups();
    ASSERT_TRUE(waitFor([&] { return other.ready(); }, kWaitMs));
    ASSERT_TRUE(waitFor(
        [this] {
            const ContactRecord* c = window->contacts().find(kC);
            return c != nullptr && c->status == kStatusOnline && c->peerAddress != 0;
        },
        kWaitMs));
    const uint32_t hello = other.peers().sendChatMessage(0, kA, "hello", false);
    ASSERT_GT(hello, 0xFFFFu); // directly
    ASSERT_TRUE(waitFor([&] { return other.acked.count(hello) != 0; }, kWaitMs));

    say(U("给B的"));
    CSendMsgDlg& chat = chatWithB();
    ASSERT_TRUE(chat.fallbackRunning());
    const uint32_t number = chat.key2;
    PeerSession* session = other.peers().findSession(kMessageKind, kA);
    ASSERT_NE(session, nullptr);
    PeerOutPacket forged = session->newPacket(kPeerChatAck);
    forged.writeInt(number);
    ASSERT_TRUE(session->sendPacket(forged));

    ASSERT_TRUE(waitFor([this] { return !peer->messages.empty(); }, kWaitMs));
    EXPECT_EQ(peer->messages[0].text, Gbk("给B的"));
    ASSERT_TRUE(waitFor([this] { return storedByA().size() == 1; }, kWaitMs));
    EXPECT_EQ(storedByA()[0].flags, kMessageViaServer);
}

// Closing the chat window while a message waits for the server's acknowledgement: it is stored
// once the server takes it.
TEST_F(ChatEndToEnd, AMessageStillWaitingForTheServerIsStoredAfterTheWindowClosed) {
    startA();
    startB("none");
    withholdAsSends(true);
    say(U("关窗之后"));
    ASSERT_TRUE(waitFor([this] { return serverSends() == 0 && chatWithB().pendingServer() == 1; },
                        kWaitMs));
    ASSERT_TRUE(chatWithB().close());
    delete chats().findChat(kB);
    withholdAsSends(false);
    // The console sends it again ten seconds on; the server takes it this time.
    ASSERT_TRUE(waitFor([this] { return !peer->messages.empty(); }, 40000));
    EXPECT_EQ(peer->messages[0].text, Gbk("关窗之后"));
    ASSERT_TRUE(waitFor([this] { return storedByA().size() == 1; }, kWaitMs));
    EXPECT_TRUE(ui.texts("ask").empty());
}

TEST_F(ChatEndToEnd, AfterALongConversationTheStripShowsTheLatest100AndSearchFindsOlderOnes) {
    startA();
    startB();
    for (int i = 0; i < 150; ++i) {
        bSays("line " + std::to_string(i) + (i == 10 ? " keyword" : ""));
    }
    ASSERT_TRUE(waitFor([this] { return storedByA().size() == 150; }, 60000)) << storedByA().size();
    CSendMsgDlg& chat = chatWithB();
    chat.toggleHistory();
    CHistoryChatDlg* strip = chat.history();
    ASSERT_NE(strip, nullptr);
    ASSERT_EQ(strip->list().count(), 100);
    EXPECT_TRUE(strip->list().item(0)->text().endsWith(QStringLiteral("\r\nline 50")));
    strip->list().setCurrentRow(0);
    ASSERT_TRUE(strip->deleteEntry());
    for (const auto& entry : storedByA()) {
        EXPECT_NE(entry.text, "line 50");
    }
    strip->search(QStringLiteral("keyword"));
    ASSERT_EQ(strip->list().count(), 1);
    EXPECT_TRUE(strip->list().item(0)->text().endsWith(QStringLiteral("line 10 keyword")));
}

} // namespace
} // namespace talmor
