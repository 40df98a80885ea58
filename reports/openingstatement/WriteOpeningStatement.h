#pragma once

#include <optional>
#include <string>

#include "base/DigitGrouping.h"
#include "data/DataError.h"
#include "reports/openingstatement/Paper.h"

namespace ledgerlift {

enum class OpeningStatementFormat { Pdf, Html };

// The format a statement file's name asks for: ".pdf", or ".html" or
// ".htm", in any letter case; nothing for any other name.
std::optional<OpeningStatementFormat> OpeningStatementFormatOf(const std::string& path);

// The grouping the environment's locale asks for (LC_ALL, else LC_NUMERIC,
// else LANG; see GroupingOfLocale).
DigitGrouping GroupingOfEnvironment();

// An opening statement to write.
struct OpeningStatementRequest {
    std::string productFolder;
    std::string company;  // its code
    std::string output;   // the file: .pdf or .html
    Paper paper = Paper::A4;
    DigitGrouping grouping = DigitGrouping::Western;
    std::string workbook;  // a workbook the output must never replace ("" for none)
};

// Why no statement was written, and of which kind, for the command line's
// exit status; its description is the operator's sentence.
class StatementFailure : public DataError {
  public:
    enum class Kind {
        Output,           // the file may not or can't be made there (nothing was read)
        Company,          // the company can't be found, opened or read
        NothingMigrated,  // no opening position to state
        Writing           // the file could not be written whole (nothing was left under its name)
    };
    StatementFailure(Kind kind, const std::string& description)
        : DataError(description), kind_(kind) {}
    Kind WhatFailed() const { return kind_; }

  private:
    Kind kind_;
};

// Why the request's output can't be written ("" when it can): a name that
// asks for no known format, or what OutputGuard says of the path (never a
// company's database, a backup, the initial database or the workbook; never
// through a link; a folder that exists and is writable).
std::string OpeningStatementOutputProblem(const OpeningStatementRequest& request);

// Reads the company's opening statement (ReadOpeningStatement), lays it out
// (BuildOpeningStatementDocument) and writes it as the output's name asks, whole or
// not at all (an older file of that name stays as it was until the new one
// is complete). The output is checked first and again just before it is
// written, then also against the workbook of the company's last run. Gives
// the number of pages of a PDF (1 for HTML). Throws StatementFailure.
int WriteOpeningStatement(const OpeningStatementRequest& request);

}  // namespace ledgerlift
