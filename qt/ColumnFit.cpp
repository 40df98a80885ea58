#include "qt/ColumnFit.h"

#include <algorithm>
#include <string_view>

namespace ledgerlift {
namespace {

// Room for the cell's margins and the grid line beside it.
constexpr int kPadding = 14;

QString Trimmed(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).trimmed();
}

}  // namespace

int FittedWidth(const Grid& grid, int col, const QFontMetrics& cells, const QFontMetrics& header,
                int limit) {
    if (col < 0 || col >= grid.Cols()) {
        return 0;
    }
    std::string_view longest;
    for (int r = 1; r < grid.Rows(); ++r) {
        std::string_view text = grid.TextMatrix(r, col);
        if (text.size() > longest.size()) {
            longest = text;
        }
    }
    int value = cells.horizontalAdvance(Trimmed(longest));
    int heading = header.horizontalAdvance(Trimmed(grid.TextMatrix(0, col)));
    return std::min(std::max(value, heading) + kPadding, limit);
}

}  // namespace ledgerlift
