#include "import/package/OfficeDocument.h"

#include "import/package/PackageParts.h"

namespace ledgerlift {
namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

OfficeDocument::Kind KindOf(const std::string& contentType, const std::string& part) {
    using Kind = OfficeDocument::Kind;
    for (const char* type :
         {"spreadsheetml.sheet.main+xml", "spreadsheetml.template.main+xml",
          "ms-excel.sheet.macroEnabled.main+xml", "ms-excel.template.macroEnabled.main+xml",
          "ms-excel.addin.macroEnabled.main+xml"}) {
        if (EndsWith(contentType, type)) {
            return Kind::Workbook;
        }
    }
    if (EndsWith(contentType, "ms-excel.sheet.binary.macroEnabled.main")) {
        return Kind::BinaryWorkbook;
    }
    if (!contentType.empty()) {
        return Kind::OtherDocument;
    }
    // No content type given: by the part's name.
    if (EndsWith(part, "workbook.xml")) {
        return Kind::Workbook;
    }
    if (EndsWith(part, "workbook.bin")) {
        return Kind::BinaryWorkbook;
    }
    return Kind::OtherDocument;
}

}  // namespace

OfficeDocument OfficeDocument::Find(ZipPackage& zip) {
    OfficeDocument found;
    ContentTypes types;
    if (zip.Has("[Content_Types].xml")) {
        types.Parse(*zip.Open("[Content_Types].xml"));
    }
    if (zip.Has("_rels/.rels")) {
        for (const auto& r : ParseRelationships(*zip.Open("_rels/.rels"), "")) {
            if (!r.external && r.Kind() == "officeDocument") {
                found.part = r.target;
                break;
            }
        }
    }
    if (found.part.empty()) {
        for (const char* name : {"xl/workbook.xml", "xl/workbook.bin"}) {
            if (zip.Has(name)) {
                found.part = name;
                break;
            }
        }
    }
    if (!found.part.empty()) {
        found.kind = KindOf(types.Of(found.part), found.part);
    }
    return found;
}

}  // namespace ledgerlift
