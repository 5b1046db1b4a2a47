#include "calls/callresources.h"

#include <QPainter>
#include <QSvgRenderer>

static void InitCallResources() {
    Q_INIT_RESOURCE(calls);
}

namespace talmor {

void RegisterCallResources() {
    static const bool registered = [] {
        InitCallResources();
        return true;
    }();
    (void)registered;
}

QPixmap RenderCallPicture(const QString& resource, QSize size) {
    RegisterCallResources();
    QSvgRenderer renderer(resource);
    if (!renderer.isValid()) {
        return QPixmap();
    }
    QPixmap picture(size.isEmpty() ? renderer.defaultSize() : size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    return picture;
}

} // namespace talmor
