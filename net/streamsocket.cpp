#include "net/streamsocket.h"

#include <QSocketNotifier>
#include <QTimer>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <utility>

#include "net/loopbackguard.h"
#include "net/socketname.h"
#include "net/socketnotice.h"

namespace talmor {

namespace {
bool WouldBlock(int error) {
    return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

} // namespace

StreamSocket::StreamSocket(Events events) : events_(std::move(events)) {}

StreamSocket::~StreamSocket() {
    close();
}

bool StreamSocket::connect(uint32_t address, uint16_t port) {
    checkLoopbackOnly(address, port, "a stream connection");
    close();
    ended_ = false;
    endReported_ = false;
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        return false;
    }
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_addr.s_addr = htonl(address);
    peer.sin_port = htons(port);
    if (::connect(fd_, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0) {
        connected_ = true;
        watch();
        // Reported from the event loop, never from inside the caller.
        QTimer::singleShot(0, &context_, [this] {
            if (!silent_ && connected_) {
                ++depth_;
                events_.connected(true);
                --depth_;
            }
        });
        return true;
    }
    if (errno != EINPROGRESS) {
        close();
        return false;
    }
    connecting_ = true;
    writer_ = WatchSocket(fd_, QSocketNotifier::Write, [this] { onWriteNotice(); });
    return true;
}

void StreamSocket::adopt(int fd) {
    close();
    ended_ = false;
    endReported_ = false;
    fd_ = fd;
    connected_ = true;
    watch();
}

void StreamSocket::watch() {
    reader_ = WatchSocket(fd_, QSocketNotifier::Read, [this] { onReadNotice(); });
}

uint32_t StreamSocket::localAddress() const {
    return SocketAddress(fd_);
}

uint16_t StreamSocket::localPort() const {
    return SocketPort(fd_);
}

uint32_t StreamSocket::remoteAddress() const {
    return connected_ ? SocketAddress(fd_, true) : 0;
}

long StreamSocket::send(const uint8_t* bytes, std::size_t size) {
    if (fd_ < 0 || !connected_ || ended_) {
        return -1;
    }
    std::size_t taken = 0;
    if (unsent() == 0) {
        const ssize_t sent = ::send(fd_, bytes, size, MSG_NOSIGNAL);
        if (sent >= 0) {
            taken = static_cast<std::size_t>(sent);
        } else if (!WouldBlock(errno)) {
            // The read notification reports the broken connection to the owner.
            ended_ = true;
            return -1;
        }
    }
    if (taken < size) {
        waiting_.insert(waiting_.end(), bytes + taken, bytes + size);
        wantWriteNotice(true);
    }
    return static_cast<long>(size);
}

long StreamSocket::receive(uint8_t* buffer, std::size_t capacity) {
    if (ended_) {
        return 0;
    }
    if (fd_ < 0 || !connected_) {
        return -1;
    }
    if (emptied_) {
        // A short read emptied the system's buffer during this notice; anything arriving
        // since is reported by the next one, without asking the system again now.
        return -1;
    }
    ++readsThisNotice_;
    for (;;) {
        const ssize_t got = ::recv(fd_, buffer, capacity, 0);
        if (got > 0) {
            emptied_ = reading_ && static_cast<std::size_t>(got) < capacity;
            return static_cast<long>(got);
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0 && WouldBlock(errno)) {
            return -1;
        }
        // The peer's close, or a broken connection.
        ended_ = true;
        return 0;
    }
}

void StreamSocket::onReadNotice() {
    if (reading_) {
        // A nested event loop inside the reader: it takes these bytes when it returns.
        reader_->setEnabled(false);
        return;
    }
    ++depth_;
    reading_ = true;
    readsThisNotice_ = 0;
    if (!silent_ && !ended_) {
        events_.readable();
    }
    if (fd_ >= 0 && !ended_ && readsThisNotice_ == 0) {
        // Nobody read: the notice may be the peer's close, which stays readable for ever.
        uint8_t probe = 0;
        const ssize_t got = ::recv(fd_, &probe, 1, MSG_PEEK);
        ended_ = got == 0 || (got < 0 && !WouldBlock(errno));
    }
    reading_ = false;
    emptied_ = false;
    if (reader_ != nullptr) {
        if (ended_) {
            // An ended stream stays readable: no more notices, one report.
            reader_->setEnabled(false);
            if (!endReported_ && !silent_) {
                endReported_ = true;
                events_.ended();
            }
        } else if (!reader_->isEnabled()) {
            reader_->setEnabled(true);
        }
    }
    --depth_;
}

void StreamSocket::onWriteNotice() {
    ++depth_;
    if (connecting_) {
        finishConnect();
    } else if (flushWaiting()) {
        if (lingering_ && unsent() == 0) {
            close();
        } else if (!silent_) {
            events_.sent();
        }
    }
    --depth_;
}

void StreamSocket::finishConnect() {
    connecting_ = false;
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
        error = errno;
    }
    wantWriteNotice(false);
    if (error != 0) {
        close();
        if (!silent_) {
            events_.connected(false);
        }
        return;
    }
    connected_ = true;
    watch();
    if (!silent_) {
        events_.connected(true);
    }
}

bool StreamSocket::flushWaiting() {
    while (unsent() > 0) {
        const ssize_t sent = ::send(fd_, waiting_.data() + waitingFrom_, unsent(), MSG_NOSIGNAL);
        if (sent < 0) {
            if (WouldBlock(errno)) {
                return true;
            }
            // Broken: what waits can never leave; the read notification reports the end.
            ended_ = true;
            waiting_.clear();
            waitingFrom_ = 0;
            wantWriteNotice(false);
            if (lingering_) {
                close();
            }
            return false;
        }
        waitingFrom_ += static_cast<std::size_t>(sent);
    }
    waiting_.clear();
    waitingFrom_ = 0;
    wantWriteNotice(false);
    return true;
}

void StreamSocket::wantWriteNotice(bool on) {
    if (on && writer_ == nullptr) {
        writer_ = WatchSocket(fd_, QSocketNotifier::Write, [this] { onWriteNotice(); });
    } else if (writer_ != nullptr && writer_->isEnabled() != on) {
        writer_->setEnabled(on);
    }
}

void StreamSocket::closeWhenSent(int lingerMs) {
    silent_ = true;
    if (fd_ < 0 || !connected_ || ended_ || unsent() == 0) {
        close();
        return;
    }
    lingering_ = true;
    RetireNotifier(reader_);
    QTimer::singleShot(lingerMs, &context_, [this] { close(); });
}

void StreamSocket::close() {
    RetireNotifier(reader_);
    RetireNotifier(writer_);
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    connecting_ = false;
    connected_ = false;
    lingering_ = false;
    waiting_.clear();
    waitingFrom_ = 0;
}

} // namespace talmor
