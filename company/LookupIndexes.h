#pragma once

#include "data/Connection.h"

namespace ledgerlift {

// Creates, where a company's database lacks them, the indexes that the
// migration's look-ups search by: the schema's own (a database the product
// made may have none of them) and the opening vouchers by ledger, which a
// run again, a check against a migrated company and a replacement of
// openings read for every ledger. Without them each look-up reads the
// whole table, and a company of 65,000 ledgers takes hours. An index holds
// no data: a database that has one reads as it did. Runs on db as it
// stands, inside whatever transaction is open (so that a check or a dry
// run, which undo everything, leave none behind). Throws DataError, naming
// the database, when an index can't be made.
void EnsureLookupIndexes(Connection& db);

}  // namespace ledgerlift
