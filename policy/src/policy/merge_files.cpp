#include "policy/merge.h"

#include <utility>

#include "fs/file_read.h"
#include "fs/file_replace.h"
#include "model/policy_json.h"

namespace devctl {

Result<Policy> load_policy(const std::string& path) {
    Result<FileBytes> bytes = read_file(path);
    if (!bytes) return fail(std::move(bytes.error()));
    auto policy = deserialize_policy(*bytes);
    if (!policy) {
        ChainedError error = with_context(make_error(to_string(policy.error())),
                                          "failed to deserialize policy");
        return fail(with_context(std::move(error), "failed to load base_on policy from " + path));
    }
    return std::move(*policy);
}

Status merge_policy_files(std::string base_on, std::vector<std::string> to_add, std::string output) {
    KeepAlive keep;
    return merge_policy_files(std::move(base_on), std::move(to_add), std::move(output), keep);
}

Status merge_policy_files(std::string base_on, std::vector<std::string> to_add, std::string output,
                          KeepAlive& keep) {
    Result<Policy> base = load_policy(base_on);
    if (!base) return fail(std::move(base.error()));
    Policy& merged = keep.hold(std::move(*base));

    std::vector<Policy>& addons = keep.hold(std::vector<Policy>());
    addons.reserve(to_add.size());
    for (const std::string& path : to_add) {
        Result<Policy> addon = load_policy(path);
        if (!addon) return fail(with_context(std::move(addon.error()), "failed to load to_add policy"));
        addons.push_back(std::move(*addon));
    }

    for (Policy& addon : addons) {
        MergePath path;
        merge_policy(merged, std::move(addon), path);
    }

    // Serialising cannot fail, so only a write error is wrapped.
    Status saved = replace_file(output, [&](FileOutput& out) {
        serialize_policy(merged, [&](std::string_view piece) { out.write(piece); });
        return Status{};
    });
    if (!saved) return fail(with_context(std::move(saved.error()), "failed to save merged policy"));
    return {};
}

}  // namespace devctl
