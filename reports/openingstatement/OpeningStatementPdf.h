#pragma once

#include "base/AtomicFile.h"
#include "reports/openingstatement/OpeningStatementDocument.h"
#include "reports/openingstatement/Paper.h"

namespace ledgerlift {

// Draws the statement as a PDF (cairo, its fonts embedded) into file, which
// the caller commits: each text a pango layout of its own, the rows of the
// tables drawn directly, one after the other, so that tens of thousands of
// lines stay fast. Names too long for their column end in an ellipsis;
// figures are right-aligned. A table that runs on over a page repeats its
// section's heading and its column headings there; every page carries the
// footer and "Page n of N". Gives the number of pages. Throws FileError,
// for the operator, when the file can't be written (a full disk), DataError
// when the drawing fails.
int WriteOpeningStatementPdf(const OpeningStatementDocument& document, Paper paper,
                             AtomicFile& file);

}  // namespace ledgerlift
