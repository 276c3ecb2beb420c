#include "cmd/run_command.h"

#include <new>
#include <stdexcept>

#include "cmd/locked_run.h"
#include "cmd/merge_command.h"
#include "cmd/standard_streams.h"
#include "config.h"
#include "log/log.h"
#include "policy/sync.h"
#include "text/escaped_text.h"

namespace devctl {
namespace {

constexpr const char* kOutOfMemory = "out of memory";

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};

Status run_config(ConfigArgs args) {
    return std::visit(Overloaded{[](const ConfigGetArgs& get) { return config_get(get); },
                                 [](const ConfigSetArgs& set) { return run_locked([&] { return config_set(set); }); }},
                      args.command);
}

Status sync_path(const std::string& file_path, KeepAlive& keep) {
    auto synced = sync_scene_by_path(file_path, keep);
    if (!synced) return fail(std::move(synced.error()));
    if (*synced == PathSync::NotPolicyFile) return print_stdout("not policy file:" + file_path + "\n");
    return {};
}

Status run_sync(SyncArgs args, KeepAlive& keep) {
    return run_locked([&] {
        return std::visit(Overloaded{[&](const SyncAll&) { return sync_all_scenes(keep); },
                                     [&](const PathArgs& path) { return sync_path(path.file_path, keep); }},
                          args.command);
    });
}

Status run_merge(MergeArgs args, KeepAlive& keep) {
    // Logged whatever the guard decides, so skipped merges still leave a trace.
    log_info(merge_log_line(args));
    return merge_command(std::move(args.base_on), std::move(args.to_add), std::move(args.output), keep);
}

}  // namespace

std::string merge_log_line(const MergeArgs& args) {
    std::string line = "running merge command: " + args.base_on + " + [";
    for (size_t i = 0; i < args.to_add.size(); ++i) {
        if (i > 0) line += ", ";
        line += escaped_text(args.to_add[i]);
    }
    return line + "] => " + args.output;
}

Status run_command(Cli cli, KeepAlive& keep) {
    // The one place where running out of memory is caught: everything below
    // lets it unwind. Files are replaced whole or not at all, so none is left
    // half-written, wherever it strikes.
    try {
        return std::visit(Overloaded{[](ConfigArgs& args) { return run_config(std::move(args)); },
                                     [&](MergeArgs& args) { return run_merge(std::move(args), keep); },
                                     [&](SyncArgs& args) { return run_sync(std::move(args), keep); }},
                          *cli.command);
    } catch (const std::bad_alloc&) {
        return fail(make_error(kOutOfMemory));
    } catch (const std::length_error&) {
        // A string or vector asked to outgrow what it can hold.
        return fail(make_error(kOutOfMemory));
    }
}

}  // namespace devctl
