// quorvane-server: the development and training platform server.
#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

#include "server/messagestore.h"
#include "server/seed.h"
#include "server/serverapp.h"
#include "server/signalwatcher.h"

namespace {

bool portOption(const QCommandLineParser& parser, const QString& name, uint16_t fallback,
                uint16_t& port) {
    if (!parser.isSet(name)) {
        port = fallback;
        return true;
    }
    bool ok = false;
    const uint value = parser.value(name).toUInt(&ok);
    port = static_cast<uint16_t>(value);
    return ok && value <= 65535;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("quorvane-server");
    QCoreApplication::setApplicationVersion(TALMOR_VERSION);

    QCommandLineParser parser;
    parser.setApplicationDescription("Development and training platform server.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({"seed", "JSON seed file with accounts, contacts and calls.", "FILE"});
    parser.addOption({"port", "UDP port for consoles (default 8000; 0 picks a free one).", "P"});
    parser.addOption(
        {"http-port", "Loopback HTTP port of the control API and web pages (default 8080).", "H"});
    parser.addOption({"http-address",
                      "Address of this machine the HTTP port listens on instead of loopback, for "
                      "a trainer's live view from another machine.",
                      "ADDR"});
    parser.addOption({"list-hold-ms",
                      "How long a call list request that would get an empty page waits for a "
                      "call before the empty page goes (default 25000; 0 answers at once).",
                      "MS"});
    parser.addOption({"state",
                      "SQLite file that keeps chat messages for offline operators across "
                      "restarts (default: kept in memory only).",
                      "FILE"});
    parser.process(app);

    if (!parser.isSet("seed")) {
        std::fprintf(stderr, "quorvane-server: --seed FILE is required\n");
        return 2;
    }
    uint16_t udpPort = 0;
    uint16_t httpPort = 0;
    if (!portOption(parser, "port", 8000, udpPort) ||
        !portOption(parser, "http-port", 8080, httpPort)) {
        std::fprintf(stderr, "quorvane-server: a port is a number from 0 to 65535\n");
        return 2;
    }
    QString error;
    auto seed = talmor::server::loadSeedFile(parser.value("seed"), error);
    if (!seed) {
        std::fprintf(stderr, "quorvane-server: seed: %s\n", qPrintable(error));
        return 1;
    }
    if (parser.isSet("list-hold-ms")) {
        bool ok = false;
        const int holdMs = parser.value("list-hold-ms").toInt(&ok);
        if (!ok || holdMs < 0) {
            std::fprintf(stderr, "quorvane-server: --list-hold-ms is a number of milliseconds\n");
            return 2;
        }
        seed->settings.listHoldMs = holdMs;
    }
    talmor::server::SignalWatcher quitOnSignal;
    talmor::server::ServerApp server(std::move(*seed));
    if (parser.isSet("state")) {
        std::string stateError;
        auto store =
            talmor::server::openMessageFile(parser.value("state").toStdString(), stateError);
        if (!store) {
            std::fprintf(stderr, "quorvane-server: state: %s\n", stateError.c_str());
            return 1;
        }
        server.setMessageStore(std::move(store));
    }
    if (!server.start(udpPort, httpPort, error, parser.value("http-address"))) {
        std::fprintf(stderr, "quorvane-server: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("quorvane-server ready: udp %u, http %u\n", server.udpPort(), server.httpPort());
    std::fflush(stdout);
    const int result = QCoreApplication::exec();
    std::printf("quorvane-server stopped\n");
    return result;
}
