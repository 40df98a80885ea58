#pragma once

#include <functional>
#include <string>

#include "import/core/WorkbookReader.h"
#include "load/ColumnChoice.h"
#include "ui/FormControls.h"
#include "ui/WindowOps.h"

namespace ledgerlift {

// The load button: lets the operator choose a workbook and copies worksheet 1
// into the item grid and worksheet 2 into the ledger grid, row by row, from
// worksheet row 2 down to the first row whose column B is blank (worksheet
// row 65000 at most), reading it with book. Sets workbookLoaded and shows the
// migration frame when both sheets are in. Reports its progress per row.
// Any failure (cancelling the dialog included) enables the window, clears
// the flag, empties both grids and their tab captions (no rows are shown
// that are not loaded) and shows the reason.
//
// After the load, one exclamation message per loaded worksheet that has
// formula cells without a stored result says how many, since they read as
// empty cells.
void LoadWorkbook(FormControls& form, WindowOps& ops, WorkbookReader& book);
// The same, with the sheets and columns the operator chose read as chosen
// (see ColumnChoice); an empty choice loads as above.
void LoadWorkbook(FormControls& form, WindowOps& ops, WorkbookReader& book,
                  const ColumnChoice& choice);

// How a load ended.
enum class LoadOutcome {
    Loaded,
    Failed,         // cancelled, unreadable, refused: the reason was shown
    ColumnsWanted,  // refused for its columns (see ColumnsError): a choice reads it
};

// The choice to read an open workbook by, asked once it is open (the window
// looks up what the operator chose before for the same sheets and headings).
using ChoiceFor = std::function<ColumnChoice(const WorkbookReader& book)>;

// The load button, the workbook read by the choice that choiceFor gives.
LoadOutcome LoadWorkbook(FormControls& form, WindowOps& ops, WorkbookReader& book,
                         const ChoiceFor& choiceFor);

// The load of the workbook at path, as if chosen in the dialog, read by the
// choice that choiceFor gives.
LoadOutcome LoadWorkbookFile(FormControls& form, WindowOps& ops, WorkbookReader& book,
                             const std::string& path, const ChoiceFor& choiceFor);

// The message about the formula cells of a worksheet ("worksheet 1 (items)")
// that a workbook holds without a stored result.
std::string MissingResultsMessage(const std::string& workbook, const std::string& sheet, int count);

}  // namespace ledgerlift
