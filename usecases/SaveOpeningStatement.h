#pragma once

#include <string>

#include "ui/FormControls.h"
#include "ui/WindowOps.h"

namespace ledgerlift {

// The window's "Save Statement..." button: asks where to save the opening
// statement of the company chosen (a PDF, or an HTML page when the name ends
// in .html; see WriteOpeningStatement), in the grouping the locale asks for, and
// writes it there; the status box says where, and how many pages. A name
// that can't be written there (not a .pdf or .html, the loaded workbook, a
// company's database or backup, ...) or a file that could not be written
// whole (a full disk) is named in a message, and the operator may choose
// another; a company that can't be read, or has not been migrated, is said.
void SaveOpeningStatement(const std::string& productFolder, FormControls& form, WindowOps& ops);

// Enables "Save Statement..." when the company chosen has been migrated: a
// run of it is recorded, or its database holds the migration's opening
// postings (see OpeningStatementAvailable).
void OfferOpeningStatement(const std::string& productFolder, FormControls& form);

}  // namespace ledgerlift
