#include "console/options/phraselist.h"

#include <algorithm>

namespace talmor {

void PhraseList::load(std::vector<std::string> phrases, const std::string& current) {
    phrases_ = std::move(phrases);
    const auto match = std::find(phrases_.begin(), phrases_.end(), current);
    shown_ = phrases_.empty()          ? -1
             : match == phrases_.end() ? 0
                                       : static_cast<int>(match - phrases_.begin());
}

void PhraseList::keep(const std::optional<std::string>& edited) {
    if (edited && shown_ >= 0 && shown_ < static_cast<int>(phrases_.size())) {
        phrases_[static_cast<std::size_t>(shown_)] = *edited;
    }
}

void PhraseList::select(int index, const std::optional<std::string>& edited) {
    keep(edited);
    shown_ = index >= 0 && index < static_cast<int>(phrases_.size()) ? index : -1;
}

void PhraseList::add(const std::optional<std::string>& edited) {
    keep(edited);
    phrases_.emplace_back();
    shown_ = static_cast<int>(phrases_.size()) - 1;
}

void PhraseList::remove() {
    if (shown_ < 0 || shown_ >= static_cast<int>(phrases_.size())) {
        return;
    }
    phrases_.erase(phrases_.begin() + shown_);
    if (shown_ > 0) {
        --shown_;
    } else if (phrases_.empty()) {
        shown_ = -1;
    }
}

std::string PhraseList::shownText() const {
    return shown_ >= 0 && shown_ < static_cast<int>(phrases_.size())
               ? phrases_[static_cast<std::size_t>(shown_)]
               : std::string();
}

} // namespace talmor
