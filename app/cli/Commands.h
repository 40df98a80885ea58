#pragma once

#include <string>

namespace ledgerlift {

struct PreviewOptions {
    std::string workbook;
    std::string sheet;           // "", "items" or "ledgers"
    std::string format = "tsv";  // "tsv" or "json"
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
    int keepBackups = 10;
    std::string failedRows;  // an .xlsx for the rows that need attention
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
int ListBackups(const BackupOptions& options);
int Restore(const BackupOptions& options);

}  // namespace ledgerlift
