#include "ui/GridOrigin.h"

namespace ledgerlift {

std::string ColumnLetters(int column) {
    std::string letters;
    for (int c = column; c > 0; c = (c - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    }
    return letters;
}

}  // namespace ledgerlift
