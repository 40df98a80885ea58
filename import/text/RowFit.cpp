#include "import/text/RowFit.h"

namespace ledgerlift {

RowFit FitUnderHeadings(const std::vector<std::string>& headings,
                        const std::vector<std::string>& row) {
    if (row.size() == 1 && row[0].empty()) {
        return RowFit::Fits;
    }
    for (std::size_t i = headings.size(); i < row.size(); ++i) {
        if (!row[i].empty()) {
            return RowFit::TooMany;
        }
    }
    for (std::size_t i = row.size(); i < headings.size(); ++i) {
        if (!headings[i].empty()) {
            return RowFit::TooFew;
        }
    }
    return RowFit::Fits;
}

}  // namespace ledgerlift
