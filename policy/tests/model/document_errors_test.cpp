// Messages, categories and positions of errors in whole documents.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "policy_doc.h"

namespace devctl::test {
namespace {

using Member = std::pair<std::string, std::string>;

std::vector<Member> policy_members() {
    return {{"scene", "\"s\""},       {"enabled", "true"},        {"addon", "\"\""},
            {"priority", "1"},         {"audit", "false"},         {"interactive", "\"notice\""},
            {"third_party", "false"},  {"version", "1"},           {"modules", "{}"}};
}

// The minimal policy with one member's value replaced (or removed when the
// value is empty).
std::string policy_with(const std::string& key, const std::string& value) {
    std::string out = "{";
    for (auto [k, v] : policy_members()) {
        if (k == key) v = value;
        if (v.empty()) continue;
        if (out.size() > 1) out += ", ";
        out += "\"" + k + "\": " + v;
    }
    return out + "}";
}

// Column just after the first occurrence of needle (searching from `from`).
size_t after(const std::string& text, const std::string& needle, size_t from = 0) {
    return text.find(needle, from) + needle.size();
}

std::string at1(size_t column) { return " at line 1 column " + std::to_string(column); }

struct Case {
    std::string input;
    std::string expected;
};

TEST(PolicyDocumentErrors, MessagesCategoriesAndPositions) {
    std::vector<Case> cases = {
        {"", "EOF while parsing a value at line 1 column 0 [e]"},
        {"  \n\t", "EOF while parsing a value at line 2 column 1 [e]"},
        {"{}", "missing field `scene` at line 1 column 2 [d]"},
        {"null", "invalid type: null, expected struct Policy at line 1 column 4 [d]"},
        {"{\"scene\": \"s\",", "EOF while parsing a value at line 1 column 14 [e]"},
    };
    auto add = [&](const std::string& key, const std::string& value, const std::string& message,
                   const std::string& end_token, char category) {
        std::string doc = policy_with(key, value);
        size_t column = end_token.empty() ? doc.size() : after(doc, end_token);
        cases.push_back({doc, message + at1(column) + " [" + category + "]"});
    };
    add("modules", "", "missing field `modules`", "", 'd');
    add("audit", "", "missing field `audit`", "", 'd');
    add("priority", "2147483647", "ok", "", 'd');
    add("priority", "2147483648", "invalid value: integer `2147483648`, expected i32", "2147483648", 'd');
    add("priority", "-2147483649", "invalid value: integer `-2147483649`, expected i32", "-2147483649", 'd');
    add("priority", "1.0", "invalid type: floating point `1.0`, expected i32", "1.0", 'd');
    add("priority", "-0", "invalid type: floating point `-0.0`, expected i32", "-0", 'd');
    add("priority", "1e20", "invalid type: floating point `1e20`, expected i32", "1e20", 'd');
    add("priority", "\"5\"", "invalid type: string \"5\", expected i32", "\"5\"", 'd');
    add("enabled", "null", "invalid type: null, expected a boolean", "null", 'd');
    add("enabled", "1", "invalid type: integer `1`, expected a boolean", "\"enabled\": 1", 'd');
    add("scene", "[\"s\"]", "invalid type: sequence, expected a string", "\"scene\": ", 'd');
    add("modules", "[]", "invalid type: sequence, expected a map", "\"modules\": ", 'd');
    add("modules", "{1: {}}", "key must be a string", "{1", 's');
    add("interactive", "2", "invalid type: integer `2`, expected string representation of interactive enum",
        "\"interactive\": 2", 'd');
    add("interactive", "\"Notice\"",
        "invalid interactive value Notice: failed to convert to Interactive :invalid value \"Notice\"",
        "\"Notice\"", 'd');
    add("interactive", "\"\"",
        "invalid interactive value : failed to convert to Interactive :invalid value \"\"",
        "\"interactive\": \"\"", 'd');
    for (auto& c : cases)
        if (c.expected.starts_with("ok")) c.expected = "ok";

    std::string twice = "{\"scene\": \"s\", \"scene\": \"s\"}";
    cases.push_back({twice, "duplicate field `scene`" + at1(after(twice, "\"scene\"", 5)) + " [d]"});
    const std::string head =
        R"({"scene":"sm","enabled":true,"addon":"","priority":1,"audit":false,"interactive":"notice",)"
        R"("third_party":false,"version":1,"modules":{},)";
    // The position is taken past the whitespace after the key, line feeds included.
    cases.push_back({head + "\"scene\"  \n  :\"x\"}", "duplicate field `scene` at line 2 column 2 [d]"});
    // A \u escape cut short by the end of the text, whatever its bytes.
    std::string cut = head + "\"x\":\"\\u0zz";
    cases.push_back({cut, "EOF while parsing a string" + at1(cut.size()) + " [e]"});
    std::string full = policy_with("", "");
    cases.push_back({full + " \n\r\n\t ", "ok"});
    cases.push_back({full + "\n{}", "trailing characters at line 2 column 1 [s]"});
    cases.push_back({full + " x", "trailing characters" + at1(full.size() + 2) + " [s]"});
    cases.push_back({full.substr(0, full.size() - 1), "EOF while parsing an object" + at1(full.size() - 1) + " [e]"});

    for (const auto& c : cases) EXPECT_EQ(outcome(c.input), c.expected) << c.input;
}

TEST(PolicyDocumentErrors, RecordErrorsInsideModules) {
    struct ModuleCase {
        std::string extra;     // spliced into the module body
        std::string message;   // expected message
        std::string end;       // the error's last byte ends this token (searched from "m")
        char category;
    };
    const ModuleCase cases[] = {
        {"\"enable_dyn_changed\": null", "invalid type: null, expected a boolean", "null", 'd'},
        {"\"section_changed\": \"yes\"", "invalid type: string \"yes\", expected a boolean", "\"yes\"", 'd'},
        {"\"type\": \"u\"", "duplicate field `type`", ", \"type\"", 'd'},
        {"\"interactive\": 2", "duplicate field `interactive`", "\"\", \"interactive\"", 'd'},
        {"\"x\": [1,]", "expected value", "[1,]", 's'},
    };
    for (const auto& c : cases) {
        std::string doc = doc_with_module(module_body(c.extra));
        size_t column = after(doc, c.end, doc.find("\"m\""));
        EXPECT_EQ(outcome(doc), c.message + at1(column) + " [" + c.category + "]") << doc;
    }
    // A module without its required members: missing field at its closing brace.
    std::string doc = doc_with_module("\"type\": \"t\"");
    EXPECT_EQ(outcome(doc), "missing field `enabled`" + at1(after(doc, "\"t\"}", doc.find("\"m\""))) + " [d]");
}

TEST(PolicyDocumentErrors, RuleAndVariableErrors) {
    const std::string rule =
        R"("operation": "o", "user": "u", "subject": "s", "object": "b", "object_type": "t", "permission": ["p"], "func": "f", "eval_func": "e")";
    struct RuleCase {
        std::string rule;
        std::string expected;  // message; the position is checked separately below
    };
    const RuleCase cases[] = {
        {"{" + rule + "}", "ok"},
        {"{\"name\": null, " + rule + "}", "ok"},
        {"{\"name\": null, \"name\": \"n\", " + rule + "}", "duplicate field `name`"},
        {"{\"name\": 5, " + rule + "}", "invalid type: integer `5`, expected a string"},
        {"{" + rule + ", \"permission\": []}", "duplicate field `permission`"},
        {R"({"operation": "o"})", "missing field `user`"},
        {R"({"name": "n", "user": "u"})", "missing field `operation`"},
        {"{" + rule.substr(0, rule.find(", \"eval_func\"")) + "}", "missing field `eval_func`"},
        {R"(["n", "o", "u", "s", "b", "t", ["p"], "f", "e"])", "ok"},
        {R"([null, "o", "u", "s", "b", "t", [], "f", "e"])", "ok"},
        {R"(["n", "o", "u", "s", "b", "t", ["p"], "f"])", "invalid length 8, expected struct PolicyRule with 9 elements"},
        {R"(["n", "o", "u", "s", "b", "t", "p", "f", "e"])", "invalid type: string \"p\", expected a sequence"},
    };
    for (const auto& c : cases) {
        std::string doc = doc_with_module(module_body().replace(module_body().find("\"rules\": []"), 11,
                                                                "\"rules\": [" + c.rule + "]"));
        std::string got = outcome(doc);
        EXPECT_EQ(got.substr(0, got.find(" at line")), c.expected) << doc;
    }

    // Positions of record-level errors: past the whitespace that follows,
    // and past the closing bracket when it comes next; the variable-value
    // text where the variable record ends.
    struct VariableCase {
        std::string variable;  // on line 2 of the document
        std::string expected;
    };
    const VariableCase variables[] = {
        {R"({"name": "v", "value": null})", "data did not match any variant of untagged enum VariableTypes at line 2 column 28 [d]"},
        {R"({"name": "v", "value": null   })", "data did not match any variant of untagged enum VariableTypes at line 2 column 31 [d]"},
        {R"({"value": 1.5, "name": "v"})", "data did not match any variant of untagged enum VariableTypes at line 2 column 13 [d]"},
        {R"(["v", [1]])", "data did not match any variant of untagged enum VariableTypes at line 2 column 10 [d]"},
        {R"(["v", [1] ])", "data did not match any variant of untagged enum VariableTypes at line 2 column 11 [d]"},
        {R"(["v", [1] , 2])", "data did not match any variant of untagged enum VariableTypes at line 2 column 12 [d]"},
        {R"(["v", {"type":"uid","value":"x"},1])", "data did not match any variant of untagged enum VariableTypes at line 2 column 33 [d]"},
        {"[\"v\", {\"type\":\"uid\",\"value\":\"x\"} ,  \n  1]",
         "data did not match any variant of untagged enum VariableTypes at line 3 column 2 [d]"},
        {"[\"v\", {\"type\":\"uid\",\"value\":\"x\"} ,  \n  ]",
         "data did not match any variant of untagged enum VariableTypes at line 3 column 2 [d]"},
        {"[\"v\", {\"type\":\"uid\",\"value\":\"x\"}  \n ]",
         "data did not match any variant of untagged enum VariableTypes at line 3 column 2 [d]"},
        {R"(["v", {"type":"uid","value":"x"} x])", "data did not match any variant of untagged enum VariableTypes at line 2 column 33 [d]"},
        {"{\"name\":\"v\",\"value\":{\"x\":1}  \n  ,\"z\":1}",
         "data did not match any variant of untagged enum VariableTypes at line 3 column 2 [d]"},
        {"{\"name\":\"v\",\"value\":{\"x\":1}  \n  }",
         "data did not match any variant of untagged enum VariableTypes at line 3 column 3 [d]"},
        {R"(["v"])", "invalid length 1, expected struct Variable with 2 elements at line 2 column 5 [d]"},
        {R"(["v" ])", "invalid length 1, expected struct Variable with 2 elements at line 2 column 6 [d]"},
        {R"(["v", 1, 2])", "trailing characters at line 2 column 10 [s]"},
        {R"(["v", 1,])", "trailing comma at line 2 column 9 [s]"},
        {R"({"name": "v"})", "missing field `value` at line 2 column 13 [d]"},
        {R"({"name": "v", "value": [1,]})", "trailing comma at line 2 column 27 [s]"},
        {"{\"name\": \"v\", \"value\": {\"type\": \"path\", \"value\": [\"/a\"], \"x\": \"\xff\"}}", "invalid unicode code point at line 2 column 65 [s]"},
        {R"({"name": "v", "value": "a" "b"})", "expected `,` or `}` at line 2 column 28 [s]"},
    };
    for (const auto& c : variables) EXPECT_EQ(outcome(doc_with_variables(c.variable)), c.expected) << c.variable;
}

// Records, maps, lists and variable values each take one level; 127 levels
// read, 128 fail; skipped values never count.
TEST(PolicyDocumentErrors, NestingBudget) {
    auto chain = [](int depth, const std::string& value) {
        // Policy (1) > modules (2) > module (3) > ... the deepest module at 2*depth+1,
        // its variables list one deeper, the variable one more, then the value.
        std::string open, close;
        for (int i = 0; i < depth; ++i) {
            bool last = i + 1 == depth;
            open += "{\"m\": {\"type\": \"t\", \"enabled\": true, \"interactive\": \"notice\", \"rules\": [], \"addon\": \"\", ";
            open += last ? "\"modules\": {}, \"variables\": [{\"name\": \"v\", \"value\": " + value + "}]"
                         : "\"variables\": [], \"modules\": ";
            close += "}}";
        }
        std::string policy = policy_with("modules", "@");
        return policy.replace(policy.find('@'), 1, open + close);
    };
    EXPECT_EQ(outcome(chain(62, "\"x\"")), "ok");              // the variable at level 127
    std::string deep = chain(62, "[\"uid\", []]");              // the value at level 128
    EXPECT_EQ(outcome(deep), "recursion limit exceeded" + at1(deep.find("[\"uid\"") + 1) + " [s]");
    std::string skipped = chain(62, "\"x\", \"skip\": " + std::string(500, '[') + std::string(500, ']'));
    EXPECT_EQ(outcome(skipped), "ok");
    std::string deep_modules = chain(64, "\"x\"");              // a module object at level 129
    EXPECT_EQ(outcome(deep_modules).substr(0, 24), "recursion limit exceeded");
}

}  // namespace
}  // namespace devctl::test
