#include "widgets/skinbutton.h"

#include <QPainter>

namespace talmor {

SkinButton::SkinButton(QWidget* parent) : QAbstractButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void SkinButton::setSkin(const QPixmap& normal, const QPixmap& hovered, const QPixmap& pressed) {
    normal_ = normal;
    hovered_ = hovered;
    pressed_ = pressed;
    setFixedSize(normal_.deviceIndependentSize().toSize());
    update();
}

void SkinButton::setDisabledSkin(const QPixmap& grey) {
    grey_ = grey;
    update();
}

QSize SkinButton::sizeHint() const {
    return normal_.isNull() ? QSize(16, 16) : normal_.deviceIndependentSize().toSize();
}

void SkinButton::enterEvent(QEnterEvent* event) {
    hover_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void SkinButton::leaveEvent(QEvent* event) {
    hover_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void SkinButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = rect();
    if (!isEnabled()) {
        if (grey_.isNull()) {
            painter.setOpacity(0.4);
            painter.drawPixmap(area, normal_);
        } else {
            painter.drawPixmap(area, grey_);
        }
    } else if (isDown() || isChecked()) {
        painter.drawPixmap(area, pressed_.isNull() ? normal_ : pressed_);
    } else if (hover_) {
        painter.drawPixmap(area, hovered_.isNull() ? normal_ : hovered_);
    } else {
        painter.drawPixmap(area, normal_);
    }
    if (!text().isEmpty()) {
        painter.setOpacity(1.0);
        painter.setPen(isEnabled() ? captionColor_ : QColor(150, 150, 150));
        painter.setFont(font());
        const QRect textArea = isDown() ? area.translated(1, 1) : area;
        painter.drawText(textArea, Qt::AlignCenter, text());
    }
}

} // namespace talmor
