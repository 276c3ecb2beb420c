// A scene document over 256 MiB is refused before it can take the memory it
// would need: status 1, and the rule file is left as it was.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "sync_e2e_fixture.h"

namespace devctl::test {
namespace {

// Ample for the bound, far too little for the files below.
constexpr rlim_t kAddressSpace = rlim_t{1} << 30;

TEST_F(SyncE2eTest, OversizedSceneIsRefused) {
#ifdef DEVCTL_SANITIZED_TOOL
    GTEST_SKIP() << "AddressSanitizer reserves more address space than any useful limit";
#endif
    for (const bool endless : {false, true}) {
        SCOPED_TRACE(endless ? "scene is /dev/zero" : "scene is a sparse 3 GB file");
        SetUp();
        install_plugin_manager();
        write_test_file(kRegistered, "{}");
        write_test_file(kSmPolicy, "OLD RULES\n");
        if (endless) {
            std::filesystem::create_directories(std::filesystem::path(kSmScene).parent_path());
            ASSERT_EQ(::symlink("/dev/zero", kSmScene.c_str()), 0) << std::strerror(errno);
        } else {
            write_test_file(kSmScene, "{");
            ASSERT_EQ(::truncate(kSmScene.c_str(), 3'000'000'000), 0) << std::strerror(errno);
        }
        RunOptions options;
        options.address_space_limit = kAddressSpace;
        const SyncRun run = run_sync({"sync", "path", kSmScene}, 1, options);
        EXPECT_EQ(run.result.signal, 0);
        EXPECT_EQ(run.result.status, 1);
        EXPECT_EQ(run.result.err, "file is larger than 256 MiB\n");
        EXPECT_EQ(log_of(run), (Log{{kError, "failed to run command: file is larger than 256 MiB"}}));
        EXPECT_EQ(run.calls, Calls{});
        EXPECT_EQ(read_test_file(kSmPolicy), "OLD RULES\n");
    }
}

}  // namespace
}  // namespace devctl::test
