// Whole-text rendering: header, module walk, sections, rule lines, "sm" block.
#include <gtest/gtest.h>

#include <algorithm>
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
    ASSERT_GE(writer.rules.size(), 2u);
    EXPECT_EQ(writer.rules[0], "#@RULES");
    EXPECT_EQ(writer.rules[1], "\n# rules start: t3");
    // Declarations follow the walk: parent before child, subtree before sibling.
    std::vector<std::string> dynamic(writer.declarations.begin() + 7, writer.declarations.end());
    EXPECT_EQ(dynamic, (std::vector<std::string>{"dynamic bool mid = false",
                                                 "dynamic bool leaf = false",
                                                 "dynamic bool other = false"}));
}

TEST(RenderPolicy, SectionNameUsesOnlyTheModulesOwnKey) {
    const std::string text = policy_rule_text(nested_policy("s", "x", module("b"), "x", module("a")));
    const size_t first = text.find("%SECTION s_x\n");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(text.find("%SECTION s_x\n", first + 1), std::string::npos);
}

TEST(RenderPolicy, EmptyModuleStillGetsItsFullSection) {
    EXPECT_EQ(section_rules("s", module("t")),
              (std::vector<std::string>{"\n# rules start: t", "\n%SECTION s_m", "module_name = s",
                                        "\n%ENDSEC", "# rules end: t\n"}));
}

TEST(RenderPolicy, InteractiveLineDependsOnTheRulesListNotOnLinesWritten) {
    Module with_empty_rule = module("t", {}, {rule("*", "*", {})});
    with_empty_rule.interactive = Interactive::Notice;
    EXPECT_EQ(section_rules("s", with_empty_rule),
              (std::vector<std::string>{"\n# rules start: t", "\n%SECTION s_m", "interactive = 2",
                                        "module_name = s", "\n%ENDSEC", "# rules end: t\n"}));
}

TEST(RenderPolicy, ModuleAddonReplacesTheSceneAsModuleName) {
    Module m = module("t");
    m.addon = "plug";
    EXPECT_EQ(section_rules("s", m)[2], "module_name = plug");
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
    const std::vector<std::string> rules = section_rules("s", module("t", c.variables, {c.rule}));
    // start, section, interactive, module_name, [variable rule entries], line, end, end
    EXPECT_EQ(rules[rules.size() - 3], c.line) << c.what;
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
    const std::vector<std::string> rules =
        section_rules("s", module("t", {}, {rule("*", "*", {}, "@@p@@"), rule("*", "*", {"a"})}));
    EXPECT_EQ(std::count_if(rules.begin(), rules.end(),
                            [](const std::string& e) { return e.starts_with("disallow"); }),
              1);
}

TEST(RenderPolicy, PlaceholdersComeOnlyFromTheModulesOwnVariables) {
    const Policy p = nested_policy("s", "parent", module("p", {func_var("p", {"x"})}), "child",
                                   module("c", {}, {rule("*", "*", {"a"}, "@@p@@")}));
    EXPECT_NE(policy_rule_text(p).find("{a} @@p@@\n"), std::string::npos);
}

TEST(RenderPolicy, SceneBlockNeedsTheExactSceneName) {
    for (const char* scene : {"SM", "sm ", "Sm", "vop_Defender", "vop_defender "}) {
        EXPECT_EQ(section_rules(scene, module("t")).size(), 5u) << scene;
    }
    EXPECT_EQ(section_rules("sm", module("t")).size(), 13u);
}

TEST(RenderPolicy, EmptyEntriesLeaveNoLineAndMultiLineEntriesKeepTheirEmptyLines) {
    PolicyWriter writer = make_policy_writer("s");
    writer.declarations = {"a", "", "b"};
    writer.rules = {"", "x\n\ny", "", "z\n"};
    EXPECT_EQ(render_policy_text(std::move(writer)), "a\nb\nx\n\ny\nz\n");
}

TEST(RenderPolicy, WriteStringVariableSpecialCasesModuleName) {
    PolicyWriter writer = make_policy_writer("scene");
    write_string_variable(writer, "module_name", "ignored");
    write_string_variable(writer, "k", "v");
    EXPECT_EQ(writer.declarations, (std::vector<std::string>{"string module_name = scene",
                                                             "#@VARIABLES", "#@NAMESPACE",
                                                             "string k = v"}));
}

}  // namespace
}  // namespace devctl::render_test
