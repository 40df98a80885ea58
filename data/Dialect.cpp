#include "data/Dialect.h"

#include <cstdio>
#include <optional>

namespace ledgerlift {
namespace {

bool AllDigits(const std::string& s) {
    if (s.empty()) {
        return false;
    }
    for (char c : s) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// Reads "yyyy-mm-dd[ time]" or "m/d/yyyy[ time]" and gives "yyyy-mm-dd[ time]".
std::optional<std::string> NormalizeDate(const std::string& body) {
    std::string date = body;
    std::string time;
    if (auto space = body.find(' '); space != std::string::npos) {
        date = body.substr(0, space);
        time = body.substr(space + 1);
    }
    char sep = date.find('-') != std::string::npos ? '-' : '/';
    std::string parts[3];
    int n = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= date.size(); ++i) {
        if (i == date.size() || date[i] == sep) {
            if (n == 3) {
                return std::nullopt;
            }
            parts[n++] = date.substr(start, i - start);
            start = i + 1;
        }
    }
    if (n != 3 || !AllDigits(parts[0]) || !AllDigits(parts[1]) || !AllDigits(parts[2])) {
        return std::nullopt;
    }
    int y, m, d;
    if (sep == '-') {
        y = std::stoi(parts[0]), m = std::stoi(parts[1]), d = std::stoi(parts[2]);
    } else {
        m = std::stoi(parts[0]), d = std::stoi(parts[1]), y = std::stoi(parts[2]);
    }
    if (m < 1 || m > 12 || d < 1 || d > 31 || y < 100 || y > 9999) {
        return std::nullopt;
    }
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
    std::string out = buf;
    if (!time.empty()) {
        out += " " + time;
    }
    return out;
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
    for (std::size_t i = 0; i < statement.size(); ++i) {
        char c = statement[i];
        if (c == '\'') {
            inQuote = !inQuote;  // a doubled quote toggles twice
            out += c;
            continue;
        }
        if (!inQuote && c == '#') {
            auto close = statement.find('#', i + 1);
            if (close != std::string::npos) {
                if (auto date = NormalizeDate(statement.substr(i + 1, close - i - 1))) {
                    out += '\'' + *date + '\'';
                    i = close;
                    continue;
                }
            }
        }
        out += c;
    }
    return out;
}

}  // namespace ledgerlift
