#pragma once

#include <string>

#include "company/CompanyBackups.h"

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
    int keepBackups = kDefaultKeepBackups;
    std::string failedRows;  // an .xlsx for the rows that need attention
};

struct CheckOptions {
    std::string productFolder;
    std::string workbook;
    std::string company;
    std::string date;  // yyyy-mm-dd; today when empty
    bool updateItems = false;
    std::string format = "text";  // "text" or "json"
    bool quiet = false;
    std::string failedRows;  // an .xlsx for the rows with problems
};

struct DemoOptions {
    std::string folder;
    bool quiet = false;
};

struct BackupOptions {
    std::string productFolder;
    std::string company;
    std::string from;  // restore: the backup file; the newest when empty
    bool yes = false;  // restore: answer its question with Yes
};

int ListCompanies(const std::string& productFolder);
int Preview(const PreviewOptions& options);
int Migrate(const MigrateOptions& options);
int Check(const CheckOptions& options);
int LayOutDemo(const DemoOptions& options);
int ListBackups(const BackupOptions& options);
int Restore(const BackupOptions& options);

}  // namespace ledgerlift
