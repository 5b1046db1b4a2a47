#include "media/video/testpatternsource.h"

#include "media/video/codec/testpattern.h"

namespace talmor {

TestPatternSource::TestPatternSource(int rate, QObject* parent) : VideoSource(parent) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(1000 / std::max(1, rate));
    connect(&timer_, &QTimer::timeout, this, &TestPatternSource::next);
}

bool TestPatternSource::start() {
    index_ = 0;
    timer_.start();
    return true;
}

void TestPatternSource::stop() {
    timer_.stop();
}

void TestPatternSource::next() {
    TestPattern::draw(index_++, rgb_);
    emit picture(QByteArray(reinterpret_cast<const char*>(rgb_.data()),
                            static_cast<qsizetype>(rgb_.size())));
}

} // namespace talmor
