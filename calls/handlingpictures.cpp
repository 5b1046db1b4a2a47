#include "calls/handlingpictures.h"

#include <QPainter>
#include <QSvgRenderer>

static void InitHandlingResources() {
    Q_INIT_RESOURCE(handling);
}

namespace talmor {

QPixmap HandlingPicture(const QString& name) {
    static const bool registered = [] {
        InitHandlingResources();
        return true;
    }();
    (void)registered;
    QSvgRenderer renderer(QStringLiteral(":/handling/%1.svg").arg(name));
    if (!renderer.isValid()) {
        return QPixmap();
    }
    QPixmap picture(renderer.defaultSize());
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    return picture;
}

} // namespace talmor
