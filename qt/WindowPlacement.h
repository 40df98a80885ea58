#pragma once

#include <QByteArray>
#include <QMargins>
#include <QRect>

class QWidget;

namespace ledgerlift {

// The window's rectangle (without its frame) moved and, where it must be,
// shrunk so that it lies, frame included, within the screen's available
// area (the screen less its panels).
QRect FittedRect(const QRect& wanted, const QRect& available, const QMargins& frame);

// Places the window at its remembered geometry, else at its own size,
// fitted to the available area of the screen it is on. Before the window is
// first shown its frame is not known: a title bar's height is assumed, and
// the window is fitted again once shown.
void PlaceWindow(QWidget& window, const QByteArray& remembered);

}  // namespace ledgerlift
