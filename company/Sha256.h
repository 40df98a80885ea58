#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace ledgerlift {

// The SHA-256 checksum of bytes given piece by piece, as 64 lower-case hex
// digits: what a backup's note records of the backup file, so that a file
// changed or swapped since it was made is told from the one made.
class Sha256 {
  public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void Add(std::string_view bytes);
    // The checksum of everything added; nothing can be added after.
    std::string Hex();

    // The checksum of a whole file. Throws DataError naming the file when it
    // can't be read.
    static std::string OfFile(const std::string& path);

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace ledgerlift
