#pragma once

#include <gsf/gsf-infile.h>
#include <gsf/gsf-input.h>

#include <string>

#include "import/package/GObjectPtr.h"

namespace ledgerlift {

// Readies libgsf for this process; each reader calls it before its first use.
void StartGsf();

// A compound file (the container of .xls workbooks) as libgsf reads it.
class CompoundFile {
  public:
    // Throws WorkbookError ("The workbook PATH could not be read.") when the
    // file cannot be opened at all.
    explicit CompoundFile(const std::string& path);

    // False when the file holds no compound file structure that can be read
    // (another kind of file, or one cut short).
    bool Readable() const { return folder_ != nullptr; }
    // The stream of that name in the top folder, in any letter case; nothing
    // when there is none.
    GObjectPtr<GsfInput> Stream(const char* name) const;

  private:
    GObjectPtr<GsfInput> file_;  // kept for as long as its folder is read
    GObjectPtr<GsfInfile> folder_;
};

}  // namespace ledgerlift
