#include "company/RunRecords.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/AtomicFile.h"
#include "base/RegularFile.h"
#include "data/DataError.h"

namespace ledgerlift {
namespace fs = std::filesystem;

namespace {

const char* const kSuffix = ".run.txt";
// A record is a few KB; a file far larger under a record's name is not one,
// and is not read into memory.
constexpr std::uintmax_t kLargestRecord = 1024 * 1024;

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool Digits(const std::string& text, std::size_t from, std::size_t count) {
    return from + count <= text.size() &&
           std::all_of(text.begin() + static_cast<long>(from),
                       text.begin() + static_cast<long>(from + count),
                       [](unsigned char c) { return std::isdigit(c) != 0; });
}

// "2024-05-01 10:00:00" as "20240501-100000"; the time now when it is not
// such a time.
std::string Stamp(const std::string& started) {
    std::string digits;
    for (char c : started) {
        if (std::isdigit(static_cast<unsigned char>(c))) {
            digits += c;
        }
    }
    if (digits.size() == 14) {
        return digits.substr(0, 8) + "-" + digits.substr(8);
    }
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &local);
    return buf;
}

// "<stamp>[-n]" of a record's name without its file name and suffix.
bool ParseStamp(const std::string& rest, std::string& stamp, int& serial) {
    if (!Digits(rest, 0, 8) || rest.size() < 15 || rest[8] != '-' || !Digits(rest, 9, 6)) {
        return false;
    }
    stamp = rest.substr(0, 15);
    serial = 1;
    if (rest.size() == 15) {
        return true;
    }
    if (rest[15] != '-' || rest.size() > 20 || !Digits(rest, 16, rest.size() - 16)) {
        return false;
    }
    serial = std::stoi(rest.substr(16));
    return serial >= 2;
}

// The text of a record file; problem says why there is none. Only a
// regular file is read, and only so much of it: a name that leads to a pipe
// or a device would hang or never end.
std::string ReadRecordFile(const fs::path& path, std::string& problem) {
    try {
        return ReadRegularFile("The run record", path.string(), kLargestRecord);
    } catch (const FileError& error) {
        problem = std::string(error.what()) + " It was passed over.";
        return "";
    }
}

// "38 written, 2 failed": the counts that are not zero.
std::string CountsLine(const SheetCounts& c) {
    std::string text;
    auto add = [&](int n, const char* what) {
        if (n > 0) {
            text += (text.empty() ? "" : ", ") + std::to_string(n) + " " + what;
        }
    };
    add(c.written, "written");
    add(c.updated, "updated");
    add(c.partial, "written in part");
    add(c.skipped, "already there");
    add(c.failed, "failed");
    add(c.notReached, "not reached");
    add(c.completed, "completed");
    add(c.replaced, "replaced");
    add(c.differs, "left with another opening");
    return text.empty() ? "no rows" : text;
}

}  // namespace

RunRecords::RunRecords(CompanyDatabase company) : company_(std::move(company)) {
    fs::path db(company_.path);
    folder_ = (db.parent_path() / "Backups").string();
    fileName_ = db.stem().string();
}

bool RunRecords::IsRecordName(const std::string& fileName) {
    return EndsWith(fileName, kSuffix);
}

bool RunRecords::ParseName(const std::string& fileName, Name& name) const {
    std::string prefix = fileName_ + "-";
    if (!IsRecordName(fileName) || fileName.rfind(prefix, 0) != 0 ||
        fileName.size() < prefix.size() + std::string(kSuffix).size()) {
        return false;
    }
    std::string rest = fileName.substr(
        prefix.size(), fileName.size() - prefix.size() - std::string(kSuffix).size());
    return ParseStamp(rest, name.stamp, name.serial);
}

RunRecords::Listing RunRecords::List() const {
    std::vector<std::pair<Name, RunRecord>> found;
    Listing listing;
    std::error_code ec;
    if (!fs::is_directory(folder_, ec)) {
        return listing;
    }
    for (const auto& entry : fs::directory_iterator(folder_, ec)) {
        Name name;
        // Whatever bears a record's name is read as one; what is no regular
        // file (a pipe, a device) is named as a problem, never opened.
        if (!ParseName(entry.path().filename().string(), name)) {
            continue;
        }
        std::string problem;
        std::string text = ReadRecordFile(entry.path(), problem);
        try {
            if (problem.empty()) {
                RunRecord record = ParseRunRecord(text, entry.path().string());
                if (record.database == company_.relative) {
                    found.emplace_back(name, std::move(record));
                }
            }
        } catch (const DataError& error) {
            problem = error.Description();
        }
        if (!problem.empty()) {
            listing.problems.push_back(problem);
        }
    }
    if (ec) {
        listing.problems.push_back("The folder " + folder_ + " could not be read to its end (" +
                                   ec.message() + ").");
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.first.stamp != b.first.stamp ? a.first.stamp > b.first.stamp
                                              : a.first.serial > b.first.serial;
    });
    for (auto& [name, record] : found) {
        listing.records.push_back(std::move(record));
    }
    return listing;
}

std::string RunRecords::Line(const RunRecord& r) {
    std::error_code ec;
    std::string backup = r.backup.empty()
                             ? "no backup"
                             : "undone by the backup " + fs::path(r.backup).filename().string() +
                                   (fs::exists(r.backup, ec) ? "" : " (no longer kept)");
    return r.started + "  " + r.outcome + "  " + r.workbook + "  items: " + CountsLine(r.items) +
           "; ledgers: " + CountsLine(r.ledgers) + "; " + backup;
}

std::string RunRecords::NewPath(const RunRecord& record) const {
    std::error_code ec;
    // Beside the backup the run made, under its name: a new backup never
    // takes a name that a record still uses (see CompanyBackups).
    fs::path backup(record.backup);
    std::string stem = backup.stem().string();
    Name name;
    if (backup.extension() == ".mdb" && ParseName(stem + kSuffix, name) &&
        fs::equivalent(backup.parent_path(), folder_, ec)) {
        std::string path = (fs::path(folder_) / (stem + kSuffix)).string();
        if (!fs::exists(fs::symlink_status(path, ec))) {
            return path;
        }
    }
    std::string base = (fs::path(folder_) / (fileName_ + "-" + Stamp(record.started))).string();
    std::string path = base + kSuffix;
    for (int serial = 2; fs::exists(fs::symlink_status(path, ec)); ++serial) {
        path = base + "-" + std::to_string(serial) + kSuffix;
    }
    return path;
}

std::string RunRecords::Write(const RunRecord& record) const {
    std::error_code ec;
    fs::file_status status = fs::symlink_status(folder_, ec);
    if (!fs::is_directory(status)) {
        throw DataError("The record of the run was not written: the backup folder " + folder_ +
                        (fs::is_symlink(status) ? " is a symbolic link, not a folder of its own."
                         : fs::exists(status)   ? " is not a folder."
                                                : " is missing."));
    }
    std::string path = NewPath(record);
    try {
        WriteFileAtomically(path, RunRecordText(record));
    } catch (const FileError& error) {
        throw DataError(error.what());
    }
    return path;
}

}  // namespace ledgerlift
