// Object and array forms of the records, extra keys, optional members,
// module maps.
#include <gtest/gtest.h>

#include "model/order.h"
#include "policy_doc.h"

namespace devctl::test {
namespace {

constexpr std::string_view kObjectForm =
    R"({"scene": "s", "enabled": true, "addon": "a", "priority": -3, "audit": true, "interactive": "authorize", "third_party": true, "version": 7, "modules": {}})";

Policy read(std::string_view text) {
    auto policy = deserialize_policy(text);
    EXPECT_TRUE(policy) << to_string(policy.error()) << "\n" << text;
    return policy ? *policy : Policy{};
}

// Every form of the same document is written identically.
TEST(PolicyRecordForms, EquivalentForms) {
    const std::string_view forms[] = {
        // keys in another order
        R"({"modules": {}, "version": 7, "third_party": true, "interactive": "authorize", "audit": true, "priority": -3, "addon": "a", "enabled": true, "scene": "s"})",
        // extra keys of any value, one differing only in case from a field
        R"({"Scene": 1, "scene": "s", "x": [{"a": [1, {"b": null}]}, [], {}], "enabled": true, "addon": "a", "priority": -3, "x": "again", "audit": true, "interactive": "authorize", "third_party": true, "version": 7, "modules": {}, "z": -1.5e3})",
        // keys are compared after unescaping
        R"({"sc\u0065ne": "s", "enabled": true, "addon": "\u0061", "priority": -3, "audit": true, "interactive": "auth\u006frize", "third_party": true, "version": 7, "modules": {}})",
        // the nine values as an array, with surrounding whitespace
        " \r\n\t[\"s\", true, \"a\", -3, true, \"authorize\", true, 7, {}]\n\n ",
    };
    std::string expected = serialize_policy(read(kObjectForm));
    for (auto form : forms) EXPECT_EQ(serialize_policy(read(form)), expected) << form;

    EXPECT_EQ(outcome(R"(["s", true, "a", -3, true, "authorize", true, 7])"),
              "invalid length 8, expected struct Policy with 9 elements at line 1 column 48 [d]");
    EXPECT_EQ(outcome(R"(["s", true, "a", -3, true, "authorize", true, 7, {}, 1])"),
              "trailing characters at line 1 column 54 [s]");
}

TEST(PolicyRecordForms, ModuleFlagsAndArrayForm) {
    struct Case {
        std::string module;  // the value of module "m"
        std::string expected;
        bool enable_dyn_changed = false;
        bool section_changed = false;
    };
    const Case cases[] = {
        {"{" + module_body() + "}", "ok"},
        {"{" + module_body("\"enable_dyn_changed\": true, \"section_changed\": true") + "}", "ok", true, true},
        {R"(["t", true, true, "notice", {}, [], [], "a", true])", "ok", true, true},
        {R"(["t", true, false, "notice", {}, [], [], "a"])", "ok"},
        {R"(["t", true])", "invalid length 3, expected struct Module with 9 elements"},
        {R"([])", "invalid length 0, expected struct Module with 9 elements"},
        {R"(["t", true, false, "notice", {}, [], [], "a", false, 1])", "trailing characters"},
        {R"("t")", "invalid type: string \"t\", expected struct Module"},
    };
    for (const auto& c : cases) {
        std::string doc = policy_with_module_value(c.module);
        auto policy = deserialize_policy(doc);
        if (c.expected != "ok") {
            ASSERT_FALSE(policy) << doc;
            EXPECT_EQ(policy.error().message, c.expected) << doc;
            continue;
        }
        ASSERT_TRUE(policy) << to_string(policy.error()) << "\n" << doc;
        const Module& m = policy->modules.at(0).module;
        EXPECT_EQ(m.enable_dyn_changed, c.enable_dyn_changed) << doc;
        EXPECT_EQ(m.section_changed, c.section_changed) << doc;
        std::string written = serialize_policy(*policy);
        EXPECT_EQ(written.find("enable_dyn_changed"), std::string::npos);
        EXPECT_EQ(written.find("section_changed"), std::string::npos);
    }
}

TEST(PolicyRecordForms, RuleNameNullOrAbsent) {
    const std::string rest =
        R"("operation": "o", "user": "u", "subject": "s", "object": "b", "object_type": "t", "permission": [], "func": "f", "eval_func": "e")";
    std::string rules = "[{\"name\": null, " + rest + "}, {" + rest + "}, [null, \"o\", \"u\", \"s\", \"b\", \"t\", [], \"f\", \"e\"]]";
    std::string body = module_body();
    body.replace(body.find("\"rules\": []"), 11, "\"rules\": " + rules);
    Policy policy = read(doc_with_module(body));
    const auto& read_rules = policy.modules.at(0).module.rules;
    ASSERT_EQ(read_rules.size(), 3u);
    for (const auto& rule : read_rules) {
        EXPECT_FALSE(rule.name.has_value());
        EXPECT_TRUE(policy_rule_eq(rule, read_rules[0]));
    }
    EXPECT_EQ(serialize_policy(policy).find("\"name\": null"), std::string::npos);
}

TEST(PolicyRecordForms, ModuleMapKeepsFirstPlaceTakesLaterModule) {
    auto module = [](const std::string& type) {
        std::string body = module_body();
        return "{" + body.replace(body.find("\"t\""), 3, "\"" + type + "\"") + "}";
    };
    std::string modules = "{\"b\": " + module("first") + ", \"a\": " + module("a") + ", \"b\": " + module("second") + "}";
    std::string doc(kObjectForm);
    doc.replace(doc.find("\"modules\": {}"), 13, "\"modules\": " + modules);
    Policy policy = read(doc);
    ASSERT_EQ(policy.modules.size(), 2u);
    EXPECT_EQ(policy.modules[0].name, "b");
    EXPECT_EQ(policy.modules[0].module.type, "second");
    EXPECT_EQ(policy.modules[1].name, "a");
    std::string written = serialize_policy(policy);
    EXPECT_EQ(written.find("\"first\""), std::string::npos);
    EXPECT_NE(written.find("\"second\""), std::string::npos);

    // Large maps use an index; the result must be the same.
    std::string many = "{";
    for (int i = 0; i < 40; ++i) many += "\"n" + std::to_string(i % 30) + "\": " + module("t" + std::to_string(i)) + ",";
    many.back() = '}';
    doc = std::string(kObjectForm);
    doc.replace(doc.find("\"modules\": {}"), 13, "\"modules\": " + many);
    policy = read(doc);
    ASSERT_EQ(policy.modules.size(), 30u);
    for (int i = 0; i < 30; ++i) {
        EXPECT_EQ(policy.modules[static_cast<size_t>(i)].name, "n" + std::to_string(i));
        EXPECT_EQ(policy.modules[static_cast<size_t>(i)].module.type, "t" + std::to_string(i < 10 ? i + 30 : i));
    }
}

}  // namespace
}  // namespace devctl::test
