#include "console/clientarea.h"

#include <QPainter>

#include "kit/artwork.h"

namespace talmor {

namespace {
constexpr int kBottomFrame = 45;
} // namespace

ClientArea::ClientArea(QWidget* parent) : QWidget(parent) {}

void ClientArea::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(236, 233, 216));
    painter.drawPixmap(0, height() - kBottomFrame, art::FrameBottom(QSize(width(), kBottomFrame)));
}

void ClientArea::resizeEvent(QResizeEvent*) {
    emit resized();
}

} // namespace talmor
