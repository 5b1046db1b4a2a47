#pragma once

#include <QPixmap>
#include <QWidget>

#include <cstdint>
#include <string>

#include "calls/slidemotion.h"
#include "protocol/registeredwindow.h"

class QLabel;
class QTimer;

namespace talmor {

// The picture that slides up from the bottom-right corner of the work area when a call is
// taken in: the call's category picture with the caller's name and telephone. It holds five
// seconds, slides away and closes itself. Registered as window type 23 keyed by the caller.
class CServiceMsgBox : public QWidget, public RegisteredWindow {
    Q_OBJECT
public:
    static constexpr uint32_t kWindowType = 23;
    static constexpr int kWidth = 182;
    static constexpr int kHoldMs = 5000;

    // `name` and `phone` are GBK; a category outside 0 to 26 shows the customer-service
    // picture. The box shows itself and starts rising.
    CServiceMsgBox(WindowRegistry& registry, uint32_t userId, const std::string& name,
                   const std::string& phone, uint32_t category);
    ~CServiceMsgBox() override;

    int category() const { return category_; }
    const SlideMotion& motion() const { return motion_; }
    QString labelText() const;
    const QPixmap& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void step();
    void place();

    int category_;
    QPixmap picture_;
    QLabel* label_;
    QTimer* slide_;
    QTimer* hold_;
    SlideMotion motion_;
};

// The picture resource of category `category` (":/calls/categoryNN.svg").
QString CategoryPicture(uint32_t category);

} // namespace talmor
