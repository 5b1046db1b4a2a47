#include "console/tabset.h"

#include "kit/texts.h"

namespace talmor {

namespace {
constexpr int kFirstServiceRight = 20;
constexpr int kLastServiceRight = 44;
} // namespace

TabSet::TabSet() {
    tabIndex_.fill(kNoTab);
}

TabSet TabSet::FromRights(const SeatRights& rights) {
    TabSet set;
    const auto append = [&set](int code) {
        set.tabIndex_[static_cast<std::size_t>(code)] = static_cast<int>(set.captions_.size());
        set.captions_.emplace_back(kCategories[static_cast<std::size_t>(code)].caption);
    };
    if (rights.granted(kHelpRight)) {
        append(kHelpCategory);
    }
    if (rights.granted(kSosRight)) {
        append(kSosCategory);
    }
    for (int right = kFirstServiceRight; right <= kLastServiceRight; ++right) {
        if (rights.granted(static_cast<std::size_t>(right))) {
            append(CategoryOfRight(right));
        }
    }
    set.captions_.emplace_back(text::kWorkTab);
    return set;
}

int TabSet::categoryOn(int tab) const {
    for (std::size_t code = 0; code < tabIndex_.size(); ++code) {
        if (tabIndex_[code] == tab) {
            return static_cast<int>(code);
        }
    }
    return -1;
}

int TabSet::paneFor(int currentTab, const SeatRights& rights) const {
    if (captions_.empty()) {
        return kNoPane;
    }
    if (currentTab == workTab()) {
        return kWorkPane;
    }
    const int code = categoryOn(currentTab);
    if (code < 0) {
        return kNoPane;
    }
    const int right = kCategories[static_cast<std::size_t>(code)].right;
    return rights.granted(static_cast<std::size_t>(right)) ? code : kNoPane;
}

} // namespace talmor
