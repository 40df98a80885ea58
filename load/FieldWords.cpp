#include "load/FieldWords.h"

#include "load/HeadingWords.h"

namespace ledgerlift {
namespace {

FieldWords WorkOut(SheetKind kind) {
    FieldWords words;
    for (const FieldInfo& field : Fields(kind)) {
        words.names.push_back({field.gridCol, true, HeadingWords(field.caption)});
        for (const char* name : field.names) {
            words.names.push_back({field.gridCol, false, HeadingWords(name)});
        }
    }
    for (const char* name : AmbiguousNames(kind)) {
        words.ambiguous.push_back(HeadingWords(name));
    }
    for (const std::vector<std::string>& name : words.ambiguous) {
        words.vocabulary.insert(name.begin(), name.end());
    }
    for (const FieldName& name : words.names) {
        words.vocabulary.insert(name.words.begin(), name.words.end());
    }
    for (const std::string& word : words.vocabulary) {
        if (word[0] >= 'a' && word[0] <= 'z' && word.size() < 32) {
            words.lengths[static_cast<std::size_t>(word[0] - 'a')] |= 1u << word.size();
        }
    }
    return words;
}

}  // namespace

bool FieldWords::Known(const std::string& word) const {
    bool letter = !word.empty() && word[0] >= 'a' && word[0] <= 'z';
    if (letter && word.size() < 32 &&
        (lengths[static_cast<std::size_t>(word[0] - 'a')] & (1u << word.size())) == 0) {
        return false;
    }
    return vocabulary.count(word) > 0;
}

const FieldWords& WordsOfFields(SheetKind kind) {
    // Immutable once made: computed at the first call, as the catalogue's
    // own tables are.
    static const FieldWords items = WorkOut(SheetKind::Items);
    static const FieldWords ledgers = WorkOut(SheetKind::Ledgers);
    return kind == SheetKind::Items ? items : ledgers;
}

bool IsFieldWord(const std::string& word) {
    return WordsOfFields(SheetKind::Items).Known(word) ||
           WordsOfFields(SheetKind::Ledgers).Known(word);
}

}  // namespace ledgerlift
