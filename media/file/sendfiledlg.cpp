#include "media/file/sendfiledlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

#include <algorithm>
#include <limits>

namespace talmor {

namespace {
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
      ticks_(ticks), meter_(ticks.ms()) {
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
    bar_->setRange(0, std::max(1, BarUnits(total, total)));
    totals_->setText(TransferMeter::Totals(total, 0));
}

QSize CSendFileDlg::sizeHint() const {
    return {400, 22};
}

void CSendFileDlg::showProgress(uint32_t total, uint32_t done) {
    bar_->setMaximum(std::max(1, BarUnits(total, total)));
    bar_->setValue(BarUnits(done, total));
    totals_->setText(TransferMeter::Totals(total, done));
    if (const std::optional<QString> text = meter_.speed(done, ticks_.ms())) {
        speed_->setText(*text);
    }
}

} // namespace talmor
