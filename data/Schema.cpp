#include "data/Schema.h"

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>

#include "base/AtomicFile.h"
#include "base/RegularFile.h"
#include "data/Connection.h"
#include "data/SqliteHandle.h"

namespace ledgerlift {

std::string ReadTextFile(const std::string& path) {
    // A schema is some kilobytes; far larger, it is no schema.
    constexpr std::uint64_t kLargestScript = 64u << 20;
    try {
        return ReadRegularFile("The file", path, kLargestScript);
    } catch (const FileError& error) {
        throw DataError(error.what());
    }
}

bool CreateDatabase(const std::string& path, const std::string& scriptPath,
                    const std::string& extraScriptPath) {
    if (std::filesystem::exists(path)) {
        return false;
    }
    std::string script = ReadTextFile(scriptPath);
    if (!extraScriptPath.empty()) {
        // Appended piece by piece: GCC 12 at -O3 reports a false -Wrestrict
        // for "\n" + text here.
        script += '\n';
        script += ReadTextFile(extraScriptPath);
    }
    return CreateDatabaseFromScript(path, script);
}

bool CreateDatabaseFromScript(const std::string& path, const std::string& script) {
    namespace fs = std::filesystem;
    if (fs::exists(path)) {
        return false;
    }
    fs::path parent = fs::path(path).parent_path();
    std::error_code madeError;
    if (!parent.empty() && !fs::create_directories(parent, madeError) && madeError) {
        throw DataError("The folder " + parent.string() +
                        " could not be made: " + madeError.message() + ".");
    }
    try {
        SqliteHandle db = OpenSqlite(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        int rc = sqlite3_exec(db.get(), ("begin;" + script + ";commit;").c_str(), nullptr, nullptr,
                              nullptr);
        if (rc != SQLITE_OK) {
            throw SqliteError(db.get(), rc, path);
        }
    } catch (const DataError&) {
        // The half-made file goes, once closed.
        fs::remove(path);
        throw;
    }
    return true;
}

}  // namespace ledgerlift
