#include "import/package/ZipPackage.h"

#include <gsf/gsf-infile-zip.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-utils.h>
#include <strings.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "import/core/TextBound.h"
#include "import/core/WorkbookFile.h"
#include "import/package/CompoundFile.h"
#include "import/package/ZipDirectory.h"

namespace ledgerlift {
namespace {

WorkbookError TooLarge(const std::string& path, const std::string& what, std::uint64_t limit) {
    return WorkbookError("The workbook " + path + " is refused: " + what + " to more than " +
                         MegabytesText(limit) +
                         ", far beyond any real workbook. It is not loaded.");
}

// libgsf's reason for a package it cannot open, in our words.
std::string ZipFault(const std::string& reason) {
    if (reason == "Broken zip file structure") {
        return ": its directory of entries is missing or damaged";
    }
    if (reason == "Error reading zip dirent") {
        return ": an entry of its directory is damaged or cut short";
    }
    return "";
}

bool IsFolder(GsfInput* input) {
    return GSF_IS_INFILE(input) && gsf_infile_num_children(GSF_INFILE(input)) >= 0;
}

// The entry of this name in the folder, in any letter case.
GObjectPtr<GsfInput> ChildNamed(GsfInfile* folder, const std::string& name) {
    if (GsfInput* exact = gsf_infile_child_by_name(folder, name.c_str())) {
        return GObjectPtr<GsfInput>(exact);
    }
    int count = gsf_infile_num_children(folder);
    for (int k = 0; k < count; ++k) {
        const char* other = gsf_infile_name_by_index(folder, k);
        if (other && strcasecmp(other, name.c_str()) == 0) {
            return GObjectPtr<GsfInput>(gsf_infile_child_by_index(folder, k));
        }
    }
    return nullptr;
}

// The segments from `first` on, joined by backslashes.
std::string BackslashPath(const std::vector<std::string>& names, std::size_t first) {
    std::string path;
    for (std::size_t i = first; i < names.size(); ++i) {
        path += (i == first ? "" : "\\") + names[i];
    }
    return path;
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

// One part being read: counts what it inflates against the bounds. A large
// part is inflated ahead by a thread of its own, a few chunks at a time, so
// that inflating and parsing run side by side.
class ZipPackage::PartStream : public PartReader {
  public:
    static constexpr std::size_t kChunk = std::size_t{1} << 18;
    static constexpr std::size_t kChunksAhead = 4;
    static constexpr gsf_off_t kReadAheadFrom = gsf_off_t{1} << 20;

    PartStream(ZipPackage& package, std::string name, GObjectPtr<GsfInput> input)
        : PartReader(package.path_, std::move(name)),
          package_(package),
          owned_(std::move(input)),
          input_(owned_.get()) {
        if (gsf_input_remaining(input_) >= kReadAheadFrom) {
            inflater_ = std::thread([this] { InflateAhead(); });
        }
    }

    ~PartStream() override {
        if (inflater_.joinable()) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                stop_ = true;
            }
            changed_.notify_all();
            inflater_.join();
        }
    }

    std::size_t Read(char* buffer, std::size_t size) override {
        std::size_t n = inflater_.joinable() ? TakeAhead(buffer, size) : Inflate(buffer, size);
        Count(n);
        return n;
    }

  private:
    // Inflates straight into buffer.
    std::size_t Inflate(char* buffer, std::size_t size) {
        std::size_t n =
            static_cast<std::size_t>(std::min<gsf_off_t>(gsf_input_remaining(input_), size));
        if (n > 0 && !gsf_input_read(input_, n, reinterpret_cast<guint8*>(buffer))) {
            throw Unpackable();
        }
        return n;
    }

    // Hands over what the inflating thread has ready.
    std::size_t TakeAhead(char* buffer, std::size_t size) {
        if (pos_ == current_.size()) {
            std::unique_lock<std::mutex> lock(mutex_);
            if (!current_.empty()) {
                spare_.push_back(std::move(current_));
            }
            current_.clear();
            pos_ = 0;
            changed_.notify_all();
            changed_.wait(lock, [this] { return !ready_.empty() || done_; });
            if (ready_.empty()) {
                if (failure_) {
                    std::rethrow_exception(failure_);
                }
                return 0;
            }
            current_ = std::move(ready_.front());
            ready_.pop_front();
            changed_.notify_all();
        }
        std::size_t n = std::min(size, current_.size() - pos_);
        std::memcpy(buffer, current_.data() + pos_, n);
        pos_ += n;
        return n;
    }

    void InflateAhead() {
        try {
            for (;;) {
                std::string chunk;
                {
                    std::unique_lock<std::mutex> lock(mutex_);
                    changed_.wait(lock, [this] { return stop_ || ready_.size() < kChunksAhead; });
                    if (stop_) {
                        break;
                    }
                    if (!spare_.empty()) {
                        chunk = std::move(spare_.back());
                        spare_.pop_back();
                    }
                }
                chunk.resize(kChunk);
                chunk.resize(Inflate(chunk.data(), chunk.size()));
                std::lock_guard<std::mutex> lock(mutex_);
                if (chunk.empty()) {
                    break;
                }
                ready_.push_back(std::move(chunk));
                changed_.notify_all();
            }
        } catch (...) {
            std::lock_guard<std::mutex> lock(mutex_);
            failure_ = std::current_exception();
        }
        std::lock_guard<std::mutex> lock(mutex_);
        done_ = true;
        changed_.notify_all();
    }

    void Count(std::size_t n) {
        read_ += n;
        std::uint64_t total = package_.total_->fetch_add(n) + n;
        if (read_ > package_.partLimit_) {
            throw TooLarge(Workbook(), "its part " + Part() + " inflates", package_.partLimit_);
        }
        if (total > package_.totalLimit_) {
            throw TooLarge(Workbook(), "its parts inflate", package_.totalLimit_);
        }
    }

    WorkbookError Unpackable() const {
        return Damaged(Workbook(), "its part " + Part() +
                                       " could not be unpacked: the zip package is cut short or "
                                       "its data is corrupt");
    }

    ZipPackage& package_;
    GObjectPtr<GsfInput> owned_;
    GsfInput* input_;
    std::uint64_t read_ = 0;
    std::thread inflater_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::string> ready_;
    std::vector<std::string> spare_;
    std::string current_;
    std::size_t pos_ = 0;
    bool stop_ = false;
    bool done_ = false;
    std::exception_ptr failure_;
};

ZipPackage::ZipPackage(std::string path, std::uint64_t partLimit, std::uint64_t totalLimit)
    : path_(std::move(path)),
      partLimit_(partLimit),
      totalLimit_(totalLimit),
      total_(std::make_shared<std::atomic<std::uint64_t>>(0)) {
    StartGsf();
    if (auto entries = ZipEntryCount(path_); entries && *entries > kEntryLimit) {
        throw WorkbookError("The workbook " + path_ + " is refused: its zip package holds " +
                            std::to_string(*entries) + " entries, more than the " +
                            std::to_string(kEntryLimit) +
                            " that any real workbook stays under. It is not loaded.");
    }
    GError* error = nullptr;
    GObjectPtr<GsfInput> file(gsf_input_stdio_new(path_.c_str(), &error));
    if (error) {
        g_error_free(error);
        error = nullptr;
    }
    if (!file) {
        throw WorkbookError("The workbook " + path_ + " could not be read.");
    }
    zip_.reset(gsf_infile_zip_new(file.get(), &error));
    std::string reason = error && error->message ? error->message : "";
    if (error) {
        g_error_free(error);
    }
    if (!zip_) {
        throw Damaged(path_, "its zip package could not be opened" + ZipFault(reason));
    }
}

std::unique_ptr<ZipPackage> ZipPackage::Reopen() const {
    auto copy = std::make_unique<ZipPackage>(path_, partLimit_, totalLimit_);
    copy->total_ = total_;
    return copy;
}

GObjectPtr<GsfInput> ZipPackage::Find(const std::string& part) const {
    std::vector<std::string> names = Segments(part);
    if (names.empty()) {
        return nullptr;
    }
    g_object_ref(zip_.get());
    GObjectPtr<GsfInput> folder(GSF_INPUT(zip_.get()));
    for (std::size_t i = 0; i < names.size(); ++i) {
        GObjectPtr<GsfInput> child = ChildNamed(GSF_INFILE(folder.get()), names[i]);
        if (!child && i + 1 < names.size()) {
            // Some programs write a part's path with backslashes, which
            // makes it one name ("xl\workbook.xml") where the folders are.
            child = ChildNamed(GSF_INFILE(folder.get()), BackslashPath(names, i));
            return child && !IsFolder(child.get()) ? std::move(child) : nullptr;
        }
        if (!child) {
            return nullptr;
        }
        bool isFolder = IsFolder(child.get());
        if (i + 1 == names.size()) {
            return isFolder ? nullptr : std::move(child);
        }
        if (!isFolder) {
            return nullptr;
        }
        folder = std::move(child);
    }
    return nullptr;
}

bool ZipPackage::Has(const std::string& part) const {
    return Find(part) != nullptr;
}

bool ZipPackage::Listed(const std::string& part) const {
    std::vector<std::string> names = Segments(part);
    if (names.empty()) {
        return false;
    }
    g_object_ref(zip_.get());
    GObjectPtr<GsfInput> folder(GSF_INPUT(zip_.get()));
    for (std::size_t i = 0; i + 1 < names.size(); ++i) {
        GObjectPtr<GsfInput> child = ChildNamed(GSF_INFILE(folder.get()), names[i]);
        if (!child || !IsFolder(child.get())) {
            return false;
        }
        folder = std::move(child);
    }
    GsfInfile* last = GSF_INFILE(folder.get());
    for (int k = 0, count = gsf_infile_num_children(last); k < count; ++k) {
        const char* name = gsf_infile_name_by_index(last, k);
        if (name && strcasecmp(name, names.back().c_str()) == 0) {
            return true;
        }
    }
    return false;
}

// Why a part the package was asked for can't be had: its entry is listed
// but can't be read, the file holds it but the directory does not list it,
// or it is not there at all.
std::string ZipPackage::MissingPart(const std::string& part) const {
    if (Listed(part)) {
        return "its part " + part + " could not be read: its entry in the zip package is damaged";
    }
    if (HoldsLocalEntry(path_, part)) {
        return "its part " + part + " is in the file, but its zip directory, which is damaged, " +
               "does not list it";
    }
    return "its part " + part + " is missing";
}

std::unique_ptr<PartReader> ZipPackage::Open(const std::string& part) {
    GObjectPtr<GsfInput> input = Find(part);
    if (!input) {
        throw Damaged(path_, MissingPart(part));
    }
    auto size = static_cast<std::uint64_t>(std::max<gsf_off_t>(gsf_input_size(input.get()), 0));
    if (size > partLimit_) {
        throw TooLarge(path_, "its part " + part + " inflates", partLimit_);
    }
    return std::make_unique<PartStream>(*this, part, std::move(input));
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
