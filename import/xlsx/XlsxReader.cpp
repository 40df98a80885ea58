#include "import/xlsx/XlsxReader.h"

#include <atomic>
#include <exception>
#include <map>
#include <memory>
#include <thread>

#include "import/core/WorkbookFile.h"
#include "import/package/LibraryLog.h"
#include "import/package/OfficeDocument.h"
#include "import/package/PackageParts.h"
#include "import/package/ZipPackage.h"
#include "import/xlsx/XlsxParts.h"
#include "import/xlsx/XlsxSheet.h"

namespace ledgerlift {
namespace {

struct SheetPart {
    std::string sheetName;
    std::string name;
};

// Reads the worksheet parts, two at a time on two threads, each with a zip
// package of its own. The first failure in sheet order is the one thrown.
std::vector<StoredSheet> ReadSheets(ZipPackage& zip, const std::vector<SheetPart>& parts,
                                    const XlsxSheetContext& context) {
    std::vector<StoredSheet> sheets(parts.size());
    std::vector<std::exception_ptr> failures(parts.size());
    std::atomic<std::size_t> next{0};
    auto work = [&](ZipPackage& package) {
        LibraryLogScope quiet;
        for (std::size_t i; (i = next++) < parts.size();) {
            try {
                sheets[i].name = parts[i].sheetName;
                sheets[i].formulasWithoutResult =
                    XlsxSheet::Read(*package.Open(parts[i].name), context, sheets[i].cells);
            } catch (...) {
                failures[i] = std::current_exception();
            }
        }
    };
    std::unique_ptr<ZipPackage> second;
    {
        std::jthread helper;  // joined at the end of this block, come what may
        if (parts.size() > 1 && std::thread::hardware_concurrency() > 1) {
            second = zip.Reopen();
            helper = std::jthread(work, std::ref(*second));
        }
        work(zip);
    }
    for (const auto& failure : failures) {
        if (failure) {
            std::rethrow_exception(failure);
        }
    }
    return sheets;
}

}  // namespace

void XlsxReader::Open(const std::string& path) {
    Close();
    CheckReadableFile(path);
    LibraryLogScope quiet;
    ZipPackage zip(path);
    OfficeDocument main = OfficeDocument::Find(zip);
    if (main.kind != OfficeDocument::Kind::Workbook) {
        throw NotAWorkbook(path);
    }
    XlsxWorkbookPart workbook;
    workbook.Parse(*zip.Open(main.part));
    std::string relsPart = RelationshipsPartOf(main.part);
    std::map<std::string, Relationship> byId;
    for (auto& r : ParseRelationships(*zip.Open(relsPart), main.part)) {
        byId.emplace(r.id, std::move(r));
    }
    XlsxStyles styles;
    auto sharedStrings = std::make_shared<SharedStrings>();
    for (const auto& [id, r] : byId) {
        if (r.external) {
            continue;
        }
        if (r.Kind() == "styles") {
            // A workbook whose styles part is missing reads with the default
            // style, General, as spreadsheet programs read it.
            if (zip.Has(r.target)) {
                styles.Parse(*zip.Open(r.target));
            }
        } else if (r.Kind() == "sharedStrings") {
            *sharedStrings = ParseSharedStrings(*zip.Open(r.target));
        }
    }
    std::vector<SheetPart> parts;
    for (const auto& entry : workbook.sheets) {
        if (entry.relationshipId.empty()) {
            continue;  // names no part: left out, the other sheets are read
        }
        auto it = byId.find(entry.relationshipId);
        if (it == byId.end() || it->second.external) {
            throw Damaged(path, "the sheet \"" + entry.name + "\" of its part " + main.part +
                                    " names the relationship \"" + entry.relationshipId +
                                    "\", which " + relsPart + " does not hold");
        }
        if (it->second.Kind() == "worksheet") {  // not a chart, dialog or macro sheet
            parts.push_back({entry.name, it->second.target});
        }
    }
    std::atomic<std::uint64_t> bytesUsed{0};
    XlsxSheetContext context{std::move(sharedStrings), &styles, workbook.date1904, &bytesUsed};
    std::vector<StoredSheet> sheets = ReadSheets(zip, parts, context);
    Loaded(path, std::move(sheets));
}

}  // namespace ledgerlift
