#pragma once

#include <cstdint>
#include <string>

#include "data/Sql.h"

namespace ledgerlift {

struct StageContext;

// The name under which the stage reports its progress.
inline constexpr const char* kItemStageName = "Migrating items";

// The values of one item record, as the insert statement takes them.
struct ItemRecord {
    std::int32_t itemId = 0;
    std::string code;  // as read; trimmed and quoted in the statement
    std::string name;  // column 2
    double categoryId = 0;
    std::string unit;  // quoted, not trimmed
    double mrp = 0, rol = 0;
    std::string description;  // trimmed and quoted
    double srate = 0, gstPer = 0, cstPer = 0, prate = 0;
    int rateInclusive = 0;
    std::string manufacturer;  // trimmed and quoted
    double pstPer = 0;
    int rateInclusivePurchase = 0;
};

// The insert of one item into the item master, with its values.
Sql ItemInsertStatement(const ItemRecord& item);

// The item stage: writes every row of the item grid to the item master under
// a running ItemID (highest ItemID plus 2 for the first row), or, in update
// mode, replaces an item with the same code under its own id; then posts the
// row's opening quantity as stock.
//
// A failure whose description holds "UNIQUE KEY" lengthens the row's code by
// the counter and runs the failed action again (three times at most); any
// other failure asks whether to go on (Yes: the action after the failed one;
// No: the failure is shown and the stage ends). A row whose item insert
// failed posts no stock. Whole grid rows are committed in batches. A stop
// request (ctx.StopRequested()) ends the stage after the row in progress as
// No does: the rows after it are recorded as not reached.
void RunItemStage(StageContext& ctx);

}  // namespace ledgerlift
