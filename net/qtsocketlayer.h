#pragma once

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <memory>
#include <unordered_map>

#include "net/datagramsocket.h"

#include "protocol/socketlayer.h"

class QAbstractSocket;
class QTcpServer;

namespace talmor {

// The protocol core's sockets on Qt: a connected DatagramSocket for datagram sockets,
// QTcpSocket for streams and QTcpServer for listeners. Notifications reach the sinks from the
// event loop. A closed socket never notifies again, even when it is closed from inside its own
// notification. A datagram socket hands its sink datagrams for a slice of the event loop's time
// per notification and notifies again on the next turn for the rest, so a flood leaves the
// loop, and every window, turning. A stream whose sink left bytes unread is notified again on
// the next turn: a stream reports readable only when new bytes arrive.
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
        QPointer<QAbstractSocket> socket;
        std::unique_ptr<DatagramSocket> datagram;
        QPointer<QTcpServer> server;
        SocketSink* sink = nullptr;
        bool wantWrite = false;
        // The end of the datagram notification being delivered (steady clock, ns), else 0.
        int64_t sliceEndNs = 0;
    };

    int add(Entry entry);
    void watch(int handle, QAbstractSocket* socket);
    void notifyWritable(int handle);
    void notifyReadable(int handle);
    Entry* find(int handle);
    const Entry* find(int handle) const;

    // Parent of every socket: whatever is still alive (a stream finishing its close) goes with
    // the layer.
    QObject owner_;
    std::unordered_map<int, Entry> entries_;
    int nextHandle_ = 1;
};

} // namespace talmor
