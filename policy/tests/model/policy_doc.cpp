#include "policy_doc.h"

namespace devctl::test {

namespace {
constexpr std::string_view kHead =
    R"({"scene": "s", "enabled": true, "addon": "", "priority": 1, "audit": false, )"
    R"("interactive": "notice", "third_party": false, "version": 1, "modules": {"m": )";
}  // namespace

std::string module_body(std::string_view extra) {
    std::string body =
        R"("type": "t", "enabled": true, "interactive": "disabled", "modules": {}, )"
        R"("rules": [], "variables": [], "addon": "")";
    if (!extra.empty()) body += ", " + std::string(extra);
    return body;
}

std::string policy_with_module_value(std::string_view module) {
    return std::string(kHead) + std::string(module) + "}}";
}

std::string doc_with_module(std::string_view body) {
    return policy_with_module_value("{" + std::string(body) + "}");
}

std::string doc_with_variables(std::string_view variables) {
    return std::string(kHead) +
           R"({"type": "t", "enabled": true, "interactive": "disabled", "modules": {}, "rules": [], "variables": [)" +
           "\n" + std::string(variables) + "\n" + R"(], "addon": ""}}})";
}

std::string outcome(std::string_view text) {
    auto policy = deserialize_policy(text);
    if (policy) return "ok";
    const char* category = policy.error().category == JsonErrorCategory::Eof      ? "e"
                           : policy.error().category == JsonErrorCategory::Syntax ? "s"
                                                                                   : "d";
    return to_string(policy.error()) + " [" + category + "]";
}

}  // namespace devctl::test
