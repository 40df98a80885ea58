#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>

#include "company/DemoFolder.h"
#include "company/ProductFolder.h"
#include "data/DataError.h"
#include "tests/TestSupport.h"
#include "ui/ScriptedWindowOps.h"
#include "window/MainForm.h"

namespace ledgerlift {
namespace {

namespace fs = std::filesystem;

// Which candidates are offered, and which one is chosen. "gone" offers a
// remembered folder that holds no Resources/Database any more; "bare" a
// program folder without one.
struct OrderCase {
    const char* name;
    bool option, environment;
    const char* remembered;  // "", "product" or "gone"
    const char* program;     // "", "product" or "bare"
    ProductFolderSource chosen;
};
void PrintTo(const OrderCase& c, std::ostream* os) {
    *os << c.name;
}

class ProductFolderOrder : public ::testing::TestWithParam<OrderCase> {
  protected:
    test::ProductFolder optionFolder, environmentFolder, rememberedFolder, programFolder;
    test::TempFolder bare;
};

TEST_P(ProductFolderOrder, TakesTheFirstSourceThatOffersAFolder) {
    const OrderCase& c = GetParam();
    ProductFolderCandidates candidates;
    if (c.option) {
        candidates.option = optionFolder.Path();
    }
    if (c.environment) {
        candidates.environment = environmentFolder.Path();
    }
    std::string remembered = c.remembered;
    candidates.remembered = remembered == "product" ? rememberedFolder.Path()
                            : remembered == "gone"  ? bare.Path() + "/moved"
                                                    : "";
    std::string program = c.program;
    candidates.programFolder = program == "product" ? programFolder.Path()
                               : program == "bare"  ? bare.Path()
                                                    : "";
    ProductFolderChoice choice = ChooseProductFolder(candidates);
    EXPECT_EQ(choice.source, c.chosen);
    switch (c.chosen) {
        case ProductFolderSource::Option:
            EXPECT_EQ(choice.folder, optionFolder.Path());
            break;
        case ProductFolderSource::Environment:
            EXPECT_EQ(choice.folder, environmentFolder.Path());
            break;
        case ProductFolderSource::Remembered:
            EXPECT_EQ(choice.folder, rememberedFolder.Path());
            break;
        case ProductFolderSource::ProgramFolder:
            EXPECT_EQ(choice.folder, programFolder.Path());
            break;
        case ProductFolderSource::None:
            EXPECT_EQ(choice.folder, "");
            break;
    }
}

using S = ProductFolderSource;
INSTANTIATE_TEST_SUITE_P(
    ProductFolder, ProductFolderOrder,
    ::testing::Values(
        OrderCase{"OptionBeforeEverything", true, true, "product", "product", S::Option},
        OrderCase{"VariableBeforeRemembered", false, true, "product", "product", S::Environment},
        OrderCase{"RememberedBeforeProgramFolder", false, false, "product", "product",
                  S::Remembered},
        OrderCase{"RememberedButGoneFallsThrough", false, false, "gone", "product",
                  S::ProgramFolder},
        OrderCase{"ProgramFolderWithDatabases", false, false, "", "product", S::ProgramFolder},
        OrderCase{"ProgramFolderWithoutDatabasesIsNoProductFolder", false, false, "", "bare",
                  S::None},
        OrderCase{"NothingOffered", false, false, "", "", S::None},
        OrderCase{"RememberedGoneAndBareProgramFolder", false, false, "gone", "bare", S::None}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProductFolder, AnOptionIsTakenEvenWithoutDatabasesSoTheOpenNamesTheMissingFile) {
    ProductFolderChoice choice = ChooseProductFolder({"/no/such/folder/", "", "", ""});
    EXPECT_EQ(choice.source, ProductFolderSource::Option);
    EXPECT_EQ(choice.folder, "/no/such/folder");
}

TEST(ProductFolder, ARelativeFolderIsMadeAbsoluteWithoutTrailingSlashes) {
    EXPECT_EQ(NormalFolder("a/./b//"), (fs::current_path() / "a/b").string());
    EXPECT_EQ(NormalFolder("/x/y/../z/"), "/x/z");
    EXPECT_EQ(NormalFolder("/"), "/");
}

TEST(ProductFolder, TheSourcesAreNamedForTheOperator) {
    EXPECT_EQ(SourceText(ProductFolderSource::Environment), "from LEDGERLIFT_PRODUCT_FOLDER");
    EXPECT_EQ(SourceText(ProductFolderSource::Remembered), "remembered from the last run");
}

TEST(DemoFolder, LaysOutTheDemoThatTheWindowLists) {
    test::TempFolder scratch;
    std::string folder = scratch.File("demo");
    auto files = LayOutDemoFolder(folder);
    ASSERT_EQ(files.size(), 6u) << "three databases and the sample in three formats";
    for (const auto& file : files) {
        EXPECT_TRUE(file.created) << file.path;
        EXPECT_TRUE(fs::is_regular_file(file.path)) << file.path;
    }
    EXPECT_EQ(files[0].path, folder + "/Resources/Database/TallvaneInitial.mdb");
    EXPECT_TRUE(HoldsDatabaseFolder(folder));

    ScriptedWindowOps ops;
    MainForm form(folder, ops);
    form.OnStart();
    ASSERT_EQ(form.companyList.ListCount(), 2);
    EXPECT_EQ(form.companyList.List(0), "DEMO");
    EXPECT_EQ(form.companyList.List(1), "SHOP");
    EXPECT_TRUE(ops.Messages().empty());
    EXPECT_EQ(test::QueryRows(folder + "/Resources/Database/C02/SHOP.mdb",
                              "select count(*) from tblItemMaster"),
              "0\n");
}

TEST(DemoFolder, NeverOverwritesAFileThatIsThere) {
    test::TempFolder scratch;
    std::string database = scratch.File("Resources/Database");
    fs::create_directories(database + "/C01");
    std::ofstream(database + "/C01/DEMO.mdb") << "not touched";
    std::ofstream(database + "/sample.xls") << "mine";
    auto files = LayOutDemoFolder(scratch.Path());
    ASSERT_EQ(files.size(), 6u);
    EXPECT_TRUE(files[0].created);
    EXPECT_FALSE(files[1].created);
    EXPECT_TRUE(files[2].created);
    EXPECT_FALSE(files[3].created) << "sample.xls";
    EXPECT_TRUE(files[4].created) << "sample.xlsx";
    EXPECT_TRUE(files[5].created) << "sample.ods";
    std::ifstream demo(database + "/C01/DEMO.mdb");
    std::string text;
    std::getline(demo, text);
    EXPECT_EQ(text, "not touched");
    std::ifstream sample(database + "/sample.xls");
    std::getline(sample, text);
    EXPECT_EQ(text, "mine");
}

TEST(DemoFolder, AFolderThatCannotBeMadeIsNamed) {
    test::TempFolder scratch;
    std::ofstream(scratch.File("file")) << "x";
    try {
        LayOutDemoFolder(scratch.File("file"));
        FAIL() << "no error";
    } catch (const DataError& error) {
        EXPECT_NE(std::string(error.what()).find(scratch.File("file")), std::string::npos)
            << error.what();
    }
}

}  // namespace
}  // namespace ledgerlift
