#include "import/package/CompoundFile.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-utils.h>

#include "import/core/WorkbookFile.h"

namespace ledgerlift {

void StartGsf() {
    static const bool started = [] {
        gsf_init();
        return true;
    }();
    (void)started;
}

CompoundFile::CompoundFile(const std::string& path) {
    StartGsf();
    GError* error = nullptr;
    file_.reset(gsf_input_stdio_new(path.c_str(), &error));
    if (error) {
        g_error_free(error);
        error = nullptr;
    }
    if (!file_) {
        throw WorkbookError("The workbook " + path + " could not be read.");
    }
    folder_.reset(gsf_infile_msole_new(file_.get(), &error));
    if (error) {
        g_error_free(error);
    }
}

GObjectPtr<GsfInput> CompoundFile::Stream(const char* name) const {
    if (!folder_) {
        return nullptr;
    }
    if (GsfInput* exact = gsf_infile_child_by_name(folder_.get(), name)) {
        return GObjectPtr<GsfInput>(exact);
    }
    // Stream names compare without case in a compound file: some programs
    // write WORKBOOK or BOOK.
    int count = gsf_infile_num_children(folder_.get());
    for (int i = 0; i < count; ++i) {
        const char* child = gsf_infile_name_by_index(folder_.get(), i);
        if (child && g_ascii_strcasecmp(child, name) == 0) {
            return GObjectPtr<GsfInput>(gsf_infile_child_by_index(folder_.get(), i));
        }
    }
    return nullptr;
}

}  // namespace ledgerlift
