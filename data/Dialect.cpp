#include "data/Dialect.h"

#include <algorithm>
#include <string_view>

namespace ledgerlift {
namespace {

// A run of digits as a number; false for an empty run or any other
// character. Saturates instead of overflowing: such a number is no part of a
// date anyway.
bool ReadNumber(std::string_view digits, int& value) {
    if (digits.empty()) {
        return false;
    }
    value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = std::min(value * 10 + (c - '0'), 1000000);
    }
    return true;
}

void AppendDigits(std::string& out, int value, int width) {
    char buf[8];
    for (int i = width - 1; i >= 0; --i) {
        buf[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    out.append(buf, static_cast<std::size_t>(width));
}

// Reads "yyyy-mm-dd[ time]" or "m/d/yyyy[ time]" and appends "yyyy-mm-dd[ time]"
// to out; false, with out untouched, when body is no such date.
bool AppendDate(std::string_view body, std::string& out) {
    std::string_view date = body;
    std::string_view time;
    if (auto space = body.find(' '); space != std::string_view::npos) {
        date = body.substr(0, space);
        time = body.substr(space + 1);
    }
    char sep = date.find('-') != std::string_view::npos ? '-' : '/';
    std::string_view parts[3];
    int n = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= date.size(); ++i) {
        if (i == date.size() || date[i] == sep) {
            if (n == 3) {
                return false;
            }
            parts[n++] = date.substr(start, i - start);
            start = i + 1;
        }
    }
    int v[3];
    if (n != 3 || !ReadNumber(parts[0], v[0]) || !ReadNumber(parts[1], v[1]) ||
        !ReadNumber(parts[2], v[2])) {
        return false;
    }
    int y = sep == '-' ? v[0] : v[2];
    int m = sep == '-' ? v[1] : v[0];
    int d = sep == '-' ? v[2] : v[1];
    if (m < 1 || m > 12 || d < 1 || d > 31 || y < 100 || y > 9999) {
        return false;
    }
    AppendDigits(out, y, 4);
    out += '-';
    AppendDigits(out, m, 2);
    out += '-';
    AppendDigits(out, d, 2);
    if (!time.empty()) {
        out += ' ';
        out.append(time);
    }
    return true;
}

}  // namespace

std::string ToSqlite(const std::string& statement) {
    std::string converted;
    return ToSqlite(statement, converted);
}

const std::string& ToSqlite(const std::string& statement, std::string& out) {
    if (statement.find('#') == std::string::npos) {
        return statement;
    }
    out.clear();
    out.reserve(statement.size());
    bool inQuote = false;
    std::size_t copied = 0;  // statement[copied, i) is still to be copied
    for (std::size_t i = 0; i < statement.size(); ++i) {
        char c = statement[i];
        if (c == '\'') {
            inQuote = !inQuote;  // a doubled quote toggles twice
            continue;
        }
        if (c != '#' || inQuote) {
            continue;
        }
        auto close = statement.find('#', i + 1);
        if (close == std::string::npos) {
            break;
        }
        std::size_t before = out.size();
        out.append(statement, copied, i - copied);
        out += '\'';
        if (AppendDate(std::string_view(statement).substr(i + 1, close - i - 1), out)) {
            out += '\'';
            copied = close + 1;
            i = close;
        } else {
            out.resize(before);  // not a date: the text stays as it is
        }
    }
    out.append(statement, copied, std::string::npos);
    return out;
}

}  // namespace ledgerlift
