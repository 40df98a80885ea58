#pragma once

#include <string>

namespace ledgerlift::test {

// Everything a database file holds, as text that is equal for two files
// exactly when their contents are: the schema, every row of every table in
// rowid order with each value's type (a real in its exact binary form), and
// the user version. Opened read-only on a connection of its own.
std::string DumpDatabase(const std::string& path);

}  // namespace ledgerlift::test
