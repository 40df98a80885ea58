#include "migration/StepRunner.h"

#include <exception>

#include "base/TextRules.h"

namespace ledgerlift {

bool StepFailure::IsUniqueKey() const {
    return Upper(description).find("UNIQUE KEY") != std::string::npos;
}

bool StepRunner::Run(const char* name, const std::function<void()>& action) {
    for (int retries = 0;; ++retries) {
        std::string description;
        try {
            action();
            return true;
        } catch (const std::exception& error) {
            description = error.what();
        }
        switch (policy_(StepFailure{name, description, retries})) {
            case Verdict::Retry:
                continue;
            case Verdict::Continue:
                return true;
            case Verdict::Stop:
                return false;
        }
    }
}

bool StepRunner::Run(const std::vector<Step>& steps) {
    for (const Step& step : steps) {
        if (!Run(step.name, step.action)) {
            return false;
        }
    }
    return true;
}

}  // namespace ledgerlift
