// A start URL holds an operator's password: the hand-over to the running console goes through
// a socket in a folder of the operator's alone, only to a console of the same user, and the
// running console's command line no longer shows the password once read.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "console/consoleenvironment.h"
#include "console/loginwaitdlg.h"
#include "console/starturl.h"
#include "console/starturlhandover.h"
#include "console/talmormanagerapp.h"
#include "console/talmormanagerdlg.h"
#include "support/consoleharness.h"
#include "support/qtapp.h"

namespace talmor {
namespace {

TEST(StartUrlHandover, ThePasswordLeavesTheVisibleCommandLineOnceRead) {
    struct Case {
        std::vector<std::string> arguments;
        std::vector<std::string> shown;
        std::string password; // as read before
    };
    const Case cases[] = {
        {{"quorvane://login/?uid=1024&pw=talmor1024"},
         {"quorvane://login/?uid=1024&*************"},
         "talmor1024"},
        {{"quorvane://login/?uid=7&pw=a", "b&c"},
         {"quorvane://login/?uid=7&****", "***"},
         "a\" \"b&c"},
        {{"quorvane://login/?uid=7"}, {"quorvane://login/?uid=7"}, ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> held = c.arguments;
        std::vector<char*> argv{const_cast<char*>("talmormanager")};
        for (std::string& argument : held) {
            argv.push_back(argument.data());
        }
        const int argc = static_cast<int>(argv.size());
        const std::string read = RawCommandLine(argc, argv.data());
        HideStartUrlPassword(argc, argv.data());
        for (std::size_t i = 0; i < c.shown.size(); ++i) {
            EXPECT_STREQ(argv[i + 1], c.shown[i].c_str());
        }
        EXPECT_EQ(ParseStartUrl(read).password, c.password);
    }
}

TEST(StartUrlHandover, TheSocketLiesInAFolderOfTheOperatorsAlone) {
    QTemporaryDir runtime;
    const std::string closed = runtime.filePath("closed").toStdString();
    const std::string open = runtime.filePath("open").toStdString();
    ASSERT_EQ(::mkdir(closed.c_str(), 0700), 0);
    ASSERT_EQ(::mkdir(open.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(open.c_str(), 0777), 0);
    const std::string data = "/home/op/.local/share/talmormanager/";
    struct Case {
        const char* why;
        const char* runtime;
        bool inRuntime; // else in the data folder
    };
    const Case cases[] = {
        {"a private runtime folder", closed.c_str(), true},
        {"a runtime folder others may enter", open.c_str(), false},
        {"no runtime folder", nullptr, false},
        {"a relative runtime folder", "run", false},
        {"a runtime folder that is missing", "/nonexistent-runtime", false},
    };
    for (const Case& c : cases) {
        const QString name = StartUrlHandover::ServerName(data, c.runtime);
        if (c.inRuntime) {
            EXPECT_TRUE(name.startsWith(QString::fromStdString(closed) + "/talmormanager-"))
                << c.why << ": " << name.toStdString();
        } else {
            EXPECT_EQ(name, QString::fromStdString(data) + "talmormanager.handover") << c.why;
        }
    }
    // Two data folders never share a socket.
    EXPECT_NE(StartUrlHandover::ServerName("/a/", closed.c_str()),
              StartUrlHandover::ServerName("/b/", closed.c_str()));
}

TEST(StartUrlHandover, AConsoleOfTheSameUserGetsTheUrl) {
    testing::EnsureApplication();
    QTemporaryDir folder;
    const QString name = folder.filePath("handover");
    StartUrlHandover listener;
    std::string received;
    ASSERT_TRUE(listener.listen(name, [&](const std::string& line) { received = line; }));
    bool confirmed = false;
    std::thread launch([&] {
        confirmed = StartUrlHandover::handOver(name, "\"quorvane://login/?uid=7&pw=x\"", 10000);
    });
    while (received.empty()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    launch.join();
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(received, "\"quorvane://login/?uid=7&pw=x\"");
}

// What a listener of another user read from the one connection it took, within a few seconds.
class ForeignListener {
public:
    explicit ForeignListener(const std::string& path) {
        int result[2];
        if (::pipe(result) != 0) {
            return;
        }
        ready_ = result[0];
        child_ = ::fork();
        if (child_ == 0) {
            ::close(result[0]);
            serve(path, result[1]);
            ::_exit(0);
        }
        ::close(result[1]);
        char mark = 0;
        listening_ = ::read(ready_, &mark, 1) == 1;
    }
    ~ForeignListener() {
        if (child_ > 0) {
            ::waitpid(child_, nullptr, 0);
        }
        if (ready_ >= 0) {
            ::close(ready_);
        }
    }
    bool listening() const { return listening_; }
    // Everything the listener read, once it is done.
    std::string read() {
        std::string bytes;
        char buffer[256];
        for (ssize_t got; (got = ::read(ready_, buffer, sizeof buffer)) > 0;) {
            bytes.append(buffer, static_cast<std::size_t>(got));
        }
        return bytes;
    }

private:
    // In the child: becomes nobody, listens at `path`, says so, then passes on what it reads.
    static void serve(const std::string& path, int out) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
            return;
        }
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un name{};
        name.sun_family = AF_UNIX;
        std::strncpy(name.sun_path, path.c_str(), sizeof name.sun_path - 1);
        if (::bind(fd, reinterpret_cast<sockaddr*>(&name), sizeof name) != 0 ||
            ::listen(fd, 1) != 0 || ::write(out, "L", 1) != 1) {
            return;
        }
        pollfd waiting{fd, POLLIN, 0};
        if (::poll(&waiting, 1, 5000) != 1) {
            return;
        }
        const int connection = ::accept(fd, nullptr, nullptr);
        char buffer[4096];
        pollfd reading{connection, POLLIN, 0};
        while (::poll(&reading, 1, 2000) == 1) {
            const ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
            if (got <= 0 || ::write(out, buffer, static_cast<std::size_t>(got)) != got) {
                break;
            }
        }
    }

    pid_t child_ = -1;
    int ready_ = -1;
    bool listening_ = false;
};

TEST(StartUrlHandover, NothingGoesToAListenerThatAnotherUserRuns) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to play another user";
    }
    testing::EnsureApplication();
    QTemporaryDir folder;
    ASSERT_EQ(::chmod(folder.path().toLocal8Bit().constData(), 0777), 0);
    const QString name = folder.filePath("taken-first");
    ForeignListener foreign(name.toStdString());
    ASSERT_TRUE(foreign.listening());
    EXPECT_FALSE(StartUrlHandover::handOver(name, "\"quorvane://login/?uid=7&pw=secret\"", 3000));
    EXPECT_EQ(foreign.read().find("secret"), std::string::npos);
}

// A link handed over from a web page or another program: a console that was logged in as one
// operator only switches to another once the operator said yes.
TEST(StartUrlHandover, ALinkForAnotherOperatorSwitchesOnlyOnTheOperatorsYes) {
    testing::EnsureApplication();
    for (const bool yes : {false, true}) {
        testing::TempFolder home;
        ::setenv("TALMOR_HOME", home.path().c_str(), 1);
        testing::MemorySockets sockets;
        testing::PendingResolver resolver;
        testing::FakeTimers timers;
        testing::FakeClock clock;
        testing::FakeRandom random;
        testing::FakeUi ui;
        const ConsoleEnvironment environment{sockets, resolver, timers, clock, random};
        CTalmorManagerApp app;
        ASSERT_TRUE(app.InitInstance("\"quorvane://login/?uid=1024&pw=pw1024\"", home.path(), ui,
                                     environment, false, {}));
        CTalmorManagerDlg& window = *app.mainWindow();
        ASSERT_EQ(window.operatorId(), 1024u);
        delete window.loginWait(); // the login is over, and the console is not logged in now

        ui.answerYes = yes;
        app.receiveStartUrl("\"quorvane://login/?uid=1025&pw=pw1025\"");
        ASSERT_EQ(ui.texts("ask").size(), 1u) << yes;
        EXPECT_TRUE(ui.texts("ask").back().contains("1025")) << yes;
        EXPECT_EQ(window.operatorId(), yes ? 1025u : 1024u);

        // A link for the operator it was logged in as logs in without a question.
        delete window.loginWait();
        const uint32_t current = window.operatorId();
        app.receiveStartUrl("\"quorvane://login/?uid=" + std::to_string(current) + "&pw=p\"");
        EXPECT_EQ(ui.texts("ask").size(), 1u) << yes;
        EXPECT_NE(window.loginWait(), nullptr) << yes;
        ::unsetenv("TALMOR_HOME");
    }
}

} // namespace
} // namespace talmor
