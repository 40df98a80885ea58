#include "company/CompanyBackups.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "base/AtomicFile.h"
#include "base/RegularFile.h"
#include "company/FileIdentity.h"
#include "company/RestoreStaging.h"
#include "company/Sha256.h"
#include "data/DatabaseCopy.h"

namespace ledgerlift {
namespace fs = std::filesystem;

namespace {

const char* const kNoteHeading = "Ledgerlift backup";

bool Digits(const std::string& text, std::size_t from, std::size_t count) {
    if (from + count > text.size()) {
        return false;
    }
    return std::all_of(text.begin() + static_cast<long>(from),
                       text.begin() + static_cast<long>(from + count),
                       [](unsigned char c) { return std::isdigit(c) != 0; });
}

std::string StampNow() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &local);
    return buf;
}

// "20240501-100000" as "2024-05-01 10:00:00".
std::string StampText(const std::string& s) {
    return s.substr(0, 4) + "-" + s.substr(4, 2) + "-" + s.substr(6, 2) + " " + s.substr(9, 2) +
           ":" + s.substr(11, 2) + ":" + s.substr(13, 2);
}

// A value on one line of the note.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return text;
}

const char* const kNotRestored =
    " It was not restored, so that no company's books are replaced by another's.";

// The files that go with a backup: its note, and the journal and log of a
// damaged database kept byte for byte.
std::vector<std::string> CompanionFiles(const std::string& backupPath) {
    return {BackupNotePath(backupPath), JournalPath(backupPath), WalPath(backupPath)};
}

// The backup file a note, journal or log goes with.
fs::path BackupOf(const fs::path& file) {
    std::string name = file.filename().string();
    for (const std::string& suffix : {std::string("-journal"), std::string("-wal")}) {
        if (name.size() > suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
            return file.parent_path() / name.substr(0, name.size() - suffix.size());
        }
    }
    fs::path backup = file;
    return file.extension() == ".txt" ? backup.replace_extension(".mdb") : fs::path();
}

// The note's "kept" line of the first backup, and the words a list gives it.
const char* const kKeptForGood = "for good, the company as it was before its first migration";
const char* const kFirstMigration = "before the first migration";

// Among notes that predate the "kept" line, the oldest backup a migration
// made stands for the company before its first migration.
void MarkFirst(std::vector<BackupInfo>& newestFirst) {
    if (std::any_of(newestFirst.begin(), newestFirst.end(),
                    [](const BackupInfo& b) { return b.first; })) {
        return;
    }
    for (auto it = newestFirst.rbegin(); it != newestFirst.rend(); ++it) {
        if (it->madeBy.rfind("the migration of ", 0) == 0 ||
            it->madeBy.rfind("before the migration of ", 0) == 0) {
            it->first = true;
            return;
        }
    }
}

// Removes a backup and whatever goes with it, adding the files that could
// not be removed to failed.
void UnlinkBackup(const std::string& backupPath, std::string& failed) {
    std::vector<std::string> files = CompanionFiles(backupPath);
    files.insert(files.begin(), backupPath);
    for (const std::string& file : files) {
        if (::unlink(file.c_str()) != 0 && errno != ENOENT) {
            failed += (failed.empty() ? "" : ", ") + file + " (" + FileFailureReason(errno) + ")";
        }
    }
}

// Removes a backup that was not made whole, and whatever went with it.
void RemoveBackupFiles(const std::string& backupPath) {
    ::unlink(backupPath.c_str());
    for (const std::string& file : CompanionFiles(backupPath)) {
        ::unlink(file.c_str());
    }
}

// A note is a few lines; a file far larger under its name is no note.
constexpr std::uint64_t kLargestNote = 64 * 1024;

void ReadNoteLine(const std::string& key, const std::string& value, BackupInfo& info) {
    if (key == "company") {
        info.company = value;
    } else if (key == "database") {
        info.database = value;
    } else if (key == "made") {
        info.made = value;
    } else if (key == "made by") {
        info.madeBy = value;
    } else if (key == "sha256") {
        info.sha256 = value;
    } else if (key == "kept") {
        info.first = value.rfind(kKeptForGood, 0) == 0;
    }
}

// What the note at notePath says of its backup. Only a regular file is
// read, and only so much of it: a note linked to a pipe or a device would
// hang or fill the memory.
void ReadNote(const std::string& notePath, BackupInfo& info) {
    std::string text;
    try {
        text = ReadRegularFile("The note", notePath, kLargestNote);
    } catch (const FileError& error) {
        struct stat st {};
        if (::lstat(notePath.c_str(), &st) == 0) {
            info.noteProblem = error.what();
        }
        return;
    }
    std::istringstream note(text);
    std::string line;
    if (!std::getline(note, line) || line.rfind(kNoteHeading, 0) != 0) {
        return;
    }
    info.hasNote = true;
    while (std::getline(note, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (auto colon = line.find(": "); colon != std::string::npos) {
            ReadNoteLine(line.substr(0, colon), line.substr(colon + 2), info);
        }
    }
    if (info.database.empty()) {
        info.noteProblem = "The note " + notePath + " of the backup " + info.path +
                           " does not say which database it is a copy of (it has no "
                           "\"database:\" line).";
    }
}

}  // namespace

std::string BackupNotePath(const std::string& backupPath) {
    fs::path path(backupPath);
    return (path.parent_path() / (path.stem().string() + ".txt")).string();
}

CompanyBackups::CompanyBackups(CompanyDatabase company) : company_(std::move(company)) {
    fs::path db(company_.path);
    folder_ = (db.parent_path() / "Backups").string();
    fileName_ = db.stem().string();
}

bool CompanyBackups::ParseName(const std::string& fileName, Name& name) const {
    // <FileName>-yyyymmdd-hhmmss[-n].mdb
    std::string prefix = fileName_ + "-";
    const std::string ext = ".mdb";
    if (fileName.size() < prefix.size() + 15 + ext.size() || fileName.rfind(prefix, 0) != 0 ||
        fileName.compare(fileName.size() - ext.size(), ext.size(), ext) != 0) {
        return false;
    }
    std::string rest = fileName.substr(prefix.size(), fileName.size() - prefix.size() - ext.size());
    if (!Digits(rest, 0, 8) || rest[8] != '-' || !Digits(rest, 9, 6)) {
        return false;
    }
    name.stamp = rest.substr(0, 15);
    name.serial = 1;
    if (rest.size() == 15) {
        return true;
    }
    if (rest[15] != '-' || rest.size() > 20 || !Digits(rest, 16, rest.size() - 16)) {
        return false;
    }
    name.serial = std::stoi(rest.substr(16));
    return name.serial >= 2;
}

BackupInfo CompanyBackups::Describe(const std::string& path) const {
    BackupInfo info;
    info.path = path;
    info.name = fs::path(path).filename().string();
    std::error_code ec;
    auto size = fs::file_size(path, ec);
    info.bytes = ec ? 0 : static_cast<std::int64_t>(size);
    ReadNote(BackupNotePath(path), info);
    Name name;
    if (ParseName(info.name, name)) {
        info.made = StampText(name.stamp);
    } else if (info.made.empty() && !ec) {
        // A copy without its note or its name: when it was last written.
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0) {
            std::tm local{};
            localtime_r(&st.st_mtime, &local);
            char made[32];
            std::strftime(made, sizeof made, "%Y-%m-%d %H:%M:%S", &local);
            info.made = made;
        }
    }
    return info;
}

std::string CompanyBackups::Ownership(const BackupInfo& backup) const {
    const CompanyDatabase& c = company_;
    std::string note = BackupNotePath(backup.path);
    if (!backup.noteProblem.empty()) {
        return backup.noteProblem + kNotRestored;
    }
    if (!backup.hasNote) {
        return "Nothing says which company the file " + backup.path +
               " is a backup of: it has no note " + note + "." + kNotRestored;
    }
    if (IsLink(note)) {
        return "The note " + note + " of the backup " + backup.path +
               " is a symbolic link to another file, so it says nothing of this backup." +
               kNotRestored;
    }
    if (backup.database == c.relative && backup.company == c.code) {
        return "";
    }
    return "The backup " + backup.path + " is a copy of the database " + backup.database +
           (backup.company.empty() ? "" : " of the company " + backup.company) +
           ", not of the company " + c.code + "'s database " + c.relative + "." + kNotRestored;
}

std::vector<BackupInfo> CompanyBackups::List() const {
    std::vector<std::pair<Name, BackupInfo>> found;
    std::error_code ec;
    if (!fs::is_directory(folder_, ec)) {
        return {};
    }
    for (const auto& entry : fs::directory_iterator(folder_, ec)) {
        Name name;
        std::string fileName = entry.path().filename().string();
        if (!entry.is_regular_file(ec) || !ParseName(fileName, name)) {
            continue;
        }
        BackupInfo info = Describe(entry.path().string());
        if (info.hasNote && !info.database.empty() && info.database != company_.relative) {
            continue;  // another company's file of the same name in a shared folder
        }
        found.emplace_back(name, std::move(info));
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.first.stamp != b.first.stamp ? a.first.stamp > b.first.stamp
                                              : a.first.serial > b.first.serial;
    });
    std::vector<BackupInfo> list;
    for (auto& [name, info] : found) {
        list.push_back(std::move(info));
    }
    MarkFirst(list);
    return list;
}

std::string CompanyBackups::PrepareFolder() const {
    std::error_code ec;
    if (IsLink(folder_)) {
        throw DataError("The backup folder " + folder_ +
                        " is a symbolic link, so no backup was made: backups are kept only in a "
                        "folder of their own beside the company's database, not wherever a link "
                        "leads. Put a folder in the link's place, then try again.");
    }
    if (fs::exists(folder_, ec) && !fs::is_directory(folder_, ec)) {
        throw DataError("The backup folder " + folder_ +
                        " is a file, not a folder, so no backup can be made there. Move or rename "
                        "that file, then try again.");
    }
    fs::create_directories(folder_, ec);
    if (ec) {
        throw DataError("The backup folder " + folder_ + " could not be made (" +
                        FileFailureReason(ec.value()) + ").");
    }
    // Backups are made only while the company is taken, so neither a backup
    // nor a restore of it is being written: what a killed one left under its
    // temporary name goes, and so does a note (journal, log) of a backup that
    // never took its name.
    RemoveRestoreStaging(company_.path);
    std::string partial = "." + fileName_ + "-";
    for (const auto& entry : fs::directory_iterator(folder_, ec)) {
        std::string name = entry.path().filename().string();
        fs::path backup = BackupOf(entry.path());
        Name parsed;
        if ((name.rfind(partial, 0) == 0 && name.find(".partial-") != std::string::npos) ||
            (!backup.empty() && ParseName(backup.filename().string(), parsed) &&
             !fs::exists(backup, ec))) {
            fs::remove(entry.path(), ec);
        }
    }
    return folder_;
}

// The highest serial number among the files of the folder named after a
// backup made at stamp: the backup, its note, journal or log, and the record
// of the run that made it ("<name>.run.txt"); 0 when there is none. A new
// backup takes the next one, never a name that a pruned backup had: its run
// record still names it, and a backup that took its name would also sort as
// older than those made after it within the same second.
int CompanyBackups::HighestSerial(const std::string& stamp) const {
    const std::string base = fileName_ + "-" + stamp;
    int highest = 0;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder_, ec)) {
        std::string name = entry.path().filename().string();
        if (name.rfind(base, 0) != 0) {
            continue;
        }
        std::string rest = name.substr(base.size());
        if (rest.empty() || rest[0] == '.') {
            highest = std::max(highest, 1);
            continue;
        }
        std::size_t digits = rest.find('.');
        if (rest[0] == '-' && digits != std::string::npos && digits > 1 && digits <= 5 &&
            Digits(rest, 1, digits - 1)) {
            highest = std::max(highest, std::stoi(rest.substr(1, digits - 1)));
        }
    }
    return highest;
}

std::string CompanyBackups::NewPath() const {
    std::string stamp = StampNow();
    std::string base = (fs::path(PrepareFolder()) / (fileName_ + "-" + stamp)).string();
    int serial = HighestSerial(stamp) + 1;
    return serial == 1 ? base + ".mdb" : base + "-" + std::to_string(serial) + ".mdb";
}

void CompanyBackups::WriteNote(const std::string& backupPath, const std::string& madeBy,
                               const std::string& sha256, bool first) const {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char made[32];
    std::strftime(made, sizeof made, "%Y-%m-%d %H:%M:%S", &local);
    std::string text = std::string(kNoteHeading) + "\ncompany: " + OneLine(company_.code) +
                       "\ndatabase: " + OneLine(company_.relative) + "\nmade: " + made +
                       "\nmade by: " + OneLine(madeBy) + "\nsha256: " + sha256 + "\n" +
                       (first ? std::string("kept: ") + kKeptForGood + "\n" : "");
    try {
        WriteFileAtomically(BackupNotePath(backupPath), text);
    } catch (const FileError& error) {
        throw DataError(error.what());
    }
}

BackupInfo CompanyBackups::Make(Connection& source, const std::string& madeBy, bool first) {
    std::string path = NewPath();
    try {
        CopyDatabase(source, path, [&](const std::string& copy) {
            WriteNote(path, madeBy, Sha256::OfFile(copy), first);
        });
    } catch (...) {
        ::unlink(BackupNotePath(path).c_str());
        throw;
    }
    return Describe(path);
}

BackupInfo CompanyBackups::MakeFromFile(const std::string& madeBy) {
    std::string path = NewPath();
    try {
        CopyDatabaseFile(company_.path, path, [&](const std::string& copy) {
            WriteNote(path, madeBy, Sha256::OfFile(copy));
        });
    } catch (...) {
        ::unlink(BackupNotePath(path).c_str());
        throw;
    }
    return Describe(path);
}

// Copies the file from to the backup to, byte for byte, taking the checksum
// of the very bytes written for its note, which is written before the copy
// takes its name.
void CompanyBackups::CopyBytes(const std::string& from, const std::string& to,
                               const std::string& madeBy) const {
    std::ifstream in(from, std::ios::binary);
    if (!in) {
        throw DataError("The database " + from + " could not be read (" + FileFailureReason(errno) +
                        "), so it was not backed up.");
    }
    AtomicFile file(to);
    Sha256 sum;
    std::vector<char> buffer(1 << 16);
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        std::string chunk(buffer.data(), static_cast<std::size_t>(in.gcount()));
        sum.Add(chunk);
        file.Write(chunk);
    }
    if (!in.eof()) {
        throw DataError("The database " + from + " could not be read to its end, so it was not " +
                        "backed up.");
    }
    WriteNote(to, madeBy, sum.Hex());
    file.Commit();
}

BackupInfo CompanyBackups::MakeRawCopy(const std::string& madeBy) {
    std::string path = NewPath();
    try {
        for (const auto& [from, to] : {std::pair{JournalPath(company_.path), JournalPath(path)},
                                       std::pair{WalPath(company_.path), WalPath(path)}}) {
            std::error_code ec;
            if (fs::file_size(from, ec) > 0 && !ec) {
                CopyFileAtomically(from, to);
            }
        }
        CopyBytes(company_.path, path, madeBy);
    } catch (const FileError& error) {
        RemoveBackupFiles(path);
        throw DataError(error.what());
    } catch (...) {
        RemoveBackupFiles(path);
        throw;
    }
    return Describe(path);
}

std::string CompanyBackups::Prune(int keep, const std::string& protect) const {
    std::string failed;
    int kept = 0;
    for (const BackupInfo& backup : List()) {
        if (backup.first || !backup.noteProblem.empty()) {
            continue;  // kept for good; or nothing tells whose it is, so it is not ours to remove
        }
        bool isProtected = !protect.empty() && SameFile(backup.path, protect);
        if (kept++ < keep || isProtected) {
            continue;
        }
        UnlinkBackup(backup.path, failed);
    }
    if (failed.empty()) {
        return "";
    }
    return "The old backups " + failed + " could not be removed; remove them by hand to free " +
           "the space they take.";
}

std::string CompanyBackups::Remove(const std::string& backupPath) const {
    std::string failed;
    UnlinkBackup(backupPath, failed);
    if (failed.empty()) {
        return "";
    }
    return "The backup " + failed + " could not be removed; remove it by hand to free the " +
           "space it takes.";
}

std::string CompanyBackups::SizeText(std::int64_t bytes) {
    char buf[32];
    if (bytes < 1024 * 1024) {
        std::snprintf(buf, sizeof buf, "%.0f KB", static_cast<double>(bytes) / 1024);
    } else {
        std::snprintf(buf, sizeof buf, "%.1f MB", static_cast<double>(bytes) / (1024 * 1024));
    }
    return buf;
}

std::string CompanyBackups::Line(const BackupInfo& backup) {
    char size[16];
    std::snprintf(size, sizeof size, "%9s", SizeText(backup.bytes).c_str());
    std::string madeBy =
        backup.madeBy.empty() ? std::string("(no note says what made it)") : backup.madeBy;
    if (backup.first && madeBy.rfind(kFirstMigration, 0) != 0) {
        madeBy = std::string(kFirstMigration) + ": " + madeBy;
    }
    std::string line = backup.made + "  " + size + "  " + backup.name + "  " + madeBy;
    if (!backup.noteProblem.empty()) {
        line += " (can't be restored: its note can't be relied on)";
    }
    return line;
}

}  // namespace ledgerlift
