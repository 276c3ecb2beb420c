#include "policy/merge_list.h"

#include <string_view>
#include <utility>

namespace devctl {

bool MergeOrder<Pvid>::same(const Pvid& a, const Pvid& b) {
    return a.usb_type == b.usb_type && a.pid == b.pid && a.vid == b.vid && a.serial == b.serial;
}

namespace {

// Below about this many rules, building every key costs more than the few
// compares it saves.
constexpr size_t kKeyedMergeFrom = 24;

void append_key_text(std::string& out, std::string_view text) {
    for (size_t nul; (nul = text.find('\0')) != std::string_view::npos; text.remove_prefix(nul + 1)) {
        out.append(text.data(), nul);
        out.append("\0\1", 2);
    }
    out.append(text);
    out.append("\0\0", 2);
}

}  // namespace

void append_rule_key(std::string& out, const PolicyRule& rule) {
    out += rule.name ? '\1' : '\0';
    if (rule.name) append_key_text(out, *rule.name);
    for (const std::string* text : {&rule.operation, &rule.user, &rule.subject, &rule.object, &rule.object_type})
        append_key_text(out, *text);
    for (const std::string& permission : rule.permission) {
        out += '\1';
        append_key_text(out, permission);
    }
    out += '\0';
    append_key_text(out, rule.func);
    append_key_text(out, rule.eval_func);
}

// The keys of base and add, in that order, share one buffer. Sorting
// (key, position) entries moves neither rules nor keys, and keeps the first
// of equal rules first; each kept rule is then moved once into place.
void merge_rules(std::vector<PolicyRule>& base, std::vector<PolicyRule>&& add) {
    if (base.size() + add.size() < kKeyedMergeFrom) return merge_list(base, std::move(add));
    const size_t base_size = base.size();
    const size_t total = base_size + add.size();
    auto at = [&](size_t i) -> PolicyRule& { return i < base_size ? base[i] : add[i - base_size]; };

    struct Keyed {
        size_t begin, size, index;
    };
    std::vector<Keyed> order;
    order.reserve(total);
    std::string keys;
    for (size_t i = 0; i < total; ++i) {
        const size_t begin = keys.size();
        append_rule_key(keys, at(i));
        order.push_back({begin, keys.size() - begin, i});
    }
    auto key = [&](const Keyed& k) { return std::string_view(keys.data() + k.begin, k.size); };
    std::sort(order.begin(), order.end(), [&](const Keyed& a, const Keyed& b) {
        const auto c = key(a) <=> key(b);
        return c != 0 ? c < 0 : a.index < b.index;
    });

    std::vector<PolicyRule> merged;
    merged.reserve(total);
    for (size_t i = 0; i < total; ++i)
        if (i == 0 || key(order[i]) != key(order[i - 1])) merged.push_back(std::move(at(order[i].index)));
    base = std::move(merged);
}

}  // namespace devctl
