// Display texts and causes of every DevctlError variant.
#include <gtest/gtest.h>

#include <set>

#include "error/devctl_error.h"

namespace devctl {
namespace {

using K = DevctlErrorKind;

TEST(DevctlError, DisplayTextOfEveryVariant) {
    struct Case {
        DevctlError error;
        std::string display;
    };
    const Case cases[] = {
        {devctl_error(K::General, "boom"), "Error: boom"},
        {devctl_error(K::InvalidParam, "x"), "invalid parameter x"},
        {devctl_error(K::LoadJsonFailed, "/p", "bad"), "failed to load json from /p: bad"},
        {devctl_error(K::WriteJsonFailed, "/p", "bad"), "failed to write json to /p: bad"},
        {devctl_error(K::WritePolicyFailed, "/p", "bad"), "failed to write policy to /p: bad"},
        {devctl_error(K::ModuleNotFound, "usb"), "Module usb not found"},
        {devctl_error(K::VariableNotFound, "v"), "Variable v not found"},
        {devctl_error(K::ValueAreadyExists, "list", "7"), "value 7 already exists in list"},
        {devctl_error(K::PolicyPathNotFound, "/p"), "Policy path /p not found"},
        {devctl_error(K::ValueNotExists, "list", "7"), "value 7 not exists in list"},
        {devctl_cstr_utf8_error("invalid utf-8 sequence"), "invalid utf-8 cstr"},
        {devctl_io_error("No such file or directory (os error 2)"), "io error"},
        {devctl_error(K::PermissionDenied), "not authorized, permission denied"},
        {devctl_error(K::NotSupportQuel), "quel is disable or not support quel"},
        {devctl_error(K::ReadonlyFilesystem), "readonly filesystem"},
        {devctl_error(K::CompileInitPolicy), "failed to compile policy"},
        {devctl_error(K::SyncPolicy), "failed to sync policy"},
        {devctl_error(K::MergePolicy), "failed to merge policy"},
        {devctl_error(K::DlopenError, "liborvex_scene_pluginmgr.so.0"),
         "failed to dlopen liborvex_scene_pluginmgr.so.0"},
        {devctl_error(K::DlsymError, "orvex2_scene_plugin_merge_policy", "liborvex_scene_pluginmgr.so.0"),
         "failed to dlsym orvex2_scene_plugin_merge_policy from liborvex_scene_pluginmgr.so.0"},
        {devctl_error(K::UnknownError), "unknown error"},
    };
    std::set<K> seen;
    for (const auto& c : cases) {
        seen.insert(c.error.kind);
        EXPECT_EQ(display(c.error), c.display);
    }
    EXPECT_EQ(seen.size(), 21u);
    // Payload texts go in unchanged: no quoting, no trimming.
    EXPECT_EQ(display(devctl_error(K::ModuleNotFound, " a\"b ")), "Module  a\"b  not found");
}

TEST(DevctlError, OnlyWrappingVariantsHaveACauseWhichFollowsInTheChain) {
    EXPECT_EQ(to_chained(devctl_error(K::MergePolicy)).messages,
              (std::vector<std::string>{"failed to merge policy"}));
    EXPECT_EQ(to_chained(devctl_error(K::DlsymError, "m", "p")).messages,
              (std::vector<std::string>{"failed to dlsym m from p"}));
    const ChainedError io = to_chained(devctl_io_error("Permission denied (os error 13)"));
    EXPECT_EQ(io.messages, (std::vector<std::string>{"io error", "Permission denied (os error 13)"}));
    EXPECT_EQ(chain_form(with_context(io, "failed to sync")),
              "failed to sync: io error: Permission denied (os error 13)");
    EXPECT_EQ(to_chained(devctl_cstr_utf8_error("bad byte")).messages,
              (std::vector<std::string>{"invalid utf-8 cstr", "bad byte"}));
}

}  // namespace
}  // namespace devctl
