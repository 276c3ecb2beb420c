#include "policy/thirdlib/interpreter.h"

#include <string>

#include "error/devctl_error.h"
#include "log/log.h"
#include "policy/thirdlib/module_status.h"
#include "policy/thirdlib/quel_interpreter.h"

namespace devctl {

Status compile_or_deploy_policy() {
    if (read_module_status() != 0) {
        int rc = deployPolicy();
        if (rc == 0) {
            log_info("deploy policy ok");
            return {};
        }
        // A failed deploy is reported at Info on purpose; only the compile
        // failure is an error line.
        log_info("deploy policy ret:" + std::to_string(rc));
        return fail(to_chained(devctl_error(DevctlErrorKind::SyncPolicy)));
    }
    int rc = compileInitPolicy();
    if (rc == 0) {
        log_info("only compile policy");
        return {};
    }
    log_message(LogLevel::Error, "init policy compile policy failed ret:" + std::to_string(rc));
    return fail(to_chained(devctl_error(DevctlErrorKind::CompileInitPolicy)));
}

}  // namespace devctl
