// libFuzzer target for the XML path of the .ods reader: the content part's
// parser reads the input. Any input must end with cells or a WorkbookError,
// never a crash, a hang or a read outside it.
//
// Built and run by .ci/run with clang:
//   clang++ -std=c++20 -fsanitize=fuzzer,address,undefined -I. \
//       base/*.cpp import/CellText.cpp import/DateSerials.cpp \
//       import/OdsContent.cpp import/SharedStrings.cpp import/SheetStore.cpp \
//       import/StoredWorkbook.cpp import/WorkbookFile.cpp import/WorkbookReader.cpp \
//       import/XmlStream.cpp tests/fuzz/ods_content_fuzz.cpp \
//       $(pkg-config --cflags --libs libxml-2.0) -o ods_fuzz
//   ./ods_fuzz -max_total_time=60 tests/fuzz/ods_corpus

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "import/OdsContent.h"
#include "import/PartReader.h"

using namespace ledgerlift;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemoryPart part(std::string_view(reinterpret_cast<const char*>(data), size));
    try {
        for (const auto& sheet : OdsContent::Read(part)) {
            for (std::uint32_t row = 0; row < 16; ++row) {
                for (std::uint32_t col = 0; col < 16; ++col) {
                    (void)sheet.cells.Get(row, col).text.size();
                    (void)sheet.cells.TextView(row, col);
                }
            }
        }
    } catch (const WorkbookError&) {
    }
    return 0;
}
