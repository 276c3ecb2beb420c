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

std::string expand_func_placeholders(std::string_view func,
                                     const std::vector<FuncPlaceholder>& placeholders) {
    std::string text(func);
    for (const FuncPlaceholder& placeholder : placeholders) {
        text = replace_all(text, placeholder.pattern, placeholder.replacement);
    }
    return text;
}

std::string rule_operand(std::string_view text) {
    if (text == "*") return std::string(text);
    return concat_text({"$", text});
}

std::string rule_line(const PolicyRule& rule, const std::vector<FuncPlaceholder>& placeholders) {
    return concat_text({rule.operation, " ", rule.user, " ", rule_operand(rule.subject), " ",
                        rule_operand(rule.object), " ", rule.object_type, " {",
                        join_texts(rule.permission, ","), "} ",
                        expand_func_placeholders(rule.func, placeholders)});
}

}  // namespace devctl
