// `sync path`: the exact path match, the registration gate, and the choice
// between compile and deploy.
#include "sync_e2e_fixture.h"

namespace devctl::test {
namespace {

class SyncPathE2eTest : public SyncE2eTest {
protected:
    // A registered system with a valid sm document and its policy directory.
    static void prepare_sm() {
        install_plugin_manager();
        write_test_file(kRegistered, "{}");
        make_policy_dir();
        write_test_file(kSmScene, bare_policy("sm"));
    }

    static SyncRun sync_sm(size_t log_count, std::vector<std::string> env = {}) {
        return run_sync({"sync", "path", kSmScene}, log_count, std::move(env));
    }
};

const std::string kDesktop = "os arch: x86_64 Desktop";
const std::string kEchoCalls = "DEVCTL_STANDIN_STDERR=1";

TEST_F(SyncPathE2eTest, PathsThatNameNoExistingSceneOnlyPrintANotice) {
    install_plugin_manager();
    write_test_file(kVopScene, bare_policy("vop_defender"));
    make_policy_dir();
    const std::string cases[] = {
        kSmScene,  // the sm row, but its document is missing
        "etc/orvex-scene/scene/vop_devctl.json",
        "/etc/orvex-scene/scene//vop_devctl.json",
        "/etc/orvex-scene/./scene/vop_devctl.json",
        "/etc/orvex-scene/scene/vop_devctl.json/",
        kVopPolicy,
        "",
    };
    for (const auto& path : cases) {
        for (const std::string form : {"path", "-p"}) {
            const SyncRun run = run_sync({"sync", form, path}, 0);
            EXPECT_EQ(run.result.status, 0) << path;
            EXPECT_EQ(run.result.out, "not policy file:" + path + "\n");
            EXPECT_EQ(run.result.err, "");
            EXPECT_EQ(run.calls, Calls{}) << path;
        }
    }
    EXPECT_FALSE(path_exists(kVopPolicy));
}

TEST_F(SyncPathE2eTest, PluginManagerIsCalledOnlyOnRegisteredSystems) {
    for (const bool registered : {false, true}) {
        SCOPED_TRACE(registered ? "registered" : "not registered");
        SetUp();
        prepare_sm();
        if (!registered) remove_test_path(kRegistered);
        const SyncRun run = sync_sm(registered ? 2 : 1);
        EXPECT_EQ(run.result.status, 0) << run.result.err;
        EXPECT_EQ(run.result.out, "");
        EXPECT_EQ(read_test_file(kSmPolicy), rule_header("sm", 5, false, 2));
        const Calls expected = registered ? Calls{loaded_from(kDesktopLib), merged("sm"), kUnloaded, kCompiled}
                                          : Calls{kCompiled};
        EXPECT_EQ(run.calls, expected);
    }
}

struct StatusCase {
    const char* name;
    std::optional<std::string> status;  // none: no status file
    bool deploys;
};

TEST_F(SyncPathE2eTest, ModuleStatusChoosesCompileOrDeploy) {
    const StatusCase cases[] = {
        {"one", "1", true},
        {"one and newline", "1\n", false},
        {"minus one", "-1", true},
        {"zero", "0", false},
        {"missing", std::nullopt, false},
        {"not a number", "on", false},
        {"too large", "2147483648", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        prepare_sm();
        if (c.status) write_test_file(kModuleStatus, *c.status);
        const SyncRun run = sync_sm(2);
        EXPECT_EQ(run.result.status, 0) << run.result.err;
        EXPECT_EQ(run.calls.back(), c.deploys ? kDeployed : kCompiled);
        EXPECT_EQ(run.calls.size(), 4u);
        EXPECT_EQ(log_of(run), (Log{{kInfo, kDesktop}, {kInfo, c.deploys ? "deploy policy ok" : "only compile policy"}}));
    }
}

// A failed deploy is logged at Info, a failed compile at Error.
TEST_F(SyncPathE2eTest, InterpreterFailuresAreLoggedAndReturned) {
    struct Case {
        const char* status;
        const char* env;
        Log step_log;
        std::string error;
    } cases[] = {
        {"1", "DEVCTL_STANDIN_DEPLOY_RC=3", {{kInfo, "deploy policy ret:3"}}, "failed to sync policy"},
        {"0", "DEVCTL_STANDIN_COMPILE_RC=-5", {{kError, "init policy compile policy failed ret:-5"}},
         "failed to compile policy"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.env);
        SetUp();
        prepare_sm();
        write_test_file(kModuleStatus, c.status);
        const SyncRun run = sync_sm(3, {c.env});
        EXPECT_EQ(run.result.status, 1);
        EXPECT_EQ(run.result.out, "");
        EXPECT_EQ(run.result.err, c.error + "\n");
        Log expected{{kInfo, kDesktop}};
        expected.insert(expected.end(), c.step_log.begin(), c.step_log.end());
        expected.push_back({kError, "failed to run command: " + c.error});
        EXPECT_EQ(log_of(run), expected);
    }
}

TEST_F(SyncPathE2eTest, LibraryDirectoryFollowsTheProductMarker) {
    struct Case {
        bool server;
        std::string installed_at;
        bool loads;
    } cases[] = {
        {true, kServerLib, true},
        {false, kDesktopLib, true},
        {true, kDesktopLib, false},
        {false, kServerLib, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.installed_at + (c.server ? " on a server" : " on a desktop"));
        SetUp();
        prepare_sm();
        remove_test_path(kDesktopLib);
        install_plugin_manager(c.installed_at);
        if (c.server) write_test_file(kProductInfo, "");
        const SyncRun run = sync_sm(c.loads ? 2 : 3);
        const std::string arch = std::string("os arch: x86_64") + (c.server ? " Server" : " Desktop");
        if (c.loads) {
            EXPECT_EQ(run.result.status, 0) << run.result.err;
            EXPECT_EQ(run.calls, (Calls{loaded_from(c.installed_at), merged("sm"), kUnloaded, kCompiled}));
            EXPECT_EQ(log_of(run), (Log{{kInfo, arch}, {kInfo, "only compile policy"}}));
        } else {
            const std::string error = "failed to dlopen liborvex_scene_pluginmgr.so.0";
            EXPECT_EQ(run.result.status, 1);
            EXPECT_EQ(run.result.err, error + "\n");
            EXPECT_EQ(run.calls, Calls{});
            EXPECT_EQ(log_of(run), (Log{{kInfo, arch},
                                        {kInfo, "liborvex_scene_pluginmgr.so.0 not exists"},
                                        {kError, "failed to run command: " + error}}));
        }
    }
}

// The stand-ins echo their calls on standard error, so an unload that only
// happened at process exit would come after the tool's error line.
TEST_F(SyncPathE2eTest, MissingEntryPointClosesTheLibraryAgain) {
    prepare_sm();
    install_test_file(DEVCTL_PLUGINMGR_NOSYM_PATH, kDesktopLib);
    const SyncRun run = sync_sm(3, {kEchoCalls});
    const std::string error =
        "failed to dlsym orvex2_scene_plugin_merge_policy from liborvex_scene_pluginmgr.so.0";
    EXPECT_EQ(run.result.status, 1);
    EXPECT_EQ(run.result.err, loaded_from(kDesktopLib) + "\n" + kUnloaded + "\n" + error + "\n");
    EXPECT_EQ(run.calls, (Calls{loaded_from(kDesktopLib), kUnloaded}));
    EXPECT_EQ(log_of(run), (Log{{kInfo, kDesktop},
                                {kInfo, "orvex2_scene_plugin_merge_policy symbol not exists"},
                                {kError, "failed to run command: " + error}}));
}

// The rejected merge has no log line of its own, and nothing is compiled.
TEST_F(SyncPathE2eTest, RejectedMergeClosesTheLibraryAndSkipsTheCompile) {
    prepare_sm();
    const SyncRun run = sync_sm(2, {"DEVCTL_STANDIN_MERGE_RC=1", kEchoCalls});
    EXPECT_EQ(run.result.status, 1);
    EXPECT_EQ(run.result.err, loaded_from(kDesktopLib) + "\n" + merged("sm") + "\n" + kUnloaded +
                                  "\nfailed to merge policy\n");
    EXPECT_EQ(run.calls, (Calls{loaded_from(kDesktopLib), merged("sm"), kUnloaded}));
    EXPECT_EQ(log_of(run), (Log{{kInfo, kDesktop}, {kError, "failed to run command: failed to merge policy"}}));
}

}  // namespace
}  // namespace devctl::test
