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
        out += row.sheet + ',' + CsvField(row.sheetRow) + ',' + CsvField(row.key) + ',' +
               RunTally::OutcomeText(row.outcome) + ',' + row.id + ',' + CsvField(row.error) + ',' +
               CsvField(row.step) + ',' + CsvField(problems) + "\r\n";
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
