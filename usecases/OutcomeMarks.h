#pragma once

#include "migration/RunTally.h"
#include "ui/FormControls.h"

namespace ledgerlift {

// The colours of the rows' outcomes in the grids, calm tints the text reads
// well on. A check predicts the same outcomes and shows them the same way.
inline constexpr Rgb kWentInRow{226, 239, 218};          // written or updated
inline constexpr Rgb kWentInWithNoteRow{255, 235, 156};  // ... but not as the operator may think
inline constexpr Rgb kAlreadyThereRow{221, 235, 247};    // left as it was
inline constexpr Rgb kNotReachedRow{230, 230, 230};      // a stopped stage never reached it
inline constexpr Rgb kFailedRow{255, 199, 206};          // not written, or only in part
inline constexpr Rgb kCompletedRow{198, 239, 206};       // there before; its opening posted now
inline constexpr Rgb kDiffersRow{252, 213, 180};         // left as it is: the company differs

// Whether a run wrote the row, or whether a check predicts what a run would do.
enum class MarkFor { Run, Check };

// The mark of one row: its colour, its reason as the tooltip (the outcome,
// then the row's warnings, a line each), and whether it went in.
Grid::RowMark OutcomeMark(const RunTally::Row& row, MarkFor what);

// Marks every data row of the item and ledger grids with its outcome, by the
// worksheet row the tally names. After a run, a row the tally has no word of
// (the run ended before it) is marked as not reached.
void MarkOutcomes(FormControls& form, const RunTally& tally, MarkFor what);

}  // namespace ledgerlift
