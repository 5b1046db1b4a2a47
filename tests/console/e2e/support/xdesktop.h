#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QSize>
#include <QString>
#include <QTemporaryDir>

#include <optional>
#include <vector>

namespace talmor::e2e {

// A desktop of its own: an X server (Xvfb) on a free display with the openbox window manager,
// whose screen keeps a band along its bottom edge for a panel, as a task bar does, and where a
// double click on a title bar maximises or restores the window. Programs
// started with environment() show their windows there, framed by the window manager.
class XDesktop {
public:
    XDesktop() = default;
    ~XDesktop();
    XDesktop(const XDesktop&) = delete;
    XDesktop& operator=(const XDesktop&) = delete;

    // Starts the server and the window manager; false with `error` set when one fails.
    bool start(const QSize& screen, int panelHeight, QString& error);
    QRect screen() const { return QRect(QPoint(0, 0), screen_); }
    // What the window manager announces as the work area (the screen less the panel).
    std::optional<QRect> workArea() const;
    // The given environment, pointed at this desktop and at Qt's X11 platform.
    QProcessEnvironment environment(QProcessEnvironment base) const;

    // The visible windows of process `pid`.
    std::vector<unsigned long> windowsOf(qint64 pid) const;
    // The visible windows titled `title`.
    std::vector<unsigned long> windowsTitled(const QString& title) const;
    // A window's client area and its frame (the outermost window that holds it), in screen
    // coordinates. Without a window manager both are the same.
    std::optional<QRect> clientOf(unsigned long window) const;
    std::optional<QRect> frameOf(unsigned long window) const;
    // Whether the window manager holds `window` maximised.
    bool maximised(unsigned long window) const;
    // A double click of the left button at `at`, as a user's.
    void doubleClick(const QPoint& at) const;

private:
    QString run(const QString& program, const QStringList& arguments) const;
    std::optional<unsigned long> parentOf(unsigned long window) const;

    QTemporaryDir dir_;
    QString display_;
    QSize screen_;
    QProcess server_;
    QProcess manager_;
};

} // namespace talmor::e2e
