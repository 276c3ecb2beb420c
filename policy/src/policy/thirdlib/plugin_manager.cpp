#include "policy/thirdlib/plugin_manager.h"

#include <dlfcn.h>

#include "error/devctl_error.h"
#include "fs/file_io.h"
#include "log/log.h"
#include "policy/thirdlib/arch.h"

namespace devctl {

namespace {

using MergePolicyFn = int (*)(const char*);

// Full path of a platform library: /usr/lib64/ on server products (marked by
// /etc/.productinfo), the multiarch directory otherwise. Logs which one.
std::string plugin_manager_path(std::string_view name) {
    std::string arch_line = std::string("os arch: ") + kTargetArch;
    if (file_exists(kProductInfoPath)) {
        log_info(arch_line + " Server");
        return "/usr/lib64/" + std::string(name);
    }
    log_info(arch_line + " Desktop");
    return std::string("/usr/lib/") + kTargetArch + "-linux-gnu/" + std::string(name);
}

}  // namespace

Status merge_via_plugin_manager(std::string_view scene_name) {
    const std::string path = plugin_manager_path(kPluginManagerLibrary);
    void* handle = dlopen(path.c_str(), RTLD_LAZY);
    if (handle == nullptr) {
        log_info(std::string(kPluginManagerLibrary) + " not exists");
        return fail(to_chained(devctl_error(DevctlErrorKind::DlopenError, kPluginManagerLibrary)));
    }
    auto merge = reinterpret_cast<MergePolicyFn>(dlsym(handle, kPluginManagerMergeSymbol));
    if (merge == nullptr) {
        log_info(std::string(kPluginManagerMergeSymbol) + " symbol not exists");
        dlclose(handle);
        return fail(to_chained(
            devctl_error(DevctlErrorKind::DlsymError, kPluginManagerMergeSymbol, kPluginManagerLibrary)));
    }
    const std::string scene(scene_name);
    const int rc = merge(scene.c_str());
    dlclose(handle);
    if (rc != 0) return fail(to_chained(devctl_error(DevctlErrorKind::MergePolicy)));
    return {};
}

}  // namespace devctl
