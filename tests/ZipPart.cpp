#include "tests/ZipPart.h"

#include <gsf/gsf.h>

#include <memory>
#include <sstream>
#include <vector>

namespace ledgerlift::test {
namespace {

struct Unref {
    void operator()(void* object) const {
        if (object) {
            g_object_unref(object);
        }
    }
};
template <typename T>
using Owned = std::unique_ptr<T, Unref>;

}  // namespace

std::string ZipPartText(const std::string& zipPath, const std::string& part) {
    Owned<GsfInput> file(gsf_input_stdio_new(zipPath.c_str(), nullptr));
    if (!file) {
        return "";
    }
    Owned<GsfInfile> zip(gsf_infile_zip_new(file.get(), nullptr));
    if (!zip) {
        return "";
    }
    GsfInput* at = GSF_INPUT(zip.get());
    std::vector<Owned<GsfInput>> path;  // each folder stays alive while its child is read
    std::istringstream names(part);
    std::string name;
    while (std::getline(names, name, '/')) {
        GsfInput* child = gsf_infile_child_by_name(GSF_INFILE(at), name.c_str());
        if (!child) {
            return "";
        }
        path.emplace_back(child);
        at = child;
    }
    std::string text(static_cast<std::size_t>(gsf_input_size(at)), '\0');
    if (!text.empty() && !gsf_input_read(at, text.size(), reinterpret_cast<guint8*>(text.data()))) {
        return "";
    }
    return text;
}

}  // namespace ledgerlift::test
