#include "company/RestoreStaging.h"

#include <unistd.h>

#include <filesystem>

#include "data/DatabaseCopy.h"

namespace ledgerlift {
namespace fs = std::filesystem;

namespace {

void RemoveWithJournals(const std::string& path) {
    for (const std::string& file : {path, JournalPath(path), WalPath(path), ShmPath(path)}) {
        ::unlink(file.c_str());
    }
}

}  // namespace

std::string RestoreStagingPath(const std::string& databasePath) {
    fs::path db(databasePath);
    // Built piece by piece: GCC 12 at -O3 reports a false -Wrestrict for a
    // short literal + a temporary.
    std::string name = ".";
    name += db.filename().string();
    name += ".restoring";
    return (db.parent_path() / name).string();
}

void RemoveRestoreStaging(const std::string& databasePath) {
    std::string staging = RestoreStagingPath(databasePath);
    RemoveWithJournals(staging);
    // The temporary file the copy is written to before it takes its name.
    // Built piece by piece, as above (GCC 12 at -O3).
    std::string partial = ".";
    partial += fs::path(staging).filename().string();
    partial += ".partial-";
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(fs::path(staging).parent_path(), ec)) {
        std::string name = entry.path().filename().string();
        if (name.rfind(partial, 0) == 0) {
            RemoveWithJournals(entry.path().string());
        }
    }
}

}  // namespace ledgerlift
