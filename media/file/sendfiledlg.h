#pragma once

#include <QTimer>
#include <QWidget>

#include <cstdint>

#include "media/file/transfermeter.h"
#include "protocol/registeredwindow.h"

class QLabel;
class QProgressBar;

namespace talmor {

// The transfer strip along the bottom of a chat display (registered window type 7, keyed by
// the peer id): a progress bar from 0 to the file's size, the totals and the speed.
class CSendFileDlg : public QWidget, public RegisteredWindow {
    Q_OBJECT
public:
    static constexpr uint32_t kWindowType = 7;

    CSendFileDlg(WindowRegistry& registry, uint32_t peer, bool sending, uint32_t total,
                 const Ticks& ticks, QWidget* parent = nullptr);

    bool sending() const { return sending_; }
    // At most this often the strip is drawn anew; the latest figures wait for the next turn.
    static constexpr int64_t kRefreshMs = 100;

    // Bar, totals, and the speed when a new sample is due: at once when the last refresh is
    // kRefreshMs ago, else at the next refresh (a file moves thousands of chunks a second).
    void showProgress(uint32_t total, uint32_t done);
    // Shows the latest figures now.
    void refresh();
    // Once a second: after TransferMeter::kStallMs without progress the speed gives way to a
    // note that the console waits for the peer.
    void watchPeer();

    QProgressBar& bar() { return *bar_; }
    QLabel& totals() { return *totals_; }
    QLabel& speed() { return *speed_; }
    QSize sizeHint() const override;

private:
    bool sending_;
    const Ticks& ticks_;
    TransferMeter meter_;
    QTimer refresh_;
    QTimer watch_;
    int64_t shownAt_ = 0;
    uint32_t total_ = 0;
    uint32_t done_ = 0;
    QProgressBar* bar_;
    QLabel* totals_;
    QLabel* speed_;
};

} // namespace talmor
