#include "media/file/transfermeter.h"

namespace talmor {

QString TransferMeter::Totals(uint32_t total, uint32_t done) {
    return QStringLiteral("总计:") + QString::number(total) + QLatin1Char('/') +
           QString::number(done);
}

std::optional<QString> TransferMeter::speed(uint32_t done, int64_t nowMs) {
    const int64_t elapsed = nowMs - sampleMs_;
    if (elapsed < kSampleMs) {
        return std::nullopt;
    }
    // Bytes per millisecond over 1.024 is kilobytes (of 1024 bytes) per second.
    const double kb =
        static_cast<double>(done - sampleDone_) / static_cast<double>(elapsed) / 1.024;
    sampleMs_ = nowMs;
    sampleDone_ = done;
    return QString::asprintf("%.1fKB/S", kb);
}

void TransferMeter::seen(uint32_t done, int64_t nowMs) {
    if (done != lastDone_) {
        lastDone_ = done;
        movedMs_ = nowMs;
    }
}

} // namespace talmor
