#pragma once

#include <string>
#include <utility>
#include <vector>

namespace ledgerlift::test {

// Parts or streams of a package: name and bytes, in order.
using Parts = std::vector<std::pair<std::string, std::string>>;

// Writes a real zip package with libgsf ("xl/workbook.xml" makes the folder).
void WriteZip(const std::string& path, const Parts& parts);
// Writes a real compound file with these streams at its root.
void WriteCompoundFile(const std::string& path, const Parts& streams);

// The parts of a small .xlsx workbook: one worksheet per sheetData (the XML
// inside <sheetData>), named Sheet1, Sheet2, ...; shared strings when given.
Parts XlsxParts(const std::vector<std::string>& sheetData,
                const std::vector<std::string>& sharedStrings = {});
// The parts of a small .ods workbook whose office:spreadsheet holds tables
// (the XML of its table:table elements).
Parts OdsParts(const std::string& tables);
// The content.xml of an .ods workbook with these tables.
std::string OdsContentXml(const std::string& tables);
// Replaces a part's bytes.
void SetPart(Parts& parts, const std::string& name, const std::string& bytes);

std::string ReadFileBytes(const std::string& path);

}  // namespace ledgerlift::test
