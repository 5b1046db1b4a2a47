#pragma once

#include <QIcon>

namespace talmor {

// The six 16x16 row images of the call lists: 0 help and customer service, 1 SOS, 5 the
// service categories; 2 to 4 are spare.
constexpr int kRowImageCount = 6;

// Row image `index` (0 to 5); an empty icon for any other index.
QIcon RowImage(int index);

} // namespace talmor
