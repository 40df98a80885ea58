#pragma once

#include <functional>
#include <string>

#include "data/DataError.h"
#include "reports/openingstatement/OpeningStatement.h"

namespace ledgerlift {

// The company has not been migrated: it holds no opening posting of a
// migration and no run of it is recorded, so there is no opening position
// to state.
class NothingMigrated : public DataError {
  public:
    using DataError::DataError;
};

// Reads the company's opening position over a read-only connection of its
// own (the company's database is never written, and a run that holds the
// company makes it wait, then fail): the migration's opening-stock postings
// (tblStockHistory, VchType 'OpeningStock') by item and category, its
// opening-balance vouchers (tblVoucher, TrType 'Opening', the row that names
// the ledger in DrLID) by ledger and stored group, their totals summed as the
// run's reconciliation sums them, the company's name from the company list,
// and the newest run record. Postings whose item or ledger is gone are kept,
// under a name that says so, so that the parts always add up to the totals.
// Throws DataError, for the operator, when the company is not listed or its
// database can't be opened or is no company database; NothingMigrated when
// there is nothing to state. Everything is read in one read transaction, so
// that a program writing to the company meanwhile changes none of it. The
// tracer, when given, sees every statement sent (for measurements and
// diagnostics).
OpeningStatement ReadOpeningStatement(
    const std::string& productFolder, const std::string& companyCode,
    const std::function<void(const std::string&)>& tracer = nullptr);

// Whether the company has been migrated: a run of it is recorded, or its
// database holds opening postings. True as well when that can't be told
// (the database can't be read): asking for the statement then says why.
bool OpeningStatementAvailable(const std::string& productFolder, const std::string& companyCode);

}  // namespace ledgerlift
