#pragma once

#include <string>

namespace ledgerlift {

// Creates a database file at path and runs the SQL scripts in it, in order.
// A file that is already there is never touched: gives false then, true when
// the file was created. Throws DataError when a script fails (the half-made
// file is removed).
bool CreateDatabase(const std::string& path, const std::string& scriptPath,
                    const std::string& extraScriptPath = "");

// The same with the SQL text itself (a schema compiled into the program).
bool CreateDatabaseFromScript(const std::string& path, const std::string& script);

// The text of a file; throws DataError naming the file when it can't be read.
std::string ReadTextFile(const std::string& path);

}  // namespace ledgerlift
