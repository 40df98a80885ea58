#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ledgerlift {

// How the rows of one sheet of a run ended.
struct SheetCounts {
    int written = 0;
    int updated = 0;
    int partial = 0;  // the record went in without its opening posting
    int skipped = 0;  // already there, left as it was
    int failed = 0;
    int notReached = 0;  // a stop came first
    int completed = 0;   // held before the run; its missing opening was posted
    int replaced = 0;    // held before the run; its opening replaced on purpose
    int differs = 0;     // held before the run with another opening; left as it was
    int Rows() const {
        return written + updated + partial + skipped + failed + notReached + completed + replaced +
               differs;
    }
};

// What the last check of the same workbook into the same company predicted
// before the run.
struct RecordedCheck {
    std::string date;  // the migration date it was checked with, yyyy-mm-dd
    int stockLines = 0;
    double quantity = 0;
    double stockValue = 0;
    double debit = 0;
    double credit = 0;
    std::vector<std::string> lines;  // its "Check: ..." lines
    double Difference() const { return debit + stockValue - credit; }
};

// What one real (not dry) migration run did, kept beside the company's
// backups so that long after the status box is gone it can still be told
// which workbook went in, when, with what outcome, and which backup undoes
// it.
struct RunRecord {
    std::string company;        // the company code
    std::string database;       // "<DirName>/<FileName>.mdb", below the database folder
    std::string workbook;       // absolute path
    std::string migrationDate;  // yyyy-mm-dd
    std::string started;        // local time, "yyyy-mm-dd hh:mm:ss"
    std::string ended;
    std::string outcome;  // "completed", "stopped", "stopped by a failure"
    std::string failure;  // for the last: the operator's sentence
    std::string backup;   // the backup file made before the first write
    int categoriesWritten = 0;
    int categoriesThere = 0;
    int categoriesFailed = 0;
    SheetCounts items;
    SheetCounts ledgers;
    std::optional<RecordedCheck> check;
    std::vector<std::string> summary;     // the status box's "Summary: ..." lines
    std::vector<std::string> reconciled;  // ... and its "Reconciled: ..." lines

    std::string path;  // the file it was read from ("" before it is written)
};

// The record as a text file of "key: value" lines under a first line that
// names the kind of file:
//
//   Ledgerlift run record
//   company: DEMO
//   database: C01/DEMO.mdb
//   workbook: /home/anna/opening.xls
//   migration date: 2024-04-01
//   started: 2024-05-01 10:00:00
//   ended: 2024-05-01 10:00:04
//   outcome: completed
//   backup: /.../C01/Backups/DEMO-20240501-100000.mdb
//   categories: written 6, already there 0, failed 0
//   items: written 38, updated 0, partial 0, skipped 0, failed 0, not reached 0
//   ledgers: written 30, updated 0, partial 0, skipped 0, failed 0, not reached 0
//   check date: 2024-04-01              (the check's lines only when one ran)
//   check stock lines: 38
//   check quantity: 1520
//   check stock value: 45210.5
//   check debit: 120000
//   check credit: 80500.25
//   check line: Check: ...              (one line each, in order)
//   summary: Summary: ...               (one line each, in order)
//   reconciled: Reconciled: ...         (one line each, in order)
//
// Numbers are written with "." as decimal point whatever the locale. A value
// keeps a backslash, a line feed and a carriage return as "\\", "\n" and
// "\r", so that every value (a workbook path may hold a line break) stays on
// its line. Keys a reader does not know are passed over, so that a later
// program may add some.
std::string RunRecordText(const RunRecord& record);

// Reads a record's text. Throws DataError, naming path and the line, when the
// text is not a run record or a line of it can't be read.
RunRecord ParseRunRecord(const std::string& text, const std::string& path);

}  // namespace ledgerlift
