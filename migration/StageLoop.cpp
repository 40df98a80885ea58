#include "migration/StageLoop.h"

#include "migration/FailureSentence.h"
#include "ui/Grid.h"

namespace ledgerlift {

StageLoop::StageLoop(StageContext& context)
    : ctx(context), runner_([this](const StepFailure& failure) { return Decide(failure); }) {}

std::optional<Finding> StageLoop::Refusal(int row) const {
    std::string why = place_ ? place_->grid.origin.RowError(row) : std::string();
    if (why.empty()) {
        return std::nullopt;
    }
    return Finding{why, kind::NoKeys};
}

std::string StageLoop::Why(const StepFailure& failure) const {
    return place_ ? RowSentence(*place_, failure.description)
                  : StageSentence(outside_, failure.description);
}

Verdict StageLoop::Decide(const StepFailure& failure) {
    if (std::optional<Verdict> own = OwnVerdict(failure)) {
        return *own;
    }
    std::string why = Why(failure);
    Failed(failure, why);
    if (!ctx.connection.TransactionLost().empty()) {
        Lost();
        return Verdict::Stop;  // nothing more can be written; the run says why
    }
    if (ctx.ops.MsgBox(Question(why), MsgButtons::YesNo, MsgIcon::Question) == MsgAnswer::Yes) {
        return Verdict::Continue;
    }
    ctx.ops.MsgBox(why, MsgButtons::OK, MsgIcon::Exclamation);
    Refused();
    return Verdict::Stop;
}

void StageLoop::Unreached(const Sheet& sheet, int from, const std::string& why) {
    if (sheet.tallySheet == nullptr) {
        return;
    }
    ctx.tally.RecordUnreached(
        *sheet.counts, sheet.tallySheet, sheet.grid, from, sheet.grid.Rows() - 2, sheet.keyCol,
        std::string("Not migrated: ") + sheet.stageWords + " was stopped" + why);
}

bool StageLoop::Committed(std::optional<CommitBatch>& batch, bool finish, const Sheet& sheet,
                          int next) {
    if (!batch) {
        return true;
    }
    try {
        if (finish) {
            batch->Finish();
        } else {
            batch->RowDone();
        }
        return true;
    } catch (const BatchLost& lost) {
        ctx.ops.MsgBox(lost.Description(), MsgButtons::OK, MsgIcon::Exclamation);
        if (!finish) {
            Unreached(sheet, next, ": " + lost.Description());
        }
        return false;
    }
}

bool StageLoop::Rows(Sheet& sheet) {
    const int last = sheet.grid.Rows() - 2;
    // Opened after the steps before the first row: whole rows per batch.
    std::optional<CommitBatch> batch;
    if (sheet.batches) {
        batch.emplace(ctx.connection, &ctx.tally, ctx.batchTiming);
    }
    ctx.ops.Progress(sheet.progressName, 0, last);
    for (int r = 1; r <= last; ++r) {
        place_.emplace(RowPlace{sheet.placeWord, sheet.grid, r, sheet.keyCol});
        Read(r);
        bool ran = true;
        if (std::optional<Finding> why = Refusal(r)) {
            Refuse(r, *why);
        } else {
            ran = runner_.Run(WriteSteps(r));
        }
        Finish(r);
        place_.reset();
        ctx.ops.Progress(sheet.progressName, r, last);
        if (!Committed(batch, false, sheet, r + 1)) {
            return false;
        }
        if (!ran) {
            Unreached(sheet, r + 1, ".");
            return false;
        }
        if (ctx.StopRequested()) {
            Unreached(sheet, r + 1, " by the operator.");
            stopped_ = true;
            break;
        }
    }
    return Committed(batch, true, sheet, last + 1);
}

void StageLoop::Run() {
    Sheet sheet = Describe();
    outside_ = sheet.before;
    stopped_ = false;
    if (!runner_.Run(BeginSteps())) {
        Unreached(sheet, 1, ".");
        return;
    }
    if (!Rows(sheet)) {
        return;
    }
    outside_ = sheet.after;
    runner_.Run(EndSteps(stopped_));
}

}  // namespace ledgerlift
