// Running out of memory while syncing is an ordinary failure: reported like
// any other, status 1, and the rule file is left as it was.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iterator>

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
        install_plugin_manager();
        write_test_file(kRegistered, "{}");
        write_test_file(kSmPolicy, "OLD RULES\n");
        if (endless) {
            std::filesystem::create_directories(std::filesystem::path(kSmScene).parent_path());
            ASSERT_EQ(::symlink("/dev/zero", kSmScene.c_str()), 0) << std::strerror(errno);
        } else {
            write_test_file(kSmScene, scene_rendering_to_gigabytes());
        }
        RunOptions options;
        options.address_space_limit = kAddressSpace;
        const SyncRun run = run_sync({"sync", "path", kSmScene}, 1, options);
        EXPECT_EQ(run.result.signal, 0);
        EXPECT_EQ(run.result.status, 1);
        EXPECT_EQ(run.result.err, "out of memory\n");
        ASSERT_EQ(run.log.size(), 1u);
        EXPECT_EQ(run.log[0].priority, kError);
        EXPECT_EQ(run.log[0].text, "failed to run command: out of memory");
        EXPECT_EQ(run.calls, Calls{});
        EXPECT_EQ(read_test_file(kSmPolicy), "OLD RULES\n");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(kPolicyDir), std::filesystem::directory_iterator()), 1);
    }
}

}  // namespace
}  // namespace devctl::test
