// libFuzzer target for the columns JSON reader, from file bytes: what
// "--columns FILE" reads and what the window reads back from its settings.
// Any input must end in a choice or in one sentence (std::runtime_error),
// never a crash, a hang or an exception of the JSON library; and a choice
// read must be written back as JSON that reads as the very same choice.
//
// A CMake target of its own (-DLEDGERLIFT_FUZZ=ON, with clang).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "reports/ColumnChoiceJson.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    ledgerlift::ColumnChoice choice;
    try {
        choice = ledgerlift::ParseColumnsJson(text, "fuzz.json");
    } catch (const std::runtime_error&) {
        return 0;  // a sentence for the operator: what every bad input must end in
    }
    ledgerlift::ColumnChoice back =
        ledgerlift::ParseColumnsJson(ledgerlift::ColumnChoiceJson(choice), "written.json");
    if (!(back.sheets == choice.sheets)) {
        std::fprintf(stderr, "the choice written back reads otherwise\n");
        std::abort();
    }
    return 0;
}
