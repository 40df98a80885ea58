#include "reports/JsonOutput.h"

namespace ledgerlift {
namespace {

// Replacing an invalid byte keeps the rest of the text and says where the
// byte was; the other choices would throw (losing the whole output) or drop
// the byte without a trace.
constexpr auto kInvalidUtf8 = OrderedJson::error_handler_t::replace;

}  // namespace

std::string CompactJson(const OrderedJson& value) {
    return value.dump(-1, ' ', false, kInvalidUtf8);
}

}  // namespace ledgerlift
