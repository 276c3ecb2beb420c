#include "policy/policy_writer.h"

#include "policy/render_text.h"

namespace devctl {

PolicyWriter make_policy_writer(std::string scene) {
    PolicyWriter writer;
    writer.name = std::move(scene);
    return writer;
}

void write_policy(const Policy& policy, PolicyWriter& writer) {
    append_line(writer.declarations, {"#@NAMESPACE"});
    append_line(writer.declarations, {"string name = ", policy.scene});
    append_line(writer.declarations, {"int priority = ", std::to_string(policy.priority)});
    append_line(writer.declarations, {"bool audit = ", bool_text(policy.audit)});
    append_line(writer.declarations,
                {"int interactive = ", interactive_number(policy.interactive)});
    append_line(writer.declarations, {"string module_name = ", writer.name});
    append_line(writer.declarations, {"#@VARIABLES"});
    write_modules(policy.modules, writer);
}

std::string render_policy_text(const PolicyWriter& writer) {
    const size_t rules_size = text_size(writer.rules);
    std::string text;
    text.reserve(text_size(writer.declarations) + rules_size);
    append_block(text, writer.declarations);
    append_block(text, writer.rules);
    if (rules_size != 0) text.pop_back();
    return text;
}

std::string policy_rule_text(const Policy& policy) {
    PolicyWriter writer = make_policy_writer(policy.scene);
    write_policy(policy, writer);
    return render_policy_text(writer);
}

}  // namespace devctl
