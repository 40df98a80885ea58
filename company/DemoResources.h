#pragma once

#include <string_view>

namespace ledgerlift {

// The product's schema, the demo companies and the sample workbooks, compiled
// into the program (cmake/EmbedDemo.cmake writes their definitions) so that a
// demo product folder can be laid out wherever the program is installed.
std::string_view InitialSchemaSql();
std::string_view CompanySchemaSql();
std::string_view DemoCompaniesSql();
std::string_view SampleWorkbookBytes();  // sample.xls
std::string_view SampleXlsxBytes();      // the same workbook saved as .xlsx
std::string_view SampleOdsBytes();       // ... and as .ods

}  // namespace ledgerlift
