#pragma once

#include <QTabBar>

#include <vector>

namespace talmor {

// The tab bar of the call categories. A blinking tab hides its caption on odd beats without
// changing its text, so the tab keeps its width and the tabs to its right stay in place.
class CallTabBar : public QTabBar {
    Q_OBJECT
public:
    explicit CallTabBar(QWidget* parent = nullptr) : QTabBar(parent) {}

    void setCaptionHidden(int tab, bool hidden);
    bool captionHidden(int tab) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void tabRemoved(int index) override;

private:
    std::vector<bool> hidden_;
};

} // namespace talmor
