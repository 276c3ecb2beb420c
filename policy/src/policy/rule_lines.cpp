#include "policy/rule_lines.h"

#include "policy/render_text.h"

namespace devctl {

std::vector<FuncPlaceholder> collect_func_variables(const Module& module) {
    std::vector<FuncPlaceholder> placeholders;
    for (const Variable& variable : module.variables) {
        if (variable.value.kind() != VariableKind::Func) continue;
        const StringList& values = std::get<kind_index<VariableKind::Func>>(variable.value.value);
        placeholders.push_back({"@@" + variable.name + "@@", "\"" + join_texts(values, ",") + "\""});
    }
    return placeholders;
}

namespace {

// A subject or object: "*" stays as it is, anything else gets a "$" before it.
std::string_view operand_sigil(std::string_view text) { return text == "*" ? "" : "$"; }

// Every non-overlapping occurrence of pattern in text from position from on,
// scanning left to right; replacements are not scanned again.
void replace_all(std::string& text, size_t from, std::string_view pattern,
                 std::string_view replacement) {
    if (pattern.empty()) return;
    for (size_t at = text.find(pattern, from); at != std::string::npos;
         at = text.find(pattern, at + replacement.size())) {
        text.replace(at, pattern.size(), replacement);
    }
}

}  // namespace

void append_rule_line(std::string& out, const PolicyRule& rule,
                      const std::vector<FuncPlaceholder>& placeholders) {
    out.append(rule.operation).append(" ").append(rule.user).append(" ");
    out.append(operand_sigil(rule.subject)).append(rule.subject).append(" ");
    out.append(operand_sigil(rule.object)).append(rule.object).append(" ");
    out.append(rule.object_type).append(" {");
    for (size_t i = 0; i < rule.permission.size(); ++i) {
        if (i != 0) out.push_back(',');
        out.append(rule.permission[i]);
    }
    out.append("} ");
    const size_t func_at = out.size();
    out.append(rule.func);
    // Each placeholder in turn over the result of the previous one.
    for (const FuncPlaceholder& placeholder : placeholders) {
        replace_all(out, func_at, placeholder.pattern, placeholder.replacement);
    }
    out.push_back('\n');
}

}  // namespace devctl
