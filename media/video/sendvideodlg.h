#pragma once

#include <QImage>
#include <QWidget>

#include <cstdint>

#include "protocol/registeredwindow.h"

namespace talmor {

// The video pane of a chat window (registered window type 9, keyed by the peer's id): the
// peer's pictures large, the operator's own small, over two background pictures. It only
// shows; the video chat decides what.
class CSendVideoDlg : public QWidget, public RegisteredWindow {
    Q_OBJECT
public:
    static constexpr uint32_t kWindowType = 9;
    static constexpr int kPaneWidth = 187;
    // Where the pictures go: the peer's at (7, 28) scaled to 167 x 139; the own one scaled to
    // 97 x 93 of which the top 90 rows show, at (41, pane height - 120).
    static constexpr QRect kPeerRect{7, 28, 167, 139};
    static constexpr QSize kOwnSize{97, 93};
    static constexpr int kOwnRows = 90;
    static constexpr int kOwnX = 41;
    static constexpr int kOwnFromBottom = 120;

    CSendVideoDlg(WindowRegistry& registry, uint32_t peerId, QWidget* parent = nullptr);

    // 176 x 144 RGB24 pictures.
    void setPeerPicture(const uint8_t* rgb);
    void setOwnPicture(const uint8_t* rgb);
    // Back to the backgrounds alone (a new chat starts without the last one's pictures).
    void clearPictures();

    const QImage& peerPicture() const { return peer_; }
    const QImage& ownPicture() const { return own_; }
    QRect ownRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage top_;
    QImage bottom_;
    QImage peer_;
    QImage own_;
};

} // namespace talmor
