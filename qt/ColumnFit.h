#pragma once

#include <QFontMetrics>

#include "ui/Grid.h"

namespace ledgerlift {

// The width in pixels that a grid column needs to show its heading and its
// longest value whole (by the number of characters: the columns it is used
// on hold numbers, whose digits are all as wide), up to limit; wider values
// are elided and show whole in their tooltip.
int FittedWidth(const Grid& grid, int col, const QFontMetrics& cells, const QFontMetrics& header,
                int limit);

}  // namespace ledgerlift
