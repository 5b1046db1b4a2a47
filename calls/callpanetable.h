#pragma once

#include <array>
#include <cstdint>

#include "kit/categories.h"

namespace talmor {

// The wording of a pane's columns: the help and SOS panes name the caller and the time after
// their kind, the monthly group purchase pane speaks of alarms and householders, the
// customer-service pane of a mobile and a detailed address.
enum class ColumnWording { Help, Sos, Category, Alarm, Service };

// One of the 27 call panes: which calls it lists, how it asks for them and how it shows them.
struct CallPaneConfig {
    int code;             // the category code (0 help, 1 SOS, 2 to 26)
    const char* paneName; // the instance name (CGeneralServiceDlg ... CKeFuDlg)
    int dialogTemplate;
    int rowImage;         // RowImage index shown on every row
    int list;             // ListCursors numbering
    uint16_t listRequest; // the request that asks for the list
    int viewRight;        // the seat right that gives the pane its tab
    ColumnWording wording;
};

// The 27 panes in code order: kCallPanes[code].code == code.
extern const std::array<CallPaneConfig, kCategoryCount> kCallPanes;

// The code of the pane that list `list` (ListCursors numbering) fills, or -1 (the taken calls
// and anything else).
int PaneCodeOfList(int list);

} // namespace talmor
