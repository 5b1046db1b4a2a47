#pragma once

#include <QRect>

class QWidget;

namespace talmor {

// Windows that the console places itself are placed by their frame: the title bar and borders
// that a window manager draws around the client area, as large as its theme makes them. The
// frame stays within the work area (the screen less its panels), so that the title bar, the
// menu bar and the status line are all on screen. Frame sizes are read from the window once the
// window manager has framed it; until then the window counts as unframed.

// `frame` moved into `area`, and cut to it on each side where it is larger than the area.
QRect FitWithin(const QRect& frame, const QRect& area);

// The work area of the screen that shows `window` (of the primary screen before it is shown).
QRect WorkArea(const QWidget& window);

// Gives the top-level `window` the frame rectangle `frame`: the frame's top-left corner goes to
// the rectangle's, and the client area takes what the frame leaves of it.
void PlaceFrame(QWidget& window, const QRect& frame);

// Shows `window` with its frame on the work area: maximised, so that the window manager fits the
// frame in, unless that would squeeze the window below its minimum size. A minimised window
// stays minimised.
void ShowOnWorkArea(QWidget& window);

// Shows a hidden or minimised `window` again as it was before (maximised stays maximised).
void Restore(QWidget& window);

// Whenever `window` returns from maximised to normal, puts its frame back within the work area
// if the window manager's restored size leaves part of it outside.
void KeepFrameWithinWorkArea(QWidget& window);

} // namespace talmor
