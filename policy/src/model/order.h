#pragma once
// Order and equality of rules and of USB-id and network-card entries.
#include "model/policy.h"

namespace devctl {

bool policy_rule_less(const PolicyRule& a, const PolicyRule& b);
bool policy_rule_eq(const PolicyRule& a, const PolicyRule& b);

// Natural orders: fields in declaration order, absent text before present.
bool pvid_less(const Pvid& a, const Pvid& b);
bool netcard_less(const Netcard& a, const Netcard& b);

}  // namespace devctl
