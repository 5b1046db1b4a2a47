#include "messaging/chat/userpicdlg.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace talmor {

CUserPicDlg::CUserPicDlg(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picturePane"));
}

void CUserPicDlg::setPictures(uint32_t peerIndex, uint32_t ownIndex) {
    peer_ = peerIndex < kPictures ? peerIndex : 0;
    own_ = ownIndex < kPictures ? ownIndex : 0;
    update();
}

QImage CUserPicDlg::picture(uint32_t index) {
    // Our own drawing: a head and shoulders on a background of the cell's hue.
    QImage image(kCell, kCell, QImage::Format_ARGB32_Premultiplied);
    const QColor back = QColor::fromHsv(static_cast<int>(index % kPictures) * 30, 60, 240);
    const QColor figure = QColor::fromHsv(static_cast<int>(index % kPictures) * 30, 160, 150);
    image.fill(back);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(figure);
    painter.drawEllipse(QPointF(47.5, 36), 18, 18);
    QPainterPath body;
    body.addRoundedRect(QRectF(17, 60, 61, 50), 24, 24);
    painter.drawPath(body);
    return image;
}

void CUserPicDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int x = (width() - kCell) / 2;
    painter.drawImage(x, 0, picture(peer_));
    painter.drawImage(x, std::max(kCell + 8, height() - kCell), picture(own_));
}

} // namespace talmor
