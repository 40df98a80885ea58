#pragma once

#include <string>

#include "reports/CheckResult.h"

namespace ledgerlift {

// What "ledgerlift check --format json" prints: the workbook, company and
// date, the counts, the opening stock and balance totals, the load's warnings
// and every problem, one a line, in that order. Scripts read it by its member
// names; amounts are numbers to the currency's four decimals, and a total too
// large to store (an overflowing sum) is null.
std::string CheckJson(const CheckResult& result);

}  // namespace ledgerlift
