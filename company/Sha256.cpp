#include "company/Sha256.h"

#include <glib.h>

#include <cerrno>
#include <fstream>
#include <vector>

#include "base/AtomicFile.h"
#include "data/DataError.h"

namespace ledgerlift {

struct Sha256::State {
    struct Free {
        void operator()(GChecksum* checksum) const noexcept { g_checksum_free(checksum); }
    };
    std::unique_ptr<GChecksum, Free> checksum{g_checksum_new(G_CHECKSUM_SHA256)};
};

Sha256::Sha256() : state_(std::make_unique<State>()) {}
Sha256::~Sha256() = default;

void Sha256::Add(std::string_view bytes) {
    g_checksum_update(state_->checksum.get(), reinterpret_cast<const guchar*>(bytes.data()),
                      static_cast<gssize>(bytes.size()));
}

std::string Sha256::Hex() {
    return g_checksum_get_string(state_->checksum.get());
}

std::string Sha256::OfFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    Sha256 sum;
    std::vector<char> buffer(1 << 16);
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        sum.Add(std::string_view(buffer.data(), static_cast<std::size_t>(in.gcount())));
    }
    if (!in.eof()) {
        throw DataError("The file " + path + " could not be read (" + FileFailureReason(errno) +
                        ").");
    }
    return sum.Hex();
}

}  // namespace ledgerlift
