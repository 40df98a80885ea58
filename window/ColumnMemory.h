#pragma once

#include <string>

namespace ledgerlift {

// Where the window keeps the sheets and columns the operator chose, per
// user, for a workbook layout (its signature: see WorkbookSignature), as the
// JSON of ColumnChoiceJson. The command line never reads it, so a script
// gives the same result on every machine.
class ColumnMemory {
  public:
    virtual ~ColumnMemory() = default;
    // The choice kept for the signature; "" for none.
    virtual std::string Recall(const std::string& signature) const = 0;
    // Gives "" when the choice is kept, else the sentence that says why not.
    virtual std::string Remember(const std::string& signature, const std::string& choiceJson) = 0;
    virtual void Forget(const std::string& signature) = 0;
};

}  // namespace ledgerlift
