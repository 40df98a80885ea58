#pragma once

#include <string>

namespace ledgerlift {

// The environment variable that names the product folder.
inline constexpr const char* kProductFolderVariable = "LEDGERLIFT_PRODUCT_FOLDER";

// Where the product folder (the folder under which Resources/Database lies)
// was found.
enum class ProductFolderSource { Option, Environment, Remembered, ProgramFolder, None };

// The product folder remembered between runs. The window's settings keep it;
// the logic knows it only through this.
class ProductFolderMemory {
  public:
    virtual ~ProductFolderMemory() = default;
    // The folder remembered from the last run, or "".
    virtual std::string Recall() const = 0;
    virtual void Remember(const std::string& folder) = 0;
};

// What each source offers; "" where it offers nothing.
struct ProductFolderCandidates {
    std::string option;         // --product-folder
    std::string environment;    // LEDGERLIFT_PRODUCT_FOLDER
    std::string remembered;     // the folder the window used last
    std::string programFolder;  // the folder that holds the program
};

struct ProductFolderChoice {
    std::string folder;  // absolute, without a trailing "/"; "" when none was found
    ProductFolderSource source = ProductFolderSource::None;
};

// The product folder, in this order: the option; the environment variable;
// the remembered folder while Resources/Database still lies there; the
// program's own folder when Resources/Database lies there (the product's
// layout, and the build tree's demo); otherwise none. A folder named by the
// option or the variable is taken as it is: when it holds no databases, the
// step that opens them says which file is missing.
ProductFolderChoice ChooseProductFolder(const ProductFolderCandidates& candidates);

// Whether Resources/Database is a folder below folder.
bool HoldsDatabaseFolder(const std::string& folder);

// The path made absolute and lexically normal, without a trailing "/".
std::string NormalFolder(const std::string& path);

// Names the source for the operator, e.g. "from LEDGERLIFT_PRODUCT_FOLDER".
std::string SourceText(ProductFolderSource source);

// What to do when no product folder is found (one sentence, for the command
// line).
std::string NoProductFolderMessage();

}  // namespace ledgerlift
