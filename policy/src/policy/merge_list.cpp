#include "policy/merge_list.h"

#include <utility>

#include "model/order.h"

namespace devctl {

bool MergeOrder<Pvid>::less(const Pvid& a, const Pvid& b) { return pvid_less(a, b); }

bool MergeOrder<Pvid>::same(const Pvid& a, const Pvid& b) {
    return a.usb_type == b.usb_type && a.pid == b.pid && a.vid == b.vid && a.serial == b.serial;
}

bool MergeOrder<Netcard>::less(const Netcard& a, const Netcard& b) { return netcard_less(a, b); }

bool MergeOrder<Netcard>::same(const Netcard& a, const Netcard& b) {
    return a.name == b.name && a.netcard_type == b.netcard_type;
}

bool MergeOrder<PolicyRule>::less(const PolicyRule& a, const PolicyRule& b) {
    return policy_rule_less(a, b);
}

bool MergeOrder<PolicyRule>::same(const PolicyRule& a, const PolicyRule& b) {
    return policy_rule_eq(a, b);
}

void merge_rules(std::vector<PolicyRule>& base, std::vector<PolicyRule>&& add) {
    merge_list(base, std::move(add));
}

}  // namespace devctl
