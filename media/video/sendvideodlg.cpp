#include "media/video/sendvideodlg.h"

#include <QPainter>
#include <QSvgRenderer>

#include "media/video/codec/picturecodec.h"

static void InitVideoResources() {
    Q_INIT_RESOURCE(video);
}

namespace talmor {

namespace {

QImage Render(const QString& resource, QSize size) {
    InitVideoResources();
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QSvgRenderer renderer(resource);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

QImage FromRgb(const uint8_t* rgb, QSize size) {
    const QImage shared(rgb, kPictureWidth, kPictureHeight, kPictureWidth * 3,
                        QImage::Format_RGB888);
    return shared.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

CSendVideoDlg::CSendVideoDlg(WindowRegistry& registry, uint32_t peerId, QWidget* parent)
    : QWidget(parent), RegisteredWindow(registry, kWindowType, peerId, 0),
      top_(Render(QStringLiteral(":/video/video203.svg"), QSize(kPaneWidth, 175))),
      bottom_(Render(QStringLiteral(":/video/video202.svg"), QSize(kPaneWidth, 144))) {
    setObjectName(QStringLiteral("videoPane"));
    setFixedWidth(kPaneWidth);
    hide();
}

void CSendVideoDlg::setPeerPicture(const uint8_t* rgb) {
    peer_ = FromRgb(rgb, kPeerRect.size());
    update(kPeerRect);
}

void CSendVideoDlg::setOwnPicture(const uint8_t* rgb) {
    own_ = FromRgb(rgb, kOwnSize).copy(0, 0, kOwnSize.width(), kOwnRows);
    update(ownRect());
}

void CSendVideoDlg::clearPictures() {
    peer_ = QImage();
    own_ = QImage();
    update();
}

QRect CSendVideoDlg::ownRect() const {
    return QRect(kOwnX, height() - kOwnFromBottom, kOwnSize.width(), kOwnRows);
}

void CSendVideoDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0xd3, 0xde, 0xea));
    painter.drawImage(0, 0, top_);
    painter.drawImage(0, height() - bottom_.height(), bottom_);
    if (!peer_.isNull()) {
        // A pane shorter than its two backgrounds shows the lower one over the upper one's
        // frame: the peer's picture stays within what shows of its frame.
        painter.save();
        painter.setClipRect(QRect(0, 0, width(), height() - bottom_.height()));
        painter.drawImage(kPeerRect.topLeft(), peer_);
        painter.restore();
    }
    if (!own_.isNull()) {
        painter.drawImage(ownRect().topLeft(), own_);
    }
}

} // namespace talmor
