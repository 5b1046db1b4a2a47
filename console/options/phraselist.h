#pragma once

#include <optional>
#include <string>
#include <vector>

namespace talmor {

// One phrase list of the options sheet as its drop-down list, edit box and add and delete
// buttons edit it, without the widgets: the phrases (GBK) and the index of the phrase shown in
// the edit box (-1 when none). The drop-down list shows the numbers 1 to n of the phrases and
// its selection is the shown index. The edit box's text comes in as `edited`: the operator's
// text when it was changed since the phrase was shown, none when it was not, so that a phrase
// nobody touched keeps its bytes exactly.
class PhraseList {
public:
    // The list as loaded from its file; the first phrase equal to `current` is shown, else the
    // first one, else none.
    void load(std::vector<std::string> phrases, const std::string& current);

    // The operator chose the phrase at `index` (or none, -1): the edit box's text goes into the
    // phrase shown until now, then the chosen one is shown.
    void select(int index, const std::optional<std::string>& edited);
    // 增加: an empty phrase is appended and shown, after the edit box's text was kept.
    void add(const std::optional<std::string>& edited);
    // 删除: the shown phrase is removed; the one before it is shown, or the new first one when
    // it was the first, or none when the list is empty.
    void remove();
    // OK: the edit box's text goes into the shown phrase.
    void keep(const std::optional<std::string>& edited);

    const std::vector<std::string>& phrases() const { return phrases_; }
    int shown() const { return shown_; }
    // The text of the shown phrase; empty when none is shown.
    std::string shownText() const;
    bool empty() const { return phrases_.empty(); }

private:
    std::vector<std::string> phrases_;
    int shown_ = -1;
};

} // namespace talmor
