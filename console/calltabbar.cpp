#include "console/calltabbar.h"

#include <QPaintEvent>
#include <QStyleOptionTab>
#include <QStylePainter>

namespace talmor {

void CallTabBar::setCaptionHidden(int tab, bool hidden) {
    if (tab < 0 || tab >= count()) {
        return;
    }
    if (hidden_.size() < static_cast<std::size_t>(count())) {
        hidden_.resize(static_cast<std::size_t>(count()), false);
    }
    if (hidden_[static_cast<std::size_t>(tab)] != hidden) {
        hidden_[static_cast<std::size_t>(tab)] = hidden;
        update(tabRect(tab));
    }
}

bool CallTabBar::captionHidden(int tab) const {
    return tab >= 0 && static_cast<std::size_t>(tab) < hidden_.size() &&
           hidden_[static_cast<std::size_t>(tab)];
}

void CallTabBar::tabRemoved(int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < hidden_.size()) {
        hidden_.erase(hidden_.begin() + index);
    }
    QTabBar::tabRemoved(index);
}

void CallTabBar::paintEvent(QPaintEvent* event) {
    QStylePainter painter(this);
    const auto paintTab = [&](int tab) {
        QStyleOptionTab option;
        initStyleOption(&option, tab);
        if (!option.rect.intersects(event->rect())) {
            return;
        }
        if (captionHidden(tab)) {
            option.text.clear();
        }
        painter.drawControl(QStyle::CE_TabBarTab, option);
    };
    // The selected tab last, over its neighbours' edges.
    for (int tab = 0; tab < count(); ++tab) {
        if (tab != currentIndex()) {
            paintTab(tab);
        }
    }
    if (currentIndex() >= 0) {
        paintTab(currentIndex());
    }
}

} // namespace talmor
