#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "migration/Finding.h"

namespace ledgerlift {

class Grid;

// What a migration run did, row by row and stage by stage: for the run
// summary in the status box, the command line's report and its exit status.
//
// A row's outcome is what the database holds once the transaction that
// holds the row has committed. Until then the row is pending: a commit that
// fails (or a database that undoes the open transaction after a failure)
// turns the pending rows into failed rows with the reason.
class RunTally {
  public:
    enum class Outcome {
        Written,    // the row is in the database
        Updated,    // update mode: the item replaced the one with its code
        Partial,    // the record is in the database, its opening posting is not
        Skipped,    // already there: left as it is
        Failed,     // nothing of the row is in the database
        Completed,  // the record was there without its opening; the opening is posted now
        Replaced,   // the record's opening differed; it was replaced on purpose
        Differs     // the record or its opening differs from the row's: left as it is
    };

    // How the run as a whole ended.
    enum class RunOutcome {
        NotStarted,        // no workbook loaded, or the operator said No to the confirmation
        ConnectionFailed,  // the company's database could not be opened
        Stopped,           // a failure ended the run before its last stage was done
        Completed,         // every stage ran to its end ("Migration Completed")
        BackupFailed       // the backup before the first write could not be made: nothing written
    };

    struct Counts {
        int written = 0;
        int updated = 0;
        int partial = 0;
        int skipped = 0;
        int failed = 0;
        int completed = 0;
        int replaced = 0;
        int differs = 0;
        int postings = 0;  // stock postings (items) or vouchers (ledgers)
        void Add(Outcome outcome, int by = 1);

      private:
        friend class RunTally;
        int pendingPostings_ = 0;
    };

    // What a row's opening posting writes, as the stage computed it: what a
    // check predicts and what the reconciliation reads back.
    struct Posting {
        bool posted = false;
        double quantity = 0;  // the stock's change (items)
        double value = 0;     // inward value minus outward value at purchase rate (items)
        double debit = 0;     // the voucher amount on the debit side (ledgers)
        double credit = 0;    // ... or on the credit side
    };

    struct Row {
        std::string sheet;     // "items" or "ledgers"
        std::string sheetRow;  // the worksheet row number, as the grid holds it
        std::string key;       // the item code or the ledger name, as stored
        Outcome outcome;
        std::string id;     // the identifier given, when the row was written
        std::string error;  // the first failure's description, if any
        std::string step;   // the step that failed first, if any
        // What the operator may not expect of the row (a side taken from its
        // account group, a code stored lengthened, ...).
        std::vector<Finding> warnings = {};
        Posting posting = {};
        // The kind of the error and the cell it is about (see Finding).
        Finding errorFinding = {};
        // The errors of a refused row after its first.
        std::vector<Finding> otherErrors = {};
    };

    // One grid row while its steps run.
    struct RowState {
        bool failed = false;
        bool skipped = false;
        std::string error;
        std::string step;
        std::vector<Finding> warnings;
        Posting posting;
        Finding errorFinding;
        std::vector<Finding> otherErrors;
        // A row refused before anything was written: its errors, the first
        // as the row's own.
        void Refuse(const std::vector<Finding>& errors) {
            Fail("read the row", errors.front().text, errors.front());
            otherErrors.assign(errors.begin() + 1, errors.end());
        }
        void Warn(Finding finding) { warnings.push_back(std::move(finding)); }
        void Fail(const std::string& failedStep, const std::string& description,
                  Finding finding = {}) {
            if (!failed) {
                error = description;
                step = failedStep;
                errorFinding = std::move(finding);
                if (errorFinding.kind.empty()) {
                    errorFinding.kind = kind::Refused;
                }
                errorFinding.text = description;
            }
            failed = true;
        }
        void Skip(const std::string& skippedStep, const std::string& description) {
            skipped = true;
            error = description;
            step = skippedStep;
        }
    };

    void Clear();
    void Record(Counts& counts, Row row);
    // Grid rows from..to that a stopped stage never reached.
    void RecordUnreached(Counts& counts, const char* sheet, const Grid& grid, int from, int to,
                         int keyCol, const std::string& reason);
    // A stock posting or voucher of a row not yet committed.
    void AddPosting(Counts& counts);
    // The rows recorded so far are committed.
    void ConfirmPending();
    // The rows recorded since the last commit were undone: they become failed
    // rows with the reason, and their postings are no longer counted.
    void FailPending(const std::string& reason, const std::string& step);

    bool AllWritten() const;
    // Whether every row is in the company with its opening: written,
    // completed, replaced or already there (nothing failed, was written in
    // part, was not reached or differs).
    bool NothingLeft() const;
    // "Nothing left to migrate: all 38 items and 30 ledgers are in the
    // company with their opening stock and balances."
    std::string NothingLeftLine() const;
    // The summary lines of the status box.
    std::vector<std::string> SummaryLines() const;
    // A line per sheet: how many of its rows went in (written or updated),
    // and how many did not, by why ("Summary: item sheet, 3 of 5 rows went
    // in, 2 did not (1 already there, 1 failed)").
    std::vector<std::string> SheetLines() const;
    // Whether the row was never reached (a stopped stage or run) rather
    // than left as it was because it was already there.
    static bool NotReached(const Row& row);
    // How many rows of the sheet ("items", "ledgers") the run never came to.
    int UnreachedRows(const std::string& sheet) const;

    static const char* OutcomeText(Outcome outcome);
    // A row's outcome as the report and the failed rows give it: a row the
    // run never came to is "not reached", wherever it is counted.
    static const char* RowOutcomeText(const Row& row);

    // The highest ids before the run: what lies above them the run wrote.
    struct Baseline {
        std::int64_t stockHisId = 0;
        std::int64_t voucherMainId = 0;
        bool read = false;
    };

    RunOutcome outcome = RunOutcome::NotStarted;
    Baseline baseline;
    // Differences that the reconciliation after the run found.
    int reconcileDifferences = 0;
    Counts categories;
    Counts items;
    Counts ledgers;
    std::vector<Row> rows;
    // Worksheet rows below row 65000 that the import did not read.
    int itemRowsNotRead = 0;
    int ledgerRowsNotRead = 0;

  private:
    Counts& CountsOf(const std::string& sheet);
    std::size_t pendingFrom_ = 0;
};

}  // namespace ledgerlift
