#include "reports/ColumnChoiceJson.h"

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>
#include <string_view>

#include "base/TextRules.h"
#include "reports/JsonOutput.h"
#include "ui/GridOrigin.h"

namespace ledgerlift {
namespace {

using Json = nlohmann::json;

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

std::string TextOf(const Json& object, const char* key) {
    auto it = object.find(key);
    if (it == object.end() || it->is_null()) {
        return "";
    }
    return it->is_string() ? it->get<std::string>() : it->dump();
}

// "the items sheet "Items"" or "sheet 3 of its list": the sheet as the file
// names it.
std::string SheetWords(const Json& sheet, std::size_t index) {
    std::string name = TextOf(sheet, "name");
    return name.empty() ? Cat({"the sheet ", std::to_string(index + 1), " of its \"sheets\" list"})
                        : Cat({"the sheet \"", name, "\""});
}

std::optional<SheetKind> RoleOf(const Json& sheet, const std::string& path, const std::string& at) {
    std::string role = Upper(Trim(TextOf(sheet, "role")));
    if (role == "ITEMS") {
        return SheetKind::Items;
    }
    if (role == "LEDGERS") {
        return SheetKind::Ledgers;
    }
    if (role != "NONE") {
        std::string what = "gives ";
        what += at;
        what += " the role \"";
        what += TextOf(sheet, "role");
        what += "\"; a role is items, ledgers or none.";
        Refuse(path, what);
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

ChosenField FieldOf(const Json& field, SheetKind kind, const std::string& path,
                    const std::string& at) {
    std::string caption = Trim(TextOf(field, "field"));
    for (const FieldInfo& info : Fields(kind)) {
        if (Upper(caption) == Upper(info.caption)) {
            ChosenField chosen{info.gridCol, TextOf(field, "heading"), 0};
            std::string letters = Trim(TextOf(field, "column"));
            chosen.column = ColumnNumber(letters);
            if (!letters.empty() && chosen.column == 0) {
                Refuse(path, Cat({"gives the field ", caption, " of ", at, " the column \"",
                                  letters, "\", which is no column letter (A, B, ..., AA)."}));
            }
            return chosen;
        }
    }
    std::string what = "names the field \"";
    what += caption;
    what += "\" on ";
    what += at;
    what += ", which is no ";
    what += kind == SheetKind::Items ? "item" : "ledger";
    what += " field; the fields are ";
    what += FieldList(kind);
    what += '.';
    Refuse(path, what);
}

ChosenSheet SheetOf(const Json& sheet, std::size_t index, const std::string& path) {
    const std::string at = SheetWords(sheet, index);
    if (!sheet.is_object()) {
        Refuse(path, Cat({"has ", at, " that is not an object with a name and a role."}));
    }
    ChosenSheet chosen;
    chosen.sheet.name = TextOf(sheet, "name");
    if (auto it = sheet.find("sheet"); it != sheet.end() && it->is_number_integer()) {
        chosen.sheet.number = it->get<int>();
    }
    if (!chosen.sheet.Given()) {
        Refuse(path, Cat({"has ", at, " without a name or a place (\"sheet\": 1)."}));
    }
    chosen.kind = RoleOf(sheet, path, at);
    if (auto it = sheet.find("heading_row"); it != sheet.end() && it->is_number_integer()) {
        chosen.headingRow = std::max(0, it->get<int>());
    }
    auto fields = sheet.find("fields");
    if (chosen.kind && fields != sheet.end() && fields->is_array()) {
        for (const Json& field : *fields) {
            chosen.fields.push_back(FieldOf(field, *chosen.kind, path, at));
        }
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
    return number;
}

ColumnChoice ParseColumnsJson(const std::string& text, const std::string& path) {
    Json document;
    try {
        document = Json::parse(text);
    } catch (const Json::parse_error& error) {
        std::string what = "is not JSON as \"ledgerlift columns --format json\" prints it: ";
        std::string detail = error.what();
        std::size_t at = detail.find("] ");
        what += at == std::string::npos ? detail : detail.substr(at + 2);
        what += '.';
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
    std::error_code error;
    std::ifstream in(path, std::ios::binary);
    if (!std::filesystem::is_regular_file(path, error) || !in) {
        Refuse(path, "can't be read: it does not exist, is not a file or is not readable.");
    }
    std::ostringstream text;
    text << in.rdbuf();
    return ParseColumnsJson(text.str(), path);
}

}  // namespace ledgerlift
