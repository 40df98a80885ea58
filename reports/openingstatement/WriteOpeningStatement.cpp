#include "reports/openingstatement/WriteOpeningStatement.h"

#include <cstdlib>

#include "base/AtomicFile.h"
#include "base/TextRules.h"
#include "company/OutputGuard.h"
#include "reports/openingstatement/OpeningStatementHtml.h"
#include "reports/openingstatement/OpeningStatementPdf.h"
#include "reports/openingstatement/ReadOpeningStatement.h"

namespace ledgerlift {
namespace {

const char* const kWhat = "The statement";

using Kind = StatementFailure::Kind;

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

OpeningStatement Read(const OpeningStatementRequest& request) {
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
void RequireOutput(const OpeningStatementRequest& request, const OpeningStatement& statement) {
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

int Write(const OpeningStatementRequest& request, const OpeningStatementDocument& document) {
    try {
        AtomicFile file(request.output);
        int pages = 1;
        if (OpeningStatementFormatOf(request.output) == OpeningStatementFormat::Html) {
            file.Write(OpeningStatementHtml(document, request.paper));
        } else {
            pages = WriteOpeningStatementPdf(document, request.paper, file);
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

std::optional<OpeningStatementFormat> OpeningStatementFormatOf(const std::string& path) {
    std::string upper = Upper(path);
    if (EndsWith(upper, ".PDF")) {
        return OpeningStatementFormat::Pdf;
    }
    if (EndsWith(upper, ".HTML") || EndsWith(upper, ".HTM")) {
        return OpeningStatementFormat::Html;
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

std::string OpeningStatementOutputProblem(const OpeningStatementRequest& request) {
    if (!request.output.empty() && !OpeningStatementFormatOf(request.output)) {
        return std::string(kWhat) + " " + request.output +
               " needs a name that ends in .pdf (a PDF) or .html (a web page).";
    }
    return OutputGuard{request.productFolder, request.workbook}.Problem(kWhat, request.output);
}

int WriteOpeningStatement(const OpeningStatementRequest& request) {
    if (std::string problem = OpeningStatementOutputProblem(request); !problem.empty()) {
        throw StatementFailure(Kind::Output, problem);
    }
    OpeningStatement statement = Read(request);
    OpeningStatementDocument document = BuildOpeningStatementDocument(statement, request.grouping);
    RequireOutput(request, statement);
    return Write(request, document);
}

}  // namespace ledgerlift
