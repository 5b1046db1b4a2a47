#include "widgets/fadinglabel.h"

namespace talmor {

FadingLabel::FadingLabel(const QColor& from, const QColor& to, const QColor& background,
                         QWidget* parent)
    : ColorLabel(to, background, parent), from_(from) {
    timer_.setInterval(kStepMs);
    connect(&timer_, &QTimer::timeout, this, &FadingLabel::advance);
}

void FadingLabel::setFadingText(const QString& text) {
    setText(text);
    step_ = 0;
    setDrawnTextColor(colorAt(step_));
    timer_.start();
}

QColor FadingLabel::colorAt(int step) const {
    const QColor to = textColor();
    const auto mix = [step](int a, int b) { return a + (b - a) * step / kSteps; };
    return QColor(mix(from_.red(), to.red()), mix(from_.green(), to.green()),
                  mix(from_.blue(), to.blue()));
}

void FadingLabel::advance() {
    ++step_;
    setDrawnTextColor(colorAt(step_));
    if (step_ >= kSteps) {
        timer_.stop();
    }
}

} // namespace talmor
