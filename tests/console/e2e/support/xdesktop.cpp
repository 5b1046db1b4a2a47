#include "support/xdesktop.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include "support/eventloop.h"

namespace talmor::e2e {

namespace {

constexpr int kStartTimeoutMs = 15000;
constexpr int kToolTimeoutMs = 10000;

// The band for the panel and the title bar's double click; the rest is the window manager's
// default.
QByteArray ManagerConfig(int panelHeight) {
    return QString("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                   "<openbox_config xmlns=\"http://openbox.org/3.4/rc\">\n"
                   "  <margins><top>0</top><bottom>%1</bottom><left>0</left><right>0</right>"
                   "</margins>\n"
                   "  <mouse><doubleClickTime>500</doubleClickTime><context name=\"Titlebar\">"
                   "<mousebind button=\"Left\" action=\"DoubleClick\">"
                   "<action name=\"ToggleMaximize\"/></mousebind></context></mouse>\n"
                   "</openbox_config>\n")
        .arg(panelHeight)
        .toUtf8();
}

std::optional<long> Field(const QString& text, const QString& name) {
    const QRegularExpression pattern(QRegularExpression::escape(name) +
                                     ":\\s*(0x[0-9a-f]+|-?[0-9]+)");
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    bool ok = false;
    const long value = match.captured(1).toLong(&ok, 0);
    return ok ? std::optional<long>(value) : std::nullopt;
}

std::vector<unsigned long> Ids(const QString& lines) {
    std::vector<unsigned long> ids;
    for (const QString& line : lines.split('\n', Qt::SkipEmptyParts)) {
        bool ok = false;
        const unsigned long id = line.trimmed().toULong(&ok);
        if (ok) {
            ids.push_back(id);
        }
    }
    return ids;
}

void Stop(QProcess& process) {
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
}

} // namespace

XDesktop::~XDesktop() {
    Stop(manager_);
    Stop(server_);
}

bool XDesktop::start(const QSize& screen, int panelHeight, QString& error) {
    ensureApplication();
    screen_ = screen;
    const QString size = QString("%1x%2x24").arg(screen.width()).arg(screen.height());
    // The server picks a display nobody holds and names it on its output: two tests that
    // looked for a free one themselves at the same moment could pick the same one, and the
    // second would take the first one's socket for its own.
    // Without -noreset the server starts over each time its last client leaves, and a client
    // that comes meanwhile is turned away: the window manager after the readiness check below.
    server_.start("Xvfb", {"-displayfd", "1", "-screen", "0", size, "-nolisten", "tcp", "-dpi",
                           "96", "-noreset"});
    QByteArray said;
    waitFor(
        [&] {
            said += server_.readAllStandardOutput();
            return said.contains('\n') || server_.state() == QProcess::NotRunning;
        },
        kStartTimeoutMs);
    bool numbered = false;
    const int display = said.trimmed().toInt(&numbered);
    if (!numbered || server_.state() == QProcess::NotRunning) {
        error = "Xvfb did not start: " + server_.errorString() + " " +
                QString::fromUtf8(server_.readAllStandardError());
        Stop(server_);
        return false;
    }
    display_ = QString(":%1").arg(display);
    // On a busy machine a client may still be turned away just after the server named its
    // display; the window manager starts once a client is answered.
    const bool answering = waitFor(
        [&] {
            return !run("xprop", {"-root", "WM_NAME"}).isEmpty() ||
                   server_.state() == QProcess::NotRunning;
        },
        kStartTimeoutMs);
    if (!answering || server_.state() == QProcess::NotRunning) {
        error = "Xvfb on " + display_ +
                " does not answer: " + QString::fromUtf8(server_.readAllStandardError());
        Stop(server_);
        return false;
    }

    QFile config(dir_.filePath("rc.xml"));
    if (!config.open(QIODevice::WriteOnly) || config.write(ManagerConfig(panelHeight)) < 0) {
        error = "cannot write the window manager's configuration";
        return false;
    }
    config.close();
    manager_.setProcessEnvironment(environment(QProcessEnvironment::systemEnvironment()));
    manager_.setProcessChannelMode(QProcess::MergedChannels);
    manager_.start("openbox", {"--config-file", config.fileName()});
    const bool managed = waitFor(
        [&] {
            return manager_.state() == QProcess::NotRunning ||
                   (run("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}).contains("window id") &&
                    workArea().has_value());
        },
        kStartTimeoutMs);
    if (!managed || manager_.state() == QProcess::NotRunning) {
        error = "openbox did not start on " + display_ + ": " +
                QString::fromUtf8(manager_.readAll()) + " (the X server " +
                (server_.state() == QProcess::Running ? "runs" : "stopped") + ": " +
                QString::fromUtf8(server_.readAllStandardError()) + ")";
        return false;
    }
    return true;
}

QProcessEnvironment XDesktop::environment(QProcessEnvironment base) const {
    base.insert("DISPLAY", display_);
    base.insert("QT_QPA_PLATFORM", "xcb");
    base.remove("XAUTHORITY");
    base.remove("WAYLAND_DISPLAY");
    return base;
}

QString XDesktop::run(const QString& program, const QStringList& arguments) const {
    QProcess tool;
    tool.setProcessEnvironment(environment(QProcessEnvironment::systemEnvironment()));
    tool.start(program, arguments);
    if (!tool.waitForFinished(kToolTimeoutMs)) {
        tool.kill();
        tool.waitForFinished();
        return QString();
    }
    return QString::fromUtf8(tool.readAllStandardOutput());
}

std::optional<QRect> XDesktop::workArea() const {
    // "_NET_WORKAREA(CARDINAL) = 0, 0, 1024, 668"
    const QString text = run("xprop", {"-root", "_NET_WORKAREA"});
    const QRegularExpressionMatch match =
        QRegularExpression("=\\s*(\\d+),\\s*(\\d+),\\s*(\\d+),\\s*(\\d+)").match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    return QRect(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt(),
                 match.captured(4).toInt());
}

std::vector<unsigned long> XDesktop::windowsOf(qint64 pid) const {
    return Ids(run("xdotool", {"search", "--onlyvisible", "--pid", QString::number(pid)}));
}

std::vector<unsigned long> XDesktop::windowsTitled(const QString& title) const {
    return Ids(run("xdotool", {"search", "--onlyvisible", "--name",
                               "^" + QRegularExpression::escape(title) + "$"}));
}

std::optional<QRect> XDesktop::clientOf(unsigned long window) const {
    const QString info = run("xwininfo", {"-id", QString::number(window)});
    const auto x = Field(info, "Absolute upper-left X");
    const auto y = Field(info, "Absolute upper-left Y");
    const auto width = Field(info, "Width");
    const auto height = Field(info, "Height");
    const auto border = Field(info, "Border width");
    if (!x || !y || !width || !height || !border) {
        return std::nullopt;
    }
    // The window's own X border (a window manager may draw its frame's edge with it) lies
    // around the area xwininfo reports.
    const int b = static_cast<int>(*border);
    return QRect(static_cast<int>(*x) - b, static_cast<int>(*y) - b,
                 static_cast<int>(*width) + 2 * b, static_cast<int>(*height) + 2 * b);
}

bool XDesktop::maximised(unsigned long window) const {
    const QString state = run("xprop", {"-id", QString::number(window), "_NET_WM_STATE"});
    return state.contains("_NET_WM_STATE_MAXIMIZED_VERT") &&
           state.contains("_NET_WM_STATE_MAXIMIZED_HORZ");
}

void XDesktop::doubleClick(const QPoint& at) const {
    run("xdotool", {"mousemove", "--sync", QString::number(at.x()), QString::number(at.y()),
                    "click", "--repeat", "2", "--delay", "100", "1"});
}

std::optional<unsigned long> XDesktop::parentOf(unsigned long window) const {
    const QString tree = run("xwininfo", {"-id", QString::number(window), "-tree"});
    const auto root = Field(tree, "Root window id");
    const auto parent = Field(tree, "Parent window id");
    if (!root || !parent || *parent == *root) {
        return std::nullopt;
    }
    return static_cast<unsigned long>(*parent);
}

std::optional<QRect> XDesktop::frameOf(unsigned long window) const {
    unsigned long outermost = window;
    while (const auto parent = parentOf(outermost)) {
        outermost = *parent;
    }
    return clientOf(outermost);
}

} // namespace talmor::e2e
