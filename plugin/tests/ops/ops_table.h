#pragma once
// The 22 operations as the tests see them: what they read and which back-end
// function they reach.
#include <glib.h>

#include <ostream>
#include <string>
#include <vector>

namespace ops_test {

enum class Kind { Scalar, EntryList, ListQuery };

// The scene-information keys an operation reads.
enum class Scene {
    None,             // neither argument is looked at
    SceneOnly,        // "scene"
    SceneSync,        // "scene", "sync"
    SceneSyncSwitch,  // "scene", "sync", "scene_switch"
    NotSmSync,        // "scene" other than "sm", "sync"
};

struct OperationCase {
    std::string name;     // after orvex_scene_plugin_devctl_
    std::string backend;  // as the stand-in records it
    Kind kind;
    Scene scene;
    // Valid params whose values derive from seed (floating); null for an
    // operation without params.
    GVariant* (*params)(int seed) = nullptr;
};

// gtest prints a case by its name rather than by its bytes.
inline void PrintTo(const OperationCase& op, std::ostream* os) { *os << op.name; }

const std::vector<OperationCase>& operations();
const OperationCase& operation_case(const std::string& name);

inline bool reads_params(const OperationCase& op) { return op.params != nullptr; }
// op.params(seed), or null for an operation without params.
GVariant* params_for(const OperationCase& op, int seed);
inline bool reads_scene(const OperationCase& op) { return op.scene != Scene::None; }
inline bool reads_sync(const OperationCase& op)
{
    return op.scene == Scene::SceneSync || op.scene == Scene::SceneSyncSwitch || op.scene == Scene::NotSmSync;
}

// Entries of each kind with every key, values derived from seed (floating).
GVariant* type_entry(int seed);
GVariant* pvid_entry(int seed);
GVariant* netcard_entry(int seed);

}  // namespace ops_test
