#include "media/file/sendfiledlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

#include <algorithm>
#include <limits>

namespace talmor {

namespace {
constexpr int kWatchMs = 1000;
// The bar counts in units that fit its int range: bytes up to 2 GiB, kilobytes above.
int BarUnits(uint32_t bytes, uint32_t total) {
    return total > static_cast<uint32_t>(std::numeric_limits<int>::max())
               ? static_cast<int>(bytes / 1024)
               : static_cast<int>(bytes);
}
} // namespace

CSendFileDlg::CSendFileDlg(WindowRegistry& registry, uint32_t peer, bool sending, uint32_t total,
                           const Ticks& ticks, QWidget* parent)
    : QWidget(parent), RegisteredWindow(registry, kWindowType, peer, 0), sending_(sending),
      ticks_(ticks), meter_(ticks.ms()), shownAt_(ticks.ms() - kRefreshMs) {
    setObjectName(QStringLiteral("sendFile") + QString::number(peer));
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("progress1030"));
    bar_->setTextVisible(false);
    totals_ = new QLabel(this);
    totals_->setObjectName(QStringLiteral("text1031"));
    speed_ = new QLabel(TransferMeter::InitialSpeed(), this);
    speed_->setObjectName(QStringLiteral("text1032"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 1, 2, 1);
    row->addWidget(bar_, 1);
    row->addWidget(totals_);
    row->addWidget(speed_);
    refresh_.setSingleShot(true);
    connect(&refresh_, &QTimer::timeout, this, &CSendFileDlg::refresh);
    connect(&watch_, &QTimer::timeout, this, &CSendFileDlg::watchPeer);
    watch_.start(kWatchMs);
    total_ = total;
    bar_->setRange(0, std::max(1, BarUnits(total, total)));
    totals_->setText(TransferMeter::Totals(total, 0));
}

QSize CSendFileDlg::sizeHint() const {
    return {400, 22};
}

void CSendFileDlg::showProgress(uint32_t total, uint32_t done) {
    total_ = total;
    done_ = done;
    meter_.seen(done, ticks_.ms());
    const int64_t since = ticks_.ms() - shownAt_;
    if (since >= kRefreshMs) {
        refresh();
    } else if (!refresh_.isActive()) {
        refresh_.start(static_cast<int>(kRefreshMs - since));
    }
}

void CSendFileDlg::refresh() {
    refresh_.stop();
    shownAt_ = ticks_.ms();
    bar_->setMaximum(std::max(1, BarUnits(total_, total_)));
    bar_->setValue(BarUnits(done_, total_));
    totals_->setText(TransferMeter::Totals(total_, done_));
    if (const std::optional<QString> text = meter_.speed(done_, shownAt_)) {
        speed_->setText(meter_.stalled(shownAt_) ? TransferMeter::WaitingForPeer() : *text);
    }
}

void CSendFileDlg::watchPeer() {
    if (meter_.stalled(ticks_.ms())) {
        speed_->setText(TransferMeter::WaitingForPeer());
    }
}

} // namespace talmor
