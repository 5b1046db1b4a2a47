// The file transfer in a console on the test harness, the test playing the server and the
// peer: offering and accepting, the relay's stop-and-wait in both roles with the checks on
// every chunk, the direct and relay paths shutting each other out, and every way a transfer
// ends (completion, cancel from either side, a file that cannot be read or written, a peer that
// stops answering or goes offline).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QProgressBar>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "kit/gbktext.h"
#include "media/file/filepart.h"
#include "media/file/filetransfer.h"
#include "media/file/sendfiledlg.h"
#include "media/mediaparts.h"
#include "messaging/chat/chatnotices.h"
#include "messaging/chat/chatpart.h"
#include "messaging/chat/chattexts.h"
#include "messaging/chat/msgview.h"
#include "messaging/chat/sendmsgdlg.h"
#include "messaging/messagingparts.h"
#include "protocol/commands.h"
#include "protocol/peersessionmanager.h"
#include "storage/partfiles.h"
#include "support/consoleharness.h"
#include "support/wire.h"

namespace talmor::testing {
namespace {

constexpr uint32_t kPeer = 1025;
constexpr uint32_t kOther = 3001;
constexpr uint32_t kLoopback = 0x7F000001;

Bytes Content(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>(i * 31 + i / 256);
    }
    return bytes;
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) {
    return QFile::exists(QString::fromStdString(path));
}

// Request 261 as sent: peer, length, bytes sent including this chunk, the data.
struct Chunk {
    uint32_t length;
    uint32_t sent;
    Bytes data;
};

class FileTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallMessagingParts(h.window());
        InstallMediaParts(h.window());
        h.startLogin();
        h.loginReply();
        h.rights(ConsoleHarness::AllRights());
        h.ownProfile(ConsoleHarness::Operator());
        h.deliver(CMD_GROUP_LIST, [](OutPacket& out) {
            writeList(out, std::vector<GroupEntry>{{101, Gbk("我的好友")}});
        });
        h.deliver(CMD_CONTACT_LIST, [](OutPacket& out) {
            writeList(out,
                      std::vector<ContactEntry>{{kPeer, "", 101, Gbk("值班员小李"), "", "S", 2},
                                                {kOther, "", 101, Gbk("值班员小王"), "", "S", 2}});
        });
        online(kPeer, false);
        online(kOther, false);
        h.takeSent();
    }
    void TearDown() override {
        for (uint32_t peer : {kPeer, kOther}) {
            delete chats().findChat(peer);
        }
    }

    FilePart& files() { return *dynamic_cast<FilePart*>(h.window().routes().file); }
    ChatPart& chats() { return *h.window().routes().chat; }
    CSendMsgDlg& chat(uint32_t peer = kPeer) { return *chats().findChat(peer); }
    QString shown(uint32_t peer = kPeer) { return chat(peer).display().toPlainText(); }
    // The last line of the display.
    QString lastLine() { return shown().trimmed().split(QLatin1Char('\n')).back(); }
    FileTransfer* transfer(uint32_t peer = kPeer) { return files().transfer(peer); }
    std::string path(const std::string& name) { return h.folder.path() + name; }

    // The contact announced online; `direct` gives it an address peers may connect to.
    void online(uint32_t id, bool direct) {
        h.deliver(CMD_CONTACT_ONLINE, [&](OutPacket& out) {
            PresenceEntry entry;
            entry.id = id;
            entry.status = kStatusOnline;
            entry.altAddress = direct ? kLoopback : 0;
            entry.peerAddress = direct ? kLoopback : 0;
            entry.messagePort = direct ? 40000 : 0;
            entry.write(out);
        });
    }

    // The requests of `command` sent since the last look; the others are kept.
    std::vector<Bytes> sent(uint16_t command) {
        for (Sent& request : h.takeSent()) {
            log_.push_back(std::move(request));
        }
        std::vector<Bytes> bodies;
        for (auto it = log_.begin(); it != log_.end();) {
            if (it->command == command) {
                bodies.push_back(it->body);
                it = log_.erase(it);
            } else {
                ++it;
            }
        }
        return bodies;
    }
    std::vector<Chunk> chunks() {
        std::vector<Chunk> result;
        for (const Bytes& body : sent(CMD_FILE_RELAY_DATA)) {
            BodyReader reader(body);
            EXPECT_EQ(reader.in().u32(), kPeer);
            Chunk chunk;
            chunk.length = reader.in().u32();
            chunk.sent = reader.in().u32();
            // The deciphered body may end in the cipher's padding.
            std::size_t count = 0;
            const uint8_t* data = reader.in().remaining(count);
            EXPECT_GE(count, chunk.length);
            chunk.data.assign(data, data + std::min<std::size_t>(count, chunk.length));
            result.push_back(chunk);
        }
        return result;
    }
    // The counts of the 260 answers sent.
    std::vector<uint32_t> answers() {
        std::vector<uint32_t> counts;
        for (const Bytes& body : sent(CMD_FILE_RELAY_ANSWER)) {
            BodyReader reader(body);
            EXPECT_EQ(reader.in().u32(), kPeer);
            counts.push_back(reader.in().u32());
        }
        return counts;
    }

    // The operator offers `file` to `peer` through the chat window's file command.
    void offer(const std::string& file, uint32_t peer = kPeer) {
        chats().openChat(peer, MessagingReceiver::ChatStart::Open);
        h.ui.openAnswers.push_back(QString::fromStdString(file));
        chat(peer).command(chat::kCmdFile);
    }
    // The peer offers a file.
    void offered(uint32_t size, const std::string& name, uint32_t peer = kPeer) {
        h.deliver(incoming::CMD_FILE_OFFER, [&](OutPacket& out) {
            out.writeInt(peer).writeShort(8010).writeInt(size).writeString(name);
        });
    }
    // The operator clicks " 接受 " and saves as `file`.
    void accept(const std::string& file, uint32_t peer = kPeer) {
        h.ui.saveAnswers.push_back(QString::fromStdString(file));
        emit chat(peer).notification(kAcceptFile);
    }
    void peerAccepted(uint16_t port, uint32_t peer = kPeer) {
        h.deliver(incoming::CMD_FILE_ACCEPTED,
                  [&](OutPacket& out) { out.writeInt(peer).writeShort(port); });
    }
    void relayReady(uint32_t received) {
        h.deliver(incoming::CMD_FILE_RELAY_READY,
                  [&](OutPacket& out) { out.writeInt(kPeer).writeInt(received); });
    }
    void relayData(uint32_t sent, const Bytes& data) {
        h.deliver(incoming::CMD_FILE_RELAY_DATA, [&](OutPacket& out) {
            out.writeInt(kPeer).writeInt(sent).writeBytes(data.data(), data.size());
        });
    }
    void cancelledByPeer() {
        h.deliver(incoming::CMD_FILE_CANCELLED, [](OutPacket& out) { out.writeInt(kPeer); });
    }
    void fire(int timer) { transfer()->onTimer(timer); }
    // An offer of `size` bytes that the peer accepted without a direct path, the relay asked.
    std::string relayedOffer(std::size_t size, Bytes* content = nullptr) {
        const std::string file = path("out.bin");
        const Bytes bytes = Content(size);
        WriteFile(file, bytes);
        if (content != nullptr) {
            *content = bytes;
        }
        offer(file);
        peerAccepted(0);
        fire(FileTransfer::kRelayAskTimer);
        return file;
    }
    // The peer's offer of `size` bytes, accepted into in.bin.
    std::string acceptedOffer(uint32_t size) {
        offered(size, Gbk("报告.doc"));
        const std::string file = path("in.bin");
        accept(file);
        return file;
    }
    bool cancelSent() { return sent(CMD_FILE_CANCEL).size() == 1; }
    // Whether `part` names a temporary file beside `file` for it.
    static bool IsPartOf(const std::string& part, const std::string& file) {
        const std::filesystem::path target(file);
        const std::string prefix =
            (target.parent_path() / ("." + target.filename().string() + ".part-")).string();
        return storage::PartFiles::IsPartName(part) && part.rfind(prefix, 0) == 0;
    }
    // The temporary files of transfers being received, in the test's folder.
    std::vector<std::string> partFiles() {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(h.folder.path())) {
            if (storage::PartFiles::IsPartName(entry.path().string())) {
                found.push_back(entry.path().string());
            }
        }
        return found;
    }

    ConsoleHarness h;
    std::vector<Sent> log_;
};

TEST_F(FileTest, AnOfferCarriesSizeAndNameAndOpensTheStripWithTheNotice) {
    const std::string file = path("病例 1.pdf");
    WriteFile(file, Content(3000));
    offer(file);

    EXPECT_EQ(h.ui.fileFilters.back(), QStringLiteral("所有文件 (*)"));
    const std::vector<Bytes> offers = sent(CMD_FILE_OFFER);
    ASSERT_EQ(offers.size(), 1u);
    BodyReader reader(offers[0]);
    EXPECT_EQ(reader.in().u32(), kPeer);
    EXPECT_EQ(reader.in().u16(), 8010);
    EXPECT_EQ(reader.in().u32(), 3000u);
    EXPECT_EQ(reader.in().text(), Gbk("病例 1.pdf"));
    EXPECT_TRUE(shown().contains(U("正在进行 病例 1.pdf 文件传送请求,请等待对方接受")));
    CSendFileDlg* strip = files().strip(kPeer);
    ASSERT_NE(strip, nullptr);
    EXPECT_TRUE(strip->sending());
    EXPECT_EQ(strip->bar().maximum(), 3000);
    EXPECT_EQ(strip->totals().text(), U("总计:3000/0"));
    EXPECT_EQ(strip->speed().text(), U("0.00/KBPS"));
    EXPECT_EQ(strip->parentWidget()->window(), &chat());

    // The file button now asks whether to cancel the running transfer; No keeps it.
    chat().command(chat::kCmdFile);
    EXPECT_EQ(h.ui.texts("question").size(), 1u);
    EXPECT_NE(transfer(), nullptr);
}

TEST_F(FileTest, NothingIsOfferedForACancelledDialogAFolderOrAFileOf4GiB) {
    chats().openChat(kPeer, MessagingReceiver::ChatStart::Open);
    chat().command(chat::kCmdFile); // the dialog is cancelled
    EXPECT_EQ(transfer(), nullptr);
    EXPECT_TRUE(h.ui.texts("error").empty());

    const std::string huge = path("huge.img");
    {
        QFile sparse(QString::fromStdString(huge));
        ASSERT_TRUE(sparse.open(QIODevice::WriteOnly));
        ASSERT_TRUE(sparse.resize(qint64{1} << 32)); // sparse: no disk is used
    }
    offer(huge);
    offer(h.folder.path());
    offer(path("missing.txt"));

    EXPECT_TRUE(sent(CMD_FILE_OFFER).empty());
    EXPECT_EQ(transfer(), nullptr);
    EXPECT_EQ(files().strip(kPeer), nullptr);
    const std::vector<QString> errors = h.ui.texts("error");
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_TRUE(errors[0].contains(U("huge.img 达到或超过4GB")));
    EXPECT_TRUE(errors[1].contains(U("这是一个文件夹")));
    EXPECT_TRUE(errors[2].contains(U("missing.txt 无法读取（文件或文件夹不存在）")));
    std::remove(huge.c_str());
}

TEST_F(FileTest, TheRelaySendsOneChunkPerAnswerAndCompletesOnTheLastCount) {
    struct Case {
        std::size_t size;
        std::vector<uint32_t> lengths;
    };
    for (const Case& c :
         {Case{0, {0}}, Case{2048, {2048}}, Case{2049, {2048, 1}}, Case{5000, {2048, 2048, 904}}}) {
        Bytes content;
        relayedOffer(c.size, &content);
        EXPECT_EQ(sent(CMD_FILE_RELAY_ASK).size(), 1u) << c.size;
        EXPECT_TRUE(
            shown().contains(U("对方已经接受了文件 out.bin 的传送！正在进行UDP直联请等待...")));

        Bytes received;
        uint32_t count = 0;
        std::vector<uint32_t> lengths;
        for (int round = 0; round < 10 && transfer() != nullptr; ++round) {
            relayReady(count);
            for (const Chunk& chunk : chunks()) {
                lengths.push_back(chunk.length);
                EXPECT_EQ(chunk.sent, count + chunk.length);
                received.insert(received.end(), chunk.data.begin(), chunk.data.end());
                count = chunk.sent;
            }
        }
        EXPECT_EQ(lengths, c.lengths) << c.size;
        EXPECT_EQ(received, content) << c.size;
        EXPECT_EQ(transfer(), nullptr) << c.size;
        EXPECT_EQ(files().strip(kPeer), nullptr) << c.size;
        EXPECT_TRUE(lastLine() == U("已成功完成文件 out.bin 的传送。")) << c.size;
        delete chats().findChat(kPeer);
    }
}

TEST_F(FileTest, OldAnswersAreIgnoredAndAnUnansweredChunkIsRepeatedUntil30TimesThenGivenUp) {
    Bytes content;
    relayedOffer(5000, &content);
    EXPECT_TRUE(files().timerRunning(kPeer, FileTransfer::kRelayAskTimer));
    relayReady(0);
    EXPECT_FALSE(files().timerRunning(kPeer, FileTransfer::kRelayAskTimer));
    ASSERT_EQ(chunks().size(), 1u);
    EXPECT_TRUE(files().timerRunning(kPeer, FileTransfer::kRepeatTimer));

    relayReady(0);    // a duplicate of the first answer
    relayReady(4096); // more than was sent
    EXPECT_TRUE(chunks().empty());

    for (int i = 0; i < FileTransfer::kMaxUnanswered; ++i) {
        fire(FileTransfer::kRepeatTimer);
    }
    const std::vector<Chunk> repeats = chunks();
    ASSERT_EQ(repeats.size(), 30u);
    for (const Chunk& repeat : repeats) {
        EXPECT_EQ(repeat.sent, 2048u);
        EXPECT_EQ(repeat.data, Bytes(content.begin(), content.begin() + 2048));
    }
    EXPECT_FALSE(cancelSent());
    fire(FileTransfer::kRepeatTimer);
    EXPECT_TRUE(chunks().empty());
    EXPECT_TRUE(cancelSent());
    EXPECT_EQ(transfer(), nullptr);
    EXPECT_EQ(files().strip(kPeer), nullptr);
    EXPECT_TRUE(shown().contains(U("对方长时间没有回应，文件 out.bin 的传送已中止！")));
}

TEST_F(FileTest, AnAnswerResetsTheRepetitionCount) {
    relayedOffer(5000);
    relayReady(0);
    for (int i = 0; i < 20; ++i) {
        fire(FileTransfer::kRepeatTimer);
    }
    relayReady(2048);
    for (int i = 0; i < 20; ++i) {
        fire(FileTransfer::kRepeatTimer);
    }
    EXPECT_NE(transfer(), nullptr);
    EXPECT_EQ(chunks().size(), 42u);
}

TEST_F(FileTest, ThePeerGoingOfflineStopsTheRelayAndItsRepetition) {
    relayedOffer(5000);
    relayReady(0);
    h.deliver(CMD_CONTACT_OFFLINE, [](OutPacket& out) { out.writeInt(kPeer); });
    EXPECT_EQ(transfer(), nullptr);
    EXPECT_EQ(files().strip(kPeer), nullptr);
    EXPECT_FALSE(files().timerRunning(kPeer, FileTransfer::kRepeatTimer));
    EXPECT_TRUE(shown().contains(U("对方已经脱机，文件 out.bin 的传送已中止！")));
}

TEST_F(FileTest, TheRelayAskStopsWhenThePeerNeverAnswers) {
    relayedOffer(10);
    for (int i = 1; i < FileTransfer::kMaxUnanswered; ++i) {
        fire(FileTransfer::kRelayAskTimer);
    }
    EXPECT_EQ(sent(CMD_FILE_RELAY_ASK).size(), 30u);
    fire(FileTransfer::kRelayAskTimer);
    EXPECT_EQ(transfer(), nullptr);
    EXPECT_TRUE(cancelSent());
}

TEST_F(FileTest, AFileThatCannotBeReadEndsTheTransferOnBothSidesWithItsReason) {
    const std::string file = relayedOffer(5000);
    std::remove(file.c_str());
    relayReady(0);
    EXPECT_TRUE(chunks().empty());
    EXPECT_TRUE(cancelSent());
    EXPECT_EQ(transfer(), nullptr);
    EXPECT_TRUE(shown().contains(U("文件 out.bin 无法读取（文件或文件夹不存在），传送已中止！")));
}

TEST_F(FileTest, AcceptingProposesOnlyThePlainNameAndListensForTheOfferingPeer) {
    offered(9, Gbk("../../x"));
    ASSERT_NE(chats().findChat(kPeer), nullptr);
    EXPECT_TRUE(shown().contains(
        U("对方发来文件 ../../x 传送请求,同意传送请点击 接受 拒绝传送请求点击 取消 ？")));
    CSendFileDlg* strip = files().strip(kPeer);
    ASSERT_NE(strip, nullptr);
    EXPECT_FALSE(strip->sending());
    EXPECT_EQ(strip->totals().text(), U("总计:9/0"));

    emit chat().notification(kAcceptFile); // the save dialog is cancelled
    EXPECT_TRUE(sent(CMD_FILE_ACCEPT).empty());
    accept(path("x"));
    EXPECT_EQ(h.ui.proposedNames, (std::vector<QString>{U("x"), U("x")}));
    EXPECT_EQ(h.ui.fileFilters.back(), U("* (*)"));
    EXPECT_TRUE(shown().contains(U("您已经接受了文件 ../../x 的传送！正在进行UDP直联请等待...")));
    const std::vector<Bytes> accepts = sent(CMD_FILE_ACCEPT);
    ASSERT_EQ(accepts.size(), 1u);
    BodyReader reader(accepts[0]);
    EXPECT_EQ(reader.in().u32(), kPeer);
    const PeerSession* listener = h.window().peers().findSession(kFileKind, 0);
    ASSERT_NE(listener, nullptr);
    EXPECT_EQ(reader.in().u16(), h.sockets.localPort(listener->socketHandle()));
    EXPECT_EQ(listener->acceptedPeer(), kPeer);
    // The session writes a temporary file beside the chosen one.
    EXPECT_TRUE(IsPartOf(h.window().GetTransferFilePath(kPeer), path("x")));
    EXPECT_EQ(h.window().GetTransferFileSize(kPeer), 9u);

    // Once accepted, the offer's links answer no more.
    emit chat().notification(kAcceptFile);
    EXPECT_EQ(h.ui.proposedNames.size(), 2u);
}

TEST_F(FileTest, ARelayedChunkIsWrittenOnlyWhereItContinuesTheFile) {
    const Bytes content = Content(5000);
    auto part = [&](std::size_t from, std::size_t length) {
        return Bytes(content.begin() + static_cast<std::ptrdiff_t>(from),
                     content.begin() + static_cast<std::ptrdiff_t>(from + length));
    };
    const std::string file = acceptedOffer(5000);
    struct Step {
        const char* what;
        uint32_t sent;
        Bytes data;
        uint32_t answer;
    };
    const Step steps[] = {
        {"first chunk", 2048, part(0, 2048), 2048},
        {"the same chunk again", 2048, part(0, 2048), 2048},
        {"a chunk after a gap", 5000, part(4096, 904), 2048},
        {"a count that does not match the length", 4000, part(2048, 2048), 2048},
        {"past the announced size", 5048, Bytes(3000, 1), 2048},
        {"second chunk", 4096, part(2048, 2048), 4096},
    };
    for (const Step& step : steps) {
        relayData(step.sent, step.data);
        EXPECT_EQ(answers(), std::vector<uint32_t>{step.answer}) << step.what;
    }
    files().strip(kPeer)->refresh();
    EXPECT_EQ(files().strip(kPeer)->totals().text(), U("总计:5000/4096"));
    EXPECT_EQ(files().strip(kPeer)->bar().value(), 4096);
    relayData(5000, part(4096, 904));
    EXPECT_EQ(answers(), std::vector<uint32_t>{5000});
    EXPECT_EQ(ReadFile(file), content);
    EXPECT_EQ(transfer(), nullptr);
    EXPECT_TRUE(lastLine() == U("已成功完成文件 报告.doc 的传送。"));
}

TEST_F(FileTest, AnEmptyFileComesThroughTheRelayAsOneEmptyChunk) {
    const std::string file = acceptedOffer(0);
    relayData(0, {});
    EXPECT_EQ(answers(), std::vector<uint32_t>{0});
    EXPECT_TRUE(Exists(file));
    EXPECT_EQ(ReadFile(file).size(), 0u);
    EXPECT_EQ(transfer(), nullptr);
}

TEST_F(FileTest, AFileThatCannotBeWrittenEndsTheTransferAndLeavesNoFile) {
    offered(5000, Gbk("a.txt"));
    accept(path("no_such_folder/a.txt"));
    relayData(2048, Content(2048));
    EXPECT_TRUE(answers().empty());
    EXPECT_TRUE(cancelSent());
    EXPECT_EQ(transfer(), nullptr);
    EXPECT_TRUE(shown().contains(U("文件 a.txt 无法写入（文件或文件夹不存在）")));

    // A direct session that cannot write is ended the same way; its half is removed.
    const std::string file = acceptedOffer(5000);
    const std::string part = h.window().GetTransferFilePath(kPeer);
    ASSERT_TRUE(IsPartOf(part, file));
    WriteFile(part, Bytes(100, 1)); // what the session wrote before it failed
    h.window().OnFileFailed(kPeer, 28);
    EXPECT_TRUE(cancelSent());
    EXPECT_FALSE(Exists(part));
    EXPECT_FALSE(Exists(file));
    EXPECT_TRUE(shown().contains(U("文件 报告.doc 无法写入（磁盘空间不足）")));
}

TEST_F(FileTest, CancellingFromEitherSideClosesTheStripAndRemovesTheHalfReceivedFile) {
    struct Case {
        const char* what;
        bool byPeer;
        const char* line;
    };
    for (const Case& c : {Case{"by the operator", false, "您已经取消了文件 报告.doc 的传送！"},
                          Case{"by the peer", true, "对方已经取消了文件 报告.doc 的传送！"}}) {
        const std::string file = acceptedOffer(5000);
        relayData(2048, Content(2048));
        ASSERT_EQ(partFiles().size(), 1u);
        ASSERT_FALSE(Exists(file));
        if (c.byPeer) {
            cancelledByPeer();
        } else {
            emit chat().notification(kCancelFile);
        }
        EXPECT_EQ(cancelSent(), !c.byPeer) << c.what;
        EXPECT_EQ(transfer(), nullptr) << c.what;
        EXPECT_EQ(files().strip(kPeer), nullptr) << c.what;
        EXPECT_FALSE(Exists(file)) << c.what;
        EXPECT_TRUE(partFiles().empty()) << c.what;
        EXPECT_TRUE(shown().contains(U(c.line))) << c.what;
        EXPECT_EQ(h.window().GetTransferFilePath(kPeer), "") << c.what;
        delete chats().findChat(kPeer);
        answers();
    }
}

// The operator goes offline in the middle: the transfer ends as with a peer that left, and the
// half of the file goes.
TEST_F(FileTest, GoingOfflineEndsTheTransferAndLeavesNoHalfFile) {
    const std::string file = acceptedOffer(5000);
    relayData(2048, Content(2048));
    EXPECT_EQ(partFiles().size(), 1u);
    EXPECT_FALSE(Exists(file)); // the chosen name waits for the whole file
    h.window().routeAllOffline();
    EXPECT_EQ(transfer(), nullptr);
    EXPECT_EQ(files().strip(kPeer), nullptr);
    EXPECT_TRUE(partFiles().empty());
    EXPECT_FALSE(Exists(file));
    EXPECT_TRUE(shown().contains(U("文件 报告.doc 的传送已中止！")));
}

TEST_F(FileTest, CancellingWhileTheRelayRepeatsStopsTheRepetition) {
    relayedOffer(5000);
    relayReady(0);
    chunks();
    emit chat().notification(kCancelFile);
    EXPECT_TRUE(cancelSent());
    EXPECT_FALSE(files().timerRunning(kPeer, FileTransfer::kRepeatTimer));
    EXPECT_TRUE(shown().contains(U("您已经取消了文件 out.bin 的传送！")));
}

TEST_F(FileTest, TheFileButtonAndClosingTheChatAskBeforeEndingTheTransfer) {
    relayedOffer(5000);
    // The file button while a transfer runs: No keeps it, Yes cancels it.
    chat().command(chat::kCmdFile);
    EXPECT_NE(transfer(), nullptr);
    h.ui.answerYes = true;
    chat().command(chat::kCmdFile);
    EXPECT_EQ(transfer(), nullptr);
    EXPECT_TRUE(cancelSent());
    EXPECT_EQ(h.ui.texts("question").size(), 2u);
    EXPECT_TRUE(h.ui.texts("question")[0].startsWith(U("是否确定取消当前的文件传送？")));

    relayedOffer(5000);
    h.ui.answerYes = false;
    chat().close();
    ASSERT_NE(chats().findChat(kPeer), nullptr);
    EXPECT_EQ(h.ui.texts("warning").back(), U(chat::kCloseWhileFile));
    h.ui.answerYes = true;
    chat().close();
    QCoreApplication::processEvents();
    EXPECT_EQ(chats().findChat(kPeer), nullptr);
    EXPECT_TRUE(cancelSent());
    EXPECT_EQ(files().transfer(kPeer), nullptr);
}

TEST_F(FileTest, ASecondOfferIsRefusedAndLeavesTheRunningTransferAlone) {
    const std::string file = acceptedOffer(5000);
    offered(7, Gbk("other.txt"));
    EXPECT_TRUE(cancelSent());
    EXPECT_TRUE(shown().contains(
        U("对方发来文件 other.txt 传送请求，当前的文件传送尚未结束，已拒绝该请求。")));
    EXPECT_EQ(h.window().GetTransferFileSize(kPeer), 5000u);
    EXPECT_TRUE(IsPartOf(h.window().GetTransferFilePath(kPeer), file));
    EXPECT_EQ(transfer()->name(), Gbk("报告.doc"));
}

TEST_F(FileTest, AcceptingASecondContactsFileLeavesTheFirstContactsListenerAlone) {
    acceptedOffer(5000);
    const PeerSession* listener = h.window().peers().findSession(kFileKind, 0);
    ASSERT_NE(listener, nullptr);
    offered(7, Gbk("b.txt"), kOther);
    accept(path("b.txt"), kOther);
    const std::vector<Bytes> accepts = sent(CMD_FILE_ACCEPT);
    ASSERT_EQ(accepts.size(), 2u);
    BodyReader reader(accepts[1]);
    EXPECT_EQ(reader.in().u32(), kOther);
    EXPECT_EQ(reader.in().u16(), 0); // no listener: the relay carries it
    EXPECT_EQ(h.window().peers().findSession(kFileKind, 0), listener);
    EXPECT_EQ(listener->acceptedPeer(), kPeer);
}

TEST_F(FileTest, OnceOnePathStartedTheOtherIsShut) {
    // Sending: the relay's first answer closes the direct session being connected.
    online(kPeer, true);
    const std::string file = path("out.bin");
    WriteFile(file, Content(5000));
    offer(file);
    peerAccepted(4000);
    ASSERT_NE(h.window().peers().findSession(kFileKind, kPeer), nullptr);
    fire(FileTransfer::kRelayAskTimer);
    relayReady(0);
    EXPECT_EQ(h.window().peers().findSession(kFileKind, kPeer), nullptr);
    EXPECT_EQ(chunks().size(), 1u);
    // Progress of a direct session that would still report is not the transfer's.
    h.window().OnFileProgress(kPeer, 5000, 4096);
    EXPECT_EQ(transfer()->done(), 2048u);
    emit chat().notification(kCancelFile);
    delete chats().findChat(kPeer);

    // Receiving: the first relayed chunk closes the listener, so no direct session can start.
    acceptedOffer(5000);
    ASSERT_NE(h.window().peers().findSession(kFileKind, 0), nullptr);
    relayData(2048, Content(2048));
    EXPECT_EQ(h.window().peers().findSession(kFileKind, 0), nullptr);
    EXPECT_EQ(h.window().GetTransferFilePath(kPeer), "");

    emit chat().notification(kCancelFile);
    answers();

    // And the other way: once the direct session writes, relayed chunks are dropped unanswered.
    acceptedOffer(5000);
    h.window().OnFileProgress(kPeer, 5000, 2048);
    relayData(2048, Content(2048));
    EXPECT_TRUE(answers().empty());
    EXPECT_EQ(transfer()->phase(), FileTransfer::Phase::Direct);
}

} // namespace
} // namespace talmor::testing
