#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>

#include "kit/eventroutes.h"
#include "media/file/transfermeter.h"
#include "protocol/environment.h"

namespace talmor {

class ChatPart;
class CSendFileDlg;
class CSendMsgDlg;
class ConsoleHost;
class FileTransfer;

// The receiver of the file events: one transfer per contact, shown in the contact's chat
// window (its notices, lines and the strip along the bottom of the display). It starts a
// transfer from the chat window's file command and answers the notice links 10001 and 10002.
class FilePart : public QObject, public FileReceiver {
    Q_OBJECT
public:
    // Makes the timers of one transfer, calling back with the timer's number.
    using TimerFactory =
        std::function<std::unique_ptr<TimerHost>(std::function<void(int)> onTimer)>;

    explicit FilePart(ConsoleHost& window);
    ~FilePart() override;

    // Where the transfers' timers come from (tests run them faster); Qt timers by default.
    void setTimerFactory(TimerFactory factory) { timerFactory_ = std::move(factory); }

    // The running transfer with `peer`, or none.
    FileTransfer* transfer(uint32_t peer);
    CSendFileDlg* strip(uint32_t peer);
    // Whether the transfer's timer `id` (100002 or 100005) runs.
    bool timerRunning(uint32_t peer, int id) const;

    // The chat window's file command: offers a file, or asks whether to cancel the running one.
    void fileCommand(uint32_t peer);
    // A notice link of the chat window with `peer`.
    void notification(uint32_t peer, int code);

    void onFileOffer(uint32_t peer, uint32_t size, const std::string& name) override;
    void onFileAccepted(uint32_t peer, uint16_t port) override;
    void onFileCancelled(uint32_t peer) override;
    void onFileRelayReady(uint32_t peer, uint32_t received, bool relayed) override;
    void onFileRelayData(uint32_t peer, const uint8_t* data, uint32_t length,
                         uint32_t sent) override;
    void onFileTransferDone(uint32_t peer) override;
    void onFileProgress(uint32_t peer, uint32_t total, uint32_t done) override;
    std::string transferFilePath(uint32_t peer) override;
    uint32_t transferFileSize(uint32_t peer) override;
    void onFileFailed(uint32_t peer, int error) override;
    void onPeerOffline(uint32_t peer) override;

private:
    struct Entry;
    class EntryView;
    class QtTicks : public Ticks {
    public:
        QtTicks() { clock_.start(); }
        int64_t ms() const override { return clock_.elapsed(); }

    private:
        QElapsedTimer clock_;
    };

    void attach(CSendMsgDlg* chat);
    Entry& begin(CSendMsgDlg& chat, bool sending, std::string name, uint32_t size,
                 std::string path);
    void offerFile(CSendMsgDlg& chat);
    void acceptOffer(CSendMsgDlg& chat, FileTransfer& transfer);
    // Entries of transfers that are over leave the table (never while one of them runs).
    void sweep();

    ConsoleHost& window_;
    ChatPart* chats_;
    QtTicks ticks_;
    TimerFactory timerFactory_;
    std::map<uint32_t, std::unique_ptr<Entry>> entries_;
};

} // namespace talmor
