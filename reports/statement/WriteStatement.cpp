#include "reports/statement/WriteStatement.h"

#include <cstdlib>

#include "base/AtomicFile.h"
#include "base/TextRules.h"
#include "company/OutputGuard.h"
#include "reports/statement/ReadOpeningStatement.h"
#include "reports/statement/StatementHtml.h"
#include "reports/statement/StatementPdf.h"

namespace ledgerlift {
namespace {

const char* const kWhat = "The statement";

using Kind = StatementFailure::Kind;

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

OpeningStatement Read(const StatementRequest& request) {
    try {
        return ReadOpeningStatement(request.productFolder, request.company);
    } catch (const NothingMigrated& nothing) {
        throw StatementFailure(Kind::NothingMigrated, nothing.Description());
    } catch (const DataError& error) {
        throw StatementFailure(Kind::Company, "The opening statement of the company " +
                                                  request.company +
                                                  " was not written: " + error.Description());
    }
}

// The output checked once more, now also against the last run's workbook.
void RequireOutput(const StatementRequest& request, const OpeningStatement& statement) {
    try {
        OutputGuard{request.productFolder, request.workbook}.Require(kWhat, request.output);
        if (statement.lastRun) {
            OutputGuard{request.productFolder, statement.lastRun->workbook}.Require(kWhat,
                                                                                    request.output);
        }
    } catch (const FileError& error) {
        throw StatementFailure(Kind::Output, error.what());
    }
}

int Write(const StatementRequest& request, const StatementDocument& document) {
    try {
        AtomicFile file(request.output);
        int pages = 1;
        if (StatementFormatOf(request.output) == StatementFormat::Html) {
            file.Write(StatementHtml(document, request.paper));
        } else {
            pages = WriteStatementPdf(document, request.paper, file);
        }
        file.Commit();
        return pages;
    } catch (const FileError& error) {
        throw StatementFailure(Kind::Writing, error.what());
    } catch (const DataError& error) {
        throw StatementFailure(Kind::Writing, "The statement " + request.output +
                                                  " was not written: " + error.Description());
    }
}

}  // namespace

std::optional<StatementFormat> StatementFormatOf(const std::string& path) {
    std::string upper = Upper(path);
    if (EndsWith(upper, ".PDF")) {
        return StatementFormat::Pdf;
    }
    if (EndsWith(upper, ".HTML") || EndsWith(upper, ".HTM")) {
        return StatementFormat::Html;
    }
    return std::nullopt;
}

DigitGrouping GroupingOfEnvironment() {
    for (const char* name : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return GroupingOfLocale(value);
        }
    }
    return DigitGrouping::Western;
}

std::string StatementOutputProblem(const StatementRequest& request) {
    if (!request.output.empty() && !StatementFormatOf(request.output)) {
        return std::string(kWhat) + " " + request.output +
               " needs a name that ends in .pdf (a PDF) or .html (a web page).";
    }
    return OutputGuard{request.productFolder, request.workbook}.Problem(kWhat, request.output);
}

int WriteStatement(const StatementRequest& request) {
    if (std::string problem = StatementOutputProblem(request); !problem.empty()) {
        throw StatementFailure(Kind::Output, problem);
    }
    OpeningStatement statement = Read(request);
    StatementDocument document = BuildStatementDocument(statement, request.grouping);
    RequireOutput(request, statement);
    return Write(request, document);
}

}  // namespace ledgerlift
