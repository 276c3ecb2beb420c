#include "policy/policy_writer.h"

#include "policy/render_text.h"

namespace devctl {
namespace {

size_t nonempty_size(const std::vector<std::string>& texts) {
    size_t size = 0;
    for (const std::string& text : texts) size += text.empty() ? 0 : text.size() + 1;
    return size;
}

}  // namespace

PolicyWriter make_policy_writer(std::string scene) {
    PolicyWriter writer;
    writer.name = std::move(scene);
    return writer;
}

void write_policy(const Policy& policy, PolicyWriter& writer) {
    write_string_variable(writer, "name", policy.scene);
    writer.declarations.push_back(concat_text({"int priority = ", std::to_string(policy.priority)}));
    writer.declarations.push_back(concat_text({"bool audit = ", bool_text(policy.audit)}));
    writer.declarations.push_back(
        concat_text({"int interactive = ", interactive_number(policy.interactive)}));
    write_string_variable(writer, "module_name", policy.scene);
    write_modules(policy.modules, writer);
}

void write_string_variable(PolicyWriter& writer, std::string_view key, std::string_view value) {
    if (key == "module_name") {
        writer.declarations.push_back(concat_text({"string module_name = ", writer.name}));
        writer.declarations.push_back("#@VARIABLES");
        return;
    }
    writer.declarations.push_back("#@NAMESPACE");
    writer.declarations.push_back(concat_text({"string ", key, " = ", value}));
}

std::string scoped_name(const PolicyWriter& writer) {
    std::string_view key = writer.path.empty() ? std::string_view() : writer.path.back();
    return concat_text({writer.name, "_", key});
}

std::string render_policy_text(PolicyWriter&& writer) {
    std::string text;
    text.reserve(nonempty_size(writer.declarations) + nonempty_size(writer.rules) + 1);
    append_nonempty_lines(text, writer.declarations);
    text.push_back('\n');
    append_nonempty_lines(text, writer.rules);
    return text;
}

std::string policy_rule_text(const Policy& policy) {
    PolicyWriter writer = make_policy_writer(policy.scene);
    write_policy(policy, writer);
    return render_policy_text(std::move(writer));
}

}  // namespace devctl
