#pragma once

#include <vector>

namespace ledgerlift {

// The grid columns that hold numbers, by grid (0 the items, 1 the ledgers,
// 2 the account groups): the worksheet row in column 0, and the quantities,
// rates, taxes and balances the stages read as numbers. A view aligns them
// to the right and sizes them to their values.
std::vector<int> NumberColumns(int grid);

}  // namespace ledgerlift
