#pragma once

#include <string>

namespace ledgerlift::test {

// The text of one part of a zip package (an .xlsx workbook's
// "xl/worksheets/sheet1.xml", say); "" when it has no such part.
std::string ZipPartText(const std::string& zipPath, const std::string& part);

}  // namespace ledgerlift::test
