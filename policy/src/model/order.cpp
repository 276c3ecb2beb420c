#include "model/order.h"

#include <compare>
#include <tuple>

namespace devctl {
namespace {

// Absent sorts before any present text; texts compare byte by byte
// (std::string compares as unsigned char), the shorter prefix first.
std::strong_ordering compare_optional(const std::optional<std::string>& a,
                                      const std::optional<std::string>& b) {
    if (a.has_value() != b.has_value()) return a.has_value() <=> b.has_value();
    if (!a) return std::strong_ordering::equal;
    return a->compare(*b) <=> 0;
}

std::strong_ordering compare_rules(const PolicyRule& a, const PolicyRule& b) {
    if (auto c = compare_optional(a.name, b.name); c != 0) return c;
    return std::tie(a.operation, a.user, a.subject, a.object, a.object_type, a.permission, a.func,
                    a.eval_func) <=>
           std::tie(b.operation, b.user, b.subject, b.object, b.object_type, b.permission, b.func,
                    b.eval_func);
}

}  // namespace

bool policy_rule_less(const PolicyRule& a, const PolicyRule& b) { return compare_rules(a, b) < 0; }

bool policy_rule_eq(const PolicyRule& a, const PolicyRule& b) { return compare_rules(a, b) == 0; }

bool pvid_less(const Pvid& a, const Pvid& b) {
    if (auto c = std::tie(a.usb_type, a.pid, a.vid) <=> std::tie(b.usb_type, b.pid, b.vid); c != 0)
        return c < 0;
    if (auto c = compare_optional(a.serial, b.serial); c != 0) return c < 0;
    return compare_optional(a.name, b.name) < 0;
}

bool netcard_less(const Netcard& a, const Netcard& b) {
    if (int c = a.name.compare(b.name); c != 0) return c < 0;
    return a.netcard_type < b.netcard_type;
}

}  // namespace devctl
