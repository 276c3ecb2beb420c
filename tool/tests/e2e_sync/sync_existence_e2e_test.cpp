// Whether a file "exists" is decided by stat, which follows symbolic links:
// a dangling link counts as absent, a link to a file as present. A check
// with lstat, or one that opens the file, would tell these apart differently.
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "sync_e2e_fixture.h"

namespace devctl::test {
namespace {

const std::string kElsewhere = "/etc/orvex-scene/elsewhere";

void link_to(const std::string& target, const std::string& link) {
    std::filesystem::create_directories(std::filesystem::path(link).parent_path());
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0) << link;
}

// A link to a file that holds `bytes`.
void link_to_file(const std::string& link, const std::string& bytes) {
    const std::string target = kElsewhere + link;
    write_test_file(target, bytes);
    link_to(target, link);
}

void dangling(const std::string& link) { link_to(kElsewhere + "/missing", link); }

struct ExistenceCase {
    const char* name;
    std::function<void()> arrange;  // after the common set-up below
    std::vector<std::string> args;
    std::string out;
    Calls calls;
    Log log;
};

class SyncExistenceE2eTest : public SyncE2eTest {};

TEST_F(SyncExistenceE2eTest, SymbolicLinksAreFollowed) {
    const std::string desktop = "os arch: x86_64 Desktop";
    const std::vector<ExistenceCase> cases = {
        {"dangling scene document is skipped, linked one synced",
         [] {
             dangling(kVopScene);
             link_to_file(kSmScene, bare_policy("sm"));
         },
         {"sync", "all"},
         "",
         {loaded_from(kDesktopLib), merged("sm"), kUnloaded, kCompiled},
         {{kInfo, desktop}, {kInfo, "only compile policy"}}},
        {"dangling scene document named by path",
         [] { dangling(kSmScene); },
         {"sync", "path", kSmScene},
         "not policy file:" + kSmScene + "\n",
         {},
         {}},
        {"dangling registration marker",
         [] {
             write_test_file(kSmScene, bare_policy("sm"));
             dangling(kRegistered);
         },
         {"sync", "path", kSmScene},
         "",
         {kCompiled},
         {{kInfo, "only compile policy"}}},
        {"linked registration marker",
         [] {
             write_test_file(kSmScene, bare_policy("sm"));
             link_to_file(kRegistered, "{}");
         },
         {"sync", "path", kSmScene},
         "",
         {loaded_from(kDesktopLib), merged("sm"), kUnloaded, kCompiled},
         {{kInfo, desktop}, {kInfo, "only compile policy"}}},
        {"dangling product marker means desktop",
         [] {
             write_test_file(kSmScene, bare_policy("sm"));
             dangling(kProductInfo);
         },
         {"sync", "all"},
         "",
         {loaded_from(kDesktopLib), merged("sm"), kUnloaded, kCompiled},
         {{kInfo, desktop}, {kInfo, "only compile policy"}}},
        {"linked product marker means server",
         [] {
             write_test_file(kSmScene, bare_policy("sm"));
             link_to_file(kProductInfo, "");
             install_plugin_manager(kServerLib);
         },
         {"sync", "all"},
         "",
         {loaded_from(kServerLib), merged("sm"), kUnloaded, kCompiled},
         {{kInfo, "os arch: x86_64 Server"}, {kInfo, "only compile policy"}}},
        {"linked module status",
         [] {
             write_test_file(kSmScene, bare_policy("sm"));
             link_to_file(kModuleStatus, "1");
         },
         {"sync", "all"},
         "",
         {loaded_from(kDesktopLib), merged("sm"), kUnloaded, kDeployed},
         {{kInfo, desktop}, {kInfo, "deploy policy ok"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        install_plugin_manager();
        make_policy_dir();
        c.arrange();
        const SyncRun run = run_sync(c.args, c.log.size());
        EXPECT_EQ(run.result.status, 0) << run.result.err;
        EXPECT_EQ(run.result.out, c.out);
        EXPECT_EQ(run.calls, c.calls);
        EXPECT_EQ(log_of(run), c.log);
    }
}

}  // namespace
}  // namespace devctl::test
