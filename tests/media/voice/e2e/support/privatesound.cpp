#include "support/privatesound.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <signal.h>
#include <unistd.h>

#include "support/eventloop.h"
#include "support/testaudio.h"

namespace talmor::voice::testing {

namespace {

bool Run(const QString& program, const QStringList& arguments, QString* output = nullptr) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(15000)) {
        process.kill();
        return false;
    }
    if (output != nullptr) {
        *output = QString::fromUtf8(process.readAllStandardOutput());
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

std::optional<QString> PrivateSound::unavailable() {
    for (const char* program : {"pulseaudio", "pactl", "parecord", "pacat"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty()) {
            return QStringLiteral("%1 is not installed (Debian package pulseaudio / "
                                  "pulseaudio-utils); the voice talk cannot be heard here")
                .arg(QString::fromLatin1(program));
        }
    }
    return std::nullopt;
}

std::optional<QString> PrivateSound::start() {
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/talmor-sound-XXXXXX"));
    dir.setAutoRemove(false);
    if (!dir.isValid()) {
        return QStringLiteral("no runtime folder");
    }
    folder_ = dir.path();
    QFile::setPermissions(folder_,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", folder_.toLocal8Bit());
    qunsetenv("PULSE_SERVER");
    if (!Run(QStringLiteral("pulseaudio"),
             {QStringLiteral("-D"), QStringLiteral("--exit-idle-time=-1"),
              QStringLiteral("--log-target=stderr")})) {
        return QStringLiteral("pulseaudio -D did not start");
    }
    if (!e2e::waitFor([this] { return pactl({QStringLiteral("info")}).has_value(); }, 10000)) {
        return QStringLiteral("pulseaudio does not answer");
    }
    for (const char* sink : {"a", "b"}) {
        if (!pactl({QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
                    QStringLiteral("sink_name=") + QLatin1String(sink)})) {
            return QStringLiteral("no null sink %1").arg(QLatin1String(sink));
        }
    }
    for (const auto& [name, hz] : {std::pair{"toneA", kToneA}, std::pair{"toneB", kToneB}}) {
        const QString source = QLatin1String(name);
        const QString feed = source + QStringLiteral("_feed");
        if (!addSink(feed, source) || !play(feed, Tone(hz, 10000))) {
            return QStringLiteral("no microphone %1").arg(source);
        }
    }
    return std::nullopt;
}

bool PrivateSound::addSink(const QString& name, const QString& source) const {
    return pactl({QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
                  QStringLiteral("sink_name=") + name})
               .has_value() &&
           addListenable(name, source);
}

bool PrivateSound::addListenable(const QString& sink, const QString& source) const {
    return pactl({QStringLiteral("load-module"), QStringLiteral("module-remap-source"),
                  QStringLiteral("master=") + sink + QStringLiteral(".monitor"),
                  QStringLiteral("source_name=") +
                      (source.isEmpty() ? sink + QStringLiteral("_in") : source)})
        .has_value();
}

bool PrivateSound::play(const QString& sink, const QByteArray& samples) {
    const QString file = folder_ + QStringLiteral("/%1.raw").arg(sink);
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(samples) != samples.size()) {
        return false;
    }
    out.close();
    auto player = std::make_unique<QProcess>();
    // A process group of its own, so stopping it stops the loop and the player with it.
    player->setChildProcessModifier([] { setsid(); });
    // The shell loop plays the file again and again into one stream, without a gap.
    player->start(QStringLiteral("sh"),
                  {QStringLiteral("-c"),
                   QStringLiteral("while cat \"$0\"; do :; done | exec pacat --playback -d \"$1\" "
                                  "--raw --format=s16le --rate=8000 --channels=1 "
                                  "--latency-msec=200"),
                   file, sink});
    if (!player->waitForStarted(5000)) {
        return false;
    }
    players_.push_back(std::move(player));
    return true;
}

void PrivateSound::stop() {
    for (const std::unique_ptr<QProcess>& player : players_) {
        ::kill(-static_cast<pid_t>(player->processId()), SIGKILL);
        player->waitForFinished(5000);
    }
    players_.clear();
    if (folder_.isEmpty()) {
        return;
    }
    Run(QStringLiteral("pulseaudio"), {QStringLiteral("--kill")});
    QDir(folder_).removeRecursively();
    folder_.clear();
}

std::optional<QString> PrivateSound::pactl(const QStringList& arguments) const {
    QString output;
    if (!Run(QStringLiteral("pactl"), arguments, &output)) {
        return std::nullopt;
    }
    return output;
}

QByteArray PrivateSound::recordMonitor(const QString& sink, int ms) const {
    QProcess recorder;
    recorder.start(QStringLiteral("parecord"),
                   {QStringLiteral("-d"), sink + QStringLiteral(".monitor"),
                    QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                    QStringLiteral("--rate=8000"), QStringLiteral("--channels=1"),
                    QStringLiteral("--latency-msec=20")});
    if (!recorder.waitForStarted(5000)) {
        return {};
    }
    QByteArray recorded;
    const qsizetype wanted = qsizetype{8000} * 2 * ms / 1000;
    e2e::waitFor(
        [&] {
            recorded += recorder.readAllStandardOutput();
            return recorded.size() >= wanted;
        },
        ms + 10000);
    recorder.terminate();
    recorder.waitForFinished(5000);
    return recorded.left(wanted);
}

int PrivateSound::openStreams() const {
    int count = 0;
    for (const char* kind : {"sink-inputs", "source-outputs"}) {
        const std::optional<QString> listed =
            pactl({QStringLiteral("list"), QString::fromLatin1(kind)});
        if (listed) {
            count += static_cast<int>(
                listed->count(QStringLiteral("application.name = \"QtPulseAudio")));
        }
    }
    return count;
}

} // namespace talmor::voice::testing
