// The handling journal after a crash: a console killed with SIGKILL right after the server
// confirmed a call's report still holds every step of that call, in order.
#include <gtest/gtest.h>

#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <vector>

#include <sys/types.h>

#include "storage/calljournal.h"
#include "storage/datafiles.h"
#include "support/controlclient.h"
#include "support/eventloop.h"
#include "support/qtapp.h"
#include "support/serverprocess.h"

namespace talmor::e2e {
namespace {

constexpr int kTimeoutMs = 60000;

TEST(JournalEndToEnd, StepsOfAReportedCallSurviveAKillRightAfterTheConfirmation) {
    testing::EnsureApplication();
    QString error;
    ServerProcess server;
    ASSERT_TRUE(server.start(TALMOR_DEMO_SEED, error)) << error.toStdString();
    ControlClient control(server.httpPort());
    QTemporaryDir home;
    QProcess console;
    console.start(TALMOR_JOURNAL_CHILD, {QString::number(server.udpPort()),
                                         QString::number(server.httpPort()), home.path()});
    QString said;
    const auto saw = [&](const QString& line) {
        said += QString::fromUtf8(console.readAllStandardOutput());
        return said.contains(line);
    };
    ASSERT_TRUE(waitFor([&] { return saw("ready\n"); }, kTimeoutMs)) << said.toStdString();
    const auto answer = control.post("/api/calls/inject?category=1&user=2008");
    ASSERT_TRUE(answer);
    const auto callId = static_cast<uint32_t>(answer->object().value("callId").toInt());
    const QString confirmed = QString("confirmed %1\n").arg(callId);
    ASSERT_TRUE(waitFor([&] { return saw(confirmed); }, kTimeoutMs)) << said.toStdString();
    ASSERT_EQ(::kill(static_cast<pid_t>(console.processId()), SIGKILL), 0);
    ASSERT_TRUE(console.waitForFinished(kTimeoutMs));
    EXPECT_EQ(console.exitStatus(), QProcess::CrashExit);

    storage::CallJournal journal;
    ASSERT_TRUE(journal.open(
        storage::JoinPath(home.path().toStdString() + "/User/1024/", storage::kCallJournalFile)));
    storage::JournalFilter filter;
    filter.callId = callId;
    std::vector<storage::JournalEntry> entries;
    ASSERT_TRUE(journal.query(filter, entries));
    std::vector<storage::JournalStep> steps;
    for (const storage::JournalEntry& entry : entries) {
        steps.push_back(entry.step);
        EXPECT_EQ(entry.callerId, 2008u);
        EXPECT_EQ(entry.category, 1);
    }
    using storage::JournalStep;
    EXPECT_EQ(steps, (std::vector<JournalStep>{JournalStep::Arrived, JournalStep::SoundPlayed,
                                               JournalStep::Shown, JournalStep::Taken,
                                               JournalStep::ReportSaved, JournalStep::Confirmed}));
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(entries[4].detail, testing::Gbk("已送医"));
    for (std::size_t i = 1; i < entries.size(); ++i) {
        EXPECT_GE(entries[i].timeMs, entries[i - 1].timeMs);
    }
}

} // namespace
} // namespace talmor::e2e
