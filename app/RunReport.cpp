#include "app/RunReport.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "app/CsvField.h"
#include "data/DataError.h"

namespace ledgerlift {
std::string RunReportText(const RunTally& tally) {
    std::string out = "sheet,row,code or name,outcome,id,error,step,problems\r\n";
    for (const auto& row : tally.rows) {
        std::string problems;
        for (const auto& warning : row.warnings) {
            problems += (problems.empty() ? "" : " ") + warning;
        }
        // The worksheet row and the id are numbers this program made and stay
        // numbers; every text column may hold what the workbook said, so none
        // of it may reach a spreadsheet as a formula.
        out += row.sheet + ',' + CsvField(row.sheetRow) + ',' + CsvTextField(row.key) + ',' +
               RunTally::OutcomeText(row.outcome) + ',' + row.id + ',' + CsvTextField(row.error) +
               ',' + CsvTextField(row.step) + ',' + CsvTextField(problems) + "\r\n";
    }
    for (auto [sheet, count] :
         {std::pair{"items", tally.itemRowsNotRead}, {"ledgers", tally.ledgerRowsNotRead}}) {
        if (count > 0) {
            out += std::string(sheet) + ",65001-,,not read,," + std::to_string(count) +
                   " worksheet rows below row 65000 were not read,,\r\n";
        }
    }
    return out;
}

void WriteRunReport(const std::string& path, const RunTally& tally) {
    std::ofstream out(path, std::ios::binary);
    if (out) {
        out << RunReportText(tally);
        out.flush();
    }
    if (!out) {
        throw DataError("The report " + path + " could not be written (" + std::strerror(errno) +
                        ").");
    }
}

}  // namespace ledgerlift
