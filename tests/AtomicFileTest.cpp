#include "base/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "tests/FileSizeLimit.h"
#include "tests/TestSupport.h"

namespace ledgerlift {
namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The names in a folder, hidden ones included.
std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(AtomicFile, ReplacesAnOlderFileOnlyOnceTheNewOneIsWhole) {
    test::TempFolder dir;
    std::string path = dir.File("out.txt");
    std::ofstream(path) << "old";
    {
        AtomicFile file(path);
        file.Write("new ");
        EXPECT_EQ(Slurp(path), "old") << "not before the commit";
        file.Write("text");
        file.Commit();
    }
    EXPECT_EQ(Slurp(path), "new text");
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"out.txt"}) << "no temporary file left";
}

TEST(AtomicFile, WithoutACommitLeavesNothingBehind) {
    test::TempFolder dir;
    {
        AtomicFile file(dir.File("never.txt"));
        file.Write("half");
    }
    EXPECT_TRUE(Names(dir.Path()).empty());
}

// A full disk while writing: the older file stays as it was, nothing half
// written is left, and the sentence names the file and says what happened.
TEST(AtomicFile, AFullDiskLeavesTheOlderFileAsItWas) {
    test::TempFolder dir;
    std::string path = dir.File("out.txt");
    std::ofstream(path) << "old";
    std::string error;
    try {
        test::FileSizeLimit full(4096);
        WriteFileAtomically(path, std::string(100000, 'x'));
    } catch (const FileError& e) {
        error = e.what();
    }
    EXPECT_NE(error.find("The file " + path + " could not be written"), std::string::npos) << error;
    EXPECT_NE(error.find("beyond the size"), std::string::npos) << error;
    EXPECT_EQ(Slurp(path), "old");
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"out.txt"});
}

struct Refusal {
    const char* name;
    std::string (*path)(const test::TempFolder&);
    const char* says;
};
void PrintTo(const Refusal& r, std::ostream* os) {
    *os << r.name;
}
class AtomicFileRefusals : public ::testing::TestWithParam<Refusal> {};

TEST_P(AtomicFileRefusals, SayWhyBeforeWritingAnything) {
    test::TempFolder dir;
    std::ofstream(dir.File("plain")) << "a file";
    std::filesystem::create_directory(dir.File("folder"));
    std::string path = GetParam().path(dir);
    std::string error;
    try {
        AtomicFile file(path);
    } catch (const FileError& e) {
        error = e.what();
    }
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_NE(error.find(GetParam().says), std::string::npos) << error;
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"folder", "plain"}));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, AtomicFileRefusals,
    ::testing::Values(
        Refusal{"MissingFolder", [](const test::TempFolder& d) { return d.File("none/x.xlsx"); },
                "does not exist"},
        Refusal{"FolderIsAFile", [](const test::TempFolder& d) { return d.File("plain/x.xlsx"); },
                "is a file, not a folder"},
        Refusal{"NameOfAFolder", [](const test::TempFolder& d) { return d.File("folder"); },
                "taken by a folder"},
        // Regression guard: renaming over a device would replace it for
        // every program.
        Refusal{"Device", [](const test::TempFolder&) { return std::string("/dev/full"); },
                "not a file"}),
    [](const auto& info) { return std::string(info.param.name); });

// What lies beside out.txt under a temporary name when it is written again.
// A killed writer's leftover went on lying there, hidden, for good.
struct Leftover {
    const char* name;
    // Makes it in dir; gives a writer of out.txt still at work, if any.
    std::unique_ptr<AtomicFile> (*make)(const test::TempFolder& dir);
    std::size_t kept;  // names beside out.txt once it is written
};

class Leftovers : public ::testing::TestWithParam<Leftover> {};

TEST_P(Leftovers, OfAKilledWriterGoWithTheNextWriteOfThatName) {
    test::TempFolder dir;
    std::unique_ptr<AtomicFile> atWork = GetParam().make(dir);
    WriteFileAtomically(dir.File("out.txt"), "new");
    std::vector<std::string> names = Names(dir.Path());
    std::erase(names, "out.txt");
    EXPECT_EQ(names.size(), GetParam().kept) << testing::PrintToString(names);
    if (atWork) {
        atWork->Write("later");
        atWork->Commit();
        EXPECT_EQ(Slurp(dir.File("out.txt")), "later") << "the writer at work finishes";
    }
}

INSTANTIATE_TEST_SUITE_P(
    AtomicFile, Leftovers,
    ::testing::Values(Leftover{"OfAKilledWriter",
                               [](const test::TempFolder& dir) {
                                   std::ofstream(dir.File(".out.txt.partial-Ab12Cd")) << "half";
                                   return std::unique_ptr<AtomicFile>();
                               },
                               0},
                      Leftover{"OfAWriterAtWork",
                               [](const test::TempFolder& dir) {
                                   return std::make_unique<AtomicFile>(dir.File("out.txt"));
                               },
                               1},
                      Leftover{"OfAnotherName",
                               [](const test::TempFolder& dir) {
                                   std::ofstream(dir.File(".other.txt.partial-Ab12Cd")) << "half";
                                   return std::unique_ptr<AtomicFile>();
                               },
                               1},
                      Leftover{"ALinkUnderSuchAName",
                               [](const test::TempFolder& dir) {
                                   std::ofstream(dir.File("kept.txt")) << "kept";
                                   std::filesystem::create_symlink(
                                       dir.File("kept.txt"), dir.File(".out.txt.partial-Ab12Cd"));
                                   return std::unique_ptr<AtomicFile>();
                               },
                               2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AtomicFile, ADeviceIsLeftAlone) {
    try {
        WriteFileAtomically("/dev/full", "x");
    } catch (const FileError&) {
    }
    struct stat st {};
    ASSERT_EQ(stat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST(AtomicFile, CopiesAFileByteForByte) {
    test::TempFolder dir;
    std::string bytes(3 << 20, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 7919 % 251);
    }
    std::ofstream(dir.File("from"), std::ios::binary) << bytes;
    CopyFileAtomically(dir.File("from"), dir.File("to"));
    EXPECT_TRUE(Slurp(dir.File("to")) == bytes);
}

}  // namespace
}  // namespace ledgerlift
