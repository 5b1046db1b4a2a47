#pragma once

#include <array>
#include <string>
#include <vector>

#include "kit/categories.h"
#include "protocol/sessionrecords.h"

namespace talmor {

// Tab index of a category the operator may not see.
constexpr int kNoTab = 1218;

// What the tab strip holds after a login: help, SOS, then the service categories in the order
// of their rights (20 to 44, which puts customer service last), each only with its right, and
// always "当前操作" last.
class TabSet {
public:
    TabSet();
    static TabSet FromRights(const SeatRights& rights);

    // Captions in tab order (UTF-8), the work tab last.
    const std::vector<std::string>& captions() const { return captions_; }
    // The tab of category `code`, or kNoTab.
    int tabOf(int code) const { return tabIndex_[static_cast<std::size_t>(code)]; }
    // The category on `tab`, or -1 (the work tab, or no such tab).
    int categoryOn(int tab) const;
    int workTab() const { return static_cast<int>(captions_.size()) - 1; }
    bool empty() const { return captions_.empty(); }

    // What the call area shows for the selected tab: a category's pane (its code), the work
    // pane (kWorkPane) or nothing (kNoPane). A pane whose right is missing is never shown.
    static constexpr int kWorkPane = -1;
    static constexpr int kNoPane = -2;
    int paneFor(int currentTab, const SeatRights& rights) const;

private:
    std::vector<std::string> captions_;
    std::array<int, kCategoryCount> tabIndex_;
};

} // namespace talmor
