#include "reports/JsonOutput.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace ledgerlift {
namespace {

// Whether a value takes a line per element: a list of objects, such as a
// sheet's fields or the check's problems.
bool IsArrayOfObjects(const OrderedJson& value) {
    if (!value.is_array() || value.empty()) {
        return false;
    }
    for (const OrderedJson& element : value) {
        if (!element.is_object()) {
            return false;
        }
    }
    return true;
}

// Writes value where a line indented by indent has got to; broken: one member
// or element a line, indented two more.
void Write(std::string& out, const OrderedJson& value, std::size_t indent, bool broken) {
    if (!value.is_structured() || value.empty()) {
        out += CompactJson(value);
        return;
    }
    const std::size_t inner = broken ? indent + 2 : indent;
    out += value.is_object() ? '{' : '[';
    for (auto it = value.begin(); it != value.end(); ++it) {
        if (it != value.begin()) {
            out += broken ? "," : ", ";
        }
        if (broken) {
            out += '\n';
            out.append(inner, ' ');
        }
        if (value.is_object()) {
            out += CompactJson(it.key());
            out += ": ";
        }
        Write(out, *it, inner, IsArrayOfObjects(*it));
    }
    if (broken) {
        out += '\n';
        out.append(indent, ' ');
    }
    out += value.is_object() ? '}' : ']';
}

}  // namespace

std::string CompactJson(const OrderedJson& value) {
    return value.dump(-1, ' ', false, kInvalidUtf8);
}

std::string JsonDocument(const OrderedJson& document) {
    std::string out;
    Write(out, document, 0, document.is_object() || IsArrayOfObjects(document));
    out += '\n';
    return out;
}

OrderedJson JsonNumber(std::string_view numberText) {
    double value = 0;
    std::from_chars(numberText.data(), numberText.data() + numberText.size(), value);
    // Whole numbers of up to 15 digits are written as integers, as NumberText
    // writes them; larger ones are doubles, which keep their value.
    if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
        return static_cast<std::int64_t>(value);
    }
    return value;
}

}  // namespace ledgerlift
