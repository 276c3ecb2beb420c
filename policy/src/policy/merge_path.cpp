#include "policy/merge_path.h"

#include "policy/render_text.h"

namespace devctl {

std::string to_string(const MergeLocation& location) { return join_texts(location.path, "."); }

}  // namespace devctl
