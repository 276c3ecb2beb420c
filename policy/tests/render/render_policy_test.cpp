// Whole-text rendering: header, module walk, sections, rule lines, "sm" block.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "policy/policy_writer.h"
#include "render_builders.h"

namespace devctl::render_test {
namespace {

std::string read_data(const std::string& name) {
    std::ifstream in(std::string(RENDER_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The lines of text that start with prefix; every line ends with a line feed.
long line_count(const std::string& text, std::string_view prefix = "") {
    long count = 0;
    for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
        count += std::string_view(text).substr(at, end - at).starts_with(prefix);
    }
    return count;
}

Policy worked_example(const std::string& scene) {
    Module wifi = module("wireless");
    wifi.addon = "ext";
    Module net = module(
        "network",
        {var<VariableKind::Uid>("ids", std::vector<int32_t>{0, -1}),
         class_var("device_disable_list", std::vector{DeviceType::Ethernet, DeviceType::Wireless})},
        {rule("*", "ids", {"read", "write"}), rule("*", "ids", {})});
    net.enabled = true;
    net.interactive = Interactive::Authorize;
    Policy p = nested_policy(scene, "net", std::move(net), "wifi", std::move(wifi));
    p.priority = 5;
    p.audit = true;
    p.interactive = Interactive::Notice;
    return p;
}

TEST(RenderPolicy, WorkedExampleByteForByte) {
    EXPECT_EQ(policy_rule_text(worked_example("demo")), read_data("worked_example.policy"));
}

TEST(RenderPolicy, WorkedExampleInSmSceneCarriesItsBlockInEverySection) {
    EXPECT_EQ(policy_rule_text(worked_example("sm")), read_data("worked_example_sm.policy"));
}

TEST(RenderPolicy, PolicyWithoutModulesIsTheHeaderAndOneLineFeed) {
    Policy p = policy("s");
    p.priority = -3;
    p.interactive = Interactive::Authorize;
    EXPECT_EQ(policy_rule_text(p),
              "#@NAMESPACE\nstring name = s\nint priority = -3\nbool audit = false\n"
              "int interactive = 1\nstring module_name = s\n#@VARIABLES\n");
}

TEST(RenderPolicy, PolicyAddonIsNeverWritten) {
    Policy p = policy("s");
    p.addon = "vendor";
    EXPECT_EQ(policy_rule_text(p).find("vendor"), std::string::npos);
}

TEST(RenderPolicy, WalkLeavesPathEmptyAndStartsRulesAtFirstLeaf) {
    Policy p = nested_policy("s", "mid", module("t2"), "leaf", module("t3"));
    module_map_insert(p.modules, "other", module("t4"));
    PolicyWriter writer = make_policy_writer(p.scene);
    write_policy(p, writer);
    EXPECT_TRUE(writer.path.empty());
    EXPECT_TRUE(block_text(writer.rules).starts_with("#@RULES\n\n# rules start: t3\n"));
    // Declarations follow the walk: parent before child, subtree before sibling.
    EXPECT_TRUE(block_text(writer.declarations)
                    .ends_with("#@VARIABLES\ndynamic bool mid = false\n"
                               "dynamic bool leaf = false\ndynamic bool other = false\n"));
}

TEST(RenderPolicy, SectionNameUsesOnlyTheModulesOwnKey) {
    const std::string text = policy_rule_text(nested_policy("s", "x", module("b"), "x", module("a")));
    const size_t first = text.find("%SECTION s_x\n");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(text.find("%SECTION s_x\n", first + 1), std::string::npos);
}

TEST(RenderPolicy, EmptyModuleStillGetsItsFullSection) {
    EXPECT_EQ(section_rules("s", module("t")),
              "\n# rules start: t\n\n%SECTION s_m\nmodule_name = s\n\n%ENDSEC\n# rules end: t\n\n");
}

TEST(RenderPolicy, InteractiveLineDependsOnTheRulesListNotOnLinesWritten) {
    Module with_empty_rule = module("t", {}, {rule("*", "*", {})});
    with_empty_rule.interactive = Interactive::Notice;
    EXPECT_EQ(section_rules("s", with_empty_rule),
              "\n# rules start: t\n\n%SECTION s_m\ninteractive = 2\nmodule_name = s\n\n%ENDSEC\n"
              "# rules end: t\n\n");
}

TEST(RenderPolicy, ModuleAddonReplacesTheSceneAsModuleName) {
    Module m = module("t");
    m.addon = "plug";
    EXPECT_NE(section_rules("s", m).find("\nmodule_name = plug\n"), std::string::npos);
}

struct RuleLineCase {
    const char* what;
    PolicyRule rule;
    std::vector<Variable> variables;
    std::string line;
};

void PrintTo(const RuleLineCase& c, std::ostream* os) { *os << c.what; }

class RuleLineTest : public testing::TestWithParam<RuleLineCase> {};

TEST_P(RuleLineTest, RendersTheRuleLine) {
    const RuleLineCase& c = GetParam();
    const std::string rules = section_rules("s", module("t", c.variables, {c.rule}));
    const std::string_view before = "module_name = s\n";
    const std::string_view after = "\n\n%ENDSEC\n";
    ASSERT_NE(rules.find(before), std::string::npos);
    const size_t from = rules.find(before) + before.size();
    EXPECT_EQ(rules.substr(from, rules.rfind(after) - from), c.line) << c.what;
}

PolicyRule full_rule(std::string operation, std::string user, std::string object_type,
                     std::string func) {
    PolicyRule r = rule("*", "*", {"use"}, std::move(func));
    r.operation = std::move(operation);
    r.user = std::move(user);
    r.object_type = std::move(object_type);
    return r;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RuleLineTest,
    testing::Values(
        RuleLineCase{"star stays", rule("*", "*", {"a"}), {}, "disallow * * * file {a} if ($devctl)"},
        RuleLineCase{"names get a dollar", rule("x", "y", {"a", "b"}), {},
                     "disallow * $x $y file {a,b} if ($devctl)"},
        RuleLineCase{"empty operands", rule("", "", {"a"}), {}, "disallow * $ $ file {a} if ($devctl)"},
        RuleLineCase{"two stars", rule("**", "*", {"a"}), {}, "disallow * $** * file {a} if ($devctl)"},
        RuleLineCase{"empty func keeps the blank", rule("*", "*", {"a"}, ""), {},
                     "disallow * * * file {a} "},
        RuleLineCase{"empty fields keep their blanks", full_rule("", "", "", "f"), {},
                     "  * *  {use} f"},
        RuleLineCase{"placeholder replaced everywhere", rule("*", "*", {"a"}, "@@p@@ & @@p@@"),
                     {func_var("p", {"x", "y"})}, "disallow * * * file {a} \"x,y\" & \"x,y\""},
        RuleLineCase{"empty func list gives two quotes", rule("*", "*", {"a"}, "f(@@p@@)"),
                     {func_var("p", {})}, "disallow * * * file {a} f(\"\")"},
        RuleLineCase{"unknown placeholder stays", rule("*", "*", {"a"}, "@@q@@"),
                     {func_var("p", {"x"})}, "disallow * * * file {a} @@q@@"},
        RuleLineCase{"later variable expands an earlier replacement",
                     rule("*", "*", {"a"}, "@@p@@"), {func_var("p", {"@@q@@"}), func_var("q", {"z"})},
                     "disallow * * * file {a} \"\"z\"\""},
        RuleLineCase{"earlier variable does not expand a later replacement",
                     rule("*", "*", {"a"}, "@@q@@"), {func_var("p", {"z"}), func_var("q", {"@@p@@"})},
                     "disallow * * * file {a} \"@@p@@\""},
        RuleLineCase{"non-func variable is no placeholder", rule("*", "*", {"a"}, "@@p@@"),
                     {string_var("p", "x")}, "disallow * * * file {a} @@p@@"},
        RuleLineCase{"line feeds are written verbatim", rule("a\nb", "*", {"r\n"}, "f"), {},
                     "disallow * $a\nb * file {r\n} f"}),
    [](const testing::TestParamInfo<RuleLineCase>& info) { return std::to_string(info.index); });

TEST(RenderPolicy, RuleWithoutPermissionsGivesNoLine) {
    const std::string rules =
        section_rules("s", module("t", {}, {rule("*", "*", {}, "@@p@@"), rule("*", "*", {"a"})}));
    EXPECT_EQ(line_count(rules, "disallow"), 1);
}

TEST(RenderPolicy, PlaceholdersComeOnlyFromTheModulesOwnVariables) {
    const Policy p = nested_policy("s", "parent", module("p", {func_var("p", {"x"})}), "child",
                                   module("c", {}, {rule("*", "*", {"a"}, "@@p@@")}));
    EXPECT_NE(policy_rule_text(p).find("{a} @@p@@\n"), std::string::npos);
}

TEST(RenderPolicy, SceneBlockNeedsTheExactSceneName) {
    for (const char* scene : {"SM", "sm ", "Sm", "vop_Defender", "vop_defender "}) {
        EXPECT_EQ(line_count(section_rules(scene, module("t"))), 9) << scene;
    }
    EXPECT_EQ(line_count(section_rules("sm", module("t"))), 17);
}

// Large texts span many pieces, and a line longer than a whole piece is kept
// in one; the pieces must come back whole and in order.
TEST(TextBlock, LinesSpanningManyPiecesComeBackInOrder) {
    TextBlock block;
    std::string expected;
    for (int i = 0; i < 100000; ++i) {
        const std::string number = std::to_string(i);
        const std::string filler(i % 97, 'x');
        append_line(block, {"line ", number, " ", filler});
        expected.append("line ").append(number).append(" ").append(filler).push_back('\n');
        if (i == 50000) {
            const std::string long_line(3 << 20, 'y');
            append_line(block, {long_line});
            expected.append(long_line).push_back('\n');
        }
    }
    EXPECT_GT(block.pieces.size(), 2u);
    EXPECT_EQ(text_size(block), expected.size());
    EXPECT_TRUE(block_text(block) == expected);
}

TEST(RenderPolicy, WriteStringVariableSpecialCasesModuleName) {
    PolicyWriter writer = make_policy_writer("scene");
    write_string_variable(writer, "module_name", "ignored");
    write_string_variable(writer, "k", "v");
    EXPECT_EQ(block_text(writer.declarations),
              "string module_name = scene\n#@VARIABLES\n#@NAMESPACE\nstring k = v\n");
}

}  // namespace
}  // namespace devctl::render_test
