#pragma once

#include <string>

namespace ledgerlift {

// The restored copy of a company's database while a restore makes it:
// hidden beside the database, ".<file name>.restoring". It is itself written
// through a temporary file beside it (".<that name>.partial-XXXXXX"), so a
// restore killed part way can leave either.
std::string RestoreStagingPath(const std::string& databasePath);

// Removes what a restore of the database at databasePath that never ended
// left beside it: the copy, its temporary file and their journals. Called
// only while the company is taken, when no restore is writing them.
void RemoveRestoreStaging(const std::string& databasePath);

}  // namespace ledgerlift
