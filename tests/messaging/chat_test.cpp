// The chat window on the console harness: sending by both paths with their acknowledgements
// and fallback, receiving with the automatic reply, what the history keeps, and what the
// display shows of a peer's text.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <QTextBlock>
#include <QTextDocument>

#include <functional>

#include "console/commandids.h"
#include "kit/appfolders.h"
#include "kit/gbktext.h"
#include "kit/phrasemenupopup.h"
#include "messaging/chat/chatnotices.h"
#include "messaging/chat/chatpart.h"
#include "messaging/chat/chattexts.h"
#include "messaging/chat/emoticons.h"
#include "messaging/chat/historychatdlg.h"
#include "messaging/chat/historylist.h"
#include "messaging/chat/historysearchdlg.h"
#include "messaging/chat/msgedit.h"
#include "messaging/chat/msgview.h"
#include "messaging/chat/sendmsgdlg.h"
#include "messaging/contactrowmodel.h"
#include "messaging/outlistdlg.h"
#include "protocol/commands.h"
#include "protocol/messagebody.h"
#include "storage/datafiles.h"
#include "storage/historystore.h"
#include "storage/textlists.h"
#include "support/contactpanefixture.h"
#include "support/qtapp.h"

namespace talmor::testing {
namespace {

constexpr uint32_t kLoopback = 0x7F000001;

class ChatTest : public ContactPaneFixture {
protected:
    void SetUp() override {
        ContactPaneFixture::SetUp();
        standardLogin();
        h.takeSent();
    }
    void TearDown() override {
        for (uint32_t peer : {kColleague, kMerchant, kSubscriber}) {
            delete chats().findChat(peer);
        }
    }

    ChatPart& chats() { return *h.window().routes().chat; }
    CSendMsgDlg& open(uint32_t peer) {
        chats().openChat(peer, MessagingReceiver::ChatStart::Open);
        return *chats().findChat(peer);
    }
    // The contact announced online; with `direct` it gives an address and a message port.
    void onlineWith(uint32_t id, bool direct, uint32_t status = kStatusOnline) {
        h.deliver(CMD_CONTACT_ONLINE, [&](OutPacket& out) {
            PresenceEntry entry;
            entry.id = id;
            entry.status = status;
            entry.altAddress = direct ? kLoopback : 0;
            entry.peerAddress = direct ? kLoopback : 0;
            entry.messagePort = direct ? 40000 : 0;
            entry.write(out);
        });
        h.takeSent();
    }
    void type(CSendMsgDlg& chat, const QString& text) {
        chat.input().clear();
        chat.input().insertWithPictures(text);
    }
    // Requests 15 sent since the last take: (kind, peer, body).
    struct Request {
        uint8_t kind;
        uint32_t peer;
        std::string body;
        uint16_t seq;
    };
    std::vector<Request> sentMessages() {
        std::vector<Request> requests;
        for (const Sent& sent : h.takeSent()) {
            if (sent.command == CMD_SEND_MESSAGE) {
                BodyReader reader(sent.body);
                Request r{};
                r.kind = reader.in().u8();
                r.peer = reader.in().u32();
                r.body = reader.in().text();
                r.seq = sent.seq;
                requests.push_back(r);
            }
        }
        return requests;
    }
    std::vector<MessageRecord> stored(uint32_t peer) {
        std::vector<MessageRecord> list;
        storage::LoadHistory(userFolder(), peer, list, 0);
        return list;
    }
    MessageRecord incoming(uint32_t from, const char* text, uint8_t kind = 0,
                           uint8_t flags = kMessageFromPeer) {
        MessageRecord m;
        m.kind = kind;
        m.flags = flags;
        m.peerId = from;
        m.time = 1700000000;
        m.text = Gbk(text);
        return m;
    }
};

TEST_F(ChatTest, RefusesEmptyOverlongAndNonGbkTextsAndSendsNothing) {
    onlineWith(kColleague, false);
    CSendMsgDlg& chat = open(kColleague);
    struct Case {
        QString text;
        const char* kind; // the box shown, or "" when the text is sent
    };
    const Case cases[] = {
        {QString(), "error"},
        {QString(801, QLatin1Char('a')), "information"},
        {QString(400, QChar(0x4F60)) + QStringLiteral("a"), "information"}, // 801 bytes
        {QStringLiteral("\U0001F600"), "information"},                      // not in GBK
        {QString(800, QLatin1Char('a')), ""},
        {QString(400, QChar(0x4F60)), ""},
        {QStringLiteral("/微笑").repeated(159), ""}, // 795 bytes, codes count as bytes
    };
    for (const Case& c : cases) {
        h.ui.shown.clear();
        type(chat, c.text);
        chat.send();
        const std::vector<Request> sent = sentMessages();
        if (*c.kind == 0) {
            EXPECT_TRUE(h.ui.shown.empty()) << c.text.size();
            ASSERT_EQ(sent.size(), 1u) << c.text.size();
            MessageRecord parsed;
            parseMessageBody(sent[0].body, parsed);
            EXPECT_EQ(FromGbk(parsed.text), c.text);
            EXPECT_TRUE(chat.input().toPlainText().isEmpty());
            continue;
        }
        EXPECT_TRUE(sent.empty()) << c.text.size();
        ASSERT_EQ(h.ui.shown.size(), 1u);
        EXPECT_EQ(h.ui.shown[0].kind, c.kind);
        if (c.text.isEmpty()) {
            EXPECT_EQ(h.ui.shown[0].text, QString::fromUtf8(chat::kEmptyMessage));
        }
        EXPECT_EQ(chat.input().textWithCodes(), c.text); // the input keeps it
    }
}

TEST_F(ChatTest, ToAnOfflineContactTheMessageGoesThroughTheServerAndIsStoredOnItsAck) {
    CSendMsgDlg& chat = open(kColleague); // never came online
    type(chat, QStringLiteral("你好/微笑"));
    chat.send();
    const std::vector<Request> sent = sentMessages();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].kind, 0);
    EXPECT_EQ(sent[0].peer, kColleague);
    EXPECT_FALSE(chat.fallbackRunning());
    // It waits for the server like any other message through it.
    EXPECT_TRUE(stored(kColleague).empty());
    EXPECT_EQ(chat.pendingServer(), 1u);

    h.acknowledgeAll();
    const auto history = stored(kColleague);
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0].flags, kMessageViaServer);
    EXPECT_EQ(history[0].text, Gbk("你好/微笑"));
    h.acknowledgeAll();
    EXPECT_EQ(stored(kColleague).size(), 1u);
    // The display shows the header in green and the picture.
    EXPECT_TRUE(chat.display().toPlainText().contains(QStringLiteral("你好")));
    EXPECT_TRUE(chat.display().toPlainText().contains(QChar::ObjectReplacementCharacter));
}

TEST_F(ChatTest, AServerTimeOutOfAMessageToAnOfflineContactAsksAndStoresNothing) {
    CSendMsgDlg& chat = open(kColleague);
    type(chat, QStringLiteral("lost?"));
    chat.send();
    const uint16_t seq = sentMessages().at(0).seq;
    h.ui.answerYes = false;
    h.window().OnRequestTimedOut(seq);
    EXPECT_EQ(h.ui.texts("ask"), std::vector<QString>{QString::fromUtf8(chat::kServerTimeout)});
    EXPECT_TRUE(stored(kColleague).empty());
    EXPECT_EQ(chat.pendingServer(), 0u);
}

TEST_F(ChatTest, ThroughTheServerToAnOnlineContactTheMessageIsStoredOnceWhenAcknowledged) {
    onlineWith(kColleague, false);
    CSendMsgDlg& chat = open(kColleague);
    type(chat, QStringLiteral("one"));
    chat.send();
    type(chat, QStringLiteral("two"));
    chat.send();
    ASSERT_EQ(sentMessages().size(), 2u);
    EXPECT_TRUE(stored(kColleague).empty());
    EXPECT_EQ(chat.pendingServer(), 2u);
    h.acknowledgeAll();
    const auto history = stored(kColleague);
    ASSERT_EQ(history.size(), 2u); // both, not only the latest send
    EXPECT_EQ(history[0].text, "one");
    EXPECT_EQ(history[1].text, "two");
    EXPECT_EQ(history[0].flags, 0);
    h.acknowledgeAll();
    EXPECT_EQ(stored(kColleague).size(), 2u);
}

TEST_F(ChatTest, DirectMessagesAreStoredWhenThePeerAcknowledgesAnyOfThem) {
    onlineWith(kColleague, true);
    CSendMsgDlg& chat = open(kColleague);
    type(chat, QStringLiteral("first"));
    chat.send();
    const uint32_t first = chat.key2;
    type(chat, QStringLiteral("second"));
    chat.send();
    const uint32_t second = chat.key2;
    ASSERT_GT(first, 0xFFFFu);
    ASSERT_GT(second, 0xFFFFu);
    EXPECT_TRUE(sentMessages().empty()); // nothing through the server
    EXPECT_TRUE(chat.fallbackRunning());

    // The earlier one is answered too, not only the number in key2.
    h.window().OnPeerMessageAcked(kColleague, first);
    ASSERT_EQ(stored(kColleague).size(), 1u);
    EXPECT_TRUE(chat.fallbackRunning());
    h.window().OnPeerMessageAcked(kColleague, second);
    const auto history = stored(kColleague);
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[1].text, "second");
    EXPECT_FALSE(chat.fallbackRunning());
}

TEST_F(ChatTest, UnansweredDirectMessagesGoThroughTheServerAfterTheWaitAndAreStoredOnItsAck) {
    onlineWith(kColleague, true);
    CSendMsgDlg& chat = open(kColleague);
    for (const char* text : {"a", "b"}) {
        type(chat, QString::fromUtf8(text));
        chat.send();
    }
    const uint32_t direct = chat.key2;
    chat.onFallbackTimer();
    EXPECT_FALSE(chat.fallbackRunning());
    const std::vector<Request> resent = sentMessages();
    ASSERT_EQ(resent.size(), 2u);
    EXPECT_EQ(resent[0].body.substr(0, 1), "a");
    EXPECT_EQ(resent[1].body.substr(0, 1), "b");
    EXPECT_EQ(chat.key2, resent[1].seq);
    EXPECT_TRUE(stored(kColleague).empty());
    // A late acknowledgement of the direct copy stores nothing: the server's will.
    h.window().OnPeerMessageAcked(kColleague, direct);
    EXPECT_TRUE(stored(kColleague).empty());
    h.acknowledgeAll();
    const auto history = stored(kColleague);
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[0].flags, kMessageViaServer);
}

TEST_F(ChatTest, ServerTimeoutAsksAndResendsTheTextAlone) {
    onlineWith(kColleague, false);
    CSendMsgDlg& chat = open(kColleague);
    type(chat, QStringLiteral("hello"));
    chat.send();
    const uint16_t seq = sentMessages().at(0).seq;
    h.ui.answerYes = true;
    h.window().OnRequestTimedOut(seq);
    EXPECT_EQ(h.ui.texts("ask"), std::vector<QString>{QString::fromUtf8(chat::kServerTimeout)});
    const std::vector<Request> resent = sentMessages();
    ASSERT_EQ(resent.size(), 1u);
    EXPECT_EQ(resent[0].body, "hello"); // no font fields
    h.acknowledgeAll();
    EXPECT_EQ(stored(kColleague).size(), 1u);
}

TEST_F(ChatTest, IncomingMessagesFromContactsOpenAWindowAndAreStoredButStrangersAreDropped) {
    h.window().OnMessage(incoming(4242, "spam"));
    EXPECT_EQ(chats().findChat(4242), nullptr);
    EXPECT_TRUE(stored(4242).empty());

    h.window().OnMessage(incoming(kColleague, "在吗"));
    CSendMsgDlg* chat = chats().findChat(kColleague);
    ASSERT_NE(chat, nullptr);
    EXPECT_TRUE(chat->isMinimized());
    EXPECT_TRUE(chat->display().toPlainText().contains(QStringLiteral("在吗")));
    // Written directly, so the contact is there.
    EXPECT_EQ(h.window().contacts().find(kColleague)->status, kStatusOnline);
    ASSERT_EQ(stored(kColleague).size(), 1u);

    // Through the server from an offline contact: its status stays.
    h.window().OnMessage(incoming(kMerchant, "x", 0, kMessageFromPeer | kMessageViaServer));
    EXPECT_EQ(h.window().contacts().find(kMerchant)->status, kStatusOffline);
    // An automatic reply is shown and not stored.
    h.window().OnMessage(incoming(kColleague, "auto", kMessageKindAutoReply));
    EXPECT_EQ(stored(kColleague).size(), 1u);
}

TEST_F(ChatTest, AwayWithAnAutomaticReplyAnswersOrdinaryMessagesOnceAndNeverAReply) {
    onlineWith(kColleague, false);
    struct Case {
        bool away;
        bool on;
        const char* text;
        uint8_t kind;
        bool replies;
    };
    const Case cases[] = {
        {true, true, "不在", 0, true},
        {true, true, "不在", 1, false}, // the peer's own automatic reply
        {true, true, "", 0, false},
        {true, false, "不在", 0, false},
        {false, true, "不在", 0, false},
    };
    for (const Case& c : cases) {
        h.window().own().status = c.away ? kStatusAway : kStatusOnline;
        h.window().options().setBit(storage::kOptionAutoReply, c.on);
        h.window().options().autoReplyText = Gbk(c.text);
        h.window().OnMessage(incoming(kColleague, "hi", c.kind));
        const std::vector<Request> sent = sentMessages();
        if (!c.replies) {
            EXPECT_TRUE(sent.empty()) << c.away << c.on << c.text << int(c.kind);
            continue;
        }
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].kind, kMessageKindAutoReply);
        EXPECT_EQ(sent[0].body, Gbk(c.text)); // the text alone
    }
    // The replies are not stored; the ordinary messages are.
    for (const auto& entry : stored(kColleague)) {
        EXPECT_EQ(entry.text, "hi");
    }
}

TEST_F(ChatTest, ThePeersTextIsShownAsTextAndOnlyWebAddressesOpen) {
    MessageRecord m = incoming(kColleague, "");
    m.text = Gbk("<b>bold</b> <img src=x> file:///etc/passwd https://example.org/a?b=1 "
                 "mailto:ops@example.org javascript:alert(1)");
    m.font = {Gbk("NoSuchFace"), 200, 1, 0x0000FF};
    h.window().OnMessage(m);
    CMsgView& display = chats().findChat(kColleague)->display();
    EXPECT_TRUE(display.toPlainText().contains(QStringLiteral("<b>bold</b> <img src=x>")));

    // The links are the web and mail addresses only.
    std::vector<QString> links;
    QFont bodyFont;
    for (QTextBlock block = display.document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isAnchor()) {
                links.push_back(format.anchorHref());
            }
            if (it.fragment().text().contains(QStringLiteral("bold"))) {
                bodyFont = format.font();
            }
        }
    }
    EXPECT_EQ(links, (std::vector<QString>{QStringLiteral("https://example.org/a?b=1"),
                                           QStringLiteral("mailto:ops@example.org")}));
    // A readable size, and the face only when it is installed.
    EXPECT_EQ(bodyFont.pointSize(), 28);
    EXPECT_NE(bodyFont.family(), QStringLiteral("NoSuchFace"));

    for (const char* url : {"file:///etc/passwd", "javascript:alert(1)", "/etc/passwd",
                            "https://example.org/a?b=1", "mailto:ops@example.org"}) {
        emit display.anchorClicked(QUrl(QString::fromUtf8(url)));
    }
    EXPECT_EQ(h.ui.opened, (std::vector<QUrl>{QUrl(QStringLiteral("https://example.org/a?b=1")),
                                              QUrl(QStringLiteral("mailto:ops@example.org"))}));
}

TEST_F(ChatTest, NoticeLinksRaiseTheirNotifications) {
    CSendMsgDlg* chat = &open(kColleague);
    ShowOfferNotice(chat->display(), OfferKind::File, Gbk("report.doc"));
    std::vector<int> codes;
    QObject::connect(chat, &CSendMsgDlg::notification, [&](int code) { codes.push_back(code); });
    std::vector<QString> hrefs;
    for (QTextBlock block = chat->display().document()->begin(); block.isValid();
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isAnchor()) {
                hrefs.push_back(it.fragment().text());
                emit chat->display().anchorClicked(QUrl(it.fragment().charFormat().anchorHref()));
            }
        }
    }
    EXPECT_EQ(hrefs, (std::vector<QString>{QStringLiteral(" 接受 "), QStringLiteral(" 取消 ")}));
    EXPECT_EQ(codes, (std::vector<int>{10002, 10001}));
    EXPECT_TRUE(h.ui.opened.empty());
}

TEST_F(ChatTest, AnOfferedFileNameIsShownWithoutItsLineBreaks) {
    CSendMsgDlg* chat = &open(kColleague);
    const QString before = chat->display().document()->toPlainText();
    // A name that would pose as the notice's end and a second notice.
    const std::string name = Gbk("a.txt\r\n—\r\n对方已取消\r\nfdp.exe");
    ShowOfferNotice(chat->display(), OfferKind::File, name);
    const QString added = chat->display().document()->toPlainText().mid(before.size());
    EXPECT_TRUE(added.contains(U("对方发来文件 a.txt—对方已取消fdp.exe 传送请求")))
        << added.toStdString();
}

TEST_F(ChatTest, TheDisplayShowsTheLatestEntryAfterTheOperatorClickedAnEarlierOne) {
    CSendMsgDlg* chat = &open(kColleague);
    CMsgView& display = chat->display();
    display.resize(300, 120);
    ShowOfferNotice(display, OfferKind::File, Gbk("report.doc"));
    // The operator clicks the offer's link: the view's cursor stays up there.
    display.moveCursor(QTextCursor::Start);
    for (int i = 0; i < 40; ++i) {
        display.appendNotice(QStringLiteral("notice %1").arg(i), {});
    }
    QScrollBar* bar = display.verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());
    // A selection being copied is kept.
    QTextCursor selection(display.document());
    selection.movePosition(QTextCursor::NextWord, QTextCursor::KeepAnchor);
    display.setTextCursor(selection);
    display.appendNotice(QStringLiteral("one more"), {});
    EXPECT_TRUE(display.textCursor().hasSelection());
    EXPECT_EQ(bar->value(), bar->maximum());
}

TEST_F(ChatTest, ClosingWhileADirectMessageWaitsAsksAndNoKeepsTheWindow) {
    onlineWith(kColleague, true);
    CSendMsgDlg& chat = open(kColleague);
    EXPECT_TRUE(chat.close()); // nothing running: closes at once
    EXPECT_TRUE(h.ui.texts("warning").empty());
    delete chats().findChat(kColleague);

    CSendMsgDlg& again = open(kColleague);
    type(again, QStringLiteral("wait"));
    again.send();
    h.ui.answerYes = false;
    EXPECT_FALSE(again.close());
    EXPECT_EQ(h.ui.texts("warning"),
              std::vector<QString>{QString::fromUtf8(chat::kCloseWhileSending)});
    EXPECT_EQ(chats().findChat(kColleague), &again);
}

TEST_F(ChatTest, AChatWindowOutlivesItsContactsRecord) {
    onlineWith(kColleague, true);
    CSendMsgDlg& chat = open(kColleague);
    event32(CMD_CONTACT_DELETED, kColleague);
    ASSERT_EQ(h.window().contacts().find(kColleague), nullptr);
    EXPECT_EQ(chat.contact(), nullptr);
    EXPECT_FALSE(chat.commandEnabled(chat::kCmdFile));
    type(chat, QStringLiteral("still there?"));
    chat.send(); // goes to the server, which keeps it
    EXPECT_EQ(sentMessages().size(), 1u);
    EXPECT_TRUE(chat.windowTitle().contains(QStringLiteral("值班员小李")));
}

TEST_F(ChatTest, QuickRepliesReplaceTheInputAndCustomiseOpensTheSettings) {
    ASSERT_TRUE(storage::SaveQuickReplies(userFolder(), {Gbk("好的/微笑"), Gbk("马上到")}));
    struct Sheet : OptionsReceiver {
        void runOptionSheet(QWidget*, int page) override { pages.push_back(page); }
        std::vector<int> pages;
    } sheet;
    h.window().routes().options = &sheet;
    CSendMsgDlg& chat = open(kColleague);
    QMenu* menu = chat.quickReplies().build();
    QStringList captions;
    for (QAction* action : menu->actions()) {
        captions << action->text();
    }
    EXPECT_EQ(captions, (QStringList{QStringLiteral("自定义"), QString(),
                                     QStringLiteral("好的/微笑"), QStringLiteral("马上到")}));
    delete menu;
    type(chat, QStringLiteral("draft"));
    chat.command(40000);
    EXPECT_EQ(chat.input().textWithCodes(), QStringLiteral("好的/微笑"));
    // Emptied and filled again, the input still has its pictures to show.
    EXPECT_FALSE(chat.input()
                     .document()
                     ->resource(QTextDocument::ImageResource, QUrl(EmoticonResourceName(0)))
                     .isNull());
    EXPECT_TRUE(sentMessages().empty());
    chat.command(40005); // no such text
    EXPECT_EQ(chat.input().textWithCodes(), QStringLiteral("好的/微笑"));
    chat.command(kCustomiseCommand);
    EXPECT_EQ(sheet.pages, std::vector<int>{0}); // the system page, where the replies are
    h.window().routes().options = nullptr;
}

TEST_F(ChatTest, TheMainMenuSearchesEveryContactsHistoryAndOpensTheChatOfAMatch) {
    h.window().OnMessage(incoming(kColleague, "交班记录已补"));
    h.window().OnMessage(incoming(kMerchant, "维修记录"));
    h.window().OnMessage(incoming(kMerchant, "别的"));
    delete chats().findChat(kColleague);
    delete chats().findChat(kMerchant);
    h.window().onCommand(CHistorySearchDlg::kCommand);
    CHistorySearchDlg* search = chats().openHistorySearch();
    ASSERT_NE(search, nullptr);
    search->search(QStringLiteral("记录"));
    ASSERT_EQ(search->list().count(), 2);
    EXPECT_TRUE(search->list().item(0)->text().startsWith(QStringLiteral("[值班员小李] ")));
    EXPECT_TRUE(search->list().item(1)->text().startsWith(QStringLiteral("[安居家电维修] ")));
    emit search->list().itemDoubleClicked(search->list().item(1));
    EXPECT_NE(chats().findChat(kMerchant), nullptr);
    delete search;
}

TEST_F(ChatTest, TitleAndNickLabelFollowTheContactAndTheLabelOpensItsPage) {
    CSendMsgDlg& chat = open(kColleague);
    EXPECT_EQ(chat.windowTitle(), QStringLiteral("与 值班员小李 交谈中..."));
    EXPECT_TRUE(chat.nickLabel().text().contains(QStringLiteral("（脱机）")));
    onlineWith(kColleague, false, kStatusAway);
    EXPECT_TRUE(chat.nickLabel().text().contains(QStringLiteral("（离开）")));
    emit chat.nickLabel().linkActivated(QStringLiteral("profile"));
    ASSERT_EQ(h.ui.opened.size(), 1u);
    EXPECT_TRUE(h.ui.opened[0].toString().endsWith(
        QStringLiteral("/soft/CallCustomerInfo.aspx?CallID=1025")));
    EXPECT_EQ(chat.minimumSize(), QSize(450, 400));
}

TEST_F(ChatTest, ANewChatWindowStartsWithTheFormatTheLastClosedOneLeft) {
    CSendMsgDlg& first = open(kColleague);
    QTextCharFormat bold = first.input().currentCharFormat();
    bold.setFontWeight(QFont::Bold);
    first.input().setCurrentCharFormat(bold);
    ASSERT_TRUE(first.close());
    delete chats().findChat(kColleague);
    CSendMsgDlg& second = open(kMerchant);
    EXPECT_EQ(second.input().currentCharFormat().fontWeight(), QFont::Bold);
    type(second, QStringLiteral("x"));
    second.send();
    const std::vector<Request> sent = sentMessages();
    ASSERT_EQ(sent.size(), 1u);
    MessageRecord parsed;
    parseMessageBody(sent[0].body, parsed);
    EXPECT_EQ(parsed.font.effects & 1, 1); // the message carries it
    SharedChatFormat() = QTextCharFormat();
}

TEST_F(ChatTest, ExportWritesEveryEntryAsTextOrEscapedHtml) {
    std::vector<storage::HistoryEntry> entries(2);
    entries[0].message.flags = kMessageFromPeer;
    entries[0].message.text = Gbk("<script>x</script>");
    entries[1].message.text = Gbk("好的\r\n明天");
    const QString text = ExportText(entries, QStringLiteral("我"), QStringLiteral("他"), false);
    EXPECT_TRUE(text.contains(QStringLiteral("   他\r\n<script>x</script>")));
    EXPECT_TRUE(text.contains(QStringLiteral("   我\r\n好的\r\n明天")));
    const QString html = ExportText(entries, QStringLiteral("我"), QStringLiteral("他"), true);
    EXPECT_FALSE(html.contains(QStringLiteral("<script>")));
    EXPECT_TRUE(html.contains(QStringLiteral("&lt;script&gt;x&lt;/script&gt;")));
    EXPECT_TRUE(html.contains(QStringLiteral("好的<br>\n明天")));
}

// The filter the operator leaves chosen decides the format and the extension, whatever name
// was typed.
TEST_F(ChatTest, TheChosenExportFilterDecidesFormatAndExtension) {
    MessageRecord m = incoming(kColleague, "");
    m.text = Gbk("你好/微笑");
    MessageRecord entry;
    entry.kind = m.kind;
    entry.flags = kMessageFromPeer;
    entry.peerId = m.peerId;
    entry.time = m.time;
    entry.text = m.text;
    ASSERT_TRUE(storage::AppendHistory(userFolder(), entry));
    const QString html = QStringLiteral("HTML (*.html *.htm)");
    const QString text = QStringLiteral("Text (*.txt)");
    const struct {
        const char* typed;
        QString filter;
        const char* written;
        bool isHtml;
    } cases[] = {
        {"a", html, "a.html", true},         {"b.htm", html, "b.htm", true},
        {"c.txt", html, "c.txt.html", true}, {"d", text, "d.txt", false},
        {"e.TXT", text, "e.TXT", false},     {"f.html", text, "f.html.txt", false},
    };
    const QString folder = QString::fromStdString(h.folder.path());
    for (const auto& c : cases) {
        h.ui.saveAnswers.push_back(folder + QString::fromUtf8(c.typed));
        h.ui.filterAnswers.push_back(c.filter);
        ExportChatHistory(h.window(), kColleague, QStringLiteral("他"), nullptr);
        QFile file(folder + QString::fromUtf8(c.written));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << c.written;
        const QString content = QString::fromUtf8(file.readAll());
        EXPECT_EQ(content.startsWith(QStringLiteral("<!DOCTYPE html>")), c.isHtml) << c.written;
        // The HTML shows the emoticon as a picture, the text keeps its code.
        EXPECT_EQ(content.contains(QStringLiteral("<img src=\"data:image/png;base64,")), c.isHtml)
            << c.written;
        EXPECT_EQ(content.contains(QStringLiteral("你好/微笑")), !c.isHtml) << c.written;
    }
    EXPECT_EQ(h.ui.fileFilters.back(), text + QStringLiteral(";;") + html);
}

TEST_F(ChatTest, TheHtmlExportShowsEmoticonsAsPictures) {
    std::vector<storage::HistoryEntry> entries(1);
    entries[0].message.text = Gbk("好/微笑<b>/大笑");
    const QString html = ExportText(entries, QStringLiteral("我"), QStringLiteral("他"), true);
    EXPECT_EQ(html.count(QStringLiteral("<img src=\"data:image/png;base64,")), 2);
    EXPECT_TRUE(html.contains(QStringLiteral("alt=\"/微笑\"")));
    EXPECT_TRUE(html.contains(QStringLiteral("好<img")));
    EXPECT_TRUE(html.contains(QStringLiteral("&lt;b&gt;<img")));
    // The pictures are the emoticons' own.
    const QString start = QStringLiteral("data:image/png;base64,");
    const qsizetype at = html.indexOf(start) + start.size();
    const QByteArray png =
        QByteArray::fromBase64(html.mid(at, html.indexOf('"', at) - at).toLatin1());
    QImage picture;
    ASSERT_TRUE(picture.loadFromData(png, "PNG"));
    EXPECT_EQ(picture.convertToFormat(QImage::Format_ARGB32),
              EmoticonPicture(0).convertToFormat(QImage::Format_ARGB32));
    const QString plain = ExportText(entries, QStringLiteral("我"), QStringLiteral("他"), false);
    EXPECT_TRUE(plain.contains(QStringLiteral("好/微笑<b>/大笑")));
}

// In the history strip an emoticon is its picture, one line high, where its code would stand.
TEST(HistoryListTest, EmoticonsShowAsPicturesInTheStrip) {
    testing::EnsureApplication();
    CHistoryList list(nullptr);
    list.addItem(QStringLiteral("我  2026-12-11 02:00:00\r\n好/微笑好"));
    QStyleOptionViewItem option;
    option.initFrom(&list);
    option.state &= ~QStyle::State_Selected;
    const QFontMetrics metrics(option.font);
    const int lineHeight = metrics.height();
    option.rect = QRect(0, 0, 300, 2 * lineHeight);
    QImage drawn(option.rect.size(), QImage::Format_ARGB32);
    QPainter painter(&drawn);
    list.itemDelegate()->paint(&painter, option, list.model()->index(0, 0));
    painter.end();

    const std::vector<HistoryRun> runs =
        HistoryLineRuns(QStringLiteral("好/微笑好"), metrics, lineHeight);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[1].emoticon, 0);
    EXPECT_EQ(runs[1].x, metrics.horizontalAdvance(QStringLiteral("好")));
    EXPECT_EQ(runs[2].x, runs[1].x + lineHeight);
    const QRect place(2 + runs[1].x, lineHeight, lineHeight, lineHeight);
    QImage expected(option.rect.size(), QImage::Format_ARGB32);
    expected.fill(option.palette.color(QPalette::Base));
    QPainter picture(&expected);
    picture.drawImage(place, EmoticonPicture(0));
    picture.end();
    EXPECT_EQ(drawn.copy(place), expected.copy(place));
}

// The strip over 150 stored messages.
// A direct acknowledgement counts only in the chat window of the session's peer and only for
// that window's direct numbers; a server acknowledgement only for a number the server path waits
// for. Neither is taken by a window that merely once sent that number.
TEST_F(ChatTest, AcknowledgementsCountOnlyInTheWindowTheyBelongTo) {
    onlineWith(kColleague, true);
    onlineWith(kMerchant, true);
    CSendMsgDlg& colleague = open(kColleague);
    type(colleague, QStringLiteral("to colleague"));
    colleague.send();
    const uint32_t number = colleague.key2;
    ASSERT_GT(number, 0xFFFFu);

    struct Case {
        const char* what;
        std::function<void()> ack;
    };
    const Case strays[] = {
        {"another contact's session answers the number",
         [&] { h.window().OnPeerMessageAcked(kMerchant, number); }},
        {"a server acknowledgement of the direct number",
         [&] { h.window().OnRequestAcked(number); }},
        {"the right contact answers a number it was never sent",
         [&] { h.window().OnPeerMessageAcked(kColleague, number - 1); }},
    };
    for (const Case& c : strays) {
        c.ack();
        EXPECT_TRUE(stored(kColleague).empty()) << c.what;
        EXPECT_TRUE(colleague.fallbackRunning()) << c.what;
        EXPECT_EQ(colleague.pendingDirect(), 1u) << c.what;
    }
    h.window().OnPeerMessageAcked(kColleague, number);
    EXPECT_EQ(stored(kColleague).size(), 1u);
    EXPECT_FALSE(colleague.fallbackRunning());

    // A number the window sent earlier through the server (its key2) does not take the
    // acknowledgement of another window's request that comes to bear the same number.
    struct Waiting : RegisteredWindow {
        using RegisteredWindow::RegisteredWindow;
        void onAcked(uint32_t) override { ++acks; }
        int acks = 0;
    };
    onlineWith(kSubscriber, false);
    CSendMsgDlg& subscriber = open(kSubscriber);
    type(subscriber, QStringLiteral("via server"));
    subscriber.send();
    const uint32_t seq = subscriber.key2;
    ASSERT_LE(seq, 0xFFFFu);
    h.acknowledgeAll();
    ASSERT_EQ(stored(kSubscriber).size(), 1u);
    Waiting other(h.window().windows(), 38, 0, seq);
    h.window().OnRequestAcked(seq);
    EXPECT_EQ(other.acks, 1);
    EXPECT_EQ(stored(kSubscriber).size(), 1u);
}

TEST_F(ChatTest, MessagesStillWaitingAreStoredOnceAcknowledgedAfterTheWindowClosed) {
    onlineWith(kColleague, false);
    CSendMsgDlg* chat = &open(kColleague);
    type(*chat, QStringLiteral("server path"));
    chat->send();
    ASSERT_EQ(sentMessages().size(), 1u);
    EXPECT_TRUE(chat->close());
    delete chats().findChat(kColleague);
    h.acknowledgeAll();
    ASSERT_EQ(stored(kColleague).size(), 1u);
    EXPECT_EQ(stored(kColleague)[0].text, "server path");

    // A direct message the peer has not answered goes through the server when the operator
    // closes anyway, and is stored on the server's acknowledgement.
    onlineWith(kColleague, true);
    chat = &open(kColleague);
    type(*chat, QStringLiteral("direct"));
    chat->send();
    EXPECT_TRUE(sentMessages().empty());
    h.ui.answerYes = true;
    EXPECT_TRUE(chat->close());
    delete chats().findChat(kColleague);
    const std::vector<Request> fallen = sentMessages();
    ASSERT_EQ(fallen.size(), 1u);
    EXPECT_EQ(fallen[0].body.substr(0, 6), "direct");
    h.acknowledgeAll();
    ASSERT_EQ(stored(kColleague).size(), 2u);
    EXPECT_EQ(stored(kColleague)[1].flags, kMessageViaServer);

    // A time-out after the window closed opens it again to ask.
    chat = &open(kSubscriber);
    type(*chat, QStringLiteral("never answered"));
    chat->send();
    const uint16_t seq = sentMessages().at(0).seq;
    EXPECT_TRUE(chat->close());
    delete chats().findChat(kSubscriber);
    h.ui.answerYes = false;
    h.window().OnRequestTimedOut(seq);
    EXPECT_NE(chats().findChat(kSubscriber), nullptr);
    EXPECT_EQ(h.ui.texts("ask").back(), QString::fromUtf8(chat::kServerTimeout));
    EXPECT_TRUE(stored(kSubscriber).empty());
}

// The history cannot be written (its file is a folder here, which not even root can write as a
// file): messages wait in memory, the operator hears of it once, and they are written in order
// once the history works again.
TEST_F(ChatTest, MessagesThatCannotBeStoredWaitAndAreWrittenInOrderLater) {
    const QString file =
        QString::fromStdString(storage::JoinPath(userFolder(), storage::kHistoryFile));
    QFile::remove(file);
    ASSERT_TRUE(QDir().mkpath(file));
    for (const char* text : {"one", "two", "three"}) {
        chats().onMessage(incoming(kColleague, text));
    }
    EXPECT_EQ(h.ui.texts("notice"),
              std::vector<QString>{QString::fromUtf8(chat::kHistoryNotWritten)});
    ASSERT_TRUE(QDir(file).removeRecursively());
    chats().onMessage(incoming(kColleague, "four"));
    std::vector<std::string> texts;
    for (const auto& entry : stored(kColleague)) {
        texts.push_back(entry.text);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"one", "two", "three", "four"}));
    EXPECT_EQ(h.ui.texts("notice").size(), 1u);
}

TEST_F(ChatTest, ADirectMessageFromAContactShownOfflineShowsItOnlineInTheContactPane) {
    ASSERT_EQ(rowTexts()[3], U("我的好友 (0/2)"));
    chats().onMessage(incoming(kColleague, "here"));
    EXPECT_EQ(rowTexts()[3], U("我的好友 (1/2)"));
    EXPECT_EQ(pane().rows().index(rowOf(kColleague)).data(ContactRowModel::StatusRole).toUInt(),
              kStatusOnline);
    // Through the server it proves nothing about its presence.
    chats().onMessage(incoming(kMerchant, "kept", 0, kMessageFromPeer | kMessageViaServer));
    EXPECT_EQ(h.window().contacts().find(kMerchant)->status, kStatusOffline);
}

class HistoryStripTest : public ChatTest {
protected:
    void SetUp() override {
        ChatTest::SetUp();
        for (int i = 0; i < 150; ++i) {
            MessageRecord m = incoming(kColleague, "");
            m.flags = i % 2 == 0 ? kMessageFromPeer : 0;
            m.text = (i == 20 ? "needle " : "m") + std::to_string(i);
            ASSERT_TRUE(StoreInHistoryForTest(m));
        }
        chat_ = &open(kColleague);
        chat_->toggleHistory();
        strip_ = chat_->history();
        ASSERT_NE(strip_, nullptr);
    }
    static bool StoreInHistoryForTest(const MessageRecord& m) {
        MessageRecord entry;
        entry.kind = m.kind;
        entry.flags = m.flags;
        entry.peerId = m.peerId;
        entry.time = m.time;
        entry.text = m.text;
        return storage::AppendHistory(userFolder(), entry);
    }
    QString itemBody(int row) {
        return strip_->list().item(row)->text().section(QStringLiteral("\r\n"), 1);
    }
    CSendMsgDlg* chat_ = nullptr;
    CHistoryChatDlg* strip_ = nullptr;
};

TEST_F(HistoryStripTest, ShowsTheLatest100AndPagesBackToOlderOnes) {
    ASSERT_EQ(strip_->list().count(), 100);
    EXPECT_EQ(itemBody(0), QStringLiteral("m50"));
    EXPECT_EQ(itemBody(99), QStringLiteral("m149"));
    EXPECT_TRUE(strip_->list().item(0)->text().contains(QStringLiteral("值班员小李"))); // received
    EXPECT_EQ(strip_->windowTitle(), QStringLiteral("聊天记录 - 1025"));
    strip_->loadOlder();
    ASSERT_EQ(strip_->list().count(), 150);
    EXPECT_EQ(itemBody(0), QStringLiteral("m0"));
    EXPECT_FALSE(strip_->olderButton().isEnabled());
    // The strip stays below its chat window.
    chat_->move(chat_->pos() + QPoint(30, 20));
    EXPECT_EQ(strip_->geometry().top(), chat_->frameGeometry().bottom() + 1);
    // The button closes it again.
    chat_->toggleHistory();
    EXPECT_EQ(chat_->history(), nullptr);
}

TEST_F(HistoryStripTest, DeletingTheChosenItemDeletesThatEntryAfterOthersWereAdded) {
    h.window().OnMessage(incoming(kColleague, "newer")); // stored while the strip is open
    strip_->list().setCurrentRow(2);                     // m52
    ASSERT_TRUE(strip_->deleteEntry());
    std::vector<std::string> texts;
    for (const auto& entry : stored(kColleague)) {
        texts.push_back(entry.text);
    }
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "m52"), 0);
    EXPECT_EQ(texts.size(), 150u);
    EXPECT_EQ(itemBody(2), QStringLiteral("m53"));
    strip_->list().setCurrentRow(-1);
    EXPECT_FALSE(strip_->deleteEntry()); // nothing chosen
}

TEST_F(HistoryStripTest, CutCopiesThenDeletes) {
    strip_->list().setCurrentRow(0);
    ASSERT_TRUE(strip_->cutEntry());
    EXPECT_TRUE(QApplication::clipboard()->text().endsWith(QStringLiteral("\r\nm50")));
    EXPECT_EQ(stored(kColleague).size(), 149u);
}

TEST_F(HistoryStripTest, SearchFindsOlderEntriesAndMarksTheWords) {
    strip_->search(QStringLiteral("needle"));
    ASSERT_EQ(strip_->list().count(), 1);
    EXPECT_EQ(itemBody(0), QStringLiteral("needle 20"));
    EXPECT_EQ(strip_->list().marked(), QStringLiteral("needle"));
    strip_->search(QString());
    EXPECT_EQ(strip_->list().count(), 100);
}

TEST_F(HistoryStripTest, DoubleClickPutsTheItemIntoTheInputWithPictures) {
    strip_->list().setCurrentRow(0);
    chat_->input().setPlainText(QStringLiteral("old"));
    strip_->takeIntoInput(99);
    const QString text = chat_->input().textWithCodes();
    EXPECT_TRUE(text.endsWith(QStringLiteral("\r\nm149\r\n"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("old")));
}

} // namespace
} // namespace talmor::testing
