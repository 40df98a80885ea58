#include "company/UserDemoFolder.h"

#include <cstdlib>
#include <filesystem>

#include "company/DemoFolder.h"
#include "data/DataError.h"

namespace ledgerlift {

std::string UserDemoFolder() {
    // The XDG rule: a relative XDG_DATA_HOME is to be ignored.
    const char* data = std::getenv("XDG_DATA_HOME");
    std::filesystem::path base;
    if (data && std::filesystem::path(data).is_absolute()) {
        base = data;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = std::filesystem::path(home) / ".local" / "share";
    } else {
        throw DataError(
            "The demo company cannot be laid out: neither XDG_DATA_HOME nor HOME says where "
            "your data folder is.");
    }
    return (base / "ledgerlift" / "Demo").lexically_normal().string();
}

std::string LayOutUserDemoFolder() {
    std::filesystem::path folder = UserDemoFolder();
    std::error_code error;
    std::filesystem::create_directories(folder.parent_path(), error);
    if (error) {
        std::string what = "The folder ";
        what += folder.parent_path().string();
        what += " could not be made for the demo company: ";
        what += error.message();
        throw DataError(what);
    }
    LayOutDemoFolder(folder.string());
    return folder.string();
}

}  // namespace ledgerlift
