// libFuzzer target for the XML path of the .ods reader: the content part's
// parser reads the input. Any input must end with cells or a WorkbookError,
// never a crash, a hang or a read outside it.
//
// A CMake target of its own (-DLEDGERLIFT_FUZZ=ON, with clang); .ci/run
// builds it with the sanitizer build and runs it for a minute.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "import/core/PartReader.h"
#include "import/ods/OdsContent.h"

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
