#pragma once

#include <QAbstractButton>
#include <QPixmap>

namespace talmor {

// A button drawn from pictures: one for each of normal, hovered and pressed, and a grey one
// while disabled. It takes the size of its normal picture and shows the hand cursor. A caption,
// when set, is drawn centred on the picture.
class SkinButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit SkinButton(QWidget* parent = nullptr);

    void setSkin(const QPixmap& normal, const QPixmap& hovered, const QPixmap& pressed);
    // Shown while the button is disabled; without one the normal picture is drawn faded.
    void setDisabledSkin(const QPixmap& grey);
    void setCaptionColor(const QColor& color) { captionColor_ = color; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QPixmap normal_;
    QPixmap hovered_;
    QPixmap pressed_;
    QPixmap grey_;
    QColor captionColor_{Qt::white};
    bool hover_ = false;
};

} // namespace talmor
