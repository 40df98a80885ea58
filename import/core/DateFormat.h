#pragma once

#include <optional>
#include <string_view>

namespace ledgerlift {

// Whether a number format shows a date or a time, so that a number in a cell
// with this format is read as a date serial. The one rule for the number
// formats of every workbook format (.xls FORMAT records, .xlsx numFmts):
// - a format whose text the workbook gives is told by its text, whatever its
//   number: some programs number their own formats from 50 up;
// - a format without text is a built-in one, told by its number: 14 to 22
//   and 45 to 47 are dates and times, and so are the East Asian built-in
//   date formats 27 to 36 and 50 to 58;
// - by its text: a d, m, y, h or s outside quoted text,
//   escaped characters (\x, _x, *x) and square brackets makes it a date or
//   time; [Red], [>=100], [$-409] and [$USD-409] are colours, conditions and
//   locale tags and say nothing;
// - an elapsed-time bracket ([h], [mm], [ss]) makes it a time as well: such a
//   duration reads as a time of day like the built-in [h]:mm:ss (46), and an
//   .ods workbook has only the one time type for both, so all three formats
//   read it alike;
// - the first section (up to the first ;) decides.
bool FormatShowsDate(int formatId, std::optional<std::string_view> formatText);

// Whether a number format shows a percentage (the number times 100 with a %):
// the built-in formats 9 and 10, or a format whose first section holds a %
// outside quoted text and escapes. A date format never does.
bool FormatShowsPercent(int formatId, std::optional<std::string_view> formatText);

}  // namespace ledgerlift
