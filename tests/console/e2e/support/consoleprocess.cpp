#include "support/consoleprocess.h"

#include <QFile>
#include <QTemporaryDir>

#include "support/eventloop.h"

namespace talmor::e2e {

MarkedProcess::~MarkedProcess() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(10000);
    }
}

void MarkedProcess::start(const QString& program, const QStringList& arguments,
                          const QProcessEnvironment& environment) {
    ensureApplication();
    process_.setProcessEnvironment(environment);
    process_.setProcessChannelMode(QProcess::MergedChannels);
    clock_.start();
    process_.start(program, arguments);
}

QString MarkedProcess::output() {
    output_ += QString::fromUtf8(process_.readAllStandardOutput());
    return output_;
}

qint64 MarkedProcess::waitForMark(const QString& milestone, int timeoutMs) {
    const QString line = ": " + milestone + "\n";
    qint64 at = -1;
    waitFor(
        [&] {
            if (output().contains(line)) {
                at = clock_.elapsed();
                return true;
            }
            return process_.state() == QProcess::NotRunning;
        },
        timeoutMs);
    return at;
}

long MarkedProcess::residentKb() const {
    QFile status(QString("/proc/%1/status").arg(process_.processId()));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return -1;
}

ConsoleHome::ConsoleHome(uint16_t udpPort, uint16_t httpPort)
    : dir_(std::make_unique<QTemporaryDir>()) {
    QFile file(ini());
    if (file.open(QIODevice::WriteOnly)) {
        const QString web = QString("127.0.0.1:%1").arg(httpPort);
        file.write(QString("[server]\nprimary=127.0.0.1\nbackup=127.0.0.1\nport=%1\n"
                           "[web]\nbackoffice=%2\npublic=http://%2/site\n")
                       .arg(udpPort)
                       .arg(web)
                       .toUtf8());
    }
}

ConsoleHome::~ConsoleHome() = default;

QString ConsoleHome::folder() const {
    return dir_->path();
}

QString ConsoleHome::ini() const {
    return dir_->filePath("talmormanager.ini");
}

QProcessEnvironment ConsoleHome::environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TALMOR_HOME", folder());
    environment.insert("TALMOR_CONFIG", ini());
    environment.insert("TALMOR_MARKS", "1");
    // A console a test starts never sends anything off the machine.
    environment.insert("TALMOR_LOOPBACK_ONLY", "1");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    // The embedded browser cannot use its sandbox when the tests run as root.
    environment.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
    return environment;
}

} // namespace talmor::e2e
