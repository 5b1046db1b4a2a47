#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

class QTemporaryDir;

namespace talmor::e2e {

// A program of the console's kind started as its own process on the offscreen platform, with
// its milestones ("talmormanager: ready" ...) read from its output. Killed with the object.
class MarkedProcess {
public:
    MarkedProcess() = default;
    ~MarkedProcess();
    MarkedProcess(const MarkedProcess&) = delete;
    MarkedProcess& operator=(const MarkedProcess&) = delete;

    void start(const QString& program, const QStringList& arguments,
               const QProcessEnvironment& environment);
    // Waits for the line "<prefix>: <milestone>"; the milliseconds from start, or -1.
    qint64 waitForMark(const QString& milestone, int timeoutMs);
    // The resident memory of the process in kB (VmRSS), or -1.
    long residentKb() const;
    QString output();
    QProcess& process() { return process_; }

private:
    QProcess process_;
    QString output_;
    QElapsedTimer clock_;
};

// A console home of its own: the INI that points at a server's ports, and the folder for
// User/ and HistoryUser.dat.
class ConsoleHome {
public:
    ConsoleHome(uint16_t udpPort, uint16_t httpPort);
    ~ConsoleHome();
    QString folder() const;
    QString ini() const;
    // What the console needs to run offscreen in this home, with its milestones printed.
    QProcessEnvironment environment() const;

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

} // namespace talmor::e2e
