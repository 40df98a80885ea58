// libFuzzer target for the XML path of the .xlsx reader: every part parser
// (content types, relationships, workbook, styles, shared strings, worksheet)
// reads the same input. Any input must end with cells or a WorkbookError,
// never a crash, a hang or a read outside it.
//
// Built and run by .ci/run with clang:
//   clang++ -std=c++20 -fsanitize=fuzzer,address,undefined -I. \
//       base/*.cpp import/CellText.cpp import/DateFormat.cpp \
//       import/DateSerials.cpp import/PackageParts.cpp import/SharedStrings.cpp \
//       import/SheetStore.cpp import/StoredWorkbook.cpp import/WorkbookFile.cpp \
//       import/WorkbookReader.cpp import/XlsxParts.cpp import/XlsxSheet.cpp \
//       import/XmlStream.cpp tests/fuzz/xlsx_xml_fuzz.cpp \
//       $(pkg-config --cflags --libs libxml-2.0) -o xlsx_fuzz
//   ./xlsx_fuzz -max_total_time=60 tests/fuzz/xlsx_corpus

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "import/PackageParts.h"
#include "import/PartReader.h"
#include "import/SheetStore.h"
#include "import/XlsxParts.h"
#include "import/XlsxSheet.h"

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
