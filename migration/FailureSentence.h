#pragma once

#include <string>

#include "migration/CellChecks.h"

namespace ledgerlift {

// The sentences a stage shows before "Are you sure to Continue with next
// data", and keeps as the row's reason: first where (the sheet, the
// worksheet row, the item code or ledger name), then why, in the
// bookkeeper's words.

// A database sentence in plain words where it is one of those the stages
// know the meaning of (a repeated code or name, a record the database
// refused); any other description as it is. "UNIQUE KEY" stays in the
// sentence: the stages decide on it.
std::string PlainReason(const std::string& description);

// The plain reason as it reads after a colon: a sentence that starts with a
// plain word ("The disk ...") starts in lower case.
std::string ReasonClause(const std::string& description);

// "Item row 17, A1: " and the plain reason. A description that already
// names the row is kept as it is.
std::string RowSentence(const RowPlace& place, const std::string& description);

// The same for a failure outside any row: where is "Ledger sheet, before
// the first row" or the like.
std::string StageSentence(const std::string& where, const std::string& description);

}  // namespace ledgerlift
