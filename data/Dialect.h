#pragma once

#include <string>

namespace ledgerlift {

// Turns a statement written in the product's dialect into one that SQLite
// accepts. The only difference that matters is the date literal: the product
// writes dates between # signs (#2009-04-01#, also #4/1/2009#); outside quoted
// text these become the quoted text '2009-04-01'. Everything else passes
// unchanged.
std::string ToSqlite(const std::string& statement);
// The same without a copy when there is nothing to rewrite: gives statement
// itself when it holds no #, otherwise converted, filled with the result.
const std::string& ToSqlite(const std::string& statement, std::string& converted);

}  // namespace ledgerlift
