#include <gtest/gtest.h>

#include <array>

#include "model/order.h"

namespace devctl {
namespace {

PolicyRule rule(std::optional<std::string> name, std::vector<std::string> permission = {},
                std::string operation = "o") {
    PolicyRule r;
    r.name = std::move(name);
    r.operation = std::move(operation);
    r.permission = std::move(permission);
    return r;
}

TEST(Orders, PolicyRules) {
    struct Case {
        PolicyRule a, b;  // a sorts strictly before b
    };
    const Case cases[] = {
        {rule(std::nullopt), rule("")},
        {rule("ab"), rule("b")},
        {rule("ab"), rule("abc")},
        {rule("Z"), rule("a")},
        {rule("a"), rule("\xc3\xa9")},  // bytes compare unsigned
        {rule(std::nullopt, {"a"}), rule(std::nullopt, {"a", "b"})},
        {rule(std::nullopt, {"a", "b"}), rule(std::nullopt, {"b"})},
        {rule(std::nullopt, {}), rule(std::nullopt, {""})},
        {rule("n", {"z"}, "a"), rule("n", {"a"}, "b")},  // operation decides before permission
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(policy_rule_less(c.a, c.b));
        EXPECT_FALSE(policy_rule_less(c.b, c.a));
        EXPECT_FALSE(policy_rule_eq(c.a, c.b));
    }
    PolicyRule full = rule("n", {"r", "w"});
    full.user = "u";
    full.eval_func = "e";
    PolicyRule same = full;
    EXPECT_TRUE(policy_rule_eq(full, same));
    EXPECT_FALSE(policy_rule_less(full, same));
    same.eval_func = "f";
    EXPECT_TRUE(policy_rule_less(full, same));
}

// The order follows the field declarations: for each field, a rule that is
// smaller there sorts first whatever the later fields hold.
TEST(Orders, RuleFieldsDecideInDeclarationOrder) {
    // Assigned by name, so that moving a field changes the outcome.
    auto rule_of = [](const std::array<std::string, 9>& f) {
        PolicyRule r;
        r.name = f[0];
        r.operation = f[1];
        r.user = f[2];
        r.subject = f[3];
        r.object = f[4];
        r.object_type = f[5];
        r.permission = {f[6]};
        r.func = f[7];
        r.eval_func = f[8];
        return r;
    };
    for (size_t field = 0; field < 9; ++field) {
        std::array<std::string, 9> a, b;
        for (size_t i = 0; i < 9; ++i) {
            a[i] = i < field ? "m" : i == field ? "a" : "z";
            b[i] = i < field ? "m" : i == field ? "b" : "a";
        }
        EXPECT_TRUE(policy_rule_less(rule_of(a), rule_of(b))) << field;
        EXPECT_FALSE(policy_rule_less(rule_of(b), rule_of(a))) << field;
    }
}

Pvid pvid(int32_t usb_type, uint32_t pid, std::optional<std::string> serial = std::nullopt,
          std::optional<std::string> name = std::nullopt) {
    return Pvid{usb_type, pid, 0, std::move(serial), std::move(name)};
}

// Assigned by name, so that moving a field changes the outcome.
Pvid pvid_of(int32_t usb_type, uint32_t pid, uint32_t vid, std::string serial, std::string name) {
    Pvid p;
    p.usb_type = usb_type;
    p.pid = pid;
    p.vid = vid;
    p.serial = std::move(serial);
    p.name = std::move(name);
    return p;
}

TEST(Orders, PvidAndNetcard) {
    struct Case {
        Pvid a, b;
    };
    const Case cases[] = {
        {pvid(-1, 9), pvid(0, 0)},
        {pvid(0, 1), pvid(0, 4294967295u)},
        {pvid(0, 1, std::nullopt), pvid(0, 1, "")},
        {pvid(0, 1, "ab"), pvid(0, 1, "abc")},
        {pvid(0, 1, "abc"), pvid(0, 1, "b")},
        {pvid(0, 1, "s", std::nullopt), pvid(0, 1, "s", "n")},
        {Pvid{0, 1, 1, std::nullopt, std::nullopt}, Pvid{0, 1, 4294967295u, std::nullopt, std::nullopt}},
        // an earlier field decides whatever the later ones hold
        {pvid_of(-1, 9, 9, "z", "z"), pvid_of(0, 1, 1, "a", "a")},
        {pvid_of(0, 1, 9, "z", "z"), pvid_of(0, 2, 1, "a", "a")},
        {pvid_of(0, 1, 1, "z", "z"), pvid_of(0, 1, 2, "a", "a")},
        {pvid_of(0, 1, 1, "a", "z"), pvid_of(0, 1, 1, "b", "a")},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(c.a < c.b);
        EXPECT_FALSE(c.b < c.a);
    }
    EXPECT_FALSE(pvid(0, 1, "s") < pvid(0, 1, "s"));

    EXPECT_TRUE((Netcard{"a", NetcardType::Netcard} < Netcard{"b", NetcardType::WirelessCard}));
    EXPECT_TRUE((Netcard{"a", NetcardType::WirelessCard} < Netcard{"a", NetcardType::Netcard}));
    EXPECT_TRUE((Netcard{"a", NetcardType::Netcard} < Netcard{"ab", NetcardType::WirelessCard}));
    EXPECT_FALSE((Netcard{"a", NetcardType::Netcard} < Netcard{"a", NetcardType::Netcard}));
}

}  // namespace
}  // namespace devctl
