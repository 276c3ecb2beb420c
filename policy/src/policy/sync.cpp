#include "policy/sync.h"

#include <algorithm>
#include <vector>

#include "fs/file_read.h"
#include "fs/file_replace.h"
#include "model/policy_json.h"
#include "policy/policy_writer.h"
#include "policy/thirdlib/interpreter.h"
#include "policy/thirdlib/plugin_manager.h"

namespace devctl {

namespace {

bool exists(std::string_view path) { return file_exists(std::string(path)); }

// The scene's document, parsed. Its bytes are released on return, before
// the rendering needs memory: nothing parsed refers to them.
Result<Policy> read_scene_document(const Scene& scene) {
    auto bytes = read_file(std::string(scene.scene_path));
    if (!bytes) return fail(std::move(bytes.error()));
    auto policy = deserialize_policy(*bytes);
    // Only the reader's text travels on: callers see messages, never an error kind.
    if (!policy) return fail(make_error(to_string(policy.error())));
    return std::move(*policy);
}

// Reads the scene's document, renders it and replaces its rule file; the
// policy and its text are left to keep.
Status generate_policy_file(const Scene& scene, KeepAlive& keep) {
    auto read = read_scene_document(scene);
    if (!read) return fail(std::move(read.error()));
    const Policy& policy = keep.hold(std::move(*read));

    // The text is named after the document's own scene, not the table row.
    PolicyWriter& writer = keep.hold(make_policy_writer(policy.scene));
    write_policy(policy, writer);
    // Replaced atomically so the interpreter never sees a half-written file.
    return replace_file(std::string(scene.policy_path), [&](FileOutput& out) {
        stream_policy_text(writer, [&](std::string_view piece) { out.write(piece); });
        return Status{};
    });
}

// The plug-in manager is told only on registered systems.
Status merge_if_registered(const Scene& scene) {
    if (!exists(kRegisteredMarkerPath)) return {};
    return merge_via_plugin_manager(scene.name);
}

}  // namespace

Status sync_all_scenes(KeepAlive& keep) {
    std::vector<std::string_view> regenerated;
    for (const Scene& scene : SCENES) {
        if (!exists(scene.scene_path)) continue;
        // Only the last scene's results are left alive: all of them together
        // would add up.
        keep.clear();
        if (auto generated = generate_policy_file(scene, keep); !generated) return generated;
        if (std::ranges::find(regenerated, scene.name) == regenerated.end())
            regenerated.push_back(scene.name);
    }
    if (regenerated.empty()) return {};

    // Unlike the single-path road, no registration gate here.
    for (std::string_view name : regenerated) {
        if (auto merged = merge_via_plugin_manager(name); !merged) return merged;
    }
    return compile_or_deploy_policy();
}

Result<PathSync> sync_scene_by_path(const std::string& file_path, KeepAlive& keep) {
    // Exact byte comparison: the path is not normalised in any way.
    auto scene = std::ranges::find(SCENES, std::string_view(file_path), &Scene::scene_path);
    if (scene == SCENES.end() || !exists(scene->scene_path)) return PathSync::NotPolicyFile;
    if (auto generated = generate_policy_file(*scene, keep); !generated) return fail(std::move(generated.error()));
    if (auto merged = merge_if_registered(*scene); !merged) return fail(std::move(merged.error()));
    if (auto loaded = compile_or_deploy_policy(); !loaded) return fail(std::move(loaded.error()));
    return PathSync::Synced;
}

}  // namespace devctl
