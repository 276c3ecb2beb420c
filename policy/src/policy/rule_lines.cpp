#include "policy/rule_lines.h"

#include "policy/render_text.h"

namespace devctl {

std::vector<FuncPlaceholder> collect_func_variables(const Module& module) {
    std::vector<FuncPlaceholder> placeholders;
    for (const Variable& variable : module.variables) {
        if (variable.value.kind() != VariableKind::Func) continue;
        const StringList& values = std::get<kind_index<VariableKind::Func>>(variable.value.value);
        placeholders.push_back({concat_text({"@@", variable.name, "@@"}),
                                concat_text({"\"", join_texts(values, ","), "\""})});
    }
    return placeholders;
}

namespace {

// Each placeholder in turn over the result of the previous one.
std::string expand_func_placeholders(std::string_view func,
                                     const std::vector<FuncPlaceholder>& placeholders) {
    std::string text(func);
    for (const FuncPlaceholder& placeholder : placeholders) {
        replace_all(text, placeholder.pattern, placeholder.replacement);
    }
    return text;
}

// A subject or object: "*" stays as it is, anything else gets a "$" before it.
void append_rule_operand(std::string& out, std::string_view text) {
    if (text != "*") out.push_back('$');
    out.append(text);
}

}  // namespace

std::string rule_line(const PolicyRule& rule, const std::vector<FuncPlaceholder>& placeholders) {
    size_t size = rule.operation.size() + rule.user.size() + rule.subject.size() +
                  rule.object.size() + rule.object_type.size() + rule.func.size() + 12;
    for (const std::string& permission : rule.permission) size += permission.size() + 1;
    std::string line;
    line.reserve(size);
    line.append(rule.operation).append(" ").append(rule.user).append(" ");
    append_rule_operand(line, rule.subject);
    line.push_back(' ');
    append_rule_operand(line, rule.object);
    line.append(" ").append(rule.object_type).append(" {");
    for (size_t i = 0; i < rule.permission.size(); ++i) {
        if (i != 0) line.push_back(',');
        line.append(rule.permission[i]);
    }
    line.append("} ");
    if (placeholders.empty()) {
        line.append(rule.func);
    } else {
        line.append(expand_func_placeholders(rule.func, placeholders));
    }
    return line;
}

}  // namespace devctl
