#include "import/package/GObjectPtr.h"

#include <glib-object.h>

namespace ledgerlift {

void GObjectReleaser::operator()(void* object) const {
    if (object) {
        g_object_unref(object);
    }
}

}  // namespace ledgerlift
