#pragma once

#include <QString>

namespace talmor {

// The name a peer offered, made safe to propose in the save dialog: only its last path
// component, as one line (OneLine) and without leading dots or blanks, so the offer can
// never choose a folder. A name that leaves nothing becomes "file".
QString SafeOfferedName(const QString& offered);

} // namespace talmor
