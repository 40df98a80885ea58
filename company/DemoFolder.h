#pragma once

#include <string>
#include <vector>

namespace ledgerlift {

// One file of the demo product folder, and whether this run made it.
struct DemoFile {
    std::string path;
    bool created = false;
};

// Lays out a demo product folder in folder: Resources/Database with the
// initial database listing the companies DEMO (folder C01) and SHOP (folder
// C02), their empty company databases, and the sample workbook as sample.xls,
// sample.xlsx and sample.ods.
// Nothing is ever overwritten: a file that is already there is kept as it is.
// The folder itself is made when missing (its parent must exist). Gives the
// files in order; throws DataError naming the file or folder that failed.
std::vector<DemoFile> LayOutDemoFolder(const std::string& folder);

}  // namespace ledgerlift
