// Test runs keep their traffic on the machine: with TALMOR_LOOPBACK_ONLY set, a console pointed
// at any other address stops with a report before a packet leaves.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "support/consoleprocess.h"

namespace talmor::e2e {
namespace {

TEST(LoopbackGuard, AConsolePointedAtAnAddressOffTheMachineStopsBeforeSending) {
    // Nothing listens: the console must stop before its first login datagram goes anywhere.
    ConsoleHome home(8000, 8080);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ini = dir.filePath("far.ini");
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    // A documentation address: exactly what a careless test might point a console at.
    file.write("[server]\nprimary=192.0.2.1\nbackup=192.0.2.1\nport=8000\n");
    file.close();
    QProcessEnvironment environment = home.environment();
    environment.insert("TALMOR_CONFIG", ini);
    environment.insert("TALMOR_LOOPBACK_ONLY", "1");

    MarkedProcess console;
    console.start(TALMOR_CONSOLE_BINARY, {"quorvane://login/?uid=1024&pw=talmor1024"}, environment);
    ASSERT_TRUE(console.process().waitForFinished(120000)) << console.output().toStdString();
    EXPECT_FALSE(console.process().exitStatus() == QProcess::NormalExit &&
                 console.process().exitCode() == 0);
    EXPECT_TRUE(console.output().contains("loopback guard: refused") &&
                console.output().contains("192.0.2.1:8000"))
        << console.output().toStdString();
}

} // namespace
} // namespace talmor::e2e
