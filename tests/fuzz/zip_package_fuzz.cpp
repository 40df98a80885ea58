// libFuzzer target for the zip package layer alone, from file bytes: the
// entry count read from the end records before libgsf opens the package, the
// opening itself, and the lookup of parts by name in any letter case or
// written with backslashes. Any input must end in a package or a
// WorkbookError, never a crash, a hang or a read outside the input.
//
// A CMake target of its own (-DLEDGERLIFT_FUZZ=ON, with clang).

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "import/core/WorkbookReader.h"
#include "import/package/ZipDirectory.h"
#include "import/package/ZipPackage.h"

namespace {

const std::string& ScratchFile() {
    static const std::string path = [] {
        char name[] = "/tmp/ledgerlift-zip-fuzz-XXXXXX";
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
    (void)ledgerlift::ZipEntryCount(path);
    try {
        // Small bounds, so that no input inflates for long.
        ledgerlift::ZipPackage zip(path, 1 << 20, 4 << 20);
        std::vector<char> buffer(1 << 14);
        for (const char* part :
             {"mimetype", "content.xml", "[Content_Types].xml", "_rels/.rels", "xl/workbook.xml",
              "XL/Worksheets/Sheet1.xml", "META-INF/manifest.xml"}) {
            if (zip.Has(part)) {
                auto reader = zip.Open(part);
                while (reader->Read(buffer.data(), buffer.size()) > 0) {
                }
            }
        }
    } catch (const ledgerlift::WorkbookError&) {
        // a sentence for the operator: what every bad input must end in
    }
    return 0;
}
