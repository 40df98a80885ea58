#pragma once

#include <functional>
#include <string>
#include <vector>

namespace ledgerlift {

// One action of a stage: a statement, a test, a lookup, a control property.
struct Step {
    const char* name;
    std::function<void()> action;
};

// What a stage's failure policy decides about a failed step.
enum class Verdict {
    Retry,     // run the failed step again from its start (its input was changed)
    Continue,  // go on with the step after the failed one
    Stop       // end the stage
};

struct StepFailure {
    const char* step;
    std::string description;  // the error's description, for the operator
    int retries;              // how often this step was already retried

    // A value that must be unique was repeated: the description says
    // "UNIQUE KEY", in any letter case.
    bool IsUniqueKey() const;
};

// Runs a row's steps in order and hands every failure to the stage's policy,
// which asks the operator, retries or stops. A step that guards later steps
// records its outcome in the row's state before it can fail, so that a failed
// test counts as passed when the operator goes on.
class StepRunner {
  public:
    using Policy = std::function<Verdict(const StepFailure&)>;

    explicit StepRunner(Policy policy) : policy_(std::move(policy)) {}

    // Gives false when the policy stopped the stage. A failure inside the
    // policy itself is not handled here: it leaves the stage.
    bool Run(const std::vector<Step>& steps);
    // One step on its own, by the same rules.
    bool Run(const char* name, const std::function<void()>& action);

  private:
    Policy policy_;
};

}  // namespace ledgerlift
