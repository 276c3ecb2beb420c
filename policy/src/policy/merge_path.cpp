#include "policy/merge_path.h"

namespace devctl {

std::string to_string(const MergeLocation& location) {
    std::string out;
    for (size_t i = 0; i < location.path.size(); ++i) {
        if (i != 0) out += '.';
        out += location.path[i];
    }
    return out;
}

}  // namespace devctl
