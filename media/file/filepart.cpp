#include "media/file/filepart.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <set>

#include "kit/consolehost.h"
#include "kit/consoleui.h"
#include "kit/gbktext.h"
#include "media/file/filetexts.h"
#include "media/file/filetransfer.h"
#include "media/file/offeredname.h"
#include "media/file/sendfiledlg.h"
#include "messaging/chat/chatnotices.h"
#include "messaging/chat/chatpart.h"
#include "messaging/chat/chattexts.h"
#include "messaging/chat/msgview.h"
#include "messaging/chat/sendmsgdlg.h"
#include "net/qttimerhost.h"
#include "protocol/peersessionmanager.h"
#include "protocol/platformclient.h"
#include "protocol/registeredwindow.h"

namespace talmor {

namespace {
// The question of the file command while a transfer runs.
const char kCancelQuestion[] = "是否确定取消当前的文件传送？\r\n\r\n取消当前的传送请点击“是”  "
                               "继续请点击“否”。";
constexpr uint64_t kSizeLimit = uint64_t{1} << 32;
} // namespace

// The transfer's screen: the chat window's display and the strip, while they exist.
class FilePart::EntryView : public FileTransferView {
public:
    EntryView(FilePart& part, uint32_t peer) : part_(part), peer_(peer) {}
    void showLine(const QString& line) override {
        if (CSendMsgDlg* chat = part_.chats_->findChat(peer_)) {
            chat->display().appendNotice(line, {});
        }
    }
    void showProgress(uint32_t total, uint32_t done) override {
        if (CSendFileDlg* strip = part_.strip(peer_)) {
            strip->showProgress(total, done);
        }
    }
    void forgetOfferLinks() override {
        if (CSendMsgDlg* chat = part_.chats_->findChat(peer_)) {
            chat->display().forgetNoticeLinks({kCancelFile, kAcceptFile});
        }
    }
    void closed() override {
        delete part_.strip(peer_);
        if (CSendMsgDlg* chat = part_.chats_->findChat(peer_)) {
            chat->setBottomStrip(nullptr);
        }
        QMetaObject::invokeMethod(
            &part_, [part = &part_] { part->sweep(); }, Qt::QueuedConnection);
    }

private:
    FilePart& part_;
    uint32_t peer_;
};

// The transfer's timers, remembering which run.
class RunningTimers : public TimerHost {
public:
    explicit RunningTimers(std::unique_ptr<TimerHost> host) : host_(std::move(host)) {}
    void startTimer(int id, int milliseconds) override {
        running_.insert(id);
        host_->startTimer(id, milliseconds);
    }
    void stopTimer(int id) override {
        running_.erase(id);
        host_->stopTimer(id);
    }
    bool isRunning(int id) const { return running_.count(id) != 0; }

private:
    std::unique_ptr<TimerHost> host_;
    std::set<int> running_;
};

struct FilePart::Entry {
    std::unique_ptr<EntryView> view;
    std::unique_ptr<RunningTimers> timers;
    std::unique_ptr<FileTransfer> transfer;
};

FilePart::FilePart(ConsoleHost& window)
    : QObject(&window.mainWidget()), window_(window), chats_(window.routes().chat),
      timerFactory_([](std::function<void(int)> onTimer) -> std::unique_ptr<TimerHost> {
          return std::make_unique<QtTimerHost>(std::move(onTimer));
      }) {
    if (chats_ != nullptr) {
        connect(chats_, &ChatPart::chatOpened, this, &FilePart::attach);
    }
}

FilePart::~FilePart() = default;

void FilePart::attach(CSendMsgDlg* chat) {
    const uint32_t peer = chat->peerId();
    connect(chat, &CSendMsgDlg::mediaRequested, this, [this, peer](int command) {
        if (command == chat::kCmdFile) {
            fileCommand(peer);
        }
    });
    connect(chat, &CSendMsgDlg::notification, this,
            [this, peer](int code) { notification(peer, code); });
    // Closing the window ends its transfer; the question was asked by the window.
    connect(chat, &CSendMsgDlg::closingAccepted, this, [this, peer] {
        if (FileTransfer* running = transfer(peer)) {
            running->cancel();
        }
    });
}

void FilePart::sweep() {
    for (auto it = entries_.begin(); it != entries_.end();) {
        it = it->second->transfer->over() ? entries_.erase(it) : std::next(it);
    }
}

FileTransfer* FilePart::transfer(uint32_t peer) {
    auto it = entries_.find(peer);
    return it != entries_.end() && !it->second->transfer->over() ? it->second->transfer.get()
                                                                 : nullptr;
}

bool FilePart::timerRunning(uint32_t peer, int id) const {
    auto it = entries_.find(peer);
    return it != entries_.end() && it->second->timers->isRunning(id);
}

CSendFileDlg* FilePart::strip(uint32_t peer) {
    return dynamic_cast<CSendFileDlg*>(
        window_.windows().findWindow(CSendFileDlg::kWindowType, peer, 0));
}

FilePart::Entry& FilePart::begin(CSendMsgDlg& chat, bool sending, std::string name, uint32_t size,
                                 std::string path) {
    const uint32_t peer = chat.peerId();
    auto entry = std::make_unique<Entry>();
    entry->view = std::make_unique<EntryView>(*this, peer);
    Entry* raw = entry.get();
    entry->timers = std::make_unique<RunningTimers>(
        timerFactory_([raw](int id) { raw->transfer->onTimer(id); }));
    entry->transfer = std::make_unique<FileTransfer>(
        window_, window_.peers(), *entry->timers, *entry->view, peer,
        sending ? FileTransfer::Role::Sending : FileTransfer::Role::Receiving, std::move(name),
        size, std::move(path));
    delete strip(peer);
    chat.setBottomStrip(new CSendFileDlg(window_.windows(), peer, sending, size, ticks_));
    entries_[peer] = std::move(entry);
    return *raw;
}

void FilePart::fileCommand(uint32_t peer) {
    CSendMsgDlg* chat = chats_ != nullptr ? chats_->findChat(peer) : nullptr;
    if (chat == nullptr) {
        return;
    }
    if (FileTransfer* running = transfer(peer)) {
        if (window_.ui().question(chat, QString::fromUtf8(kCancelQuestion))) {
            running->cancel();
        }
        return;
    }
    offerFile(*chat);
}

void FilePart::offerFile(CSendMsgDlg& chat) {
    const QString chosen = window_.ui().chooseOpenFile(&chat, filetext::OpenFilter());
    if (chosen.isEmpty()) {
        return;
    }
    const QFileInfo info(chosen);
    const QString shown = info.fileName();
    const std::optional<std::string> name = ToGbk(shown);
    if (!name) {
        window_.ui().error(&chat, NotGbkMessage(FirstNonGbk(shown)));
        return;
    }
    const std::string path = QFile::encodeName(info.absoluteFilePath()).toStdString();
    std::FILE* probe = info.isDir() ? nullptr : std::fopen(path.c_str(), "rb");
    if (probe == nullptr) {
        window_.ui().error(&chat, filetext::CannotOpen(shown, info.isDir() ? EISDIR : errno));
        return;
    }
    std::fclose(probe);
    // The offer carries the size in 32 bits.
    if (static_cast<uint64_t>(info.size()) >= kSizeLimit) {
        window_.ui().error(&chat, filetext::TooLarge(shown));
        return;
    }
    Entry& entry = begin(chat, true, *name, static_cast<uint32_t>(info.size()), path);
    ShowRequestNotice(chat.display(), OfferKind::File, *name);
    entry.transfer->offer();
}

void FilePart::notification(uint32_t peer, int code) {
    FileTransfer* running = transfer(peer);
    CSendMsgDlg* chat = chats_ != nullptr ? chats_->findChat(peer) : nullptr;
    if (running == nullptr || chat == nullptr) {
        return;
    }
    if (code == kCancelFile) {
        running->cancel();
    } else if (code == kAcceptFile) {
        acceptOffer(*chat, *running);
    }
}

void FilePart::acceptOffer(CSendMsgDlg& chat, FileTransfer& running) {
    if (running.role() != FileTransfer::Role::Receiving ||
        running.phase() != FileTransfer::Phase::Offered) {
        return;
    }
    const QString proposed = SafeOfferedName(FromGbk(running.name()));
    const QString chosen = window_.ui().chooseSaveFile(&chat, proposed, filetext::SaveFilter());
    // The transfer may have ended while the dialog was open.
    if (chosen.isEmpty() || transfer(chat.peerId()) != &running) {
        return;
    }
    running.accept(QFile::encodeName(chosen).toStdString());
}

void FilePart::onFileOffer(uint32_t peer, uint32_t size, const std::string& name) {
    if (chats_ == nullptr) {
        return;
    }
    if (transfer(peer) != nullptr) {
        // The running transfer keeps its name and size; the new offer is refused.
        window_.client().fileCancel(peer);
        if (CSendMsgDlg* chat = chats_->findChat(peer)) {
            chat->display().appendNotice(filetext::SecondOfferRefused(OneLine(FromGbk(name))), {});
        }
        return;
    }
    CSendMsgDlg* chat = chats_->chatWith(peer, true);
    begin(*chat, false, name, size, {});
    ShowOfferNotice(chat->display(), OfferKind::File, name);
}

void FilePart::onFileAccepted(uint32_t peer, uint16_t port) {
    if (FileTransfer* running = transfer(peer)) {
        running->onAccepted(port);
    }
}

void FilePart::onFileCancelled(uint32_t peer) {
    if (FileTransfer* running = transfer(peer)) {
        running->onCancelled();
    }
}

void FilePart::onFileRelayReady(uint32_t peer, uint32_t received, bool) {
    if (FileTransfer* running = transfer(peer)) {
        running->onRelayReady(received);
    }
}

void FilePart::onFileRelayData(uint32_t peer, const uint8_t* data, uint32_t length, uint32_t sent) {
    if (FileTransfer* running = transfer(peer)) {
        running->onRelayData(data, length, sent);
    }
}

void FilePart::onFileTransferDone(uint32_t peer) {
    if (FileTransfer* running = transfer(peer)) {
        running->onDone();
    }
}

void FilePart::onFileProgress(uint32_t peer, uint32_t total, uint32_t done) {
    if (FileTransfer* running = transfer(peer)) {
        running->onProgress(total, done);
    }
}

std::string FilePart::transferFilePath(uint32_t peer) {
    FileTransfer* running = transfer(peer);
    return running != nullptr ? running->directPath() : std::string();
}

uint32_t FilePart::transferFileSize(uint32_t peer) {
    FileTransfer* running = transfer(peer);
    return running != nullptr ? running->size() : 0;
}

void FilePart::onFileFailed(uint32_t peer, int error) {
    if (FileTransfer* running = transfer(peer)) {
        running->onFailed(error);
    }
}

void FilePart::onPeerOffline(uint32_t peer) {
    if (FileTransfer* running = transfer(peer)) {
        running->onPeerOffline();
    }
}

} // namespace talmor
