#pragma once

#include <string>

namespace ledgerlift {

struct PreviewOptions {
    std::string workbook;
    std::string sheet;           // "", "items" or "ledgers"
    std::string format = "tsv";  // "tsv", "csv" or "json"
};

struct MigrateOptions {
    std::string productFolder;
    std::string workbook;
    std::string company;
    std::string date;  // yyyy-mm-dd; today when empty
    bool updateItems = false;
    bool yes = false;
    std::string onError;  // "ask", "stop", "continue"; by the terminal when empty
    bool dryRun = false;
    std::string report;
    bool quiet = false;  // no status lines, progress or information
};

struct CheckOptions {
    std::string productFolder;
    std::string workbook;
    std::string company;
    std::string date;  // yyyy-mm-dd; today when empty
    bool updateItems = false;
    std::string format = "text";  // "text" or "json"
    bool quiet = false;
};

struct DemoOptions {
    std::string folder;
    bool quiet = false;
};

int ListCompanies(const std::string& productFolder);
int Preview(const PreviewOptions& options);
int Migrate(const MigrateOptions& options);
int Check(const CheckOptions& options);
int LayOutDemo(const DemoOptions& options);

}  // namespace ledgerlift
