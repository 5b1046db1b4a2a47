// A shared source that reaches for a part of the window, which the floor check must name.
#include "console/mainmenu.h"
