#include "calls/servicemsgbox.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include "calls/callresources.h"
#include "kit/categories.h"
#include "kit/gbktext.h"
#include "kit/startupmarks.h"

namespace talmor {

QString CategoryPicture(uint32_t category) {
    const int code = category < kCategoryCount ? static_cast<int>(category) : kServiceCategory;
    return QStringLiteral(":/calls/category%1.svg").arg(code, 2, 10, QLatin1Char('0'));
}

CServiceMsgBox::CServiceMsgBox(WindowRegistry& registry, uint32_t userId, const std::string& name,
                               const std::string& phone, uint32_t category)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus),
      RegisteredWindow(registry, kWindowType, userId, 0),
      category_(category < kCategoryCount ? static_cast<int>(category) : kServiceCategory),
      picture_(
          RenderCallPicture(CategoryPicture(category), QSize(kWidth, SlideMotion::kFullHeight))),
      label_(new QLabel(this)), slide_(new QTimer(this)), hold_(new QTimer(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    label_->setTextFormat(Qt::PlainText);
    label_->setAttribute(Qt::WA_TranslucentBackground);
    label_->setText(FromGbk(name) + "(" + FromGbk(phone) + ")");
    label_->setGeometry(16, 50, 150, 16);
    slide_->setInterval(1);
    connect(slide_, &QTimer::timeout, this, [this] { step(); });
    hold_->setSingleShot(true);
    hold_->setInterval(kHoldMs);
    connect(hold_, &QTimer::timeout, this, [this] {
        motion_.holdOver();
        slide_->start();
    });
    place();
    show();
    slide_->start();
    Mark(("message box for " + std::to_string(userId)).c_str());
}

CServiceMsgBox::~CServiceMsgBox() = default;

QString CServiceMsgBox::labelText() const {
    return label_->text();
}

void CServiceMsgBox::step() {
    motion_.tick();
    switch (motion_.phase()) {
    case SlideMotion::Phase::Holding:
        slide_->stop();
        hold_->start();
        break;
    case SlideMotion::Phase::Done:
        slide_->stop();
        close();
        return;
    case SlideMotion::Phase::Rising:
    case SlideMotion::Phase::Sinking:
        break;
    }
    place();
}

void CServiceMsgBox::place() {
    // The work area is read again each time: the task bar may have moved.
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    const int height = motion_.height();
    setGeometry(area.x() + area.width() - kWidth, area.y() + area.height() - height, kWidth,
                height);
}

void CServiceMsgBox::paintEvent(QPaintEvent*) {
    // The picture stands still while the box grows over it from the bottom.
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
}

} // namespace talmor
