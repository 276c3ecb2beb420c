// The list form of the merge log line.
#include <gtest/gtest.h>

#include "cmd/run_command.h"
#include "text/escaped_text.h"

namespace devctl {
namespace {

TEST(EscapedList, Elements) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/etc/a.json", R"("/etc/a.json")"},
        {"", R"("")"},
        {"say \"hi\"", R"("say \"hi\"")"},
        {"C:\\dir", R"("C:\\dir")"},
        {"it's", R"("it's")"},
        {"a\tb\rc\nd", R"("a\tb\rc\nd")"},
        {std::string("a\0b", 3), R"("a\0b")"},
        {"\x01\x1f\x7f", R"("\u{1}\u{1f}\u{7f}")"},
        {"a b", R"("a b")"},
        {"策略 文件", R"("策略 文件")"},
        {"é", R"("é")"},                                     // precomposed: printable
        {"e\u0301", R"("e\u{301}")"},                        // combining acute accent
        {"\u200d\u200b", R"("\u{200d}\u{200b}")"},           // joiner (extend) and zero-width space (Cf)
        {"\u00a0\u3000", R"("\u{a0}\u{3000}")"},             // spaces other than U+0020
        {"\u2028\u2029", R"("\u{2028}\u{2029}")"},           // line and paragraph separators
        {"\ue000\U0010fffd", R"("\u{e000}\u{10fffd}")"},     // private use
        {"\U000e0001x", R"("\u{e0001}x")"},                  // tag character (Cf)
        {"\u0378", R"("\u{378}")"},                          // unassigned
        {"\u00ad", R"("\u{ad}")"},                           // soft hyphen (Cf)
        {"\U0001F600", "\"\U0001F600\""},                    // emoji: printable
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(escaped_text(text), expected) << text;
}

TEST(EscapedList, MergeLogLine) {
    EXPECT_EQ(merge_log_line({"/b.json", {}, "/o.json"}), "running merge command: /b.json + [] => /o.json");
    EXPECT_EQ(merge_log_line({"b", {"x y", "\n"}, "o\n"}), "running merge command: b + [\"x y\", \"\\n\"] => o\n");
    EXPECT_EQ(merge_log_line({"b", {"a"}, "o"}), R"(running merge command: b + ["a"] => o)");
    EXPECT_EQ(merge_log_line({"b", {"a", "b\"", ""}, "o"}), R"(running merge command: b + ["a", "b\"", ""] => o)");
}

}  // namespace
}  // namespace devctl
