#pragma once

#include <memory>

namespace ledgerlift {

// Lets go of a libgsf object (a file, a folder or a stream): the reference
// that its owner holds.
struct GObjectReleaser {
    void operator()(void* object) const;
};
// An owned reference to a libgsf object, let go of when it goes.
template <class T>
using GObjectPtr = std::unique_ptr<T, GObjectReleaser>;

}  // namespace ledgerlift
