#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <string>

class QLocalServer;

namespace talmor {

// A start URL as the console takes it from outside: the raw command line in the locale's
// encoding turned into GBK bytes, or the reason it is refused.
struct StartUrlReading {
    std::string gbk;
    QString refusal; // empty when the URL may log in
};
// Reads `localCommandLine` (as RawCommandLine made it from the arguments) through the same
// check as every start URL (CheckStartUrl).
StartUrlReading ReadStartUrl(const std::string& localCommandLine);

// Hands a start URL from a second launch to the console that runs on the same data folder,
// over a local socket only this user can reach: it lies in a folder of the user's alone, and
// the URL (which holds a password) goes only to a listener of the same user. The running
// console listens; the second launch connects, sends the URL and waits for the console's
// receipt.
class StartUrlHandover : public QObject {
    Q_OBJECT
public:
    // The bytes a handed-over URL may take, with its line end.
    static constexpr int kMaxBytes = 4096;

    // The socket's path for the data folder `applicationFolder`: in the user's runtime folder
    // ($XDG_RUNTIME_DIR) when it is the user's own and closed to others, else in the data
    // folder itself.
    static QString ServerName(const std::string& applicationFolder);
    static QString ServerName(const std::string& applicationFolder, const char* runtimeFolder);
    // Sends `commandLine` (GBK) to the console listening at `name`; true once it confirmed.
    // Nothing is sent to a listener that another user runs.
    static bool handOver(const QString& name, const std::string& commandLine, int timeoutMs);

    // Listens at `name`; each URL received goes to `receive` (GBK bytes, unchecked: the
    // receiver checks it as it checks its own command line).
    using Receiver = std::function<void(const std::string& commandLine)>;
    bool listen(const QString& name, Receiver receive);

private:
    void accept();

    QLocalServer* server_ = nullptr;
    Receiver receive_;
};

} // namespace talmor
