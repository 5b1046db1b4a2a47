#include "support/fileconsole.h"

#include <QCryptographicHash>
#include <QFile>

#include "console/talmormanagerdlg.h"
#include "media/file/filepart.h"
#include "media/mediaparts.h"
#include "messaging/chat/chatnotices.h"
#include "messaging/chat/chatpart.h"
#include "messaging/chat/chattexts.h"
#include "messaging/chat/msgview.h"
#include "messaging/chat/sendmsgdlg.h"
#include "messaging/messagingparts.h"
#include "support/eventloop.h"
#include "support/scaledtime.h"

namespace talmor::e2e {

FileConsole::FileConsole(uint16_t udpPort, uint16_t httpPort, int timeFactor)
    : udpPort_(udpPort), httpPort_(httpPort), timeFactor_(timeFactor) {}

FileConsole::~FileConsole() {
    if (window_) {
        for (uint32_t peer : {1024u, 1025u}) {
            delete chats().findChat(peer);
        }
    }
}

bool FileConsole::login(uint32_t operatorId, const std::string& password, uint32_t contact) {
    Deployment deployment;
    deployment.port = udpPort_;
    deployment.backOfficeHost = QStringLiteral("127.0.0.1:%1").arg(httpPort_);
    window_ = std::make_unique<CTalmorManagerDlg>(environment_.services(), deployment, ui, false);
    environment_.setTimerTarget([this](int id) { window_->onTimer(id); });
    InstallMessagingParts(*window_);
    InstallMediaParts(*window_);
    const int factor = timeFactor_;
    files().setTimerFactory([factor](std::function<void(int)> onTimer) {
        return std::make_unique<ScaledTimerHost>(factor, std::move(onTimer));
    });
    if (!window_->StartLogin(operatorId, password)) {
        return false;
    }
    return waitFor(
        [this, contact] {
            return window_->ready() && window_->contacts().find(contact) != nullptr;
        },
        20000);
}

ChatPart& FileConsole::chats() {
    return *window_->routes().chat;
}

FilePart& FileConsole::files() {
    return *dynamic_cast<FilePart*>(window_->routes().file);
}

CSendMsgDlg& FileConsole::chatWith(uint32_t peer) {
    chats().openChat(peer, MessagingReceiver::ChatStart::Open);
    return *chats().findChat(peer);
}

QString FileConsole::shown(uint32_t peer) {
    CSendMsgDlg* chat = chats().findChat(peer);
    return chat != nullptr ? chat->display().toPlainText() : QString();
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
