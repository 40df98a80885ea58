#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ledgerlift {

// Splits a text export, already UTF-8, into rows of fields: fields between
// delimiters, rows between line ends (CR LF, LF or a lone CR). A field that
// starts with a double quote is quoted: it runs to the next quote that is not
// doubled, and may hold delimiters, line ends and doubled quotes (one quote
// each); a quote inside an unquoted field is a quote. A line that holds
// nothing is a row of one empty field; the line end after the last row
// starts no row.
class DelimitedRows {
  public:
    // The longest row (of one line or, with line ends inside quotes, several)
    // that is read: far beyond any real export, and a quote left open does
    // not take the rest of the file into one field unnoticed.
    static constexpr std::size_t kMaxRowBytes = std::size_t{1} << 20;

    // path names the file in the sentences thrown.
    DelimitedRows(std::string path, std::string_view text, char delimiter);

    // The next row's fields, quotes undone, in fields (whose strings' room is
    // reused); false when every row is read. Throws WorkbookError naming the
    // line for a quoted field that is not closed, a closing quote followed by
    // other text than a delimiter or a line end, and a row longer than
    // kMaxRowBytes.
    bool Next(std::vector<std::string>& fields);

    // The line (1-based) on which the row last read starts.
    long Line() const { return rowLine_; }

  private:
    // Reads one field into field, up to the delimiter or line end after it.
    void ReadField(std::string& field, std::size_t rowStart);
    void ReadQuoted(std::string& field, std::size_t rowStart);
    // Counts the line ends in the text between from and to.
    void CountLines(std::size_t from, std::size_t to);
    [[noreturn]] void TooLong() const;

    std::string path_;
    std::string_view text_;
    char delimiter_;
    std::size_t at_ = 0;
    long line_ = 1;
    long rowLine_ = 0;
};

}  // namespace ledgerlift
