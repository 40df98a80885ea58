#include "company/RunRecord.h"

#include <charconv>
#include <cmath>
#include <map>
#include <sstream>
#include <utility>

#include "data/DataError.h"

namespace ledgerlift {
namespace {

const char* const kHeading = "Ledgerlift run record";

std::string Escape(const std::string& value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string Unescape(const std::string& value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        char next = value[++i];
        out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return out;
}

// The shortest text that reads back as the same double, "." as decimal point
// (std::to_chars follows no locale).
std::string Number(double value) {
    if (!std::isfinite(value)) {
        return "0";
    }
    char buf[64];
    auto end = std::to_chars(buf, buf + sizeof buf, value).ptr;
    return std::string(buf, end);
}

std::string CountsText(const SheetCounts& c) {
    return "written " + std::to_string(c.written) + ", updated " + std::to_string(c.updated) +
           ", partial " + std::to_string(c.partial) + ", skipped " + std::to_string(c.skipped) +
           ", failed " + std::to_string(c.failed) + ", not reached " +
           std::to_string(c.notReached) + ", completed " + std::to_string(c.completed) +
           ", replaced " + std::to_string(c.replaced) + ", differing " + std::to_string(c.differs);
}

void Add(std::string& text, const std::string& key, const std::string& value) {
    text += key + ": " + Escape(value) + "\n";
}

void AddCheck(std::string& text, const RecordedCheck& check) {
    Add(text, "check date", check.date);
    Add(text, "check stock lines", std::to_string(check.stockLines));
    Add(text, "check quantity", Number(check.quantity));
    Add(text, "check stock value", Number(check.stockValue));
    Add(text, "check debit", Number(check.debit));
    Add(text, "check credit", Number(check.credit));
    for (const std::string& line : check.lines) {
        Add(text, "check line", line);
    }
}

}  // namespace

std::string RunRecordText(const RunRecord& r) {
    std::string text = std::string(kHeading) + "\n";
    Add(text, "company", r.company);
    Add(text, "database", r.database);
    Add(text, "workbook", r.workbook);
    Add(text, "migration date", r.migrationDate);
    Add(text, "started", r.started);
    Add(text, "ended", r.ended);
    Add(text, "outcome", r.outcome);
    if (!r.failure.empty()) {
        Add(text, "failure", r.failure);
    }
    Add(text, "backup", r.backup);
    Add(text, "categories",
        "written " + std::to_string(r.categoriesWritten) + ", already there " +
            std::to_string(r.categoriesThere) + ", failed " + std::to_string(r.categoriesFailed));
    Add(text, "items", CountsText(r.items));
    Add(text, "ledgers", CountsText(r.ledgers));
    if (r.check) {
        AddCheck(text, *r.check);
    }
    for (const std::string& line : r.summary) {
        Add(text, "summary", line);
    }
    for (const std::string& line : r.reconciled) {
        Add(text, "reconciled", line);
    }
    return text;
}

namespace {

// Reads the lines of one record, each "key: value", and says where a line
// can't be read.
class RecordReader {
  public:
    RecordReader(std::string path, RunRecord& record) : path_(std::move(path)), r_(record) {}

    void Line(int number, const std::string& line);

  private:
    [[noreturn]] void Refuse(const std::string& why) const {
        throw DataError("The run record " + path_ + " can't be read: line " +
                        std::to_string(number_) + " " + why + ".");
    }
    int Int(const std::string& text) const;
    double Real(const std::string& text) const;
    // "written 3, updated 0, ..." by the names it gives each count.
    std::map<std::string, int> Counts(const std::string& text) const;
    void Sheet(const std::string& text, SheetCounts& counts) const;
    void Categories(const std::string& text);
    void Check(const std::string& key, const std::string& value);

    std::string path_;
    RunRecord& r_;
    int number_ = 0;
};

int RecordReader::Int(const std::string& text) const {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        Refuse("holds \"" + text + "\" where a whole number belongs");
    }
    // Every whole number of a record counts something: a negative one was
    // written by no run, and would read as no rows at all.
    if (value < 0) {
        Refuse("holds \"" + text + "\" where a count belongs, which is never below 0");
    }
    return value;
}

double RecordReader::Real(const std::string& text) const {
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        Refuse("holds \"" + text + "\" where a number belongs");
    }
    return value;
}

std::map<std::string, int> RecordReader::Counts(const std::string& text) const {
    std::map<std::string, int> counts;
    std::istringstream parts(text);
    for (std::string part; std::getline(parts, part, ',');) {
        std::size_t start = part.find_first_not_of(' ');
        std::size_t space = part.rfind(' ');
        if (start == std::string::npos || space == std::string::npos || space < start) {
            Refuse("holds \"" + part + "\" where a name and a count belong");
        }
        counts[part.substr(start, space - start)] = Int(part.substr(space + 1));
    }
    return counts;
}

void RecordReader::Sheet(const std::string& text, SheetCounts& counts) const {
    std::map<std::string, int> n = Counts(text);
    counts.written = n["written"];
    counts.updated = n["updated"];
    counts.partial = n["partial"];
    counts.skipped = n["skipped"];
    counts.failed = n["failed"];
    counts.notReached = n["not reached"];
    // Records kept before re-runs completed rows have none of these: zero.
    counts.completed = n["completed"];
    counts.replaced = n["replaced"];
    counts.differs = n["differing"];
}

void RecordReader::Categories(const std::string& text) {
    std::map<std::string, int> n = Counts(text);
    r_.categoriesWritten = n["written"];
    r_.categoriesThere = n["already there"];
    r_.categoriesFailed = n["failed"];
}

void RecordReader::Check(const std::string& key, const std::string& value) {
    RecordedCheck& c = r_.check ? *r_.check : r_.check.emplace();
    if (key == "check date") {
        c.date = value;
    } else if (key == "check stock lines") {
        c.stockLines = Int(value);
    } else if (key == "check quantity") {
        c.quantity = Real(value);
    } else if (key == "check stock value") {
        c.stockValue = Real(value);
    } else if (key == "check debit") {
        c.debit = Real(value);
    } else if (key == "check credit") {
        c.credit = Real(value);
    } else if (key == "check line") {
        c.lines.push_back(value);
    }
}

void RecordReader::Line(int number, const std::string& line) {
    number_ = number;
    std::size_t colon = line.find(": ");
    if (colon == std::string::npos) {
        Refuse("is not a \"name: value\" line");
    }
    std::string key = line.substr(0, colon);
    std::string value = Unescape(line.substr(colon + 2));
    const std::map<std::string, std::string*> texts{
        {"company", &r_.company},   {"database", &r_.database},
        {"workbook", &r_.workbook}, {"migration date", &r_.migrationDate},
        {"started", &r_.started},   {"ended", &r_.ended},
        {"outcome", &r_.outcome},   {"failure", &r_.failure},
        {"backup", &r_.backup}};
    if (auto text = texts.find(key); text != texts.end()) {
        *text->second = value;
    } else if (key == "categories") {
        Categories(value);
    } else if (key == "items" || key == "ledgers") {
        Sheet(value, key == "items" ? r_.items : r_.ledgers);
    } else if (key.rfind("check ", 0) == 0) {
        Check(key, value);
    } else if (key == "summary" || key == "reconciled") {
        (key == "summary" ? r_.summary : r_.reconciled).push_back(value);
    }
}

}  // namespace

RunRecord ParseRunRecord(const std::string& text, const std::string& path) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != kHeading) {
        throw DataError("The file " + path + " is not a run record: its first line is not \"" +
                        kHeading + "\".");
    }
    RunRecord record;
    record.path = path;
    RecordReader reader(path, record);
    for (int number = 2; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty()) {
            reader.Line(number, line);
        }
    }
    return record;
}

}  // namespace ledgerlift
