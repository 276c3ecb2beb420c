#pragma once
// Order and equality of rules: the records' own field-by-field comparisons,
// under the names the merge uses.
#include "model/policy.h"

namespace devctl {

inline bool policy_rule_less(const PolicyRule& a, const PolicyRule& b) { return a < b; }
inline bool policy_rule_eq(const PolicyRule& a, const PolicyRule& b) { return a == b; }

}  // namespace devctl
