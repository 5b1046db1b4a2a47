#include "console/ecpbar.h"

#include <QPainter>

#include "kit/artwork.h"
#include "widgets/skinbutton.h"

namespace talmor {

CECPBar::CECPBar(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    const QSize size(EcpBarPlacement::kButtonWidth, EcpBarPlacement::kButtonHeight);
    const std::pair<int, const char*> faces[] = {
        {kEcpCallButton, "拨"}, {kEcpSmsButton, "信"}, {kEcpMailButton, "邮"}};
    for (const auto& [id, character] : faces) {
        auto* button = new SkinButton(this);
        const QString glyph = QString::fromUtf8(character);
        button->setSkin(art::ServiceSkin(size, art::SkinState::Normal, glyph),
                        art::ServiceSkin(size, art::SkinState::Hovered, glyph),
                        art::ServiceSkin(size, art::SkinState::Pressed, glyph));
        button->resize(size);
        button->hide();
        connect(button, &SkinButton::clicked, this, [this, id = id] {
            // The values go by copy: the receiver may move the bar away.
            const EcpBarValues values = values_;
            emit pressed(id, values);
        });
        buttons_[id] = button;
    }
    apply(EcpBarPlacement::Initial());
}

SkinButton* CECPBar::button(int id) const {
    const auto found = buttons_.find(id);
    return found == buttons_.end() ? nullptr : found->second;
}

void CECPBar::apply(const EcpBarPlacement& placement) {
    values_ = placement.values;
    for (const auto& [id, button] : buttons_) {
        button->hide();
    }
    int index = 0;
    for (const int id : placement.buttons) {
        SkinButton* shown = buttons_.at(id);
        shown->setGeometry(EcpBarPlacement::ButtonRect(index++));
        shown->show();
    }
    setGeometry(placement.geometry);
    setVisible(placement.visible);
}

void CECPBar::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), Qt::white);
}

} // namespace talmor
