#include "import/ZipPackage.h"

#include <gsf/gsf-infile-zip.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-utils.h>
#include <strings.h>

#include <algorithm>
#include <vector>

#include "import/WorkbookFile.h"

namespace ledgerlift {
namespace {

std::string Megabytes(std::uint64_t bytes) {
    return std::to_string(bytes >> 20) + " MB";
}

WorkbookError TooLarge(const std::string& path, const std::string& what, std::uint64_t limit) {
    return WorkbookError("The workbook " + path + " is refused: " + what + " to more than " +
                         Megabytes(limit) + ", far beyond any real workbook. It is not loaded.");
}

std::vector<std::string> Segments(const std::string& part) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= part.size()) {
        std::size_t slash = part.find('/', start);
        if (slash == std::string::npos) {
            slash = part.size();
        }
        if (slash > start) {
            out.push_back(part.substr(start, slash - start));
        }
        start = slash + 1;
    }
    return out;
}

}  // namespace

// One part being read: counts what it inflates against the bounds.
class ZipPackage::PartStream : public PartReader {
  public:
    PartStream(ZipPackage& package, std::string name, GsfInput* input)
        : PartReader(package.path_, std::move(name)), package_(package), input_(input) {}
    ~PartStream() override { g_object_unref(input_); }

    std::size_t Read(char* buffer, std::size_t size) override {
        std::size_t n =
            static_cast<std::size_t>(std::min<gsf_off_t>(gsf_input_remaining(input_), size));
        if (n == 0) {
            return 0;
        }
        read_ += n;
        package_.total_ += n;
        if (read_ > package_.partLimit_) {
            throw TooLarge(Workbook(), "its part " + Part() + " inflates", package_.partLimit_);
        }
        if (package_.total_ > package_.totalLimit_) {
            throw TooLarge(Workbook(), "its parts inflate", package_.totalLimit_);
        }
        if (!gsf_input_read(input_, n, reinterpret_cast<guint8*>(buffer))) {
            throw Damaged(Workbook(), "its part " + Part() +
                                          " could not be unpacked: the zip package is cut short "
                                          "or its data is corrupt");
        }
        return n;
    }

  private:
    ZipPackage& package_;
    GsfInput* input_;
    std::uint64_t read_ = 0;
};

ZipPackage::ZipPackage(std::string path, std::uint64_t partLimit, std::uint64_t totalLimit)
    : path_(std::move(path)), partLimit_(partLimit), totalLimit_(totalLimit) {
    static const bool initialised = [] {
        gsf_init();
        return true;
    }();
    (void)initialised;
    GError* error = nullptr;
    GsfInput* file = gsf_input_stdio_new(path_.c_str(), &error);
    if (error) {
        g_error_free(error);
        error = nullptr;
    }
    if (!file) {
        throw WorkbookError("The workbook " + path_ + " could not be read.");
    }
    zip_ = gsf_infile_zip_new(file, &error);
    g_object_unref(file);
    std::string reason = error && error->message ? error->message : "";
    if (error) {
        g_error_free(error);
    }
    if (!zip_) {
        throw Damaged(path_, "its zip package could not be opened" +
                                 (reason.empty() ? std::string() : " (" + reason + ")"));
    }
}

ZipPackage::~ZipPackage() {
    if (zip_) {
        g_object_unref(zip_);
    }
}

void* ZipPackage::Find(const std::string& part) const {
    std::vector<std::string> names = Segments(part);
    if (names.empty()) {
        return nullptr;
    }
    GsfInfile* folder = zip_;
    g_object_ref(folder);
    for (std::size_t i = 0; i < names.size(); ++i) {
        GsfInput* child = gsf_infile_child_by_name(folder, names[i].c_str());
        for (int k = 0; !child && k < gsf_infile_num_children(folder); ++k) {
            const char* name = gsf_infile_name_by_index(folder, k);
            if (name && strcasecmp(name, names[i].c_str()) == 0) {
                child = gsf_infile_child_by_index(folder, k);
            }
        }
        g_object_unref(folder);
        if (!child) {
            return nullptr;
        }
        bool isFolder = GSF_IS_INFILE(child) && gsf_infile_num_children(GSF_INFILE(child)) >= 0;
        if (i + 1 == names.size()) {
            if (isFolder) {
                g_object_unref(child);
                return nullptr;
            }
            return child;
        }
        if (!isFolder) {
            g_object_unref(child);
            return nullptr;
        }
        folder = GSF_INFILE(child);
    }
    return nullptr;
}

bool ZipPackage::Has(const std::string& part) const {
    void* input = Find(part);
    if (input) {
        g_object_unref(input);
    }
    return input != nullptr;
}

std::unique_ptr<PartReader> ZipPackage::Open(const std::string& part) {
    auto* input = static_cast<GsfInput*>(Find(part));
    if (!input) {
        throw Damaged(path_, "its part " + part + " is missing");
    }
    auto size = static_cast<std::uint64_t>(std::max<gsf_off_t>(gsf_input_size(input), 0));
    if (size > partLimit_) {
        g_object_unref(input);
        throw TooLarge(path_, "its part " + part + " inflates", partLimit_);
    }
    return std::make_unique<PartStream>(*this, part, input);
}

std::string ZipPackage::ReadSmall(const std::string& part, std::size_t limit) {
    std::unique_ptr<PartReader> reader = Open(part);
    std::string bytes(limit + 1, '\0');
    std::size_t have = 0;
    while (have < bytes.size()) {
        std::size_t n = reader->Read(bytes.data() + have, bytes.size() - have);
        if (n == 0) {
            break;
        }
        have += n;
    }
    if (have > limit) {
        throw Damaged(path_, "its part " + part + " is larger than such a part can be");
    }
    bytes.resize(have);
    return bytes;
}

}  // namespace ledgerlift
