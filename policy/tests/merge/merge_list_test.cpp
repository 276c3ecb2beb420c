// Sorted union of lists: order, duplicate tests and the first-of-a-run rule.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>

#include "merge_builders.h"
#include "model/order.h"
#include "policy/merge_list.h"

namespace devctl {
namespace {

using test::rule;

template <class T>
std::vector<T> merged(std::vector<T> base, std::vector<T> add) {
    merge_list(base, std::move(add));
    return base;
}

struct IntCase {
    const char* what;
    std::vector<int32_t> base, add, expected;
};

TEST(MergeListTest, Integers) {
    const IntCase cases[] = {
        {"union sorted, base duplicate dropped", {5, 1, 5}, {3}, {1, 3, 5}},
        {"empty add still sorts and dedups", {2, 2, 1}, {}, {1, 2}},
        {"empty base takes add, sorted", {}, {9, 9, -3}, {-3, 9}},
        {"both empty", {}, {}, {}},
        {"single element", {7}, {}, {7}},
        {"signed order", {0, INT_MAX}, {INT_MIN, -1}, {INT_MIN, -1, 0, INT_MAX}},
        {"add duplicates base", {4, 2}, {2, 4}, {2, 4}},
    };
    for (const auto& c : cases) EXPECT_EQ(merged(c.base, c.add), c.expected) << c.what;
}

TEST(MergeListTest, StringsCompareUnsignedBytesShorterFirst) {
    EXPECT_EQ(merged<std::string>({"b", "ab", "\xc3\xa9", "a"}, {"Z", "ab", ""}),
              (std::vector<std::string>{"", "Z", "a", "ab", "b", "\xc3\xa9"}));
    // A string with an embedded NUL is a different string from its prefix.
    EXPECT_EQ(merged<std::string>({std::string("a\0", 2)}, {"a"}).size(), 2u);
}

TEST(MergeListTest, DeviceEnumerationsByNumber) {
    EXPECT_EQ(merged<UsbType>({UsbType::Usb8020, UsbType::Hid}, {UsbType::Usb, UsbType::Hid}),
              (std::vector<UsbType>{UsbType::Usb, UsbType::Hid, UsbType::Usb8020}));
    EXPECT_EQ(merged<DeviceType>({DeviceType::AudioMic, DeviceType::Cdrom}, {DeviceType::Bluetooth}),
              (std::vector<DeviceType>{DeviceType::Bluetooth, DeviceType::Cdrom, DeviceType::AudioMic}));
    EXPECT_EQ(merged<InterfaceType>({InterfaceType::Mmc, InterfaceType::Mmc}, {InterfaceType::Serial}),
              (std::vector<InterfaceType>{InterfaceType::Serial, InterfaceType::Mmc}));
}

Pvid pvid(int32_t usb_type, uint32_t pid, std::optional<std::string> serial, std::optional<std::string> name) {
    return Pvid{usb_type, pid, 2, std::move(serial), std::move(name)};
}

struct PvidCase {
    const char* what;
    std::vector<Pvid> base, add;
    std::vector<std::pair<std::optional<std::string>, std::optional<std::string>>> expected;  // serial, name
};

TEST(MergeListTest, PvidDuplicatesIgnoreTheName) {
    const auto none = std::nullopt;
    const PvidCase cases[] = {
        {"absent name wins over a present one", {pvid(8, 1, "s", "disk")}, {pvid(8, 1, "s", none)}, {{"s", none}}},
        {"smallest name wins", {pvid(8, 1, none, "b")}, {pvid(8, 1, none, "a")}, {{none, "a"}}},
        {"absent serial differs from empty serial", {pvid(8, 1, "", none)}, {pvid(8, 1, none, none)},
         {{none, none}, {"", none}}},
        {"serial prefix sorts first", {pvid(8, 1, "abc", none)}, {pvid(8, 1, "ab", none), pvid(8, 1, "b", none)},
         {{"ab", none}, {"abc", none}, {"b", none}}},
    };
    for (const auto& c : cases) {
        const auto out = merged(c.base, c.add);
        ASSERT_EQ(out.size(), c.expected.size()) << c.what;
        for (size_t i = 0; i < out.size(); ++i) {
            EXPECT_EQ(out[i].serial, c.expected[i].first) << c.what;
            EXPECT_EQ(out[i].name, c.expected[i].second) << c.what;
        }
    }
}

TEST(MergeListTest, PvidNumericFieldsOrderAndDistinguish) {
    const auto out = merged<Pvid>({pvid(0, 1, "s", "x"), pvid(-1, 4294967295u, "s", "x")},
                                  {pvid(0, 4294967295u, "s", "x"), pvid(0, 1, "s", "y")});
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].usb_type, -1);
    EXPECT_EQ(out[1].pid, 1u);
    EXPECT_EQ(out[1].name, "x");
    EXPECT_EQ(out[2].pid, 4294967295u);
}

TEST(MergeListTest, NetcardKeepsSameNameWithDifferentType) {
    const auto out = merged<Netcard>({{"eth0", NetcardType::Netcard}, {"eth0", NetcardType::Netcard}},
                                     {{"eth0", NetcardType::WirelessCard}, {"a", NetcardType::Netcard}});
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].name, "a");
    EXPECT_EQ(out[1].netcard_type, NetcardType::WirelessCard);
    EXPECT_EQ(out[2].netcard_type, NetcardType::Netcard);
}

TEST(MergeListTest, RulesSortAndDropOnlyWhollyEqualRules) {
    std::vector<PolicyRule> base{rule("b", "/x"), rule(std::nullopt, "/x"), rule("b", "/x")};
    merge_rules(base, {rule("", "/x"), rule(std::nullopt, "/x", {"r", "w"}), rule("b", "/x")});
    ASSERT_EQ(base.size(), 4u);
    EXPECT_EQ(base[0].name, std::nullopt);
    EXPECT_EQ(base[0].permission, (std::vector<std::string>{"r"}));
    EXPECT_EQ(base[1].name, std::nullopt);
    EXPECT_EQ(base[1].permission, (std::vector<std::string>{"r", "w"}));
    EXPECT_EQ(base[2].name, "");  // an empty name is not the absent name
    EXPECT_EQ(base[3].name, "b");
}

// Rules that differ in one field by the bytes a key encoding gets wrong:
// NUL and bytes from 0x80 up, prefixes, an absent or empty name, a NUL
// against the end of a field, permission lists of different lengths.
std::vector<PolicyRule> tricky_rules() {
    using namespace std::string_literals;
    const std::vector<std::string> texts{""s, "\0"s, "\0\0"s, "\0\1"s, "\1"s, "a"s, "a\0"s, "a\0b"s, "ab"s, "\x7f"s, "\x80"s, "\xff"s};
    const std::vector<std::vector<std::string>> permissions{
        {}, {""}, {"", ""}, {"\0"s}, {"r"}, {"r", ""}, {"r", "w"}, {"rw"}, {"r\0w"s}, {"\xff"}, {"r", "w", "x"}};
    const std::vector<std::function<void(PolicyRule&, const std::string&)>> set_text{
        [](PolicyRule& r, const std::string& t) { r.name = t; },
        [](PolicyRule& r, const std::string& t) { r.operation = t; },
        [](PolicyRule& r, const std::string& t) { r.object = t; },
        [](PolicyRule& r, const std::string& t) { r.eval_func = t; },
    };
    std::vector<PolicyRule> rules{rule(std::nullopt, "/x")};
    for (const auto& set : set_text)
        for (const std::string& text : texts) set(rules.emplace_back(rule(std::nullopt, "/x")), text);
    for (const auto& permission : permissions) rules.push_back(rule("", "/x", permission));
    // A NUL at the end of one field against the start of the next.
    PolicyRule left = rule(std::nullopt, "/x"), right = left;
    left.user = "a";
    left.subject = "\1";
    right.user = "a\0"s;
    right.subject = "";
    rules.push_back(left);
    rules.push_back(right);
    return rules;
}

std::string key_of(const PolicyRule& rule) {
    std::string key;
    append_rule_key(key, rule);
    return key;
}

TEST(MergeListTest, RuleKeysOrderExactlyLikeTheRuleOrder) {
    const std::vector<PolicyRule> rules = tricky_rules();
    for (size_t i = 0; i < rules.size(); ++i)
        for (size_t j = 0; j < rules.size(); ++j) {
            const std::string a = key_of(rules[i]), b = key_of(rules[j]);
            EXPECT_EQ(a < b, policy_rule_less(rules[i], rules[j])) << i << " " << j;
            EXPECT_EQ(a == b, policy_rule_eq(rules[i], rules[j])) << i << " " << j;
        }

    // A long merge (sorted by key) gives what sorting field by field gives.
    std::vector<PolicyRule> base = rules;
    base.insert(base.end(), rules.begin(), rules.begin() + 5);
    std::vector<PolicyRule> add(rules.rbegin(), rules.rend());
    std::vector<PolicyRule> expected = base;
    expected.insert(expected.end(), add.begin(), add.end());
    std::sort(expected.begin(), expected.end(), policy_rule_less);
    expected.erase(std::unique(expected.begin(), expected.end(), policy_rule_eq), expected.end());
    merge_rules(base, std::move(add));
    ASSERT_EQ(base.size(), expected.size());
    EXPECT_TRUE(std::equal(base.begin(), base.end(), expected.begin(), policy_rule_eq));
}

TEST(MergeListTest, ManyDuplicatesCollapse) {
    std::vector<int32_t> base, add;
    for (int i = 0; i < 10000; ++i) {
        base.push_back(i % 100);
        add.push_back(99 - i % 100);
    }
    merge_list(base, std::move(add));
    ASSERT_EQ(base.size(), 100u);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(base[i], i);
}

}  // namespace
}  // namespace devctl
