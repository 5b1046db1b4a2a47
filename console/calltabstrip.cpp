#include "console/calltabstrip.h"

#include "console/paneslot.h"
#include "kit/texts.h"

namespace talmor {

CallTabStrip::CallTabStrip(QWidget* parent) : QObject(parent), bar_(new CallTabBar(parent)) {
    bar_->setDrawBase(false);
    bar_->setExpanding(false);
    bar_->setUsesScrollButtons(true);
    // Compact tabs: a row is 19 pixels high.
    bar_->setStyleSheet(
        "QTabBar::tab { height: 17px; padding: 0px 9px; margin-right: 1px; color: #15428b;"
        " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f3f7fc, stop:1 #d5e2f1);"
        " border: 1px solid #9db3d3; border-bottom: none; border-top-left-radius: 3px;"
        " border-top-right-radius: 3px; }"
        "QTabBar::tab:selected { background: #ffffff; font-weight: bold; }"
        "QTabBar::tab:hover:!selected { background: #e8f0fa; }");
    for (PaneSlot*& pane : panes_) {
        pane = new PaneSlot(parent);
        pane->hide();
    }
    work_ = new PaneSlot(parent);
    work_->hide();
    connect(bar_, &QTabBar::currentChanged, this, [this](int tab) {
        if (!rebuilding_) {
            emit tabChosen(tab);
        }
    });
}

int CallTabStrip::rows() const {
    return bar_->count() > 0 ? 1 : 0;
}

void CallTabStrip::rebuild(const SeatRights& rights) {
    rebuilding_ = true;
    while (bar_->count() > 0) {
        bar_->removeTab(0);
    }
    tabs_ = TabSet::FromRights(rights);
    for (const std::string& caption : tabs_.captions()) {
        bar_->addTab(QString::fromUtf8(caption.c_str()));
    }
    rebuilding_ = false;
    currentTab_ = 0;
}

void CallTabStrip::select(int tab, const SeatRights& rights) {
    currentTab_ = tab;
    rebuilding_ = true;
    bar_->setCurrentIndex(tab);
    rebuilding_ = false;
    for (PaneSlot* pane : panes_) {
        pane->hide();
    }
    work_->hide();
    const int pane = tabs_.paneFor(tab, rights);
    if (pane == TabSet::kWorkPane) {
        work_->show();
    } else if (pane >= 0) {
        panes_[static_cast<std::size_t>(pane)]->show();
    }
}

void CallTabStrip::selectWorkTab(const SeatRights& rights) {
    select(tabs_.workTab(), rights);
}

void CallTabStrip::place(const QRect& area) {
    for (PaneSlot* pane : panes_) {
        pane->setGeometry(area);
    }
    work_->setGeometry(area);
}

void CallTabStrip::blink(bool evenBeat, const std::function<int(int code)>& rowCount) {
    for (const Category& category : kCategories) {
        const int tab = tabs_.tabOf(category.code);
        if (tab == kNoTab) {
            continue;
        }
        bar_->setCaptionHidden(tab, !evenBeat && rowCount(category.code) > 0);
    }
}

} // namespace talmor
