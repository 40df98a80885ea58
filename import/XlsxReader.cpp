#include "import/XlsxReader.h"

#include <map>

#include "import/LibraryLog.h"
#include "import/OfficeDocument.h"
#include "import/PackageParts.h"
#include "import/WorkbookFile.h"
#include "import/XlsxParts.h"
#include "import/XlsxSheet.h"
#include "import/ZipPackage.h"

namespace ledgerlift {

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
    std::vector<std::string> sharedStrings;
    for (const auto& [id, r] : byId) {
        if (r.external) {
            continue;
        }
        if (r.Kind() == "styles") {
            styles.Parse(*zip.Open(r.target));
        } else if (r.Kind() == "sharedStrings") {
            sharedStrings = ParseSharedStrings(*zip.Open(r.target));
        }
    }
    XlsxSheetContext context{&sharedStrings, &styles, workbook.date1904, 0};
    std::vector<StoredSheet> sheets;
    for (const auto& entry : workbook.sheets) {
        auto it = byId.find(entry.relationshipId);
        if (it == byId.end() || it->second.external) {
            throw Damaged(path, "the sheet \"" + entry.name + "\" of its part " + main.part +
                                    " names the relationship \"" + entry.relationshipId +
                                    "\", which " + relsPart + " does not hold");
        }
        if (it->second.Kind() != "worksheet") {
            continue;  // a chart, dialog or macro sheet
        }
        StoredSheet sheet;
        sheet.name = entry.name;
        sheet.formulasWithoutResult =
            XlsxSheet::Read(*zip.Open(it->second.target), context, sheet.cells);
        context.bytesBefore += sheet.cells.Bytes();
        sheets.push_back(std::move(sheet));
    }
    Loaded(path, std::move(sheets));
}

}  // namespace ledgerlift
