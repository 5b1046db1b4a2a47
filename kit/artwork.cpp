#include "kit/artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>

#include <array>

#include "widgets/skinbutton.h"

// The resource file lives in a static library: its registration must be called for.
static void RegisterResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(talmor);
        return true;
    }();
    (void)registered;
}

namespace talmor::art {

namespace {

QPixmap Render(const QString& resource, QSize size) {
    RegisterResources();
    QPixmap picture(size);
    picture.fill(Qt::transparent);
    QSvgRenderer renderer(resource);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    return picture;
}

QColor Shade(SkinState state, const QColor& base) {
    switch (state) {
    case SkinState::Hovered:
        return base.lighter(125);
    case SkinState::Pressed:
        return base.darker(125);
    case SkinState::Grey:
        return QColor(160, 160, 160);
    case SkinState::Normal:
        break;
    }
    return base;
}

QPixmap Face(QSize size, SkinState state, const QColor& base, qreal radius) {
    QPixmap picture(size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colour = Shade(state, base);
    QLinearGradient face(0, 0, 0, size.height());
    face.setColorAt(0, colour.lighter(135));
    face.setColorAt(0.5, colour);
    face.setColorAt(1, colour.darker(120));
    painter.setBrush(face);
    painter.setPen(QPen(colour.darker(160), 1));
    painter.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), radius, radius);
    return picture;
}

// A picture filled with a gradient from `from` to `to` along `direction`.
QPixmap Gradient(QSize size, const QColor& from, const QColor& to, Qt::Orientation direction) {
    QPixmap picture(size);
    QPainter painter(&picture);
    const bool vertical = direction == Qt::Vertical;
    QLinearGradient fill(0, 0, vertical ? 0 : size.width(), vertical ? size.height() : 0);
    fill.setColorAt(0, from);
    fill.setColorAt(1, to);
    painter.fillRect(picture.rect(), fill);
    return picture;
}

constexpr std::size_t kStatusOfflineIcon = 1;

const QColor kToolBlue(46, 104, 176);
const QColor kServiceTeal(27, 128, 140);

} // namespace

QIcon AppIcon() {
    QIcon icon;
    for (int side : {16, 32, 64}) {
        icon.addPixmap(Render(":/icons/app.svg", QSize(side, side)));
    }
    return icon;
}

QIcon StatusIcon(uint32_t status) {
    // Made once, so that a shown icon can be told by its cache key.
    static const std::array<QIcon, 4> icons = [] {
        std::array<QIcon, 4> made;
        const char* const names[] = {"online", "offline", "away", "invisible"};
        for (std::size_t i = 0; i < made.size(); ++i) {
            for (int side : {16, 22, 32}) {
                made[i].addPixmap(
                    Render(QString(":/icons/status_%1.svg").arg(names[i]), QSize(side, side)));
            }
        }
        return made;
    }();
    return icons[status < icons.size() ? status : kStatusOfflineIcon];
}

QPixmap Glyph(const QString& name, QSize size) {
    return Render(":/icons/" + name + ".svg", size);
}

QPixmap Logo() {
    return Render(":/icons/logo.svg", QSize(80, 33));
}

QPixmap ToolSkin(QSize size, SkinState state, const QString& glyph) {
    QPixmap picture = Face(size, state, kToolBlue, 3);
    if (!glyph.isEmpty()) {
        QPainter painter(&picture);
        const int side = qMin(size.width(), size.height()) - 6;
        const QPoint at((size.width() - side) / 2, (size.height() - side) / 2);
        painter.drawPixmap(at, Glyph(glyph, QSize(side, side)));
    }
    return picture;
}

QPixmap ServiceSkin(QSize size, SkinState state, const QString& character) {
    QPixmap picture = Face(size, state, kServiceTeal, size.height() / 2.0 - 1);
    QPainter painter(&picture);
    QFont font("Noto Sans CJK SC");
    font.setPixelSize(size.height() - 9);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(state == SkinState::Grey ? QColor(230, 230, 230) : Qt::white);
    painter.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, character);
    return picture;
}

QPixmap ToggleSkin(QSize size, SkinState state, const QString& arrow) {
    QPixmap picture = Face(size, state, QColor(120, 150, 190), 2);
    QPainter painter(&picture);
    const int side = qMin(size.width(), size.height()) + 4;
    painter.drawPixmap(QRect((size.width() - side) / 2, (size.height() - side) / 2, side, side),
                       Glyph(arrow, QSize(side, side)));
    return picture;
}

QPixmap LoginBanner(QSize size) {
    QPixmap picture = Gradient(size, QColor(13, 47, 102), QColor(46, 120, 200), Qt::Horizontal);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawPixmap(14, (size.height() - 40) / 2, Render(":/icons/app.svg", QSize(40, 40)));
    QFont title("Noto Sans CJK SC");
    title.setPixelSize(20);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRect(64, 0, size.width() - 70, size.height()), Qt::AlignVCenter,
                     QString::fromUtf8("Quorvane社区智能化管理服务系统"));
    return picture;
}

QPixmap LoginFormBackground(QSize size) {
    QPixmap picture = Gradient(size, QColor(240, 245, 252), QColor(213, 226, 241), Qt::Vertical);
    QPainter painter(&picture);
    painter.setPen(QColor(160, 185, 215));
    painter.drawLine(0, 0, size.width(), 0);
    return picture;
}

QPixmap WaitBackground(QSize size) {
    QPixmap picture = Gradient(size, QColor(246, 249, 253), QColor(213, 226, 241), Qt::Vertical);
    QPainter painter(&picture);
    const QSize band(size.width(), 18);
    painter.drawPixmap(0, size.height() - band.height(),
                       Gradient(band, QColor(13, 47, 102), QColor(46, 120, 200), Qt::Horizontal));
    return picture;
}

QPixmap PromptBackground(QSize size) {
    return Gradient(size, QColor(0, 40, 110), QColor(10, 80, 160), Qt::Vertical);
}

QPixmap FrameTop(QSize size) {
    QPixmap picture = Gradient(size, QColor(219, 231, 246), QColor(190, 210, 236), Qt::Vertical);
    QPainter painter(&picture);
    const QSize corner(300, 38);
    const int left = size.width() - corner.width();
    painter.drawPixmap(
        left, 0, Gradient(corner, QColor(219, 231, 246), QColor(13, 47, 102), Qt::Horizontal));
    QFont title("Noto Sans CJK SC");
    title.setPixelSize(13);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRect(left, 0, corner.width() - 86, 33), Qt::AlignRight | Qt::AlignVCenter,
                     QString::fromUtf8("社区智能化管理服务系统"));
    painter.setPen(QColor(150, 176, 210));
    painter.drawLine(0, size.height() - 1, size.width(), size.height() - 1);
    return picture;
}

QPixmap FrameBottom(QSize size) {
    QPixmap picture = Gradient(size, QColor(213, 226, 241), QColor(190, 210, 236), Qt::Vertical);
    QPainter painter(&picture);
    painter.setPen(QColor(150, 176, 210));
    painter.drawLine(0, 0, size.width(), 0);
    return picture;
}

void SkinToggle(SkinButton& button, QSize size, const QString& arrow) {
    button.setSkin(ToggleSkin(size, SkinState::Normal, arrow),
                   ToggleSkin(size, SkinState::Hovered, arrow),
                   ToggleSkin(size, SkinState::Pressed, arrow));
}

} // namespace talmor::art
