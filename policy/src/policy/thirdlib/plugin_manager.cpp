#include "policy/thirdlib/plugin_manager.h"

#include <dlfcn.h>

#include <memory>

#include "error/devctl_error.h"
#include "fs/file_read.h"
#include "log/log.h"
#include "policy/thirdlib/arch.h"

namespace devctl {

namespace {

using MergePolicyFn = int (*)(const char*);

// Closes the library on every way out of the call.
using LibraryHandle = std::unique_ptr<void, int (*)(void*)>;

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
    const LibraryHandle handle(dlopen(path.c_str(), RTLD_LAZY), &dlclose);
    if (handle == nullptr) {
        log_info(std::string(kPluginManagerLibrary) + " not exists");
        return fail(to_chained(devctl_error(DevctlErrorKind::DlopenError, kPluginManagerLibrary)));
    }
    auto merge = reinterpret_cast<MergePolicyFn>(dlsym(handle.get(), kPluginManagerMergeSymbol));
    if (merge == nullptr) {
        log_info(std::string(kPluginManagerMergeSymbol) + " symbol not exists");
        return fail(to_chained(
            devctl_error(DevctlErrorKind::DlsymError, kPluginManagerMergeSymbol, kPluginManagerLibrary)));
    }
    const std::string scene(scene_name);
    if (merge(scene.c_str()) != 0) return fail(to_chained(devctl_error(DevctlErrorKind::MergePolicy)));
    return {};
}

}  // namespace devctl
