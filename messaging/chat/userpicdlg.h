#pragma once

#include <QWidget>

#include <cstdint>

namespace talmor {

// The chat window's picture pane: the peer's picture above the operator's own, each a 95 x 95
// cell chosen by the user's picture index (an index above 11 shows cell 0).
class CUserPicDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int kCell = 95;
    static constexpr uint32_t kPictures = 12;

    explicit CUserPicDlg(QWidget* parent);
    void setPictures(uint32_t peerIndex, uint32_t ownIndex);
    uint32_t peerCell() const { return peer_; }

    // The picture of cell `index` (0 to 11).
    static QImage picture(uint32_t index);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    uint32_t peer_ = 0;
    uint32_t own_ = 0;
};

} // namespace talmor
