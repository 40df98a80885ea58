#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <ostream>

#include "import/OpenWorkbook.h"
#include "import/core/PartReader.h"
#include "import/core/StoredWorkbook.h"
#include "import/package/PackageParts.h"
#include "import/package/ZipPackage.h"
#include "tests/PackageWriter.h"
#include "tests/TestSupport.h"

namespace ledgerlift {
namespace {

using test::Parts;

const char* const kSheetNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

std::string SheetPart(const std::string& body) {
    return std::string("<?xml version=\"1.0\"?>\n<worksheet xmlns=\"") + kSheetNs + "\">\n" + body +
           "\n</worksheet>";
}

// A workbook that cannot be loaded: how it is made, and what the sentence
// says besides the file's path.
struct BadInput {
    const char* name;
    std::function<void(const std::string& path)> make;
    std::vector<std::string> says;
};

void PrintTo(const BadInput& b, std::ostream* os) {
    *os << b.name;
}

void Xlsx(const std::string& path, const std::function<void(Parts&)>& change) {
    Parts parts =
        test::XlsxParts({"<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"}, {"one", "two"});
    change(parts);
    test::WriteZip(path, parts);
}

void Bytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Cut(const std::string& fixture, std::size_t keep) {
    return test::ReadFileBytes(test::FixturePath(fixture)).substr(0, keep);
}

std::string Le(std::uint64_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xff);
    }
    return out;
}

// A zip package of `count` empty stored entries, written byte by byte; with
// zip64, its end record leaves the count to a zip64 record that says
// `zip64Count`.
std::string ZipOfEmptyEntries(int count, std::uint64_t zip64Count = 0) {
    std::string local, central;
    for (int i = 0; i < count; ++i) {
        std::string name = "e" + std::to_string(i);
        std::string common = Le(20, 2) + Le(0, 2) + Le(0, 2) + Le(0, 4) + Le(0, 4) + Le(0, 4) +
                             Le(0, 4) + Le(name.size(), 2) + Le(0, 2);
        central += Le(0x02014b50, 4) + Le(20, 2) + common + Le(0, 2) + Le(0, 2) + Le(0, 2) +
                   Le(0, 4) + Le(local.size(), 4) + name;
        local += Le(0x04034b50, 4) + common + name;
    }
    std::string zip = local + central;
    std::uint64_t entries = static_cast<std::uint64_t>(count);
    if (zip64Count > 0) {
        std::uint64_t at = zip.size();
        zip += Le(0x06064b50, 4) + Le(44, 8) + Le(45, 2) + Le(45, 2) + Le(0, 4) + Le(0, 4) +
               Le(zip64Count, 8) + Le(zip64Count, 8) + Le(central.size(), 8) + Le(local.size(), 8);
        zip += Le(0x07064b50, 4) + Le(0, 4) + Le(at, 8) + Le(1, 4);
        entries = 0xFFFF;
    }
    return zip + Le(0x06054b50, 4) + Le(0, 4) + Le(entries, 2) + Le(entries, 2) +
           Le(central.size(), 4) + Le(local.size(), 4) + Le(0, 2);
}

const char* const kManifestHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><manifest:manifest xmlns:manifest=\"urn:oasis:"
    "names:tc:opendocument:xmlns:manifest:1.0\" manifest:version=\"1.2\">";

// A manifest whose package is of this media type; entries may follow.
std::string Manifest(const std::string& mediaType, const std::string& entries = "") {
    return kManifestHead +
           std::string("<manifest:file-entry manifest:full-path=\"/\" manifest:media-type=\"") +
           mediaType + "\"/>" + entries + "</manifest:manifest>";
}

// The first record of an Excel 2.x to 4.0 file: a BOF of that version.
std::string OldBof(int type, int length, int kind) {
    return Le(static_cast<std::uint64_t>(type), 2) + Le(static_cast<std::uint64_t>(length), 2) +
           Le(0, 2) + Le(static_cast<std::uint64_t>(kind), 2) + std::string(64, '\0');
}

// A real package with one byte of the entry of part spoiled: in its local
// header's signature, or in its name in the directory at the end.
void SpoilEntry(const std::string& path, const std::string& part, bool inDirectory) {
    Xlsx(path, [](Parts&) {});
    std::string bytes = test::ReadFileBytes(path);
    const std::string signature = inDirectory ? std::string("PK\x01\x02", 4) : "PK\x03\x04";
    const std::size_t nameAt = inDirectory ? 46 : 30;
    for (std::size_t at = bytes.find(signature); at != std::string::npos;
         at = bytes.find(signature, at + 1)) {
        if (bytes.compare(at + nameAt, part.size(), part) == 0) {
            bytes[inDirectory ? at + nameAt + 3 : at + 1] ^= 0x01;
            break;
        }
    }
    Bytes(path, bytes);
}

const BadInput kBadInputs[] = {
    // Regression: one byte spoiled in a part's entry printed libgsf's own
    // text twice and called the part missing.
    {"AnEntrysHeaderDamaged",
     [](const std::string& p) { SpoilEntry(p, "xl/workbook.xml", false); },
     {"its part xl/workbook.xml could not be read: its entry in the zip package is damaged"}},
    {"AnEntrysNameDamagedInTheDirectory",
     [](const std::string& p) { SpoilEntry(p, "xl/workbook.xml", true); },
     {"its part xl/workbook.xml is in the file, but its zip directory, which is damaged, does "
      "not list it"}},
    // Regression: an encrypted .ods workbook was called damaged.
    {"EncryptedOds",
     [](const std::string& p) {
         test::WriteZip(
             p, {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                 {"content.xml", std::string(300, '\x9c')},
                 {"META-INF/manifest.xml",
                  Manifest("application/vnd.oasis.opendocument.spreadsheet",
                           "<manifest:file-entry manifest:full-path=\"content.xml\" "
                           "manifest:media-type=\"text/xml\" manifest:size=\"2000\">"
                           "<manifest:encryption-data manifest:checksum-type=\"SHA1/1K\" "
                           "manifest:checksum=\"AAAA\"><manifest:algorithm manifest:algorithm-"
                           "name=\"Blowfish CFB\" manifest:initialisation-vector=\"AAAA\"/>"
                           "</manifest:encryption-data></manifest:file-entry>")}});
     },
     {"is protected with a password. Save it without a password and load it again."}},
    {"OtherOpenDocumentWithoutMimetype",
     [](const std::string& p) {
         test::WriteZip(
             p, {{"content.xml", "<x/>"},
                 {"META-INF/manifest.xml", Manifest("application/vnd.oasis.opendocument.text")}});
     },
     {"is not an Excel workbook"}},
    // Files of Excel before version 5 stay refused, saying which they are.
    {"Excel2Worksheet",
     [](const std::string& p) { Bytes(p, OldBof(0x0009, 4, 0x0010)); },
     {"is an Excel 2.x file, a format older than Excel 5 that cannot be loaded"}},
    {"Excel3Worksheet",
     [](const std::string& p) { Bytes(p, OldBof(0x0209, 6, 0x0010)); },
     {"is an Excel 3.0 file"}},
    {"Excel4Workbook",
     [](const std::string& p) { Bytes(p, OldBof(0x0409, 6, 0x0100)); },
     {"is an Excel 4.0 file", "save it as an Excel workbook (.xlsx)"}},
    // Regression: the zip reader files every entry by a walk over those
    // before it, so that 200,000 entries were still loading after 300 s.
    {"MoreZipEntriesThanAnyWorkbookHas",
     [](const std::string& p) { Bytes(p, ZipOfEmptyEntries(10001)); },
     {"is refused: its zip package holds 10001 entries, more than the 10000"}},
    {"MoreZip64EntriesThanAnyWorkbookHas",
     [](const std::string& p) { Bytes(p, ZipOfEmptyEntries(3, 200000)); },
     {"is refused: its zip package holds 200000 entries"}},
    {"TruncatedZip",
     [](const std::string& p) { Bytes(p, Cut("real_mixed.xlsx", 3000)); },
     {"is damaged"}},
    {"TruncatedZipBeforeItsDirectory",
     [](const std::string& p) { Bytes(p, Cut("real_mixed.ods", 200)); },
     {"is damaged"}},
    {"CorruptZipData",
     [](const std::string& p) {
         std::string bytes = test::ReadFileBytes(test::FixturePath("real_mixed.xlsx"));
         std::size_t at = bytes.find("xl/worksheets/sheet1.xml") + 40;
         for (std::size_t i = at; i < at + 200 && i < bytes.size(); ++i) {
             bytes[i] = static_cast<char>(bytes[i] ^ 0x5A);
         }
         Bytes(p, bytes);
     },
     {"is damaged", "xl/worksheets/sheet1.xml"}},
    {"TruncatedCompoundFile",
     [](const std::string& p) { Bytes(p, Cut("real_mixed.xls", 1200)); },
     {"is damaged"}},
    {"MissingWorkbookPart",
     [](const std::string& p) {
         Xlsx(p, [](Parts& parts) {
             std::erase_if(parts, [](auto& x) { return x.first == "xl/workbook.xml"; });
         });
     },
     {"is damaged", "its part xl/workbook.xml is missing"}},
    {"MissingWorksheetPart",
     [](const std::string& p) {
         Xlsx(p, [](Parts& parts) {
             std::erase_if(parts, [](auto& x) { return x.first == "xl/worksheets/sheet1.xml"; });
         });
     },
     {"is damaged", "its part xl/worksheets/sheet1.xml is missing"}},
    {"MissingWorkbookRelationships",
     [](const std::string& p) {
         Xlsx(p, [](Parts& parts) {
             std::erase_if(parts, [](auto& x) { return x.first == "xl/_rels/workbook.xml.rels"; });
         });
     },
     {"its part xl/_rels/workbook.xml.rels is missing"}},
    {"MissingOdsContent",
     [](const std::string& p) {
         test::WriteZip(p, {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}});
     },
     {"is damaged", "its part content.xml is missing"}},
    {"MalformedWorksheet",
     [](const std::string& p) {
         Xlsx(p, [](Parts& parts) {
             test::SetPart(parts, "xl/worksheets/sheet1.xml",
                           SheetPart("<sheetData>\n<row r=\"1\">\n<c r=\"A1\"><v>1</v></row>"));
         });
     },
     {"is damaged", "xl/worksheets/sheet1.xml is not well-formed XML (line 5"}},
    {"MalformedOdsContent",
     [](const std::string& p) {
         Parts parts = test::OdsParts("<table:table>\n<table:table-row>\n</table:table>");
         test::WriteZip(p, parts);
     },
     {"is damaged", "content.xml is not well-formed XML (line"}},
    {"MalformedSharedStrings",
     [](const std::string& p) {
         Xlsx(p, [](Parts& parts) { test::SetPart(parts, "xl/sharedStrings.xml", "<sst><si>"); });
     },
     {"xl/sharedStrings.xml is not well-formed XML"}},
    {"DocumentTypeWithEntities",
     [](const std::string& p) {
         Xlsx(p, [](Parts& parts) {
             test::SetPart(parts, "xl/worksheets/sheet1.xml",
                           "<?xml version=\"1.0\"?>\n<!DOCTYPE worksheet [\n"
                           "<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">"
                           "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]>\n"
                           "<worksheet><sheetData><row><c t=\"inlineStr\"><is><t>&c;</t></is>"
                           "</c></row></sheetData></worksheet>");
         });
     },
     {"is refused", "xl/worksheets/sheet1.xml declares a document type (line 2)"}},
    {"ExternalEntity",
     [](const std::string& p) {
         test::WriteZip(p, {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                            {"content.xml",
                             "<?xml version=\"1.0\"?>\n"
                             "<!DOCTYPE x SYSTEM \"http://example.invalid/x.dtd\" "
                             "[<!ENTITY e SYSTEM \"file:///etc/passwd\">]><x>&e;</x>"}});
     },
     {"is refused", "content.xml declares a document type"}},
    {"PartStatedFarBeyondAnyWorkbook",
     [](const std::string& p) {
         Bytes(p, test::ReadFileBytes(test::FixturePath("inflates_too_far.xlsx")));
     },
     {"is refused", "xl/worksheets/sheet1.xml inflates to more than 1024 MB"}},
    {"SharedStringBeyondTheTable",
     [](const std::string& p) {
         Xlsx(p, [](Parts& parts) {
             test::SetPart(parts, "xl/worksheets/sheet1.xml",
                           SheetPart("<sheetData>\n<row r=\"7\">\n<c r=\"C7\" t=\"s\"><v>5</v></c>"
                                     "</row></sheetData>"));
         });
     },
     {"is damaged", "in its part xl/worksheets/sheet1.xml, line 5",
      "cell C7 refers to shared string 5, but the workbook has only 2"}},
    // Of a fault in the shared strings and one in a sheet, the shared strings
    // are read first and named.
    {"MalformedSharedStringsAndSheet",
     [](const std::string& p) {
         Xlsx(p, [](Parts& parts) {
             test::SetPart(parts, "xl/sharedStrings.xml", "<sst><si>");
             test::SetPart(parts, "xl/worksheets/sheet1.xml", "<worksheet><sheetData>");
         });
     },
     {"xl/sharedStrings.xml is not well-formed XML"}},
    {"CellReferenceBeyondTheSheet",
     [](const std::string& p) {
         Xlsx(p, [](Parts& parts) {
             test::SetPart(parts, "xl/worksheets/sheet1.xml",
                           SheetPart("<sheetData><row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>"
                                     "</sheetData>"));
         });
     },
     {"is damaged", "the cell reference XFE1 lies beyond the sheet's limits"}},
    {"RowBeyondTheSheet",
     [](const std::string& p) {
         Xlsx(p, [](Parts& parts) {
             test::SetPart(parts, "xl/worksheets/sheet1.xml",
                           SheetPart("<sheetData><row r=\"1048577\"/></sheetData>"));
         });
     },
     {"is damaged", "row 1048577 lies beyond the sheet's limits"}},
    {"NumberThatIsNone",
     [](const std::string& p) {
         Xlsx(p, [](Parts& parts) {
             test::SetPart(parts, "xl/worksheets/sheet1.xml",
                           SheetPart("<sheetData><row r=\"2\"><c r=\"B2\"><v>12abc</v></c></row>"
                                     "</sheetData>"));
         });
     },
     {"cell B2 holds \"12abc\", which is not a number"}},
    {"OdsNumberThatIsNone",
     [](const std::string& p) {
         test::WriteZip(p, test::OdsParts("<table:table><table:table-row><table:table-cell "
                                          "office:value-type=\"float\" office:value=\"x\"/>"
                                          "</table:table-row></table:table>"));
     },
     {"the cell in row 1, column 1 of worksheet 1 holds \"x\" where a number belongs"}},
    {"OdsSpacesBeyondAnyCell",
     [](const std::string& p) {
         test::WriteZip(p, test::OdsParts("<table:table><table:table-row><table:table-cell "
                                          "office:value-type=\"string\"><text:p><text:s "
                                          "text:c=\"4000000000\"/></text:p></table:table-cell>"
                                          "</table:table-row></table:table>"));
     },
     {"holds more than 16 MB of text"}},
    {"BinaryWorkbook",
     [](const std::string& p) {
         test::WriteZip(
             p, {{"[Content_Types].xml",
                  "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                  "<Override PartName=\"/xl/workbook.bin\" "
                  "ContentType=\"application/vnd.ms-excel.sheet.binary.macroEnabled.main\"/>"
                  "</Types>"},
                 {"_rels/.rels",
                  "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                  "relationships\"><Relationship Id=\"rId1\" Type=\"http://schemas."
                  "openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
                  "Target=\"xl/workbook.bin\"/></Relationships>"},
                 {"xl/workbook.bin", std::string(64, '\x01')}});
     },
     {"is an Excel binary workbook (.xlsb)", "Save it as an Excel workbook (.xlsx)"}},
    {"EncryptedPackage",
     [](const std::string& p) {
         test::WriteCompoundFile(p, {{"EncryptionInfo", std::string(64, '\x04')},
                                     {"EncryptedPackage", std::string(512, '\x7f')}});
     },
     {"is protected with a password. Save it without a password and load it again."}},
    {"CompoundFileOfAnotherKind",
     [](const std::string& p) {
         test::WriteCompoundFile(p, {{"WordDocument", std::string(512, 'w')}});
     },
     {"is not an Excel workbook (.xls, .xlsx, .xlsm) or an OpenDocument spreadsheet (.ods)"}},
    {"OtherOpenDocument",
     [](const std::string& p) {
         test::WriteZip(
             p, {{"mimetype", "application/vnd.oasis.opendocument.text"}, {"content.xml", "<x/>"}});
     },
     {"is not an Excel workbook"}},
    {"OtherOfficeDocument",
     [](const std::string& p) {
         test::WriteZip(
             p, {{"[Content_Types].xml",
                  "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                  "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
                  "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
                  "</Types>"},
                 {"_rels/.rels",
                  "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                  "relationships\"><Relationship Id=\"rId1\" Type=\"http://schemas."
                  "openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
                  "Target=\"word/document.xml\"/></Relationships>"},
                 {"word/document.xml", "<document/>"}});
     },
     {"is not an Excel workbook"}},
    {"ZipOfNothingKnown",
     [](const std::string& p) {
         test::WriteZip(p, {{"readme.txt", "hello"}});
     },
     {"is not an Excel workbook"}},
    // An empty file has nothing to tell its format by: a workbook cut to
    // nothing must not load as an empty sheet.
    {"EmptyFile", [](const std::string& p) { Bytes(p, ""); }, {"is not an Excel workbook"}},
    // Text is read as a text export (TextReaderTest); bytes that are no text
    // and no workbook, and markup saved under a workbook's name, are not.
    {"BinaryBytes",
     [](const std::string& p) { Bytes(p, std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16)); },
     {"is not an Excel workbook"}},
    {"MarkupUnderAWorkbooksName",
     [](const std::string& p) {
         Bytes(p, "\xEF\xBB\xBF\r\n<html><body><table><tr><td>ITEM CODE</td></tr></table>");
     },
     {"is not an Excel workbook"}},
};

class UnreadableWorkbooks : public ::testing::TestWithParam<BadInput> {};

// A package that other programs read, and how it is made.
struct OddPackage {
    const char* name;
    std::function<void(const std::string& path)> make;
};

void PrintTo(const OddPackage& o, std::ostream* os) {
    *os << o.name;
}

const char* const kRelationshipsNs =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// Regression: each of these was refused, though spreadsheet programs read
// them.
const OddPackage kOddPackages[] = {
    {"OdsWithoutItsMimetype",
     [](const std::string& p) {
         test::Parts parts = test::OdsParts(
             "<table:table table:name=\"Items\"><table:table-row><table:table-cell/>"
             "<table:table-cell office:value-type=\"string\"><text:p>one</text:p>"
             "</table:table-cell></table:table-row></table:table>");
         std::erase_if(parts, [](auto& x) { return x.first == "mimetype"; });
         parts.push_back(
             {"META-INF/manifest.xml", Manifest("application/vnd.oasis.opendocument.spreadsheet")});
         test::WriteZip(p, parts);
     }},
    {"XlsxWithoutItsStylesPart",
     [](const std::string& p) {
         Xlsx(p, [](Parts& parts) {
             for (auto& [name, bytes] : parts) {
                 if (name == "xl/_rels/workbook.xml.rels") {
                     bytes.insert(bytes.find("</Relationships>"),
                                  std::string("<Relationship Id=\"rIdY\" Type=\"") +
                                      kRelationshipsNs + "/styles\" Target=\"styles.xml\"/>");
                 }
             }
         });
     }},
    {"XlsxWithASheetOfNoRelationship",
     [](const std::string& p) {
         Xlsx(p, [](Parts& parts) {
             for (auto& [name, bytes] : parts) {
                 if (name == "xl/workbook.xml") {
                     bytes.insert(bytes.find("<sheet "),
                                  "<sheet name=\"Lost\" sheetId=\"9\" r:id=\"\"/>");
                 }
             }
         });
     }},
    {"XlsxWithoutContentTypes",
     [](const std::string& p) {
         Xlsx(p, [](Parts& parts) {
             std::erase_if(parts, [](auto& x) { return x.first == "[Content_Types].xml"; });
         });
     }},
    {"XlsxWithoutContentTypesOrPackageRelationships",
     [](const std::string& p) {
         Xlsx(p, [](Parts& parts) {
             std::erase_if(parts, [](auto& x) {
                 return x.first == "[Content_Types].xml" || x.first == "_rels/.rels";
             });
         });
     }},
};

class OddPackages : public ::testing::TestWithParam<OddPackage> {};

TEST_P(OddPackages, AreReadAsOtherProgramsReadThem) {
    test::TempFolder dir;
    std::string path = dir.File("book");
    GetParam().make(path);
    AnyWorkbookReader book;
    book.Open(path);
    ASSERT_GE(book.SheetCount(), 1);
    std::string text;
    book.ReadCellText(1, 1, book.Cell(1, 1, 1).kind == CellValue::Kind::Empty ? 2 : 1, text);
    EXPECT_EQ(text, "one");
}

INSTANTIATE_TEST_SUITE_P(Files, OddPackages, ::testing::ValuesIn(kOddPackages),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(UnreadableWorkbooks, AreRefusedWithASentenceNamingTheFile) {
    test::TempFolder dir;
    std::string path = dir.File("book");
    GetParam().make(path);
    AnyWorkbookReader book;
    ::testing::internal::CaptureStderr();
    try {
        book.Open(path);
        ::testing::internal::GetCapturedStderr();
        FAIL() << "opened";
    } catch (const WorkbookError& e) {
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "the libraries stay quiet";
        std::string text = e.what();
        EXPECT_NE(text.find(path), std::string::npos) << text;
        for (const auto& part : GetParam().says) {
            EXPECT_NE(text.find(part), std::string::npos) << text;
        }
        EXPECT_EQ(text.find('\n'), std::string::npos) << "one sentence: " << text;
    }
    EXPECT_EQ(book.SheetCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Files, UnreadableWorkbooks, ::testing::ValuesIn(kBadInputs),
                         [](const auto& info) { return std::string(info.param.name); });

// Every cut of a real package is refused with a sentence, never more.
TEST(UnreadableWorkbooks, EveryCutOfARealPackageIsRefused) {
    test::TempFolder dir;
    for (const char* fixture : {"real_mixed.xlsx", "real_mixed.ods"}) {
        std::string bytes = test::ReadFileBytes(test::FixturePath(fixture));
        for (std::size_t n = 0; n < bytes.size(); n += 97) {
            std::string path = dir.File("cut");
            std::ofstream(path, std::ios::binary) << bytes.substr(0, n);
            AnyWorkbookReader book;
            EXPECT_THROW(book.Open(path), WorkbookError) << fixture << " cut at " << n;
        }
    }
}

// What a part really inflates to is counted as it comes, per part and in all.
TEST(ZipBounds, PartsThatInflateBeyondTheBoundsAreRefused) {
    test::TempFolder dir;
    std::string path = dir.File("big.zip");
    test::WriteZip(
        path, {{"a.xml", std::string(600 << 10, ' ')}, {"b.xml", std::string(600 << 10, ' ')}});
    auto readAll = [](PartReader& part) {
        std::vector<char> buffer(1 << 16);
        while (part.Read(buffer.data(), buffer.size()) > 0) {
        }
    };
    ZipPackage perPart(path, 512 << 10, 8 << 20);
    try {
        readAll(*perPart.Open("a.xml"));
        FAIL() << "no bound";
    } catch (const WorkbookError& e) {
        EXPECT_NE(std::string(e.what()).find("its part a.xml inflates to more than 512 KB"),
                  std::string::npos)
            << e.what();
    }
    ZipPackage total(path, 1 << 20, 1 << 20);
    readAll(*total.Open("a.xml"));
    try {
        readAll(*total.Open("b.xml"));
        FAIL() << "no total bound";
    } catch (const WorkbookError& e) {
        EXPECT_NE(std::string(e.what()).find("its parts inflate to more than 1 MB"),
                  std::string::npos)
            << e.what();
    }
}

// A part that is no well-formed XML, and what the sentence says of it.
struct XmlFault {
    const char* name;
    std::string xml;
    const char* says;
};

void PrintTo(const XmlFault& f, std::ostream* os) {
    *os << f.name;
}

class XmlFaults : public ::testing::TestWithParam<XmlFault> {};

// Regression: libxml2's own messages reached the operator, over several
// lines ("indicate encoding !\nBytes: ...") and with advice for programmers
// ("use XML_PARSE_HUGE option").
TEST_P(XmlFaults, AreToldOnOneLineInOurOwnWords) {
    MemoryPart part(GetParam().xml, "book.xlsx", "xl/_rels/workbook.xml.rels");
    try {
        ParseRelationships(part, "xl/workbook.xml");
        FAIL() << "parsed";
    } catch (const WorkbookError& e) {
        std::string text = e.what();
        EXPECT_NE(text.find("The workbook book.xlsx is damaged: its part "
                            "xl/_rels/workbook.xml.rels is not well-formed XML (line "),
                  std::string::npos)
            << text;
        EXPECT_NE(text.find(GetParam().says), std::string::npos) << text;
        EXPECT_EQ(text.find('\n'), std::string::npos) << text;
        for (const char* jargon : {"XML_PARSE_HUGE", "indicate encoding", "Bytes:", "xmlParse"}) {
            EXPECT_EQ(text.find(jargon), std::string::npos) << text;
        }
    }
}

std::string Nested(int depth) {
    std::string xml = "<Relationships>\n";
    for (int i = 0; i < depth; ++i) {
        xml += "<a>";
    }
    for (int i = 0; i < depth; ++i) {
        xml += "</a>";
    }
    return xml + "</Relationships>";
}

INSTANTIATE_TEST_SUITE_P(
    Parts, XmlFaults,
    ::testing::Values(
        XmlFault{"BytesThatAreNoUtf8",
                 "<Relationships>\n<a>\xff\xfe"
                 "caf\xe9</a></Relationships>",
                 "line 2: it holds bytes that are no text in its encoding"},
        XmlFault{"NestedBeyondTheReadersLimit", Nested(300),
                 "line 2: it nests elements deeper, or holds a name or value longer, than the XML "
                 "reader takes"},
        XmlFault{"WrongEndTag", "<Relationships>\n<a>\n<b></a></Relationships>",
                 "line 3: the element <b> opened on line 3 is closed by </a>"},
        XmlFault{"CutShort", "<Relationships>\n<a>\n<b>",
                 "the part ends before the element <b> opened on line 3 is closed"},
        XmlFault{"Empty", "", "the part holds no XML at all"},
        XmlFault{"MoreAfterTheEnd", "<Relationships/>\n<Relationships/>",
                 "line 2: more follows the end of the part's document"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ZipBounds, APackageOfAFewEntriesOpensAsBefore) {
    test::TempFolder dir;
    std::string path = dir.File("few.zip");
    Bytes(path, ZipOfEmptyEntries(50));
    ZipPackage zip(path);
    EXPECT_TRUE(zip.Has("e49"));
    EXPECT_EQ(zip.ReadSmall("e7", 16), "");
}

TEST(StoredWorkbook, RefusesWorksheetsBeyondTheMemoryBound) {
    EXPECT_NO_THROW(StoredWorkbook::CheckRoom("book.ods", StoredWorkbook::kMaxBytes));
    try {
        StoredWorkbook::CheckRoom("book.ods", StoredWorkbook::kMaxBytes + 1);
        FAIL();
    } catch (const WorkbookError& e) {
        EXPECT_STREQ(e.what(),
                     "The workbook book.ods is refused: its worksheets would take more than 1024 "
                     "MB of memory, far beyond any real workbook. It is not loaded.");
    }
}

}  // namespace
}  // namespace ledgerlift
