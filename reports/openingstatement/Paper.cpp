#include "reports/openingstatement/Paper.h"

#include "base/TextRules.h"

namespace ledgerlift {

std::optional<Paper> PaperNamed(const std::string& name) {
    std::string upper = Upper(name);
    if (upper == "A4") {
        return Paper::A4;
    }
    if (upper == "LETTER") {
        return Paper::Letter;
    }
    return std::nullopt;
}

}  // namespace ledgerlift
