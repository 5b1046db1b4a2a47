// A feature source that reaches for the main window, which the house check must name.
#include "console/talmormanagerdlg.h"
