#include "company/ProductFolder.h"

#include <filesystem>

#include "company/CompanyDatabase.h"

namespace ledgerlift {

ProductFolderChoice ChooseProductFolder(const ProductFolderCandidates& candidates) {
    if (!candidates.option.empty()) {
        return {NormalFolder(candidates.option), ProductFolderSource::Option};
    }
    if (!candidates.environment.empty()) {
        return {NormalFolder(candidates.environment), ProductFolderSource::Environment};
    }
    // A remembered folder that has been moved or removed since is passed over
    // rather than held on to.
    if (!candidates.remembered.empty() && HoldsDatabaseFolder(candidates.remembered)) {
        return {NormalFolder(candidates.remembered), ProductFolderSource::Remembered};
    }
    if (!candidates.programFolder.empty() && HoldsDatabaseFolder(candidates.programFolder)) {
        return {NormalFolder(candidates.programFolder), ProductFolderSource::ProgramFolder};
    }
    return {};
}

bool HoldsDatabaseFolder(const std::string& folder) {
    std::error_code error;
    return std::filesystem::is_directory(DatabaseFolder(folder), error);
}

std::string NormalFolder(const std::string& path) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    std::string folder = (error ? std::filesystem::path(path) : absolute).lexically_normal();
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder;
}

std::string SourceText(ProductFolderSource source) {
    switch (source) {
        case ProductFolderSource::Option:
            return "given with --product-folder";
        case ProductFolderSource::Environment:
            return std::string("from ") + kProductFolderVariable;
        case ProductFolderSource::Remembered:
            return "remembered from the last run";
        case ProductFolderSource::ProgramFolder:
            return "the program's own folder";
        case ProductFolderSource::None:
            break;
    }
    return "none found";
}

std::string NoProductFolderMessage() {
    return std::string(
               "no product folder (the folder under which Resources/Database lies) was "
               "found; name it with --product-folder DIR or ") +
           kProductFolderVariable + "=DIR, or lay out the demo one with \"ledgerlift demo DIR\".";
}

}  // namespace ledgerlift
