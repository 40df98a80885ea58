#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace ledgerlift {

// JSON as the program writes it: nlohmann-json's ordered kind, whose members
// come out in the order they were put in.
using OrderedJson = nlohmann::ordered_json;

// A value on one line, as nlohmann-json writes it compactly:
// {"a":"b","c":[1,2]}. Every string is written as UTF-8: a byte that is no
// part of a UTF-8 character (a path or a cell in another encoding) is written
// as U+FFFD, the replacement character, so that the output is always valid
// and the rest of the text stays as it was.
std::string CompactJson(const OrderedJson& value);

}  // namespace ledgerlift
