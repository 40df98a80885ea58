// Lays out the demo product folder beside the program: the initial database
// listing the demo companies and their empty company databases. A database
// that is already there is left as it is.
//
// make_demo <program folder> <schema folder> <demo folder>

#include <cstdio>
#include <string>

#include "data/DataError.h"
#include "data/Schema.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_demo <program folder> <schema folder> <demo folder>\n");
        return 2;
    }
    std::string database = std::string(argv[1]) + "/Resources/Database";
    std::string schema = argv[2];
    std::string demo = argv[3];
    try {
        ledgerlift::CreateDatabase(database + "/TallvaneInitial.mdb", schema + "/initial.sql",
                                   demo + "/companies.sql");
        ledgerlift::CreateDatabase(database + "/C01/DEMO.mdb", schema + "/company.sql");
        ledgerlift::CreateDatabase(database + "/C02/SHOP.mdb", schema + "/company.sql");
    } catch (const ledgerlift::DataError& error) {
        std::fprintf(stderr, "make_demo: %s\n", error.what());
        return 1;
    }
    return 0;
}
