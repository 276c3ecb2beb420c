#include "policy/merge.h"

namespace devctl {

// Placeholder until the policy merge lands.
Status merge_policy_files(std::string, std::vector<std::string>, std::string) {
    return fail(make_error("merge is not available"));
}

}  // namespace devctl
