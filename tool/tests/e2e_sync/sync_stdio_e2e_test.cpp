// What the platform libraries print through stdio reaches standard output
// before the tool closes it, and a failure to write it fails the command.
#include "sync_e2e_fixture.h"

namespace devctl::test {
namespace {

const std::string kPrinted = "chatter without a line feed;";

class SyncStdioE2eTest : public SyncE2eTest {
protected:
    // `sync all` over one scene, every stand-in call printing `printed`.
    static SyncRun sync_printing(StdoutTo stdout_to, size_t log_count, const std::string& printed = kPrinted) {
        install_plugin_manager();
        make_policy_dir();
        write_test_file(kSmScene, bare_policy("sm"));
        RunOptions options;
        options.env = {"DEVCTL_STANDIN_PRINT=" + printed};
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
// Whole buffers go out as they are printed, so a failure to write them
// leaves nothing buffered, only stdio's error flag.
TEST_F(SyncStdioE2eTest, LibraryOutputThatCannotBeWrittenFailsTheCommand) {
    struct Case {
        StdoutTo stdout_to;
        std::string printed;
        std::string cause;
    };
    for (const Case& c : {Case{StdoutTo::DevFull, kPrinted, "No space left on device (os error 28)"},
                          Case{StdoutTo::Closed, kPrinted, "Bad file descriptor (os error 9)"},
                          Case{StdoutTo::DevFull, std::string(16384, 'x'), "Input/output error (os error 5)"}}) {
        const std::string& cause = c.cause;
        SCOPED_TRACE(cause);
        SetUp();
        const SyncRun run = sync_printing(c.stdout_to, 3, c.printed);
        EXPECT_EQ(run.result.status, 1);
        EXPECT_EQ(run.result.err, "failed to write to standard output: " + cause + "\n");
        EXPECT_EQ(log_of(run), (Log{{kInfo, "os arch: x86_64 Desktop"},
                                    {kInfo, "only compile policy"},
                                    {kError, "failed to run command: failed to write to standard output\n\n"
                                             "Caused by:\n    " + cause}}));
        EXPECT_EQ(read_test_file(kSmPolicy), rule_header("sm", 5, false, 2));
    }
}

}  // namespace
}  // namespace devctl::test
