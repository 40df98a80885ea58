#pragma once

#include <string>

namespace ledgerlift {

// What reading or writing a row found, for the operator: the sentence, the
// kind of problem (one word of the fixed set below, which the check's summary
// counts and its JSON gives), and the workbook cell it is about.
struct Finding {
    Finding() = default;
    // A plain sentence is a finding of no particular kind.
    Finding(std::string sentence, std::string kindWord = "other", std::string letter = "",
            std::string columnHeading = "")
        : text(std::move(sentence)),
          kind(std::move(kindWord)),
          column(std::move(letter)),
          heading(std::move(columnHeading)) {}
    Finding(const char* sentence) : Finding(std::string(sentence)) {}

    std::string text;
    std::string kind;
    std::string column;   // the workbook's column letter; "" for the row as a whole
    std::string heading;  // that column's heading
};

// The kinds of problem, a fixed set. Errors (the row is not written, or only
// in part):
namespace kind {
inline constexpr const char* NotANumber = "not-a-number";
inline constexpr const char* DateInNumber = "date-in-number";
inline constexpr const char* PercentInNumber = "percent-in-number";
inline constexpr const char* TooLarge = "too-large";
inline constexpr const char* NoSide = "no-side";
inline constexpr const char* SidesDisagree = "sides-disagree";
inline constexpr const char* NotASide = "not-a-side";
inline constexpr const char* NoCode = "no-code";
inline constexpr const char* NoName = "no-name";
inline constexpr const char* NoKeys = "no-keys";
inline constexpr const char* TotalLine = "total-line";
inline constexpr const char* DuplicateName = "duplicate-name";
inline constexpr const char* NotStorable = "not-storable";
inline constexpr const char* Refused = "refused";         // the database refused a statement
inline constexpr const char* NotReached = "not-reached";  // a stop came first
// ... and warnings (the row goes in, but not as the operator may think):
inline constexpr const char* SideFromAmount = "side-from-amount";
inline constexpr const char* SideFromGroup = "side-from-group";
inline constexpr const char* SignDropped = "sign-dropped";
inline constexpr const char* NotYesOrNo = "not-yes-or-no";
inline constexpr const char* CodeLengthened = "code-lengthened";
inline constexpr const char* EmptyCategory = "empty-category";
inline constexpr const char* UnknownGroup = "unknown-group";
inline constexpr const char* AlreadyThere = "already-there";
inline constexpr const char* Differs = "differs";  // the company holds another master or opening
inline constexpr const char* StoredQuantity = "stored-quantity";
inline constexpr const char* Headings = "headings";
inline constexpr const char* Other = "other";
}  // namespace kind

// How the check's summary counts a kind: "2 numbers that are not numbers",
// "1 balance without a side".
std::string KindCount(const std::string& kind, int count);

}  // namespace ledgerlift
