#pragma once

namespace ledgerlift {

struct StageContext;

// The name under which the stage reports its progress.
inline constexpr const char* kCategoryStageName = "Migrating categories";

// The category stage: every category named in column 3 of the item grid that
// tblCategories lacks is inserted with the next CategoryID, all in one
// transaction. A failure asks whether to go on (Yes: the step after the failed
// one); No undoes every category of the stage and ends it. A rollback that
// fails leaves the stage as a DataError, which ends the migration run.
// A stop request (ctx.StopRequested()) ends the walk after the row in
// progress and commits the categories written so far.
void RunCategoryStage(StageContext& ctx);

}  // namespace ledgerlift
