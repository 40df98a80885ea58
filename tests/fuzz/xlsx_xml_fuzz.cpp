// libFuzzer target for the XML path of the .xlsx reader: every part parser
// (content types, relationships, workbook, styles, shared strings, worksheet)
// reads the same input. Any input must end with cells or a WorkbookError,
// never a crash, a hang or a read outside it.
//
// A CMake target of its own (-DLEDGERLIFT_FUZZ=ON, with clang); .ci/run
// builds it with the sanitizer build and runs it for a minute.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "import/core/PartReader.h"
#include "import/core/SheetStore.h"
#include "import/package/PackageParts.h"
#include "import/xlsx/XlsxParts.h"
#include "import/xlsx/XlsxSheet.h"

using namespace ledgerlift;

namespace {

template <typename Read>
void Try(std::string_view bytes, Read read) {
    MemoryPart part(bytes);
    try {
        read(part);
    } catch (const WorkbookError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ContentTypes types;
    Try(bytes, [&](PartReader& p) { types.Parse(p); });
    (void)types.Of("xl/workbook.xml");
    Try(bytes, [](PartReader& p) { (void)ParseRelationships(p, "xl/workbook.xml"); });
    XlsxWorkbookPart workbook;
    Try(bytes, [&](PartReader& p) { workbook.Parse(p); });
    XlsxStyles styles;
    Try(bytes, [&](PartReader& p) { styles.Parse(p); });
    auto strings = std::make_shared<SharedStrings>();
    strings->Add("a");
    strings->Add("b");
    Try(bytes, [&](PartReader& p) { *strings = ParseSharedStrings(p); });
    SheetStore cells;
    std::atomic<std::uint64_t> used{0};
    XlsxSheetContext context{strings, &styles, workbook.date1904, &used};
    Try(bytes, [&](PartReader& p) { (void)XlsxSheet::Read(p, context, cells); });
    for (std::uint32_t row = 0; row < 16; ++row) {
        for (std::uint32_t col = 0; col < 16; ++col) {
            (void)cells.Get(row, col).text.size();
            (void)cells.TextView(row, col);
        }
    }
    return 0;
}
