#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "load/FieldCatalog.h"

namespace ledgerlift {

// One name a field goes by, as its words (see HeadingWords).
struct FieldName {
    int gridCol = 0;
    bool caption = false;  // the field's described caption, else a common name
    std::vector<std::string> words;
};

// The words of every name the fields of a kind of sheet go by, and of the
// names that could mean several of them (see FieldCatalog). Every heading
// cell is weighed against all of them, so they are worked out once, when
// first asked for, and never change.
struct FieldWords {
    std::vector<FieldName> names;
    std::vector<std::vector<std::string>> ambiguous;
    // Every word of all these names, each once: a heading's other words
    // can't decide what it claims.
    std::unordered_set<std::string> vocabulary;
    // For each first letter a to z, a bit for each length (below 32) that
    // a word of the vocabulary so begun has: most other words are told at
    // a glance.
    std::array<std::uint32_t, 26> lengths{};

    // Whether word is one of the names' words.
    bool Known(const std::string& word) const;
};
const FieldWords& WordsOfFields(SheetKind kind);

// Whether word is a word of a name of either kind's fields: a row's
// headings, split once, keep these alone before both kinds weigh them.
bool IsFieldWord(const std::string& word);

}  // namespace ledgerlift
