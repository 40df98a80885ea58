#include <cstdio>
#include <exception>

#include "app/cli/CommandLine.h"
#include "app/cli/Commands.h"
#include "app/cli/OutputPath.h"
#include "company/DemoFolder.h"
#include "company/ProductFolder.h"

namespace ledgerlift {

int LayOutDemo(const DemoOptions& options) {
    std::string problem = FolderOutputProblem("The demo folder", options.folder);
    if (!problem.empty()) {
        std::fprintf(stderr, "error: %s\n", problem.c_str());
        return kExitUsage;
    }
    std::string folder = NormalFolder(options.folder);
    try {
        for (const DemoFile& file : LayOutDemoFolder(folder)) {
            if (!options.quiet) {
                std::printf(file.created ? "made %s\n" : "kept %s (it was already there)\n",
                            file.path.c_str());
            }
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "error: %s\n", error.what());
        return kExitUsage;
    }
    if (!options.quiet) {
        std::printf(
            "The demo product folder is %s; try: ledgerlift companies --product-folder %s\n",
            folder.c_str(), folder.c_str());
    }
    return kExitDone;
}

}  // namespace ledgerlift
