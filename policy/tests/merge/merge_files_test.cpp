// Reading, merging and saving files: error chains and what is left on disk.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "model/policy_json.h"
#include "policy/merge.h"

namespace devctl {
namespace {

namespace fs = std::filesystem;

std::string policy_text(const std::string& scene, const std::string& uids) {
    return R"({"scene": ")" + scene +
           R"(", "enabled": true, "addon": "", "priority": 1, "audit": false, "interactive": "notice",
 "third_party": false, "version": 1, "modules": {"m": {"type": "t", "enabled": true, "interactive": "disabled",
 "modules": {}, "rules": [], "variables": [{"name": "u", "value": {"type": "uid", "value": [)" +
           uids + R"(]}}], "addon": ""}}})";
}

class MergeFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/merge_files_test.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string put(const std::string& name, const std::string& content) {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    static std::string slurp(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    static std::string json_message(const std::string& text) { return to_string(deserialize_policy(text).error()); }

    fs::path dir_;
};

TEST_F(MergeFilesTest, FailureChains) {
    const std::string good = put("good.json", policy_text("s", "1"));
    const std::string bad_text = R"({"scene": 1})";
    const std::string bad = put("bad.json", bad_text);
    const std::string missing = path("missing.json");
    const std::string enoent = system_error_text(ENOENT);
    const std::string out = path("out.json");

    struct Case {
        const char* what;
        std::string base;
        std::vector<std::string> to_add;
        std::string output;
        std::vector<std::string> chain;
    };
    const Case cases[] = {
        {"base unreadable: the system error alone", missing, {good}, out, {enoent}},
        {"base invalid", bad, {good}, out,
         {"failed to load base_on policy from " + bad, "failed to deserialize policy", json_message(bad_text)}},
        {"base loaded before any add-on", bad, {missing}, out,
         {"failed to load base_on policy from " + bad, "failed to deserialize policy", json_message(bad_text)}},
        {"add-on unreadable", good, {missing}, out, {"failed to load to_add policy", enoent}},
        {"add-on invalid, named with the base wording", good, {bad}, out,
         {"failed to load to_add policy", "failed to load base_on policy from " + bad, "failed to deserialize policy",
          json_message(bad_text)}},
        {"first failing add-on stops the loading", good, {good, bad, missing}, out,
         {"failed to load to_add policy", "failed to load base_on policy from " + bad, "failed to deserialize policy",
          json_message(bad_text)}},
        {"output directory missing", good, {good}, path("no/such/dir.json"),
         {"failed to save merged policy", enoent}},
    };
    for (const auto& c : cases) {
        const Status status = merge_policy_files(c.base, c.to_add, c.output);
        ASSERT_FALSE(status) << c.what;
        EXPECT_EQ(status.error().messages, c.chain) << c.what;
        EXPECT_FALSE(fs::exists(out)) << c.what;
    }
}

TEST_F(MergeFilesTest, BaseMayBeTheOutput) {
    const std::string base = put("scene.json", policy_text("base", "5, 1, 5"));
    const std::string first = put("a1.json", policy_text("first", "3"));
    const std::string second = put("a2.json", policy_text("second", "7"));
    ASSERT_TRUE(merge_policy_files(base, {first, second}, base));

    const std::string written = slurp(base);
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written.back(), '}');
    auto policy = deserialize_policy(written);
    ASSERT_TRUE(policy) << to_string(policy.error());
    EXPECT_EQ(policy->scene, "second");
    EXPECT_EQ(std::get<0>(policy->modules.at(0).module.variables.at(0).value.value),
              (std::vector<int32_t>{1, 3, 5, 7}));
}

// A write that fails part-way (here: the file size limit) must not damage
// the file being replaced, even when it is also the base.
TEST_F(MergeFilesTest, FailedWriteLeavesTheOldFile) {
    const std::string old_text = policy_text("base", "1");
    const std::string base = put("scene.json", old_text);
    std::string many;
    for (int i = 0; i < 2000; ++i) many += (i ? ", " : "") + std::to_string(i);
    const std::string addon = put("addon.json", policy_text("addon", many));

    struct rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = saved;
    limited.rlim_cur = old_text.size() + 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const Status status = merge_policy_files(base, {addon}, base);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, old_handler);

    ASSERT_FALSE(status);
    EXPECT_EQ(status.error().messages,
              (std::vector<std::string>{"failed to save merged policy", system_error_text(EFBIG)}));
    EXPECT_EQ(slurp(base), old_text);
    // No temporary file is left behind next to it.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

}  // namespace
}  // namespace devctl
