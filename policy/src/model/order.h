#pragma once
// Order and equality of rules and of USB-id and network-card entries: the
// records' own field-by-field comparisons, under the names the merge uses.
#include "model/policy.h"

namespace devctl {

inline bool policy_rule_less(const PolicyRule& a, const PolicyRule& b) { return a < b; }
inline bool policy_rule_eq(const PolicyRule& a, const PolicyRule& b) { return a == b; }

inline bool pvid_less(const Pvid& a, const Pvid& b) { return a < b; }
inline bool netcard_less(const Netcard& a, const Netcard& b) { return a < b; }

}  // namespace devctl
