// libFuzzer target for the text reader from file bytes: the decoding (byte-
// order marks, UTF-8, Windows-1252, UTF-16), the choice of the delimiter, the
// quotes and line ends, the fit of each row under the heading line, and the
// cells. Any input must end in a worksheet or a WorkbookError, never a crash,
// a hang or a read outside the input.
//
// A CMake target of its own (-DLEDGERLIFT_FUZZ=ON, with clang); .ci/run
// builds it with the sanitizer build and runs it for a minute.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "import/text/TextReader.h"

namespace {

// The reader opens files by name: each input is written to one scratch file.
const std::string& ScratchFile() {
    static const std::string path = [] {
        char name[] = "/tmp/ledgerlift-text-fuzz-XXXXXX";
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
    ledgerlift::TextReader book;
    try {
        book.Open(path);
        std::string text;
        const int lastRow = book.LastRow(1);
        const int lastColumn = book.LastColumn(1);
        for (int row = 1; row <= lastRow && row <= 200; ++row) {
            for (int col = 1; col <= lastColumn && col <= 17; ++col) {
                (void)book.Cell(1, row, col).text.size();
                book.ReadCellText(1, row, col, text);
            }
        }
        (void)ledgerlift::TextFormatLine(book.TextFormatOf(1).value());
        book.ReleaseSheet(1);
    } catch (const ledgerlift::WorkbookError&) {
        // a sentence for the operator: what every bad input must end in
    }
    return 0;
}
