#include "reports/ColumnChoiceJson.h"

#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string_view>

#include "base/AtomicFile.h"
#include "base/RegularFile.h"
#include "base/TextRules.h"
#include "load/GridLayouts.h"
#include "reports/JsonOutput.h"
#include "ui/GridOrigin.h"

namespace ledgerlift {
namespace {

using Json = nlohmann::json;

// A choice of columns takes a few kilobytes; a file far larger is refused
// before it is parsed, since parsing costs many times its size in memory.
constexpr std::size_t kLargestColumnsFile = std::size_t{1} << 20;

// XFD: the last column a workbook can have.
constexpr int kLastColumn = 16384;

std::string Cat(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts) {
        text += part;
    }
    return text;
}

// A sentence about the file: "The columns file F: <what>".
[[noreturn]] void Refuse(const std::string& path, const std::string& what) {
    std::string sentence = "The columns file ";
    sentence += path;
    sentence += ' ';
    sentence += what;
    throw std::runtime_error(sentence);
}

// Where a value stands, as the sentences name it: "the sheet "Items"".
struct At {
    const std::string& path;
    std::string where;
};

std::string Kind(const Json& value) {
    return value.is_string()    ? "a text"
           : value.is_number()  ? "a number"
           : value.is_boolean() ? "true or false"
           : value.is_array()   ? "a list"
           : value.is_object()  ? "an object"
                                : "null";
}

// The text under key: "" when it is missing or null; any other kind of
// value is refused, never read as something else.
std::string TextOf(const Json& object, const char* key, const At& at) {
    auto it = object.find(key);
    if (it == object.end() || it->is_null()) {
        return "";
    }
    if (!it->is_string()) {
        Refuse(at.path,
               Cat({"gives ", at.where, " a \"", key, "\" that is ", Kind(*it), ", not a text."}));
    }
    return it->get<std::string>();
}

// The whole number under key, from 0 to high: 0 when it is missing or null
// (none says what that means); any other value is refused.
int NumberOf(const Json& object, const char* key, std::int64_t high, const char* meaning,
             const char* none, const At& at) {
    auto it = object.find(key);
    if (it == object.end() || it->is_null()) {
        return 0;
    }
    bool inRange = it->is_number_unsigned()
                       ? it->get<std::uint64_t>() <= static_cast<std::uint64_t>(high)
                       : it->is_number_integer() && it->get<std::int64_t>() >= 0 &&
                             it->get<std::int64_t>() <= high;
    if (!inRange) {
        Refuse(at.path, Cat({"gives ", at.where, " the \"", key, "\" ", it->dump(), "; ", meaning,
                             " is a whole number from 1 to ", std::to_string(high),
                             " (0 or none: ", none, ")."}));
    }
    return static_cast<int>(it->get<std::int64_t>());
}

// "the sheet "Items"" or "the sheet 3 of its "sheets" list": the sheet as
// the file names it.
std::string SheetWords(const Json& sheet, std::size_t index) {
    auto it = sheet.is_object() ? sheet.find("name") : sheet.end();
    std::string name = it != sheet.end() && it->is_string() ? it->get<std::string>() : "";
    return name.empty() ? Cat({"the sheet ", std::to_string(index + 1), " of its \"sheets\" list"})
                        : Cat({"the sheet \"", name, "\""});
}

std::optional<SheetKind> RoleOf(const Json& sheet, const At& at) {
    std::string given = TextOf(sheet, "role", at);
    std::string role = Upper(Trim(given));
    if (role == "ITEMS") {
        return SheetKind::Items;
    }
    if (role == "LEDGERS") {
        return SheetKind::Ledgers;
    }
    if (role != "NONE") {
        Refuse(at.path, Cat({"gives ", at.where, " the role \"", given,
                             "\"; a role is items, ledgers or none."}));
    }
    return std::nullopt;
}

std::string FieldList(SheetKind kind) {
    std::string list;
    for (const FieldInfo& field : Fields(kind)) {
        list += list.empty() ? "" : ", ";
        list += field.caption;
    }
    return list;
}

ChosenField FieldOf(const Json& field, SheetKind kind, const At& at) {
    if (!field.is_object()) {
        Refuse(at.path, Cat({"lists on ", at.where, " a field that is ", Kind(field),
                             ", not an object with a \"field\" and a \"heading\" or \"column\"."}));
    }
    std::string caption = Trim(TextOf(field, "field", at));
    for (const FieldInfo& info : Fields(kind)) {
        if (Upper(caption) == Upper(info.caption)) {
            ChosenField chosen{info.gridCol, TextOf(field, "heading", at), 0};
            std::string letters = Trim(TextOf(field, "column", at));
            chosen.column = ColumnNumber(letters);
            if (!letters.empty() && chosen.column == 0) {
                Refuse(at.path,
                       Cat({"gives the field ", caption, " of ", at.where, " the column \"",
                            letters, "\", which is no column letter (A, B, ..., AA, up to XFD)."}));
            }
            return chosen;
        }
    }
    Refuse(at.path, Cat({"names the field \"", caption, "\" on ", at.where, ", which is no ",
                         kind == SheetKind::Items ? "item" : "ledger", " field; the fields are ",
                         FieldList(kind), "."}));
}

std::vector<ChosenField> FieldsOf(const Json& sheet, SheetKind kind, const At& at) {
    auto fields = sheet.find("fields");
    if (fields == sheet.end() || fields->is_null()) {
        return {};
    }
    if (!fields->is_array()) {
        Refuse(at.path,
               Cat({"gives ", at.where, " \"fields\" that are ", Kind(*fields), ", not a list."}));
    }
    std::vector<ChosenField> chosen;
    for (const Json& field : *fields) {
        ChosenField one = FieldOf(field, kind, at);
        for (const ChosenField& earlier : chosen) {
            if (earlier.gridCol == one.gridCol) {
                Refuse(at.path,
                       Cat({"lists the field ",
                            Fields(kind)[static_cast<std::size_t>(one.gridCol) - 1].caption,
                            " twice on ", at.where, "; list each field once."}));
            }
        }
        chosen.push_back(one);
    }
    return chosen;
}

ChosenSheet SheetOf(const Json& sheet, std::size_t index, const std::string& path) {
    const At at{path, SheetWords(sheet, index)};
    if (!sheet.is_object()) {
        Refuse(path, Cat({"has ", at.where, " that is not an object with a name and a role."}));
    }
    ChosenSheet chosen;
    chosen.sheet.name = TextOf(sheet, "name", at);
    chosen.sheet.number = NumberOf(sheet, "sheet", std::numeric_limits<std::int32_t>::max(),
                                   "a sheet's place", "by its name", at);
    if (!chosen.sheet.Given()) {
        Refuse(path, Cat({"has ", at.where, " without a name or a place (\"sheet\": 1)."}));
    }
    chosen.kind = RoleOf(sheet, at);
    chosen.headingRow = NumberOf(sheet, "heading_row", kLastSheetRow, "a heading row",
                                 "found as the load finds it", at);
    if (chosen.kind) {
        chosen.fields = FieldsOf(sheet, *chosen.kind, at);
    }
    return chosen;
}

}  // namespace

int ColumnNumber(const std::string& letters) {
    if (letters.empty() || letters.size() > 3) {
        return 0;
    }
    int number = 0;
    for (char c : Upper(letters)) {
        if (c < 'A' || c > 'Z') {
            return 0;
        }
        number = number * 26 + (c - 'A' + 1);
    }
    return number <= kLastColumn ? number : 0;
}

ColumnChoice ParseColumnsJson(const std::string& text, const std::string& path) {
    if (text.size() > kLargestColumnsFile) {
        Refuse(path, "is larger than " + SizeLimitText(kLargestColumnsFile) +
                         ", far more than any choice of columns takes.");
    }
    Json document;
    try {
        document = Json::parse(text);
    } catch (const Json::exception& error) {
        // Any fault of the text, a number beyond what a number can hold
        // ("1e999") as well, even under a key that is not read.
        std::string what = "is not JSON as \"ledgerlift columns --format json\" prints it: ";
        std::string detail = error.what();
        std::size_t at = detail.find("] ");
        what += at == std::string::npos ? detail : detail.substr(at + 2);
        if (what.back() != '.') {
            what += '.';
        }
        Refuse(path, what);
    }
    auto sheets = document.is_object() ? document.find("sheets") : document.end();
    if (!document.is_object() || sheets == document.end() || !sheets->is_array()) {
        Refuse(path, "has no \"sheets\" list, as \"ledgerlift columns --format json\" prints it.");
    }
    ColumnChoice choice;
    for (std::size_t i = 0; i < sheets->size(); ++i) {
        choice.sheets.push_back(SheetOf((*sheets)[i], i, path));
    }
    if (choice.sheets.empty()) {
        Refuse(path, "lists no sheet, so nothing would be read.");
    }
    return choice;
}

std::string ColumnChoiceJson(const ColumnChoice& choice) {
    Json sheets = Json::array();
    for (const ChosenSheet& chosen : choice.sheets) {
        Json sheet = {{"sheet", chosen.sheet.number},
                      {"name", chosen.sheet.name},
                      {"role", chosen.kind ? KindWord(*chosen.kind) : "none"},
                      {"heading_row", chosen.headingRow}};
        Json fields = Json::array();
        for (const ChosenField& field : chosen.fields) {
            const char* caption =
                Fields(*chosen.kind)[static_cast<std::size_t>(field.gridCol) - 1].caption;
            fields.push_back({{"field", caption},
                              {"column", field.column > 0 ? ColumnLetters(field.column) : ""},
                              {"heading", field.heading}});
        }
        if (chosen.kind && !fields.empty()) {
            sheet["fields"] = fields;
        }
        sheets.push_back(sheet);
    }
    return Json{{"sheets", sheets}}.dump(1, ' ', false, kInvalidUtf8);
}

ColumnChoice ReadColumnsFile(const std::string& path) {
    std::string text;
    try {
        text = ReadRegularFile("The columns file", path, kLargestColumnsFile);
    } catch (const FileError& error) {
        throw std::runtime_error(error.what());
    }
    return ParseColumnsJson(text, path);
}

}  // namespace ledgerlift
