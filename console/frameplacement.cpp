#include "console/frameplacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindowStateChangeEvent>

#include <algorithm>
#include <chrono>

namespace talmor {

namespace {

// After a window leaves the maximised state the window manager restores its geometry in steps,
// and gives it back its borders (which reach the window with no move or resize of its own); on
// a busy desktop all this may come seconds late. The frame is looked at on every step and on a
// short tick until it has been quiet for a while.
constexpr int kTickMs = 250;
constexpr int kFirstStepMs = 5000;
constexpr int kQuietMs = 1000;

QMargins FrameMargins(const QWidget& window) {
    const QRect client = window.geometry();
    const QRect outer = window.frameGeometry();
    return QMargins(client.left() - outer.left(), client.top() - outer.top(),
                    outer.right() - client.right(), outer.bottom() - client.bottom());
}

// Watches one window; see KeepFrameWithinWorkArea.
class FrameKeeper : public QObject {
    using Clock = std::chrono::steady_clock;

public:
    explicit FrameKeeper(QWidget& window) : QObject(&window), window_(window) {
        tick_.setInterval(kTickMs);
        connect(&tick_, &QTimer::timeout, this, &FrameKeeper::onTick);
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::WindowStateChange) {
            const auto* change = static_cast<QWindowStateChangeEvent*>(event);
            if (change->oldState().testFlag(Qt::WindowMaximized) && normal()) {
                requested_ = QRect();
                watchFor(kFirstStepMs);
                tick_.start();
                QTimer::singleShot(0, this, &FrameKeeper::fit);
            }
        } else if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) &&
                   tick_.isActive()) {
            watchFor(kQuietMs);
            QTimer::singleShot(0, this, &FrameKeeper::fit);
        }
        return false;
    }

private:
    bool normal() const {
        return (window_.windowState() &
                (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) == 0;
    }

    void watchFor(int ms) {
        until_ = std::max(until_, Clock::now() + std::chrono::milliseconds(ms));
    }

    void onTick() {
        fit();
        if (Clock::now() >= until_) {
            tick_.stop();
        }
    }

    void fit() {
        if (!window_.isVisible() || !normal()) {
            return;
        }
        const QRect frame = window_.frameGeometry();
        const QRect wanted = FitWithin(frame, WorkArea(window_));
        if (wanted == frame) {
            return;
        }
        // The frame's size may change with the state; a request that the window could not
        // take (below its minimum size) is not repeated.
        const QRect request(wanted.topLeft(), wanted.marginsRemoved(FrameMargins(window_)).size());
        if (request == requested_) {
            return;
        }
        requested_ = request;
        PlaceFrame(window_, wanted);
    }

    QWidget& window_;
    QTimer tick_;
    Clock::time_point until_;
    QRect requested_;
};

} // namespace

QRect FitWithin(const QRect& frame, const QRect& area) {
    const int width = std::min(frame.width(), area.width());
    const int height = std::min(frame.height(), area.height());
    const int x = std::clamp(frame.x(), area.x(), area.x() + area.width() - width);
    const int y = std::clamp(frame.y(), area.y(), area.y() + area.height() - height);
    return QRect(x, y, width, height);
}

QRect WorkArea(const QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 800, 600);
}

void PlaceFrame(QWidget& window, const QRect& frame) {
    const QMargins margins = FrameMargins(window);
    // A window's position is that of its frame; its size is that of its client area.
    window.move(frame.topLeft());
    window.resize(frame.marginsRemoved(margins).size());
}

void ShowOnWorkArea(QWidget& window) {
    if (!window.isVisible()) {
        // Where the platform knows the frame as soon as it has made the window, the client area
        // takes its final size before the window shows, and what is laid out for it fits.
        window.winId();
        PlaceFrame(window, WorkArea(window));
    }
    // Maximised, the window would be squeezed below its minimum size where the work area is too
    // small for it and its frame; it then stays as placed, at the work area's corner.
    const QSize frame = window.frameGeometry().size() - window.size();
    const QSize room = WorkArea(window).size() - frame;
    if (room.width() >= window.minimumWidth() && room.height() >= window.minimumHeight()) {
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    }
    window.show();
}

void Restore(QWidget& window) {
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
}

void KeepFrameWithinWorkArea(QWidget& window) {
    new FrameKeeper(window);
}

} // namespace talmor
