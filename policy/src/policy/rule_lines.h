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

// Appends the rule's line; the caller skips rules without permissions.
void append_rule_line(std::string& out, const PolicyRule& rule,
                      const std::vector<FuncPlaceholder>& placeholders);

}  // namespace devctl
