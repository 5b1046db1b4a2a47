#pragma once

#include <vector>

class QTableView;

namespace talmor {

// The look the console's lists share (call panes, processing list, search results): the given
// column widths in pixels, whole rows selected one at a time, no editing, no grid or wrapping,
// 16-pixel row pictures, headers that neither sort nor highlight, and fixed row heights, which
// keep a list of thousands of rows cheap to lay out.
void SetUpListLook(QTableView& view, const std::vector<int>& widths);

} // namespace talmor
