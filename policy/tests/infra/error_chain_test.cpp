// Chain form, report form and system error texts of ChainedError, and the
// Result/Status that carry it.
#include <gtest/gtest.h>

#include <cerrno>

#include "error/chained_error.h"

namespace devctl {
namespace {

ChainedError chain(std::vector<std::string> messages) { return ChainedError{std::move(messages)}; }

TEST(ChainedError, ContextGoesOutsideAndChainFormJoinsOutermostFirst) {
    const ChainedError e = with_context(with_context(make_error("root"), "middle"), "outer");
    EXPECT_EQ(e.messages, (std::vector<std::string>{"outer", "middle", "root"}));
    EXPECT_EQ(chain_form(e), "outer: middle: root");
    EXPECT_EQ(chain_form(make_error("alone")), "alone");
    EXPECT_EQ(chain_form(chain({"a\nb", "c"})), "a\nb: c");
}

TEST(ChainedError, ReportForm) {
    struct Case {
        const char* name;
        std::vector<std::string> messages;
        std::string report;
    };
    std::vector<std::string> twelve = {"outer"};
    std::string twelve_report = "outer\n\nCaused by:";
    for (int i = 0; i < 12; ++i) {
        twelve.push_back("c" + std::to_string(i));
        twelve_report += (i < 10 ? "\n    " : "\n   ") + std::to_string(i) + ": c" + std::to_string(i);
    }
    const Case cases[] = {
        {"no cause", {"only"}, "only"},
        {"one cause", {"failed to load config from file", "No such file or directory (os error 2)"},
         "failed to load config from file\n\nCaused by:\n    No such file or directory (os error 2)"},
        {"one multi-line cause", {"outer", "l1\nl2\n\nl4"}, "outer\n\nCaused by:\n    l1\n    l2\n    \n    l4"},
        {"multi-line outer is not indented", {"o1\no2", "c"}, "o1\no2\n\nCaused by:\n    c"},
        {"two causes", {"outer", "middle", "root"}, "outer\n\nCaused by:\n    0: middle\n    1: root"},
        {"several multi-line causes", {"outer", "a\nb", "c\nd"},
         "outer\n\nCaused by:\n    0: a\n       b\n    1: c\n       d"},
        {"numbers right-aligned in five", twelve, twelve_report},
    };
    for (const auto& c : cases) EXPECT_EQ(report_form(chain(c.messages)), c.report) << c.name;
}

TEST(ChainedError, SystemErrorIsLibraryTextAndNumber) {
    EXPECT_EQ(system_error_text(ENOENT), "No such file or directory (os error 2)");
    EXPECT_EQ(system_error_text(EACCES), "Permission denied (os error 13)");
    EXPECT_EQ(system_error_text(ENOSPC), "No space left on device (os error 28)");
    EXPECT_EQ(system_error_text(9999), "Unknown error 9999 (os error 9999)");
    EXPECT_EQ(system_error(EROFS).messages, (std::vector<std::string>{"Read-only file system (os error 30)"}));
}

// Value and error stay apart even when both sides have the same type.
TEST(Expected, SidesOfTheSameTypeStayApart) {
    const Expected<std::string, std::string> value("x");
    const Expected<std::string, std::string> error(Unexpected(std::string("x")));
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(*value, "x");
    EXPECT_EQ(value, std::string("x"));
    ASSERT_FALSE(error);
    EXPECT_EQ(error.error(), "x");
    EXPECT_FALSE(error == std::string("x"));
}

TEST(Expected, StatusIsSuccessUntilFailed) {
    const Status ok;
    EXPECT_TRUE(ok);
    Status failed = fail(make_error("root"));
    ASSERT_FALSE(failed.has_value());
    const ChainedError taken = std::move(failed).error();
    EXPECT_EQ(taken.messages, (std::vector<std::string>{"root"}));
}

}  // namespace
}  // namespace devctl
