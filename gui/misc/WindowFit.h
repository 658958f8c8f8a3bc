#pragma once

#include <QMargins>
#include <QRect>

class QWidget;

namespace Misc {
// The geometry (frame position, client size) a window of this geometry gets so that all of it,
// its frame included, lies within available: shrunk to fit first, then moved inside. All in
// device-independent pixels, so it holds at any scale factor.
QRect FitWindowGeometry(const QRect& geometry, const QMargins& frame, const QRect& available);

// Moves and sizes pWindow to geometry fitted to the available area of the screen under its
// position (or the primary one). A window not shown yet has no frame: a title bar is assumed.
void PlaceWindowOnScreen(QWidget* pWindow, const QRect& geometry);
} // namespace Misc
