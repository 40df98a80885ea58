#include "migration/FailureSentence.h"

#include "base/TextRules.h"

namespace ledgerlift {
namespace {

// What the data layer says when a value that must be unique is repeated:
// "The record was not saved because it would repeat a value of T.C, which
// must be unique (UNIQUE KEY)."
constexpr const char* kRepeatStart = "The record was not saved because it would repeat a value of ";
constexpr const char* kRepeatEnd = ", which must be unique (UNIQUE KEY).";
// ... and when the database refuses a record for another rule:
// "The record was not saved because it breaks a rule of the database (X)."
constexpr const char* kRuleStart =
    "The record was not saved because it breaks a rule of the database (";

bool StartsWith(const std::string& text, const std::string& start) {
    return text.rfind(start, 0) == 0;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The repeated value, by the table and column the database names.
std::string RepeatedValue(const std::string& tableColumn) {
    std::string where = Upper(tableColumn);
    if (where == "TBLLEDGER.LNAME") {
        return "a ledger with this name is already in the company";
    }
    if (where == "TBLITEMMASTER.ITEMCODE") {
        return "an item with this code is already in the company";
    }
    if (where == "TBLCATEGORIES.CATEGORY") {
        return "a category with this name is already in the company";
    }
    std::string column = tableColumn.substr(tableColumn.find('.') + 1);
    return "the company already holds a record with the same " + column + " (" + tableColumn + ")";
}

// A sentence that starts with a plain word reads on after a colon in
// lower case; one that starts with a name (ItemID, GetNextId) keeps it.
std::string AfterColon(const std::string& sentence) {
    for (const char* word : {"The ", "A ", "An ", "There ", "This ", "No ", "Nothing "}) {
        if (StartsWith(sentence, word)) {
            std::string out = sentence;
            out[0] = static_cast<char>(out[0] - 'A' + 'a');
            return out;
        }
    }
    return sentence;
}

}  // namespace

std::string PlainReason(const std::string& description) {
    if (StartsWith(description, kRepeatStart) && EndsWith(description, kRepeatEnd)) {
        std::string where =
            description.substr(std::char_traits<char>::length(kRepeatStart),
                               description.size() - std::char_traits<char>::length(kRepeatStart) -
                                   std::char_traits<char>::length(kRepeatEnd));
        return RepeatedValue(where) + " (UNIQUE KEY).";
    }
    if (StartsWith(description, kRuleStart) && EndsWith(description, ").")) {
        std::string rule = description.substr(std::char_traits<char>::length(kRuleStart));
        return "the company's database refused the record (" + rule;
    }
    return description;
}

std::string ReasonClause(const std::string& description) {
    return AfterColon(PlainReason(description));
}

std::string RowSentence(const RowPlace& place, const std::string& description) {
    std::string name = place.Name();
    if (StartsWith(description, name + ":") || StartsWith(description, name + ",")) {
        return description;
    }
    return name + ": " + ReasonClause(description);
}

std::string StageSentence(const std::string& where, const std::string& description) {
    return where + ": " + ReasonClause(description);
}

}  // namespace ledgerlift
