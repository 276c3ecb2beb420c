// The warning of a module without a valid usb_group_perm, as the log daemon
// receives it: once per defender section, and only then.
#include <gtest/gtest.h>

#include "render_builders.h"
#include "sandbox.h"

namespace devctl::render_test {
namespace {

constexpr int kWarning = 4;

std::vector<std::string> warnings_while_rendering(const Policy& p, size_t expected) {
    test::reset_sandbox();
    test::LogSink sink;
    policy_rule_text(p);
    std::vector<std::string> texts;
    // Waits for one more than expected so that an extra message is seen.
    for (const std::string& raw : sink.messages(expected + 1, std::chrono::milliseconds(300))) {
        const auto line = test::parse_log_line(raw);
        EXPECT_TRUE(line) << raw;
        if (!line) continue;
        EXPECT_EQ(line->priority % 8, kWarning) << raw;
        texts.push_back(line->text);
    }
    return texts;
}

TEST(DefenderWarning, LoggedOncePerSectionWithoutValidPermission) {
    const Policy p = nested_policy("vop_defender", "outer", module("t", {string_var("usb_group_perm", "Enable")}),
                                   "inner", module("t"));
    EXPECT_EQ(warnings_while_rendering(p, 2),
              (std::vector<std::string>(2, "devctl usb group perm not found or invalid")));
}

TEST(DefenderWarning, NotLoggedForValidPermissionsOrOtherScenes) {
    const Policy valid = nested_policy(
        "vop_defender", "outer", module("t", {string_var("usb_group_perm", "enable")}), "inner",
        module("t", {string_var("usb_group_perm", "disable")}));
    EXPECT_EQ(warnings_while_rendering(valid, 0), std::vector<std::string>{});
    const Policy other = nested_policy("sm", "outer", module("t"), "inner", module("t"));
    EXPECT_EQ(warnings_while_rendering(other, 0), std::vector<std::string>{});
}

}  // namespace
}  // namespace devctl::render_test
