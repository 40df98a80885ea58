#pragma once

#include <stdexcept>
#include <string>

namespace ledgerlift {

// Every failure of the data-access layer. what() is the description meant for
// the operator: it is shown as it stands in a message box, and the stages
// search it for "UNIQUE KEY".
class DataError : public std::runtime_error {
  public:
    explicit DataError(const std::string& description) : std::runtime_error(description) {}
    std::string Description() const { return what(); }
};

}  // namespace ledgerlift
