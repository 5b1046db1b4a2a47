#pragma once

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
    // Bar, totals, and the speed when a new sample is due.
    void showProgress(uint32_t total, uint32_t done);

    QProgressBar& bar() { return *bar_; }
    QLabel& totals() { return *totals_; }
    QLabel& speed() { return *speed_; }
    QSize sizeHint() const override;

private:
    bool sending_;
    const Ticks& ticks_;
    TransferMeter meter_;
    QProgressBar* bar_;
    QLabel* totals_;
    QLabel* speed_;
};

} // namespace talmor
