// A scene document over 256 MiB is refused before it can take the memory it
// would need: status 1, and the rule file is left as it was.
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
        if (endless) {
            link_sm_scene("/dev/zero");
        } else {
            write_test_file(kSmScene, "{");
            ASSERT_EQ(::truncate(kSmScene.c_str(), 3'000'000'000), 0) << std::strerror(errno);
        }
        expect_sm_sync_fails(kAddressSpace, "file is larger than 256 MiB");
    }
}

}  // namespace
}  // namespace devctl::test
