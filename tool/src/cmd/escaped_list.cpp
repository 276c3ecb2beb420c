#include "cmd/escaped_list.h"

#include "text/escaped_text.h"

namespace devctl {

std::string escaped_list(const std::vector<std::string>& items) {
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0) out += ", ";
        out += escaped_text(items[i]);
    }
    return out + "]";
}

}  // namespace devctl
