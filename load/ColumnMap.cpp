#include "load/ColumnMap.h"

#include "load/FieldWords.h"
#include "load/HeadingWords.h"
#include "ui/GridOrigin.h"

namespace ledgerlift {

const char* FoundByText(FoundBy how) {
    switch (how) {
        case FoundBy::NotFound:
            return "not in the workbook";
        case FoundBy::DescribedLayout:
            return "described layout";
        case FoundBy::Caption:
            return "caption";
        case FoundBy::CommonName:
            return "common name";
        case FoundBy::Position:
            return "by position";
        case FoundBy::Chosen:
            return "chosen";
    }
    return "";
}

std::optional<HeadingClaim> ClaimOf(const std::string& heading, SheetKind kind) {
    return ClaimOfWords(HeadingWords(heading), kind);
}

std::optional<HeadingClaim> ClaimOfWords(const std::vector<std::string>& heading, SheetKind kind) {
    const FieldWords& fields = WordsOfFields(kind);
    // Words no name holds decide nothing: a heading of none of them claims
    // nothing, and costs no comparison with every name.
    std::vector<std::string> words;
    for (const std::string& word : heading) {
        if (fields.Known(word)) {
            words.push_back(word);
        }
    }
    if (words.empty()) {
        return std::nullopt;
    }
    HeadingClaim best;
    bool tied = false;
    for (const FieldName& name : fields.names) {
        if (!HoldsAllWords(words, name.words)) {
            continue;
        }
        int count = static_cast<int>(name.words.size());
        if (count > best.words) {
            best = {name.gridCol, name.caption ? FoundBy::Caption : FoundBy::CommonName, count};
            tied = false;
        } else if (count == best.words && name.gridCol != best.gridCol) {
            tied = true;
        }
    }
    for (const std::vector<std::string>& name : fields.ambiguous) {
        if (HoldsAllWords(words, name) && static_cast<int>(name.size()) > best.words) {
            return std::nullopt;
        }
    }
    if (best.words == 0 || tied) {
        return std::nullopt;
    }
    return best;
}

int FieldsClaimedByWords(const std::vector<std::vector<std::string>>& headings, SheetKind kind) {
    std::vector<bool> claimed(Fields(kind).size() + 1, false);
    int count = 0;
    for (std::size_t c = 1; c < headings.size(); ++c) {
        if (auto claim = ClaimOfWords(headings[c], kind);
            claim && !claimed[static_cast<std::size_t>(claim->gridCol)]) {
            claimed[static_cast<std::size_t>(claim->gridCol)] = true;
            ++count;
        }
    }
    return count;
}

int FieldsClaimed(const std::vector<std::string>& headings, SheetKind kind) {
    std::vector<std::vector<std::string>> words(headings.size());
    for (std::size_t c = 1; c < headings.size(); ++c) {
        words[c] = HeadingWords(headings[c]);
    }
    return FieldsClaimedByWords(words, kind);
}

namespace {

std::string HeadingAt(const std::vector<std::string>& headings, int column) {
    return static_cast<std::size_t>(column) < headings.size()
               ? headings[static_cast<std::size_t>(column)]
               : std::string();
}

// Every field from its described column.
void ByPosition(ColumnMap& map, const std::vector<std::string>& headings, FoundBy how) {
    for (const FieldInfo& field : Fields(map.kind)) {
        map.fields[static_cast<std::size_t>(field.gridCol)] = {
            field.gridCol, HeadingAt(headings, field.gridCol), how};
    }
    map.described = true;
    int last = static_cast<int>(Fields(map.kind).size());
    for (std::size_t c = static_cast<std::size_t>(last) + 1; c < headings.size(); ++c) {
        if (!HeadingWords(headings[c]).empty()) {
            map.unused.push_back(static_cast<int>(c));
        }
    }
}

// The column a field is read from when several claim it: the one with the
// field's caption in the field's own described column, if any.
int Winner(const std::vector<std::pair<int, HeadingClaim>>& claimants) {
    for (const auto& [column, claim] : claimants) {
        if (claim.how == FoundBy::Caption && column == claim.gridCol) {
            return column;
        }
    }
    return 0;
}

std::string FieldCaption(SheetKind kind, int gridCol) {
    return Fields(kind)[static_cast<std::size_t>(gridCol) - 1].caption;
}

// Each field from the column whose heading claims it.
void ByHeadings(ColumnMap& map, const std::vector<std::string>& headings,
                const std::vector<std::vector<std::pair<int, HeadingClaim>>>& claims) {
    std::vector<bool> used(headings.size(), false);
    for (const FieldInfo& field : Fields(map.kind)) {
        const auto& claimants = claims[static_cast<std::size_t>(field.gridCol)];
        int column = claimants.size() == 1 ? claimants[0].first : Winner(claimants);
        if (claimants.size() > 1 && column == 0 && map.problem.empty()) {
            map.problem = "columns " + ColumnLetters(claimants[0].first) + " (" +
                          HeadingAt(headings, claimants[0].first) + ") and " +
                          ColumnLetters(claimants[1].first) + " (" +
                          HeadingAt(headings, claimants[1].first) + ") both hold " + field.caption;
        }
        if (column == 0 && claimants.empty() && field.required && map.problem.empty()) {
            map.problem = "no column holds " + FieldCaption(map.kind, field.gridCol);
        }
        if (column > 0) {
            const HeadingClaim& claim =
                claimants.size() == 1 ? claimants[0].second : HeadingClaim{0, FoundBy::Caption, 0};
            map.fields[static_cast<std::size_t>(field.gridCol)] = {
                column, HeadingAt(headings, column), claim.how};
            used[static_cast<std::size_t>(column)] = true;
        }
    }
    for (std::size_t c = 1; c < headings.size(); ++c) {
        if (!used[c] && !HeadingWords(headings[c]).empty()) {
            map.unused.push_back(static_cast<int>(c));
        }
    }
}

}  // namespace

ColumnMap ColumnsByPosition(const std::vector<std::string>& headings, SheetKind kind) {
    ColumnMap map;
    map.kind = kind;
    map.headings = headings;
    map.fields.resize(Fields(kind).size() + 1);
    ByPosition(map, headings, FoundBy::Position);
    return map;
}

ColumnMap MapColumns(const std::vector<std::string>& headings, SheetKind kind) {
    ColumnMap map;
    map.kind = kind;
    map.headings = headings;
    map.fields.resize(Fields(kind).size() + 1);
    std::vector<std::vector<std::pair<int, HeadingClaim>>> claims(Fields(kind).size() + 1);
    bool inPlace = true;
    for (std::size_t c = 1; c < headings.size(); ++c) {
        if (auto claim = ClaimOf(headings[c], kind)) {
            claims[static_cast<std::size_t>(claim->gridCol)].push_back(
                {static_cast<int>(c), *claim});
            map.recognised = true;
            inPlace = inPlace && claim->gridCol == static_cast<int>(c);
        }
    }
    if (!map.recognised) {
        ByPosition(map, headings, FoundBy::Position);
    } else if (inPlace) {
        ByPosition(map, headings, FoundBy::DescribedLayout);
    } else {
        ByHeadings(map, headings, claims);
    }
    return map;
}

}  // namespace ledgerlift
