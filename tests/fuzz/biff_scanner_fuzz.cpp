// libFuzzer target for the hand-written part of the .xls reader: the scan of
// the workbook stream for its cells. Any input must end the scan without
// reading outside it.
//
// A CMake target of its own (-DLEDGERLIFT_FUZZ=ON, with clang); .ci/run
// builds it with the sanitizer build and runs it for a minute.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "import/xls/BiffScanner.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ledgerlift::BiffScanner scan;
    scan.Scan(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const auto& sheet : scan.Sheets()) {
        for (std::uint32_t row = 0; row < 64; ++row) {
            for (std::uint32_t col = 0; col < 20; ++col) {
                (void)sheet.cells.Get(row, col).text.size();
                (void)sheet.cells.TextView(row, col);
            }
        }
    }
    return 0;
}
