#include "company/DemoFolder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "company/CompanyDatabase.h"
#include "company/DemoResources.h"
#include "data/DataError.h"
#include "data/Schema.h"

namespace ledgerlift {
namespace {

// Writes bytes to a new file; a file already at path is kept (O_EXCL makes
// that hold even against another program writing the same path meanwhile).
bool WriteNewFile(const std::string& path, std::string_view bytes) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (errno == EEXIST) {
            return false;
        }
        throw DataError("The file " + path + " could not be made: " + std::strerror(errno) + ".");
    }
    std::size_t written = 0;
    while (written < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            std::string reason = std::strerror(errno);
            ::close(fd);
            std::filesystem::remove(path);
            throw DataError("The file " + path + " could not be written: " + reason + ".");
        }
        written += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) {
        std::string reason = std::strerror(errno);
        std::filesystem::remove(path);
        throw DataError("The file " + path + " could not be written: " + reason + ".");
    }
    return true;
}

}  // namespace

std::vector<DemoFile> LayOutDemoFolder(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::is_directory(folder, error) && !fs::create_directory(folder, error) && error) {
        throw DataError("The folder " + folder + " could not be made: " + error.message() + ".");
    }
    std::string database = DatabaseFolder(folder);
    std::string initialScript(InitialSchemaSql());
    initialScript += '\n';
    initialScript += DemoCompaniesSql();
    std::string companyScript(CompanySchemaSql());

    std::vector<DemoFile> files;
    auto addDatabase = [&](const std::string& path, const std::string& script) {
        files.push_back({path, CreateDatabaseFromScript(path, script)});
    };
    addDatabase(database + "/TallvaneInitial.mdb", initialScript);
    addDatabase(database + "/C01/DEMO.mdb", companyScript);
    addDatabase(database + "/C02/SHOP.mdb", companyScript);
    for (auto [name, bytes] : {std::pair{"/sample.xls", SampleWorkbookBytes()},
                               {"/sample.xlsx", SampleXlsxBytes()},
                               {"/sample.ods", SampleOdsBytes()}}) {
        std::string sample = database + name;
        files.push_back({sample, WriteNewFile(sample, bytes)});
    }
    return files;
}

}  // namespace ledgerlift
