#include "net/streamlistener.h"

#include <QSocketNotifier>
#include <QTimer>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <utility>

#include "net/socketname.h"
#include "net/socketnotice.h"

namespace talmor {

namespace {
constexpr int kBacklog = 16;
constexpr int kOutOfDescriptorsPauseMs = 250;

bool lacksResources(int error) {
    return error == EMFILE || error == ENFILE || error == ENOBUFS || error == ENOMEM;
}
} // namespace

StreamListener::StreamListener(std::function<void()> onIncoming)
    : onIncoming_(std::move(onIncoming)) {}

StreamListener::~StreamListener() {
    close();
}

bool StreamListener::listen(uint32_t address) {
    close();
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        return false;
    }
    sockaddr_in name{};
    name.sin_family = AF_INET;
    name.sin_addr.s_addr = htonl(address);
    name.sin_port = 0;
    if (::bind(fd_, reinterpret_cast<const sockaddr*>(&name), sizeof name) != 0 ||
        ::listen(fd_, kBacklog) != 0) {
        close();
        return false;
    }
    notifier_ = WatchSocket(fd_, QSocketNotifier::Read, [this] { onNotice(); });
    return true;
}

uint32_t StreamListener::localAddress() const {
    return SocketAddress(fd_);
}

uint16_t StreamListener::localPort() const {
    return SocketPort(fd_);
}

int StreamListener::takeIncoming() {
    const int fd = incoming_;
    incoming_ = -1;
    return fd;
}

void StreamListener::onNotice() {
    if (notifying_) {
        // A nested event loop inside the announcement: the connection waits for its return.
        notifier_->setEnabled(false);
        return;
    }
    incoming_ = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (incoming_ < 0) {
        if (lacksResources(errno)) {
            pause();
        }
        return;
    }
    notifying_ = true;
    onIncoming_();
    notifying_ = false;
    if (notifier_ != nullptr && !notifier_->isEnabled()) {
        notifier_->setEnabled(true);
    }
    if (incoming_ >= 0) {
        ::close(incoming_);
        incoming_ = -1;
    }
}

void StreamListener::pause() {
    // The connection stays in the backlog, so the notifier would fire at once again.
    notifier_->setEnabled(false);
    if (!resume_) {
        resume_ = std::make_unique<QTimer>();
        resume_->setSingleShot(true);
        QObject::connect(resume_.get(), &QTimer::timeout, [this] {
            if (notifier_ != nullptr) {
                notifier_->setEnabled(true);
            }
        });
    }
    resume_->start(kOutOfDescriptorsPauseMs);
}

void StreamListener::close() {
    // The listener may be closed from inside its own announcement.
    if (resume_) {
        resume_->stop();
    }
    RetireNotifier(notifier_);
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

} // namespace talmor
