#pragma once

#include <QColor>
#include <QLabel>

namespace talmor {

// A static text in its own colours. It always shows its text as plain text, so a text from the
// server can never be read as markup.
class ColorLabel : public QLabel {
    Q_OBJECT
public:
    explicit ColorLabel(QWidget* parent = nullptr);
    ColorLabel(const QColor& text, const QColor& background, QWidget* parent = nullptr);

    void setColors(const QColor& text, const QColor& background);
    QColor textColor() const { return textColor_; }
    QColor backgroundColor() const { return background_; }

signals:
    // A mouse button went down on the label, at `globalPos`.
    void pressed(const QPoint& globalPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    // The colour the text is drawn in now (the fading label moves it).
    void setDrawnTextColor(const QColor& color);

private:
    QColor textColor_;
    QColor background_;
};

} // namespace talmor
