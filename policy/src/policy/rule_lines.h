#pragma once
// The access-rule lines of a module section and the func placeholders
// expanded in them.
#include <string>
#include <string_view>
#include <vector>

#include "model/policy.h"

namespace devctl {

// One "@@name@@" placeholder and its quoted, comma-joined values.
struct FuncPlaceholder {
    std::string pattern;
    std::string replacement;
};

// The module's own func variables, in list order.
std::vector<FuncPlaceholder> collect_func_variables(const Module& module);

// Each placeholder in turn over the result of the previous one.
std::string expand_func_placeholders(std::string_view func,
                                     const std::vector<FuncPlaceholder>& placeholders);

// A subject or object: "*" stays as it is, anything else gets a "$" before it.
void append_rule_operand(std::string& out, std::string_view text);

// The rule's line; the caller skips rules without permissions.
std::string rule_line(const PolicyRule& rule, const std::vector<FuncPlaceholder>& placeholders);

}  // namespace devctl
