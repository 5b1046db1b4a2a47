#include "support/fileconsole.h"

#include <QCryptographicHash>
#include <QFile>

#include "console/talmormanagerdlg.h"
#include "media/file/filepart.h"
#include "messaging/chat/chatnotices.h"
#include "messaging/chat/chattexts.h"
#include "messaging/chat/msgview.h"
#include "messaging/chat/sendmsgdlg.h"
#include "support/eventloop.h"
#include "support/scaledtime.h"

namespace talmor::e2e {

FileConsole::FileConsole(uint16_t udpPort, uint16_t httpPort, int timeFactor)
    : MediaConsole(MediaDeployment(udpPort, httpPort)) {
    files().setTimerFactory([timeFactor](std::function<void(int)> onTimer) {
        return std::make_unique<ScaledTimerHost>(timeFactor, std::move(onTimer));
    });
}

bool FileConsole::login(uint32_t operatorId, const std::string& password, uint32_t contact) {
    if (!MediaConsole::login(operatorId, password)) {
        return false;
    }
    return waitFor(
        [this, contact] {
            return window().ready() && window().contacts().find(contact) != nullptr;
        },
        20000);
}

void FileConsole::offer(uint32_t peer, const QString& path) {
    ui.openAnswers.push_back(path);
    chatWith(peer).command(chat::kCmdFile);
}

void FileConsole::accept(uint32_t peer, const QString& path) {
    ui.saveAnswers.push_back(path);
    emit chatWith(peer).notification(kAcceptFile);
}

void FileConsole::cancel(uint32_t peer) {
    emit chatWith(peer).notification(kCancelFile);
}

QByteArray FileSha256(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result().toHex();
}

bool WritePatternFile(const QString& path, qint64 size, uint32_t seed) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    QByteArray block(64 * 1024, Qt::Uninitialized);
    uint32_t state = seed * 2654435761u + 1;
    for (qint64 written = 0; written < size;) {
        for (char& byte : block) {
            state = state * 1103515245u + 12345u;
            byte = static_cast<char>(state >> 16);
        }
        const qint64 part = std::min<qint64>(block.size(), size - written);
        if (file.write(block.constData(), part) != part) {
            return false;
        }
        written += part;
    }
    return true;
}

} // namespace talmor::e2e
