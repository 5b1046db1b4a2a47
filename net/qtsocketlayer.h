#pragma once

#include <QObject>

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "net/datagramsocket.h"
#include "net/streamlistener.h"
#include "net/streamsocket.h"

#include "protocol/socketlayer.h"

namespace talmor {

// The protocol core's sockets on Qt's event loop: a connected DatagramSocket for datagram
// sockets, StreamSocket for streams and StreamListener for listeners. Notifications reach the
// sinks from the event loop. A closed socket never notifies again, even when it is closed from
// inside its own notification. A datagram socket hands its sink datagrams for a slice of the
// event loop's time per notification and notifies again on the next turn for the rest, so a
// flood leaves the loop, and every window, turning. A stream whose sink left bytes unread is
// notified again on the next turn. A closed stream still hands the system what it holds.
class QtSocketLayer : public SocketLayer {
public:
    QtSocketLayer();
    ~QtSocketLayer() override;
    QtSocketLayer(const QtSocketLayer&) = delete;
    QtSocketLayer& operator=(const QtSocketLayer&) = delete;

    int createSocket(SocketType type, SocketSink* sink) override;
    bool connectSocket(int handle, uint32_t address, uint16_t port) override;
    uint32_t localAddress(int handle) const override;
    uint16_t localPort(int handle) const override;
    uint32_t remoteAddress(int handle) const override;
    std::size_t unsentBytes(int handle) const override;
    long sendBytes(int handle, const uint8_t* bytes, std::size_t size) override;
    long receiveBytes(int handle, uint8_t* buffer, std::size_t capacity) override;
    int listenSocket(ListenSink* sink, uint32_t address) override;
    int acceptSocket(int listenHandle, SocketSink* sink) override;
    void enableWrite(int handle) override;
    void closeSocket(int handle) override;
    void closeAllSockets() override;

private:
    struct Entry {
        SocketType type = SocketType::Datagram;
        std::unique_ptr<StreamSocket> stream;
        std::unique_ptr<DatagramSocket> datagram;
        std::unique_ptr<StreamListener> listener;
        SocketSink* sink = nullptr;
        ListenSink* listenSink = nullptr;
        bool wantWrite = false;
        // The end of the datagram notification being delivered (steady clock, ns), else 0.
        int64_t sliceEndNs = 0;
    };

    int add(Entry entry);
    std::unique_ptr<StreamSocket> newStream(int handle);
    // Keeps a closed stream or listener until none of its notifications is on the stack.
    void retire(Entry& entry);
    void sweep();
    void notifyWritable(int handle);
    void notifyReadable(int handle);
    Entry* find(int handle);
    const Entry* find(int handle) const;

    // Context of the layer's own deferred notifications.
    QObject owner_;
    std::unordered_map<int, Entry> entries_;
    // Closed streams finishing their sending, and closed ones still inside a notification.
    std::vector<std::unique_ptr<StreamSocket>> closedStreams_;
    std::vector<std::unique_ptr<StreamListener>> closedListeners_;
    int nextHandle_ = 1;
};

} // namespace talmor
