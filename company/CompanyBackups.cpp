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

#include "base/AtomicFile.h"
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

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return fs::weakly_canonical(a, ec) == fs::weakly_canonical(b, ec);
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
    std::ifstream note(BackupNotePath(path));
    std::string line;
    if (note && std::getline(note, line) && line.rfind(kNoteHeading, 0) == 0) {
        info.hasNote = true;
        while (std::getline(note, line)) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            auto colon = line.find(": ");
            if (colon == std::string::npos) {
                continue;
            }
            std::string key = line.substr(0, colon);
            std::string value = line.substr(colon + 2);
            if (key == "company") {
                info.company = value;
            } else if (key == "database") {
                info.database = value;
            } else if (key == "made") {
                info.made = value;
            } else if (key == "made by") {
                info.madeBy = value;
            }
        }
    }
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
    if (backup.hasNote) {
        if (backup.database == c.relative) {
            return "";
        }
        return "The backup " + backup.path + " is a copy of the database " + backup.database +
               (backup.company.empty() ? "" : " of the company " + backup.company) +
               ", not of the company " + c.code + "'s database " + c.relative +
               ". It was not restored, so that no company's books are replaced by another's.";
    }
    Name name;
    if (SameFile(fs::path(backup.path).parent_path().string(), folder_) &&
        ParseName(backup.name, name)) {
        return "";
    }
    return "Nothing says which company the file " + backup.path +
           " is a backup of: it has no note " + BackupNotePath(backup.path) +
           " and it is not one of the company " + c.code + "'s backups in " + folder_ +
           ". It was not restored, so that no company's books are replaced by another's.";
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
        if (info.hasNote && info.database != company_.relative) {
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
    return list;
}

std::string CompanyBackups::PrepareFolder() const {
    std::error_code ec;
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
    // What a backup killed part way left under its temporary name; backups
    // are made only while the company is taken, so none is being written.
    // So is the note of a backup that never took its name.
    std::string partial = "." + fileName_ + "-";
    for (const auto& entry : fs::directory_iterator(folder_, ec)) {
        std::string name = entry.path().filename().string();
        fs::path backup = entry.path();
        backup.replace_extension(".mdb");
        Name parsed;
        if ((name.rfind(partial, 0) == 0 && name.find(".partial-") != std::string::npos) ||
            (entry.path().extension() == ".txt" && ParseName(backup.filename().string(), parsed) &&
             !fs::exists(backup, ec))) {
            fs::remove(entry.path(), ec);
        }
    }
    return folder_;
}

std::string CompanyBackups::NewPath() const {
    std::string base = (fs::path(PrepareFolder()) / (fileName_ + "-" + StampNow())).string();
    std::string path = base + ".mdb";
    std::error_code ec;
    for (int serial = 2; fs::exists(path, ec) || fs::exists(BackupNotePath(path), ec); ++serial) {
        path = base + "-" + std::to_string(serial) + ".mdb";
    }
    return path;
}

void CompanyBackups::WriteNote(const std::string& backupPath, const std::string& madeBy) const {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char made[32];
    std::strftime(made, sizeof made, "%Y-%m-%d %H:%M:%S", &local);
    std::string text = std::string(kNoteHeading) + "\ncompany: " + OneLine(company_.code) +
                       "\ndatabase: " + OneLine(company_.relative) + "\nmade: " + made +
                       "\nmade by: " + OneLine(madeBy) + "\n";
    try {
        WriteFileAtomically(BackupNotePath(backupPath), text);
    } catch (const FileError& error) {
        throw DataError(error.what());
    }
}

BackupInfo CompanyBackups::Make(Connection& source, const std::string& madeBy) {
    std::string path = NewPath();
    try {
        CopyDatabase(source, path, [&] { WriteNote(path, madeBy); });
    } catch (...) {
        ::unlink(BackupNotePath(path).c_str());
        throw;
    }
    return Describe(path);
}

BackupInfo CompanyBackups::MakeFromFile(const std::string& madeBy) {
    std::string path = NewPath();
    try {
        CopyDatabaseFile(company_.path, path, [&] { WriteNote(path, madeBy); });
    } catch (...) {
        ::unlink(BackupNotePath(path).c_str());
        throw;
    }
    return Describe(path);
}

BackupInfo CompanyBackups::MakeRawCopy(const std::string& madeBy) {
    std::string path = NewPath();
    try {
        WriteNote(path, madeBy);
        CopyFileAtomically(company_.path, path);
    } catch (const FileError& error) {
        ::unlink(BackupNotePath(path).c_str());
        throw DataError(error.what());
    } catch (...) {
        ::unlink(BackupNotePath(path).c_str());
        throw;
    }
    return Describe(path);
}

std::string CompanyBackups::Prune(int keep, const std::string& protect) const {
    std::vector<BackupInfo> list = List();
    std::string failed;
    for (std::size_t i = static_cast<std::size_t>(std::max(keep, 0)); i < list.size(); ++i) {
        if (!protect.empty() && SameFile(list[i].path, protect)) {
            continue;
        }
        for (const std::string& file : {list[i].path, BackupNotePath(list[i].path)}) {
            if (::unlink(file.c_str()) != 0 && errno != ENOENT) {
                failed +=
                    (failed.empty() ? "" : ", ") + file + " (" + FileFailureReason(errno) + ")";
            }
        }
    }
    if (failed.empty()) {
        return "";
    }
    return "The old backups " + failed + " could not be removed; remove them by hand to free " +
           "the space they take.";
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
    return backup.made + "  " + size + "  " + backup.name + "  " +
           (backup.madeBy.empty() ? std::string("(no note says what made it)") : backup.madeBy);
}

}  // namespace ledgerlift
