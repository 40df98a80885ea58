#include "import/package/CompoundFile.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-utils.h>

#include "import/core/WorkbookFile.h"

namespace ledgerlift {

void GObjectReleaser::operator()(void* object) const {
    if (object) {
        g_object_unref(object);
    }
}

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
    return GObjectPtr<GsfInput>(folder_ ? gsf_infile_child_by_name(folder_.get(), name) : nullptr);
}

}  // namespace ledgerlift
