// libFuzzer target for the whole reader from file bytes, as the load button
// opens a file: the choice of the reader by content, the compound file layer,
// our scan of the .xls workbook stream, the general reader for older
// workbooks, the zip packages of .xlsx and .ods, and the cell texts. Any input
// must end in a workbook or a WorkbookError, never a crash, a hang or a read
// outside the input.
//
// A CMake target of its own (-DLEDGERLIFT_FUZZ=ON, with clang); .ci/run
// builds it with the sanitizer build and runs it for a minute.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "import/OpenWorkbook.h"
#include "import/core/CellText.h"

namespace {

// The readers open files by name: each input is written to one scratch file.
const std::string& ScratchFile() {
    static const std::string path = [] {
        char name[] = "/tmp/ledgerlift-fuzz-XXXXXX";
        int fd = mkstemp(name);
        if (fd < 0) {
            std::abort();
        }
        close(fd);
        return std::string(name);
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = ScratchFile();
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    ledgerlift::AnyWorkbookReader book;
    try {
        book.Open(path);
        std::string text;
        for (int sheet = 1; sheet <= book.SheetCount() && sheet <= 3; ++sheet) {
            for (int row = 1; row <= 200; ++row) {
                for (int col = 1; col <= 17; ++col) {
                    (void)ledgerlift::CellText(book.Cell(sheet, row, col)).size();
                    book.ReadCellText(sheet, row, col, text);
                }
            }
            book.ReleaseSheet(sheet);
        }
    } catch (const ledgerlift::WorkbookError&) {
        // a sentence for the operator: what every bad input must end in
    }
    return 0;
}
