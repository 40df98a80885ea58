#include "migration/Finding.h"

#include <map>

namespace ledgerlift {

std::string KindCount(const std::string& kindWord, int count) {
    // The singular and the plural of what a kind counts.
    static const std::map<std::string, std::pair<const char*, const char*>> phrases = {
        {kind::NotANumber, {"number that is not a number", "numbers that are not numbers"}},
        {kind::DateInNumber, {"date in a number column", "dates in number columns"}},
        {kind::PercentInNumber,
         {"percentage outside the tax columns", "percentages outside the tax columns"}},
        {kind::TooLarge, {"number too large", "numbers too large"}},
        {kind::NoSide, {"balance without a side", "balances without a side"}},
        {kind::SidesDisagree, {"balance whose sides disagree", "balances whose sides disagree"}},
        {kind::NotASide, {"Dr/Cr cell that names no side", "Dr/Cr cells that name no side"}},
        {kind::NoCode, {"item without a code", "items without a code"}},
        {kind::NoName, {"row without a name", "rows without a name"}},
        {kind::NoKeys, {"row without code or name", "rows without code or name"}},
        {kind::TotalLine, {"total line", "total lines"}},
        {kind::DuplicateName, {"ledger name given twice", "ledger names given twice"}},
        {kind::NotStorable, {"text that cannot be stored", "texts that cannot be stored"}},
        {kind::Refused, {"row the database refused", "rows the database refused"}},
        {kind::NotReached, {"row not reached", "rows not reached"}},
        {kind::SideFromAmount, {"side read from the amount", "sides read from the amount"}},
        {kind::SideFromGroup,
         {"side taken from the account group", "sides taken from the account group"}},
        {kind::SignDropped, {"negative amount with a side", "negative amounts with a side"}},
        {kind::NotYesOrNo, {"YES/NO cell that is neither", "YES/NO cells that are neither"}},
        {kind::CodeLengthened, {"item code stored lengthened", "item codes stored lengthened"}},
        {kind::EmptyCategory, {"item without a category", "items without a category"}},
        {kind::UnknownGroup,
         {"account group not in the company", "account groups not in the company"}},
        {kind::AlreadyThere, {"row already in the company", "rows already in the company"}},
        {kind::Differs, {"row the company holds otherwise", "rows the company holds otherwise"}},
        {kind::StoredQuantity,
         {"quantity taken from the company", "quantities taken from the company"}},
        {kind::Headings,
         {"sheet whose headings were not read", "sheets whose headings were not read"}},
    };
    auto it = phrases.find(kindWord);
    std::string phrase = it == phrases.end() ? (count == 1 ? "other problem" : "other problems")
                                             : (count == 1 ? it->second.first : it->second.second);
    return std::to_string(count) + " " + phrase;
}

}  // namespace ledgerlift
