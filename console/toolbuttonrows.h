#pragma once

#include <QWidget>

#include <map>

#include "protocol/sessionrecords.h"

namespace talmor {

class ColorLabel;
class SkinButton;

// The band along the top of the main window: the first row of tool buttons, the call counters
// (1070 SOS total, 1071 help total, 1078 registered customers) and the second row of service
// buttons with their tooltips. A press reports the button's command number.
class ToolButtonRows : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 94;

    explicit ToolButtonRows(QWidget* parent = nullptr);

    SkinButton* button(int id) const;
    ColorLabel* label(int id) const;
    void setLabelText(int id, const QString& text);
    // Buttons 1008, 1009 and 1011 turn grey and disabled without rights 0, 2 and 6.
    void applyRights(const SeatRights& rights);

signals:
    void command(int id);
    // A press on the logo in the top right corner.
    void logoClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    SkinButton* addButton(int id, QPoint at, QSize size);
    QRect logoArea() const;

    std::map<int, SkinButton*> buttons_;
    std::map<int, ColorLabel*> labels_;
};

} // namespace talmor
