// Two `config set` runs at once, each changing its own flag: neither change
// may be lost to the other's rewrite of the file.
#include <future>

#include "tool_e2e_fixture.h"

namespace devctl::test {
namespace {

using ConfigConcurrencyE2eTest = ToolE2eTest;

TEST_F(ConfigConcurrencyE2eTest, SetsOfDifferentFlagsAtOnceKeepBoth) {
    const std::string both_false = R"({"version": 1, "initialized": false, "box_enabled": false})";
    const std::string both_true =
        "{\n  \"version\": 1,\n  \"initialized\": true,\n  \"sync_orvex_utils\": null,\n  \"box_enabled\": true\n}";
    for (int round = 0; round < 20; ++round) {
        write_test_file(kConfig, both_false);
        auto initialized = std::async(std::launch::async, [] {
            return run_tool({"config", "set", "--initialized", "true"});
        });
        auto box = std::async(std::launch::async, [] { return run_tool({"config", "set", "--box-enabled", "true"}); });
        for (const ToolResult& result : {initialized.get(), box.get()}) {
            EXPECT_EQ(result.status, 0) << "round " << round;
            EXPECT_EQ(result.err, "") << "round " << round;
        }
        ASSERT_EQ(read_test_file(kConfig), both_true) << "round " << round;
    }
}

}  // namespace
}  // namespace devctl::test
