// Running out of memory while syncing is an ordinary failure: reported like
// any other, status 1, and the rule file is left as it was.
#include "sync_e2e_fixture.h"

namespace devctl::test {
namespace {

// Room to start the tool, far from enough for what these scenes need.
constexpr rlim_t kAddressSpace = 256 << 20;

// 1.4 MB of JSON whose rule text repeats the 1 MiB scene name in each of
// 3000 module sections: gigabytes.
std::string scene_rendering_to_gigabytes() {
    std::string modules;
    for (int i = 0; i < 3000; ++i) {
        modules += (i == 0 ? "\"m" : ",\"m") + std::to_string(i) +
                   R"(":{"type":"t","enabled":true,"interactive":"notice","modules":{},"rules":[],"addon":"","variables":[]})";
    }
    return R"({"scene":")" + std::string(1 << 20, 's') +
           R"(","enabled":true,"addon":"","priority":1,"audit":false,"interactive":"notice","third_party":false,)"
           R"("version":1,"modules":{)" + modules + "}}";
}

TEST_F(SyncE2eTest, OutOfMemoryFailsAndKeepsTheRuleFile) {
#ifdef DEVCTL_SANITIZED_TOOL
    GTEST_SKIP() << "AddressSanitizer reserves more address space than any useful limit";
#endif
    for (const bool endless : {false, true}) {
        SCOPED_TRACE(endless ? "scene is /dev/zero" : "scene renders to gigabytes");
        SetUp();
        if (endless) {
            link_sm_scene("/dev/zero");
        } else {
            write_test_file(kSmScene, scene_rendering_to_gigabytes());
        }
        expect_sm_sync_fails(kAddressSpace, "out of memory");
    }
}

}  // namespace
}  // namespace devctl::test
