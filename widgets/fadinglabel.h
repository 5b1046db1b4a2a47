#pragma once

#include <QTimer>

#include "widgets/colorlabel.h"

namespace talmor {

// A coloured label whose text fades in: each new text starts in the `from` colour and reaches
// the label's text colour in 100 even steps of 10 ms.
class FadingLabel : public ColorLabel {
    Q_OBJECT
public:
    static constexpr int kSteps = 100;
    static constexpr int kStepMs = 10;

    FadingLabel(const QColor& from, const QColor& to, const QColor& background,
                QWidget* parent = nullptr);

    void setFadingText(const QString& text);
    // The colour the text is drawn in at `step` (0 to kSteps) of the fade.
    QColor colorAt(int step) const;
    int step() const { return step_; }
    bool fading() const { return timer_.isActive(); }

private:
    void advance();

    QColor from_;
    QTimer timer_;
    int step_ = kSteps;
};

} // namespace talmor
