#include <gtest/gtest.h>

#include <glib.h>

#include <cstdlib>
#include <ostream>

#include "import/core/CellText.h"
#include "import/core/DateSerials.h"
#include "import/core/SheetStore.h"
#include "import/package/LibraryLog.h"
#include "import/package/PackageParts.h"
#include "import/package/ZipPackage.h"
#include "tests/PackageWriter.h"
#include "tests/TestSupport.h"

namespace ledgerlift {
namespace {

TEST(SheetStore, KeepsTheCellsOfTheXlsWindow) {
    SheetStore store;
    EXPECT_TRUE(store.Put(0, 0, CellValue::Text("a1")));
    EXPECT_TRUE(store.Put(65535, 255, CellValue::Number(2)));
    EXPECT_FALSE(store.Put(65536, 0, CellValue::Number(3))) << "below row 65536";
    EXPECT_FALSE(store.Put(0, 256, CellValue::Number(4))) << "right of column IV";
    EXPECT_EQ(CellText(store.Get(0, 0)), "a1");
    EXPECT_EQ(CellText(store.Get(65535, 255)), "2");
    EXPECT_EQ(store.Get(5, 5).kind, CellValue::Kind::Empty);
    EXPECT_EQ(store.Get(1000000, 0).kind, CellValue::Kind::Empty);
}

TEST(SheetStore, RepeatedRowsShareTheirCellsUntilOneIsWritten) {
    SheetStore store;
    store.Put(3, 1, CellValue::Text("same"));
    std::uint64_t before = store.Bytes();
    store.RepeatRow(3, 1000000);
    EXPECT_EQ(store.Bytes(), before) << "the copies cost no cells";
    EXPECT_EQ(CellText(store.Get(65535, 1)), "same");
    store.Put(10, 2, CellValue::Text("own"));
    EXPECT_EQ(CellText(store.Get(10, 1)), "same") << "the row got its own copy";
    EXPECT_EQ(CellText(store.Get(10, 2)), "own");
    EXPECT_EQ(store.Get(11, 2).kind, CellValue::Kind::Empty) << "the others are untouched";
    store.RepeatRow(20, 5);  // an empty row repeated: nothing
    EXPECT_EQ(CellText(store.Get(21, 1)), "same");
}

struct Resolve {
    const char* name;
    const char* source;
    const char* target;
    const char* part;
};

void PrintTo(const Resolve& r, std::ostream* os) {
    *os << r.name;
}

class RelationshipTargets : public ::testing::TestWithParam<Resolve> {};

TEST_P(RelationshipTargets, NameTheirParts) {
    EXPECT_EQ(ResolveTarget(GetParam().source, GetParam().target), GetParam().part);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, RelationshipTargets,
    ::testing::Values(Resolve{"RelativeToTheSourceFolder", "xl/workbook.xml",
                              "worksheets/sheet1.xml", "xl/worksheets/sheet1.xml"},
                      Resolve{"Absolute", "xl/workbook.xml", "/xl/worksheets/sheet2.xml",
                              "xl/worksheets/sheet2.xml"},
                      Resolve{"UpAFolder", "xl/worksheets/sheet1.xml", "../sharedStrings.xml",
                              "xl/sharedStrings.xml"},
                      Resolve{"FromThePackage", "", "xl/workbook.xml", "xl/workbook.xml"},
                      Resolve{"DotSegments", "xl/workbook.xml", "./worksheets/./sheet1.xml",
                              "xl/worksheets/sheet1.xml"},
                      Resolve{"PercentEscapes", "xl/workbook.xml", "worksheets/my%20sheet.xml",
                              "xl/worksheets/my sheet.xml"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PackageParts, RelationshipsPartsAndContentTypes) {
    EXPECT_EQ(RelationshipsPartOf(""), "_rels/.rels");
    EXPECT_EQ(RelationshipsPartOf("xl/workbook.xml"), "xl/_rels/workbook.xml.rels");
    std::string types =
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"XML\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/xl/Workbook.xml\" ContentType=\"main\"/></Types>";
    MemoryPart part(types);
    ContentTypes contentTypes;
    contentTypes.Parse(part);
    EXPECT_EQ(contentTypes.Of("xl/workbook.xml"), "main") << "names in any letter case";
    EXPECT_EQ(contentTypes.Of("xl/styles.xml"), "application/xml");
    EXPECT_EQ(contentTypes.Of("xl/a.bin"), "");
}

TEST(ZipPackage, FindsPartsInAnyLetterCase) {
    test::TempFolder dir;
    std::string path = dir.File("p.zip");
    test::WriteZip(path, {{"xl/Workbook.xml", "<w/>"}, {"mimetype", "type"}});
    ZipPackage zip(path);
    EXPECT_TRUE(zip.Has("xl/workbook.xml"));
    EXPECT_TRUE(zip.Has("XL/WORKBOOK.XML"));
    EXPECT_FALSE(zip.Has("xl")) << "a folder is no part";
    EXPECT_FALSE(zip.Has("xl/styles.xml"));
    EXPECT_EQ(zip.ReadSmall("mimetype", 16), "type");
    EXPECT_THROW(zip.ReadSmall("xl/workbook.xml", 2), WorkbookError);
}

TEST(ZipPackage, ReadsALargePartAheadWholeAndInOrder) {
    test::TempFolder dir;
    std::string path = dir.File("p.zip");
    std::string big;
    for (int i = 0; big.size() < (3u << 20); ++i) {
        big += std::to_string(i) + ",";
    }
    test::WriteZip(path, {{"big.xml", big}});
    ZipPackage zip(path);
    auto part = zip.Open("big.xml");
    std::string read;
    char buffer[4000];
    for (std::size_t n; (n = part->Read(buffer, sizeof buffer)) > 0;) {
        read.append(buffer, n);
    }
    EXPECT_EQ(read, big);
}

struct IsoDate {
    const char* name;
    const char* text;
    double serial;  // -1: not a date
};

void PrintTo(const IsoDate& d, std::ostream* os) {
    *os << d.name;
}

class IsoDates : public ::testing::TestWithParam<IsoDate> {};

TEST_P(IsoDates, BecomeSerialsOfThe1900System) {
    double serial = -1;
    bool ok = SerialFromIsoDate(GetParam().text, serial);
    EXPECT_EQ(ok, GetParam().serial >= 0);
    if (ok) {
        EXPECT_DOUBLE_EQ(serial, GetParam().serial);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IsoDates,
    ::testing::Values(IsoDate{"Date", "2009-04-01", 39904},
                      IsoDate{"DateAndTime", "2009-04-01T10:30:00", 39904.4375},
                      IsoDate{"FractionOfASecondAndZone", "2009-04-01T12:00:00.000Z", 39904.5},
                      IsoDate{"TimeAlone", "10:30:00", 0.4375},
                      IsoDate{"FirstOfMarch1900", "1900-03-01", 61},
                      IsoDate{"BeforeMarch1900CountsOneLess", "1900-01-01", 1},
                      IsoDate{"NotADay", "2009-02-30", -1}, IsoDate{"NotADate", "yesterday", -1},
                      IsoDate{"TrailingText", "2009-04-01x", -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DateSerials, DurationsAndThe1904System) {
    double days = 0;
    EXPECT_TRUE(DaysFromIsoDuration("PT10H30M00S", days));
    EXPECT_DOUBLE_EQ(days, 0.4375);
    EXPECT_TRUE(DaysFromIsoDuration("PT36H", days));
    EXPECT_DOUBLE_EQ(days, 1.5);
    EXPECT_TRUE(DaysFromIsoDuration("P1DT12H", days));
    EXPECT_DOUBLE_EQ(days, 1.5);
    EXPECT_TRUE(DaysFromIsoDuration("P0Y0M0DT0H0M1.5S", days));
    EXPECT_FALSE(DaysFromIsoDuration("P1M", days)) << "a month has no fixed length";
    EXPECT_FALSE(DaysFromIsoDuration("10:30", days));
    EXPECT_DOUBLE_EQ(SerialFrom1904(0), 1462);
    EXPECT_DOUBLE_EQ(SerialFrom1904(0.5), 0.5) << "a time of day stays a time";
    EXPECT_DOUBLE_EQ(SerialFrom1904(39904), 41366);
}

// What libgsf writes about a damaged file goes through our handler: nothing
// unless asked for.
TEST(LibraryLog, IsSilentUnlessAskedToBeVerbose) {
    unsetenv("LEDGERLIFT_VERBOSE");
    ::testing::internal::CaptureStderr();
    {
        LibraryLogScope quiet;
        g_log("libgsf:msole", G_LOG_LEVEL_CRITICAL, "%s", "ole_seek_block: assertion failed");
        g_warning("%s", "a warning");
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

    setenv("LEDGERLIFT_VERBOSE", "1", 1);
    ::testing::internal::CaptureStderr();
    {
        LibraryLogScope verbose;
        g_log("libgsf:msole", G_LOG_LEVEL_CRITICAL, "%s", "ole_seek_block: assertion failed");
    }
    unsetenv("LEDGERLIFT_VERBOSE");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "ledgerlift: [libgsf:msole] ole_seek_block: assertion failed\n");
}

}  // namespace
}  // namespace ledgerlift
