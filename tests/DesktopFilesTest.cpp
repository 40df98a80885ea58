// The desktop entry and the AppStream metainfo offer the program for every
// workbook format it reads, by the MIME type that the system's database gives
// each extension: a file manager offers "Open With Ledgerlift" on any of them.

#include <gtest/gtest.h>

#include <QMimeDatabase>
#include <QString>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace ledgerlift {
namespace {

std::string SourceText(const std::string& path) {
    std::ifstream in(std::string(LEDGERLIFT_SOURCE_DIR) + "/" + path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::set<std::string> DesktopEntryTypes() {
    std::string entry = SourceText("resources/linux/org.ledgerlift.Ledgerlift.desktop");
    std::smatch line;
    std::set<std::string> types;
    if (std::regex_search(entry, line, std::regex("\nMimeType=([^\n]*)\n"))) {
        std::istringstream list(line[1].str());
        for (std::string type; std::getline(list, type, ';');) {
            types.insert(type);
        }
    }
    return types;
}

std::set<std::string> MetainfoTypes() {
    std::string metainfo = SourceText("resources/linux/org.ledgerlift.Ledgerlift.metainfo.xml");
    std::regex mediatype("<mediatype>([^<]+)</mediatype>");
    std::set<std::string> types;
    for (std::sregex_iterator i(metainfo.begin(), metainfo.end(), mediatype), end; i != end; ++i) {
        types.insert((*i)[1]);
    }
    return types;
}

TEST(DesktopFiles, OfferTheProgramForEveryWorkbookFormat) {
    std::set<std::string> entry = DesktopEntryTypes();
    std::set<std::string> metainfo = MetainfoTypes();
    QMimeDatabase database;
    for (const char* extension : {"xls", "xlsx", "xlsm", "ods"}) {
        std::string type =
            database.mimeTypeForFile(QString("book.") + extension, QMimeDatabase::MatchExtension)
                .name()
                .toStdString();
        EXPECT_TRUE(entry.count(type)) << "." << extension << " (" << type << ")";
        EXPECT_TRUE(metainfo.count(type)) << "." << extension << " (" << type << ")";
    }
    EXPECT_EQ(entry, metainfo);
}

}  // namespace
}  // namespace ledgerlift
