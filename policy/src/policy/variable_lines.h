#pragma once
// The declarations and device rule lines a module's variables contribute to
// the rule text.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/policy.h"
#include "policy/policy_writer.h"

namespace devctl {

// Appends at most one declaration entry and at most one rule entry.
void write_variable(PolicyWriter& writer, const Variable& variable);

std::string intlist_declaration(std::string_view name, const std::vector<int32_t>& items);
std::string strlist_declaration(std::string_view name, const std::vector<std::string>& items);

// The JSON name of an item, for either device-class kind.
std::string item_name(InterfaceType item);
std::string item_name(DeviceType item);

// Rule forms: one line per device or interface item.
template <class Item> std::string allow_rule(Item item);
template <class Item> std::string disallow_rule(Item item);
template <class Item> std::string readonly_rule(Item item);
template <class Item> std::string no_rule(Item item);

template <class Item>
using RuleFn = std::string (*)(Item);

// Chosen by the first of "_enable_", "_disable_", "_readonly_" found in the name.
RuleFn<InterfaceType> interface_rule_fn(std::string_view variable_name);
RuleFn<DeviceType> device_rule_fn(std::string_view variable_name);

std::string usb_class_rule(UsbType item);

template <class Item>
std::vector<std::string> map_device_items(const std::vector<Item>& items, RuleFn<Item> rule) {
    std::vector<std::string> lines;
    lines.reserve(items.size());
    for (Item item : items) lines.push_back(rule(item));
    return lines;
}

}  // namespace devctl
