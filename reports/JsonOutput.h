#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace ledgerlift {

// JSON as the program writes it: nlohmann-json's ordered kind, whose members
// come out in the order they were put in.
using OrderedJson = nlohmann::ordered_json;

// How the program writes a byte that is no part of a UTF-8 character (a path
// or a cell in another encoding): as U+FFFD, the replacement character. The
// output stays valid and the rest of the text stays as it was; the other
// choices would throw (losing the whole output) or drop the byte without a
// trace.
inline constexpr auto kInvalidUtf8 = OrderedJson::error_handler_t::replace;

// A value on one line, as nlohmann-json writes it compactly:
// {"a":"b","c":[1,2]}, its strings always UTF-8 (kInvalidUtf8).
std::string CompactJson(const OrderedJson& value);

// A document as people and scripts read it, ending with a line end: the top
// object one member a line and every list of objects one object a line, each
// indented two more than the line it opens on; anything else on the line it
// starts on, with ", " between members and ": " after a name. Strings are
// written as CompactJson writes them.
std::string JsonDocument(const OrderedJson& document);

// A number as NumberText or CurrencyText writes it, as a JSON number with the
// same value: a whole one as an integer (1500, not 1500.0).
OrderedJson JsonNumber(std::string_view numberText);

}  // namespace ledgerlift
