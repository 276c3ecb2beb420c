// Any byte sequence either reads as a policy or fails with a reader error
// positioned inside the text; what reads is written and must read back to
// the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "model/policy_json.h"

namespace {

void check_position(std::string_view text, const devctl::JsonError& error) {
    size_t lines = 1;
    for (char c : text) lines += c == '\n';
    if (error.line < 1 || error.line > lines || error.column > text.size() || error.message.empty())
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    auto policy = devctl::deserialize_policy(text);
    if (!policy) {
        check_position(text, policy.error());
        return 0;
    }
    std::string written = devctl::serialize_policy(*policy);
    auto again = devctl::deserialize_policy(written);
    if (!again || devctl::serialize_policy(*again) != written) std::abort();
    return 0;
}
