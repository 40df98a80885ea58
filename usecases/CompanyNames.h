#pragma once

#include <string>

#include "export/TemplateWorkbook.h"

namespace ledgerlift {

// The company's categories and account groups, each by name in alphabetical
// order, for a template's drop-down lists; a name that no workbook can hold
// (not UTF-8, or longer than a cell) is left out, with a sentence in
// leftOut. Reads the company's database without changing it. Throws DataError, for the operator,
// when the company is not listed in the product folder or its database can't be read.
TemplateLists ReadCompanyNames(const std::string& productFolder, const std::string& companyCode);

}  // namespace ledgerlift
