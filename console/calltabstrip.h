#pragma once

#include <QObject>

#include <array>
#include <functional>

#include "console/calltabbar.h"
#include "console/tabset.h"
#include "kit/categories.h"

class QWidget;

namespace talmor {

class PaneSlot;

// The tab strip (1145) and the 28 panes under it: one per call category and the work pane of
// "当前操作". Only the pane of the selected tab is shown, and never a pane whose right is
// missing.
class CallTabStrip : public QObject {
    Q_OBJECT
public:
    explicit CallTabStrip(QWidget* parent);

    CallTabBar* bar() const { return bar_; }
    PaneSlot* categoryPane(int code) const { return panes_[static_cast<std::size_t>(code)]; }
    PaneSlot* workPane() const { return work_; }
    const TabSet& tabs() const { return tabs_; }
    int currentTab() const { return currentTab_; }
    int rows() const;

    // Replaces the tabs by those of `rights` and selects tab 0.
    void rebuild(const SeatRights& rights);
    // Selects `currentTab` and shows its pane only (SelectTab).
    void select(int tab, const SeatRights& rights);
    // Selects the work tab ("当前操作").
    void selectWorkTab(const SeatRights& rights);
    // Places every pane at `area`.
    void place(const QRect& area);
    // One beat of the blinking: the tab of each category with rows shows its caption on even
    // beats and none on odd ones (keeping its width); a category without rows shows its caption.
    void blink(bool evenBeat, const std::function<int(int code)>& rowCount);

signals:
    // The operator picked a tab.
    void tabChosen(int tab);

private:
    CallTabBar* bar_;
    std::array<PaneSlot*, kCategoryCount> panes_;
    PaneSlot* work_;
    TabSet tabs_;
    int currentTab_ = 0;
    bool rebuilding_ = false;
};

} // namespace talmor
