#pragma once
// Has the policy interpreter compile the rule files, or deploy them when the
// kernel security module is active.
#include "error/chained_error.h"

namespace devctl {

// Exactly one interpreter call; CompileInitPolicy or SyncPolicy on failure.
Status compile_or_deploy_policy();

}  // namespace devctl
