#include "qt/GridWidths.h"

#include <QHeaderView>
#include <QTableView>
#include <climits>

#include "qt/ColumnFit.h"
#include "ui/Grid.h"

namespace ledgerlift {
namespace {

std::string Heading(const Grid& grid, int col) {
    return QString::fromUtf8(grid.TextMatrix(0, col)).trimmed().toStdString();
}

}  // namespace

void GridWidths::Apply() {
    shown_.resize(static_cast<std::size_t>(grid_.Cols()), -1);
    applying_ = true;
    for (int c = 0; c < grid_.Cols(); ++c) {
        int& twips = shown_[static_cast<std::size_t>(c)];
        if (twips != grid_.ColWidth(c)) {
            twips = grid_.ColWidth(c);
            view_->setColumnWidth(c, twips / 15);
        }
    }
    applying_ = false;
}

void GridWidths::Keep(int col, int width) {
    if (applying_ || col >= grid_.Cols()) {
        return;
    }
    dragged_[Heading(grid_, col)] = width;
}

void GridWidths::Fit(const std::vector<int>& numberColumns) {
    if (grid_.Rows() < 2) {
        return;
    }
    QFontMetrics cells = view_->fontMetrics();
    QFontMetrics header(view_->horizontalHeader()->font());
    int limit = cells.horizontalAdvance(QString(14, '0')) + 14;
    applying_ = true;
    for (int c : numberColumns) {
        if (c >= grid_.Cols()) {
            continue;
        }
        view_->setColumnWidth(c, FittedWidth(grid_, c, cells, header, c == 0 ? INT_MAX : limit));
    }
    for (int c = 0; c < grid_.Cols(); ++c) {
        if (auto found = dragged_.find(Heading(grid_, c)); found != dragged_.end()) {
            view_->setColumnWidth(c, found->second);
        }
    }
    applying_ = false;
}

std::vector<int> GridWidths::Taken() const {
    QHeaderView* header = view_->horizontalHeader();
    std::vector<int> widths;
    widths.reserve(static_cast<std::size_t>(header->count()));
    for (int c = 0; c < header->count(); ++c) {
        widths.push_back(header->sectionSize(c));
    }
    return widths;
}

void GridWidths::Restore(const std::vector<int>& widths) {
    QHeaderView* header = view_->horizontalHeader();
    applying_ = true;
    for (int c = 0; c < header->count() && c < static_cast<int>(widths.size()); ++c) {
        header->resizeSection(c, widths[static_cast<std::size_t>(c)]);
    }
    applying_ = false;
}

}  // namespace ledgerlift
