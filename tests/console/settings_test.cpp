#include <gtest/gtest.h>

#include <QFile>

#include "console/webpane.h"
#include "kit/appfolders.h"
#include "kit/deployment.h"
#include "support/qtapp.h"

namespace talmor {
namespace {

using testing::TempFolder;

void Write(const std::string& path, const char* text) {
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

TEST(DeploymentTest, MissingFileKeepsTheLocalDefaults) {
    const Deployment d = LoadDeployment("/nonexistent/talmormanager.ini");
    EXPECT_EQ(d.primaryServer, "127.0.0.1");
    EXPECT_EQ(d.backupServer, "127.0.0.1");
    EXPECT_EQ(d.port, 8000);
    EXPECT_EQ(d.backOfficeBase(), "http://127.0.0.1:8080/");
}

TEST(DeploymentTest, ReadsServersSitesAndIgnoresCommentsAndBadPorts) {
    TempFolder folder;
    const std::string path = folder.path() + "t.ini";
    Write(path, "[server]\n"
                "primary=127.1.2.3      ; dotted address or host name\n"
                "backup=backup.example\n"
                "port=70000\n"
                "[web]\n"
                "backoffice=office.example:81/\n"
                "public=http://www.example/\n");
    const Deployment d = LoadDeployment(QString::fromStdString(path));
    EXPECT_EQ(d.server(0), "127.1.2.3");
    EXPECT_EQ(d.server(1), "backup.example");
    EXPECT_EQ(d.port, 8000) << "a port beyond 65535 keeps the default";
    EXPECT_EQ(d.backOfficeBase(), "http://office.example:81/");
    EXPECT_EQ(d.publicSite, "http://www.example");

    Write(path, "[server]\nport=9123\n");
    EXPECT_EQ(LoadDeployment(QString::fromStdString(path)).port, 9123);
}

TEST(DeploymentTest, SoundDevicesAreNamedOrTheSystemDefault) {
    TempFolder folder;
    const std::string path = folder.path() + "t.ini";
    Write(path, "[audio]\ninput=tone\noutput=b\n");
    const Deployment named = LoadDeployment(QString::fromStdString(path));
    EXPECT_EQ(named.audioInput, "tone");
    EXPECT_EQ(named.audioOutput, "b");
    Write(path, "[audio]\ninput=\n");
    const Deployment unnamed = LoadDeployment(QString::fromStdString(path));
    EXPECT_TRUE(unnamed.audioInput.isEmpty());
    EXPECT_TRUE(unnamed.audioOutput.isEmpty());
}

TEST(DeploymentTest, ConfigVariableNamesTheFile) {
    EXPECT_EQ(DeploymentFile("/app/", "/etc/t.ini"), "/etc/t.ini");
    EXPECT_EQ(DeploymentFile("/app/", ""), "/app/talmormanager.ini");
    EXPECT_EQ(DeploymentFile("/app/", nullptr), "/app/talmormanager.ini");
}

TEST(FolderTest, HomeVariableThenWritableProgramFolderThenDataHome) {
    FolderChoice home = ChooseApplicationFolder("/opt/t/bin", "/tmp/h", "/x", "/root", true);
    EXPECT_EQ(home.applicationFolder, "/tmp/h/");
    EXPECT_EQ(home.assetFolder, "/opt/t/bin/");

    FolderChoice beside = ChooseApplicationFolder("/opt/t/bin/", "", "/x", "/root", true);
    EXPECT_EQ(beside.applicationFolder, "/opt/t/bin/");
    EXPECT_EQ(beside.assetFolder, "/opt/t/bin/");

    FolderChoice data = ChooseApplicationFolder("/usr/bin", nullptr, "/data", "/root", false);
    EXPECT_EQ(data.applicationFolder, "/data/TalmorManager/");
    EXPECT_EQ(data.assetFolder, "/usr/share/talmormanager/");

    FolderChoice noXdg = ChooseApplicationFolder("/usr/bin", nullptr, nullptr, "/home/op", false);
    EXPECT_EQ(noXdg.applicationFolder, "/home/op/.local/share/TalmorManager/");
}

// An installed program never writes into its own folder, writable or not (run as root); only
// one run from its build or source tree does.
TEST(FolderTest, OnlyAConsoleRunFromItsBuildOrSourceTreeKeepsItsDataBesideTheProgram) {
    const std::vector<std::string> trees = {"/work/t/build", "/work/t"};
    struct Case {
        const char* folder;
        bool writable;
        bool inPlace;
    };
    const Case cases[] = {
        {"/work/t/build/console", true, true},   {"/work/t/build/console/", true, true},
        {"/work/t/build", true, true},           {"/work/t/tools", true, true},
        {"/work/t/build/console", false, false}, {"/usr/local/bin", true, false},
        {"/work/tx/build/console", true, false}, {"/work/t/build/../../other", true, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RunsInPlace(c.folder, c.writable, trees), c.inPlace) << c.folder;
    }
    EXPECT_FALSE(RunsInPlace("/usr/local/bin", true, {""}));
    const FolderChoice installed = ChooseApplicationFolder(
        "/usr/local/bin", nullptr, "/data", "/root", RunsInPlace("/usr/local/bin", true, trees));
    EXPECT_EQ(installed.applicationFolder, "/data/TalmorManager/");
    EXPECT_EQ(installed.assetFolder, "/usr/local/share/talmormanager/");
}

TEST(FolderTest, MakeUserFolderCreatesTheOperatorsFolder) {
    TempFolder folder;
    setApplicationFolders({folder.path(), folder.path()});
    const std::string user = MakeUserFolder(1024);
    EXPECT_EQ(user, folder.path() + "User/1024/");
    EXPECT_TRUE(QFile::exists(QString::fromStdString(user)));
    EXPECT_EQ(MakeUserFolder(1024), user) << "an existing folder is fine";
}

TEST(BrowserTest, RootGetsPagesOnlyWithTheSandboxTurnedOff) {
    EXPECT_TRUE(BrowserAllowed(false, nullptr));
    EXPECT_FALSE(BrowserAllowed(true, nullptr));
    EXPECT_FALSE(BrowserAllowed(true, ""));
    EXPECT_TRUE(BrowserAllowed(true, "1"));
}

} // namespace
} // namespace talmor
