#include "messaging/contactpictures.h"

#include <QHash>
#include <QLabel>
#include <QPainter>
#include <QSvgRenderer>
#include <QVBoxLayout>

#include "protocol/records.h"

static void InitContactResources() {
    Q_INIT_RESOURCE(contacts);
}

namespace talmor {

namespace {

constexpr QSize kMarkSize(16, 16);
constexpr QSize kBannerSize(320, 48);

// Each picture is drawn once and shared: the list paints one per visible row.
QPixmap Picture(const QString& name, QSize size) {
    static const bool registered = [] {
        InitContactResources();
        return true;
    }();
    (void)registered;
    static QHash<QString, QPixmap> drawn;
    const auto found = drawn.constFind(name);
    if (found != drawn.constEnd()) {
        return *found;
    }
    QPixmap picture(size);
    picture.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/contacts/") + name);
    if (renderer.isValid()) {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
    }
    drawn.insert(name, picture);
    return picture;
}

} // namespace

QPixmap StatusPicture(uint32_t status) {
    switch (status) {
    case kStatusOffline:
        return Picture(QStringLiteral("offline.svg"), kMarkSize);
    case kStatusAway:
        return Picture(QStringLiteral("away.svg"), kMarkSize);
    default:
        return Picture(QStringLiteral("online.svg"), kMarkSize);
    }
}

QPixmap ExpandPicture(bool expanded) {
    return Picture(expanded ? QStringLiteral("expanded.svg") : QStringLiteral("collapsed.svg"),
                   kMarkSize);
}

QPixmap GroupBanner(bool create) {
    return Picture(create ? QStringLiteral("creategroup.svg") : QStringLiteral("renamegroup.svg"),
                   kBannerSize);
}

QPixmap SearchBanner() {
    return Picture(QStringLiteral("search.svg"), kBannerSize);
}

QVBoxLayout* UnderBanner(QWidget& page, const QPixmap& banner) {
    auto* picture = new QLabel(&page);
    picture->setPixmap(banner);
    auto* layout = new QVBoxLayout(&page);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->addWidget(picture);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(12, 4, 12, 0);
    layout->addLayout(body);
    return body;
}

} // namespace talmor
