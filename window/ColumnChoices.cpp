#include "window/ColumnChoices.h"

#include <stdexcept>

#include "load/WorkbookColumns.h"
#include "reports/ColumnChoiceJson.h"

namespace ledgerlift {

ColumnChoice ColumnChoices::ForLoad(const WorkbookReader& book) {
    signature_ = WorkbookSignature(book);
    current_ = {};
    usedRemembered_ = false;
    problem_.clear();
    std::string kept = memory_ ? memory_->Recall(signature_) : "";
    if (!kept.empty()) {
        try {
            current_ = ParseColumnsJson(kept, "remembered in the settings");
            usedRemembered_ = true;
        } catch (const std::runtime_error& error) {
            problem_ = error.what();
            memory_->Forget(signature_);  // a damaged entry is of no use to anyone
        }
    }
    return current_;
}

bool ColumnChoices::Remembered() const {
    return memory_ && !signature_.empty() && !memory_->Recall(signature_).empty();
}

std::string ColumnChoices::Remember(const ColumnChoice& choice) {
    current_ = choice;
    if (memory_ && !signature_.empty()) {
        return memory_->Remember(signature_, ColumnChoiceJson(choice));
    }
    return "";
}

void ColumnChoices::Forget() {
    if (memory_ && !signature_.empty()) {
        memory_->Forget(signature_);
    }
    usedRemembered_ = false;
}

}  // namespace ledgerlift
