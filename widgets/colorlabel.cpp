#include "widgets/colorlabel.h"

#include <QMouseEvent>

namespace talmor {

ColorLabel::ColorLabel(QWidget* parent) : ColorLabel(Qt::black, QColor(236, 233, 216), parent) {}

ColorLabel::ColorLabel(const QColor& text, const QColor& background, QWidget* parent)
    : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setAutoFillBackground(true);
    setColors(text, background);
}

void ColorLabel::setColors(const QColor& text, const QColor& background) {
    textColor_ = text;
    background_ = background;
    QPalette colours = palette();
    colours.setColor(QPalette::Window, background);
    colours.setColor(QPalette::WindowText, text);
    setPalette(colours);
}

void ColorLabel::mousePressEvent(QMouseEvent* event) {
    emit pressed(event->globalPosition().toPoint());
    QLabel::mousePressEvent(event);
}

void ColorLabel::setDrawnTextColor(const QColor& color) {
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, color);
    setPalette(colours);
}

} // namespace talmor
