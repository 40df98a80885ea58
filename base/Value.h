#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace ledgerlift {

// A value as the database hands it over: NULL (also the "empty" result of a
// read that found no row), a whole number, a double or a text.
class Value {
  public:
    Value() = default;
    Value(std::int64_t v) : v_(v) {}
    Value(int v) : v_(static_cast<std::int64_t>(v)) {}
    Value(double v) : v_(v) {}
    Value(std::string v) : v_(std::move(v)) {}
    Value(const char* v) : v_(std::string(v)) {}

    bool IsNull() const { return std::holds_alternative<std::monostate>(v_); }
    bool IsInteger() const { return std::holds_alternative<std::int64_t>(v_); }
    bool IsReal() const { return std::holds_alternative<double>(v_); }
    bool IsText() const { return std::holds_alternative<std::string>(v_); }

    std::int64_t AsInteger() const { return std::get<std::int64_t>(v_); }
    double AsReal() const { return std::get<double>(v_); }
    const std::string& AsText() const { return std::get<std::string>(v_); }

    bool operator==(const Value&) const = default;

  private:
    std::variant<std::monostate, std::int64_t, double, std::string> v_;
};

}  // namespace ledgerlift
