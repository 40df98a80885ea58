#include "import/text/DelimiterChoice.h"

#include <tuple>
#include <vector>

#include "import/core/WorkbookReader.h"
#include "import/text/DelimitedRows.h"
#include "import/text/RowFit.h"

namespace ledgerlift {
namespace {

// The rows after the heading line that the choice looks at.
constexpr int kRowsLooked = 10;

struct Split {
    std::size_t headings = 0;  // fields of the heading line
    int fitting = 0;           // rows after it that fit, up to the first that does not
    bool allFit = true;
};

Split SplitWith(const std::string& path, std::string_view text, char delimiter) {
    Split split;
    DelimitedRows rows(path, text, delimiter);
    std::vector<std::string> headings;
    std::vector<std::string> row;
    try {
        if (!rows.Next(headings)) {
            return split;
        }
        split.headings = headings.size();
        for (int n = 0; n < kRowsLooked && rows.Next(row); ++n) {
            if (FitUnderHeadings(headings, row) != RowFit::Fits) {
                split.allFit = false;
                break;
            }
            ++split.fitting;
        }
    } catch (const WorkbookError&) {
        split.allFit = false;  // the rows go wrong with this delimiter
    }
    return split;
}

}  // namespace

char ChooseDelimiter(const std::string& path, std::string_view text) {
    char best = kDelimiters[0];
    std::tuple<bool, int, std::size_t> bestRank{false, -1, 0};
    for (char delimiter : kDelimiters) {
        Split split = SplitWith(path, text, delimiter);
        if (split.headings < 2) {
            continue;
        }
        std::tuple<bool, int, std::size_t> rank{split.allFit, split.fitting, split.headings};
        if (rank > bestRank) {  // strictly: an equal rank keeps the one preferred
            bestRank = rank;
            best = delimiter;
        }
    }
    return best;
}

}  // namespace ledgerlift
