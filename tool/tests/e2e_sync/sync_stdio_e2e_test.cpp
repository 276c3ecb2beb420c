// What the platform libraries print through stdio reaches standard output
// before the tool closes it, and a failure to write it fails the command.
#include "sync_e2e_fixture.h"

namespace devctl::test {
namespace {

const std::string kPrinted = "chatter without a line feed;";

class SyncStdioE2eTest : public SyncE2eTest {
protected:
    // `sync all` over one scene, every stand-in call printing kPrinted.
    static SyncRun sync_printing(StdoutTo stdout_to, size_t log_count) {
        install_plugin_manager();
        make_policy_dir();
        write_test_file(kSmScene, bare_policy("sm"));
        RunOptions options;
        options.env = {"DEVCTL_STANDIN_PRINT=" + kPrinted};
        options.stdout_to = stdout_to;
        return run_sync({"sync", "all"}, log_count, options);
    }
};

TEST_F(SyncStdioE2eTest, LibraryOutputIsKept) {
    const SyncRun run = sync_printing(StdoutTo::Collected, 2);
    EXPECT_EQ(run.result.status, 0) << run.result.err;
    EXPECT_EQ(run.result.err, "");
    const Calls calls = {loaded_from(kDesktopLib), merged("sm"), kUnloaded, kCompiled};
    EXPECT_EQ(run.calls, calls);
    std::string printed;
    for (size_t i = 0; i < calls.size(); ++i) printed += kPrinted;
    EXPECT_EQ(run.result.out, printed);
}

// A closed standard output included: library output counts as printed.
TEST_F(SyncStdioE2eTest, LibraryOutputThatCannotBeWrittenFailsTheCommand) {
    for (const auto& [stdout_to, cause] : {std::pair{StdoutTo::DevFull, "No space left on device (os error 28)"},
                                           std::pair{StdoutTo::Closed, "Bad file descriptor (os error 9)"}}) {
        SCOPED_TRACE(cause);
        SetUp();
        const SyncRun run = sync_printing(stdout_to, 3);
        EXPECT_EQ(run.result.status, 1);
        EXPECT_EQ(run.result.err, "failed to write to standard output: " + std::string(cause) + "\n");
        EXPECT_EQ(log_of(run), (Log{{kInfo, "os arch: x86_64 Desktop"},
                                    {kInfo, "only compile policy"},
                                    {kError, "failed to run command: failed to write to standard output\n\n"
                                             "Caused by:\n    " + std::string(cause)}}));
        EXPECT_EQ(read_test_file(kSmPolicy), rule_header("sm", 5, false, 2));
    }
}

}  // namespace
}  // namespace devctl::test
