#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "migration/CellChecks.h"
#include "migration/CommitBatch.h"
#include "migration/Finding.h"
#include "migration/StageContext.h"
#include "migration/StepRunner.h"

namespace ledgerlift {

// What every stage asks after a failed step.
inline constexpr const char* kContinueQuestion = "Are you sure to Continue with next data";

// The walk over one grid's rows that every stage shares: the row loop, the
// failure policy, progress, the operator's stop, batch commits and the rows
// not reached. A stage gives it a read step (a grid row into a typed record
// and its problems, touching no database) and its write steps.
//
// Run() calls, in this order:
//  1. BeginSteps(): what comes before the first row (a counter read, a
//     transaction begun). A failure that the policy stops ends the stage:
//     every row is recorded as not reached.
//  2. For each data row r (1 to Rows() - 2):
//     a. Read(r): the row's record and problems; never fails;
//     b. WriteSteps(r), under the failure policy; or, for a row refused
//        before anything is written (Refusal: the load marked it, or its
//        reading found an error), Refuse(r): nothing is written, and no
//        question is asked;
//     c. Finish(r): the row's outcome into the tally;
//     d. progress; the batch of finished rows is committed when it is due
//        (a batch that could not be kept is shown, and ends the stage: the
//        rows after it are not reached);
//     e. a policy that stopped ends the stage here (the rows after it are
//        not reached); so does the operator's stop request, after which
//        EndSteps still run with stopped set.
//  3. The batch still open is committed (a failure is shown and ends the
//     stage), then EndSteps(stopped): what comes after the last row.
//
// The failure policy, for every step: the stage may decide first
// (OwnVerdict: a retry with a changed input, a row left as it is); else the
// failure is the row's error (Failed), and unless the database has undone
// the open transaction (then the stage ends, Lost) the operator is asked
// the stage's Question: Yes goes on with the step after the failed one; No
// shows the sentence (exclamation icon), then Refused, and ends the stage.
class StageLoop {
  public:
    explicit StageLoop(StageContext& ctx);
    virtual ~StageLoop() = default;
    StageLoop(const StageLoop&) = delete;
    StageLoop& operator=(const StageLoop&) = delete;

    void Run();

  protected:
    // What the loop needs to know of the stage.
    struct Sheet {
        const char* progressName;  // "Migrating items"
        Grid& grid;
        const char* placeWord;  // "Item": "Item row 17, A1"
        int keyCol;             // the column that names a row
        const char* before;     // where a failure before the first row is
        const char* after;      // ... and after the last one
        // The tally's sheet ("items") and its counts, for the rows not
        // reached; none for a stage that records no rows (categories).
        const char* tallySheet = nullptr;
        RunTally::Counts* counts = nullptr;
        const char* stageWords = "";  // "the item stage"
        bool batches = true;          // whole rows committed in batches
    };

    virtual Sheet Describe() = 0;
    virtual std::vector<Step> BeginSteps() { return {}; }
    virtual void Read(int row) = 0;
    virtual std::vector<Step> WriteSteps(int row) = 0;
    // Why the row just read is refused before anything is written, if it
    // is: by default, the load's mark (GridOrigin::rowError).
    virtual std::optional<Finding> Refusal(int row) const;
    // A refused row: the stage records it as failed (and gives up the turn
    // of any id counter it keeps, so that the ids of the rows after it do
    // not depend on which rows were refused).
    virtual void Refuse(int /*row*/, const Finding& /*why*/) {}
    virtual void Finish(int row) = 0;
    virtual std::vector<Step> EndSteps(bool /*stopped*/) { return {}; }

    // The question a failure asks, around its sentence.
    // The stage's question after a failed step: the described question, with
    // the sentence that says where and why on a line of its own.
    virtual std::string Question(const std::string& why) const = 0;
    virtual std::optional<Verdict> OwnVerdict(const StepFailure&) { return std::nullopt; }
    // The sentence of a failure: where it happened, then why.
    virtual std::string Why(const StepFailure& failure) const;
    virtual void Failed(const StepFailure&, const std::string& /*why*/) {}
    virtual void Lost() {}
    virtual void Refused() {}

    // The row whose steps run, if any.
    const RowPlace* Place() const { return place_ ? &*place_ : nullptr; }
    StageContext& ctx;

  private:
    Verdict Decide(const StepFailure& failure);
    // Runs the rows; gives whether the stage goes on to its end steps.
    bool Rows(Sheet& sheet);
    void Unreached(const Sheet& sheet, int from, const std::string& why);
    bool Committed(std::optional<CommitBatch>& batch, bool finish, const Sheet& sheet, int next);

    StepRunner runner_;
    std::optional<RowPlace> place_;
    const char* outside_ = "";
    bool stopped_ = false;
};

}  // namespace ledgerlift
