// File transfer end to end: operators 1024 (A, sending) and 1025 (B, receiving), each a whole
// console in this process, against a quorvane-server of their own. Files are compared by their
// SHA-256; the displays, strips and the server's request log say which path carried them.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <memory>

#include "console/talmormanagerdlg.h"
#include "kit/appfolders.h"
#include "media/file/filepart.h"
#include "media/file/filetransfer.h"
#include "protocol/commands.h"
#include "protocol/peersession.h"
#include "protocol/peersessionmanager.h"
#include "protocol/platformclient.h"
#include "support/controlclient.h"
#include "support/eventloop.h"
#include "support/fileconsole.h"
#include "support/lossyproxy.h"
#include "support/qtapp.h"
#include "support/serverprocess.h"

namespace talmor {
namespace {

using e2e::FileConsole;
using e2e::waitFor;
using testing::U;

constexpr uint32_t kA = 1024;
constexpr uint32_t kB = 1025;
constexpr int kLoginMs = 30000;

class FileEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        testing::EnsureApplication();
        QString error;
        ASSERT_TRUE(server.start(QStringLiteral(TALMOR_DEMO_SEED), error)) << error.toStdString();
        setApplicationFolders({folder.path(), folder.path()});
        ASSERT_TRUE(QDir().mkpath(dir(QStringLiteral("in"))));
    }
    void TearDown() override {
        a.reset();
        b.reset();
        server.stop();
    }
    QString dir(const QString& name) { return QString::fromStdString(folder.path()) + name; }

    // Both consoles log in; `address` is what B announces ("real" or "none"), and A goes
    // through `proxy` when one is given. `timeFactor` speeds up the transfers' timers.
    void start(const char* address, e2e::LossyProxy* proxy = nullptr, int timeFactor = 1) {
        control = std::make_unique<e2e::ControlClient>(server.httpPort());
        for (uint32_t id : {kA, kB}) {
            ASSERT_TRUE(control->post(QStringLiteral("/api/address?operator=%1&mode=%2")
                                          .arg(id)
                                          .arg(QString::fromLatin1(address))));
        }
        b = std::make_unique<FileConsole>(server.udpPort(), server.httpPort(), timeFactor);
        a = std::make_unique<FileConsole>(proxy != nullptr ? proxy->port() : server.udpPort(),
                                          server.httpPort(), timeFactor);
        ASSERT_TRUE(b->login(kB, "talmor1025", kA));
        ASSERT_TRUE(a->login(kA, "talmor1024", kB));
        auto online = [](FileConsole& console, uint32_t peer) {
            const ContactRecord* record = console.window().contacts().find(peer);
            return record != nullptr && record->status == kStatusOnline;
        };
        ASSERT_TRUE(waitFor([&] { return online(*a, kB) && online(*b, kA); }, kLoginMs));
    }
    // A offers `path`; B accepts it into in/<name>. Returns where B saves it.
    QString offerAndAccept(const QString& path) {
        a->offer(kB, path);
        EXPECT_TRUE(waitFor([this] { return b->files().transfer(kA) != nullptr; }, 10000));
        const QString target = dir(QStringLiteral("in/")) + QFileInfo(path).fileName();
        b->accept(kA, target);
        return target;
    }
    bool bothOver() {
        return a->files().transfer(kB) == nullptr && b->files().transfer(kA) == nullptr;
    }
    // Requests of `command` that A sent through the server.
    std::size_t sentByA(uint16_t command) { return control->loggedBodies(kA, command).size(); }

    testing::TempFolder folder;
    e2e::ServerProcess server;
    std::unique_ptr<e2e::ControlClient> control;
    std::unique_ptr<FileConsole> a;
    std::unique_ptr<FileConsole> b;
};

TEST_F(FileEndToEnd, DirectFilesArriveWholeAndBothSidesSaySo) {
    start("real");
    for (const qint64 size : {qint64{0}, qint64{2048}, qint64{2049}, qint64{10} << 20}) {
        const QString name = QStringLiteral("direct_%1.bin").arg(size);
        const QString source = dir(name);
        ASSERT_TRUE(e2e::WritePatternFile(source, size, static_cast<uint32_t>(size)));
        const QString target = offerAndAccept(source);
        ASSERT_TRUE(waitFor([this] { return bothOver(); }, 60000)) << size;
        EXPECT_EQ(e2e::FileSha256(target), e2e::FileSha256(source)) << size;
        const QString done = U("已成功完成文件 ") + name + U(" 的传送。");
        EXPECT_TRUE(a->shown(kB).contains(done)) << size;
        EXPECT_TRUE(b->shown(kA).contains(done)) << size;
        EXPECT_EQ(a->files().strip(kB), nullptr);
        EXPECT_EQ(b->files().strip(kA), nullptr);
    }
    EXPECT_EQ(sentByA(CMD_FILE_RELAY_DATA), 0u);
}

TEST_F(FileEndToEnd, WithoutAnAddressTheServerRelaysTheFileWhole) {
    start("none");
    const QString source = dir(QStringLiteral("relayed.bin"));
    ASSERT_TRUE(e2e::WritePatternFile(source, 1 << 20, 7));
    const QString target = offerAndAccept(source);
    ASSERT_TRUE(waitFor([this] { return bothOver(); }, 120000));
    EXPECT_EQ(e2e::FileSha256(target), e2e::FileSha256(source));
    EXPECT_TRUE(b->shown(kA).contains(U("已成功完成文件 relayed.bin 的传送。")));
    EXPECT_TRUE(a->shown(kB).contains(U("已成功完成文件 relayed.bin 的传送。")));
    EXPECT_GE(sentByA(CMD_FILE_RELAY_DATA), 512u);
}

TEST_F(FileEndToEnd, TheRelayRecoversFromTenPercentLossEachWay) {
    e2e::LossyProxy proxy(server.udpPort(), 0, 0, 1218);
    ASSERT_NE(proxy.port(), 0);
    // The timers of the transfers run 20 times faster: a lost chunk waits 100 ms, not 2 s.
    start("none", &proxy, 20);
    proxy.setDropPercent(10);
    const QString source = dir(QStringLiteral("lossy.bin"));
    ASSERT_TRUE(e2e::WritePatternFile(source, 1 << 20, 11));
    const QString target = offerAndAccept(source);
    ASSERT_TRUE(waitFor([this] { return bothOver(); }, 240000));
    EXPECT_EQ(e2e::FileSha256(target), e2e::FileSha256(source));
    EXPECT_TRUE(b->shown(kA).contains(U("已成功完成文件 lossy.bin 的传送。")));
    EXPECT_GT(proxy.dropped, 0);
    const std::size_t chunks = sentByA(CMD_FILE_RELAY_DATA);
    EXPECT_GT(chunks, 512u); // some were repeated
    std::printf("lossy relay: %d datagrams dropped, %zu chunk requests for 512 chunks\n",
                proxy.dropped, chunks);
}

TEST_F(FileEndToEnd, CancellingMidTransferEndsItOnBothSidesOnEitherPath) {
    struct Case {
        const char* address;
        bool bySender;
    };
    for (const Case& c :
         {Case{"real", true}, Case{"real", false}, Case{"none", true}, Case{"none", false}}) {
        const std::string what = std::string(c.address) + (c.bySender ? " sender" : " receiver");
        a.reset();
        b.reset();
        start(c.address);
        const QString source = dir(QStringLiteral("big.bin"));
        ASSERT_TRUE(e2e::WritePatternFile(source, 16 << 20, 3));
        const QString target = offerAndAccept(source);
        ASSERT_TRUE(waitFor(
            [this] {
                const FileTransfer* t = b->files().transfer(kA);
                return t != nullptr && t->done() > 0;
            },
            30000))
            << what;
        (c.bySender ? a->cancel(kB) : b->cancel(kA));
        ASSERT_TRUE(waitFor([this] { return bothOver(); }, 20000)) << what;
        const QString own = U("您已经取消了文件 big.bin 的传送！");
        const QString peer = U("对方已经取消了文件 big.bin 的传送！");
        EXPECT_TRUE((c.bySender ? a : b)->shown(c.bySender ? kB : kA).contains(own)) << what;
        EXPECT_TRUE((c.bySender ? b : a)->shown(c.bySender ? kA : kB).contains(peer)) << what;
        EXPECT_EQ(a->files().strip(kB), nullptr) << what;
        EXPECT_EQ(b->files().strip(kA), nullptr) << what;
        EXPECT_FALSE(QFile::exists(target)) << what;
        EXPECT_FALSE(a->shown(kB).contains(U("已成功完成"))) << what;
        EXPECT_FALSE(b->shown(kA).contains(U("已成功完成"))) << what;
    }
}

// The direct session breaks off in the middle: the receiver ends the transfer with a notice,
// and the file the operator chose to overwrite stays as it was until then, with no part of the
// new one left beside it.
TEST_F(FileEndToEnd, ADirectSessionCutOffEndsTheTransferAndKeepsTheOldFile) {
    start("real");
    const QString source = dir(QStringLiteral("big.bin"));
    ASSERT_TRUE(e2e::WritePatternFile(source, 20 << 20, 9));
    const QString target = dir(QStringLiteral("in/big.bin"));
    {
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the file that was there before");
    }
    const QByteArray before = e2e::FileSha256(target);
    ASSERT_EQ(offerAndAccept(source), target);
    ASSERT_TRUE(waitFor(
        [this] {
            const FileTransfer* t = b->files().transfer(kA);
            return t != nullptr && t->done() > 0;
        },
        30000));
    EXPECT_EQ(e2e::FileSha256(target), before); // kept while the new one is on its way
    a->window().peers().closeSessions(kFileKind, kB);
    ASSERT_TRUE(waitFor([this] { return b->files().transfer(kA) == nullptr; }, 20000));
    EXPECT_TRUE(b->shown(kA).contains(U("与对方的连接已断开，文件 big.bin 的传送已中止！")));
    EXPECT_EQ(b->files().strip(kA), nullptr);
    EXPECT_EQ(e2e::FileSha256(target), before);
    EXPECT_EQ(QDir(dir(QStringLiteral("in"))).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("big.bin")});
}

TEST_F(FileEndToEnd, AnOfferNamedWithFoldersIsSavedUnderItsPlainName) {
    start("real");
    const QString source = dir(QStringLiteral("payload.bin"));
    ASSERT_TRUE(e2e::WritePatternFile(source, 5000, 5));
    // A peer that names its file "../../x" (not this console's own offer).
    a->window().client().fileOffer(kB, 5000, "../../x");
    ASSERT_TRUE(waitFor([this] { return b->files().transfer(kA) != nullptr; }, 10000));
    b->accept(kA, QString());
    ASSERT_EQ(b->ui.proposedNames.size(), 1u);
    EXPECT_EQ(b->ui.proposedNames.back(), QStringLiteral("x"));
    b->accept(kA, dir(QStringLiteral("in/")) + b->ui.proposedNames.back());
    // The peer sends its bytes to the port B accepted with.
    std::vector<QByteArray> accepts;
    ASSERT_TRUE(waitFor(
        [&] {
            accepts = control->loggedBodies(kB, CMD_FILE_ACCEPT);
            return !accepts.empty();
        },
        10000));
    const QByteArray& body = accepts.back();
    ASSERT_GE(body.size(), 6);
    const uint16_t port =
        static_cast<uint16_t>((static_cast<uint8_t>(body[4]) << 8) | static_cast<uint8_t>(body[5]));
    ASSERT_NE(port, 0);
    ASSERT_TRUE(a->window().peers().startFileTransfer(kB, port, 5000,
                                                      QFile::encodeName(source).toStdString()));
    ASSERT_TRUE(waitFor([this] { return b->files().transfer(kA) == nullptr; }, 20000));
    EXPECT_EQ(e2e::FileSha256(dir(QStringLiteral("in/x"))), e2e::FileSha256(source));
    EXPECT_EQ(QDir(dir(QStringLiteral("in"))).entryList(QDir::Files), QStringList{"x"});
    EXPECT_FALSE(QFile::exists(QString::fromStdString(folder.path()) + "../x"));
    EXPECT_TRUE(b->shown(kA).contains(U("已成功完成文件 ../../x 的传送。")));
}

} // namespace
} // namespace talmor
