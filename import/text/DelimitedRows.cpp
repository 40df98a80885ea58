#include "import/text/DelimitedRows.h"

#include <algorithm>

#include "import/core/TextBound.h"
#include "import/core/TextFormat.h"
#include "import/text/TextRefusal.h"

namespace ledgerlift {

DelimitedRows::DelimitedRows(std::string path, std::string_view text, char delimiter)
    : path_(std::move(path)), text_(text), delimiter_(delimiter) {}

bool DelimitedRows::Next(std::vector<std::string>& fields) {
    if (at_ >= text_.size()) {
        return false;
    }
    rowLine_ = line_;
    const std::size_t rowStart = at_;
    std::size_t count = 0;
    for (;;) {
        if (count == fields.size()) {
            fields.emplace_back();
        }
        ReadField(fields[count++], rowStart);
        if (at_ >= text_.size()) {
            break;
        }
        char c = text_[at_++];
        if (c == delimiter_) {
            continue;
        }
        if (c == '\r' && at_ < text_.size() && text_[at_] == '\n') {
            ++at_;
        }
        ++line_;  // c ended the line
        break;
    }
    fields.resize(count);
    return true;
}

void DelimitedRows::ReadField(std::string& field, std::size_t rowStart) {
    if (at_ < text_.size() && text_[at_] == '"') {
        ReadQuoted(field, rowStart);
        return;
    }
    std::size_t end = at_;
    while (end < text_.size() && text_[end] != delimiter_ && text_[end] != '\n' &&
           text_[end] != '\r') {
        ++end;
    }
    if (end - rowStart > kMaxRowBytes) {
        TooLong();
    }
    field.assign(text_.substr(at_, end - at_));
    at_ = end;
}

void DelimitedRows::ReadQuoted(std::string& field, std::size_t rowStart) {
    const long startLine = line_;
    const std::size_t limit = std::min(text_.size(), rowStart + kMaxRowBytes + 1);
    field.clear();
    ++at_;  // the opening quote
    for (;;) {
        std::size_t quote = text_.substr(0, limit).find('"', at_);
        if (quote == std::string_view::npos) {
            if (limit < text_.size()) {
                TooLong();
            }
            throw TextRefusal(path_, "the quoted field that starts on line " +
                                         std::to_string(startLine) +
                                         " is not closed before the end of the file");
        }
        field.append(text_.substr(at_, quote - at_));
        CountLines(at_, quote);
        at_ = quote + 1;
        if (at_ < text_.size() && text_[at_] == '"') {
            field += '"';
            ++at_;
            continue;
        }
        break;
    }
    if (at_ < text_.size() && text_[at_] != delimiter_ && text_[at_] != '\n' &&
        text_[at_] != '\r') {
        throw TextRefusal(path_, "on line " + std::to_string(line_) +
                                     ", a quoted field is followed by other text before the "
                                     "next " +
                                     DelimiterName(delimiter_) +
                                     " (a quote inside a quoted field is written twice)");
    }
}

void DelimitedRows::CountLines(std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
        if (text_[i] == '\n' || (text_[i] == '\r' && (i + 1 >= to || text_[i + 1] != '\n'))) {
            ++line_;
        }
    }
}

void DelimitedRows::TooLong() const {
    throw TextRefusal(path_, "the row that starts on line " + std::to_string(rowLine_) +
                                 " is longer than " + MegabytesText(kMaxRowBytes) +
                                 ", far beyond any real export (a quote left open makes the "
                                 "rest of the file one field)");
}

}  // namespace ledgerlift
