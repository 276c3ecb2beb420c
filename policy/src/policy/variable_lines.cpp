#include "policy/variable_lines.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <ranges>
#include <type_traits>
#include <variant>

#include "policy/render_text.h"

namespace devctl {
namespace {

const StringList* text_list_items(const VariableTypes& value) {
    switch (value.kind()) {
    case VariableKind::Username: return &std::get<kind_index<VariableKind::Username>>(value.value);
    case VariableKind::Kmod: return &std::get<kind_index<VariableKind::Kmod>>(value.value);
    case VariableKind::Path: return &std::get<kind_index<VariableKind::Path>>(value.value);
    case VariableKind::Package: return &std::get<kind_index<VariableKind::Package>>(value.value);
    case VariableKind::PathPackage:
        return &std::get<kind_index<VariableKind::PathPackage>>(value.value);
    default: return nullptr;
    }
}

// The line "form name = " and the items, or "NULL" for none.
template <class Items, class AppendItem>
void append_list_declaration(std::string& out, std::string_view form, std::string_view name,
                             Items&& items, AppendItem append_item) {
    out.append(form).append(" ").append(name).append(" = ");
    bool empty = true;
    for (const auto& item : items) {
        if (!empty) out.append(", ");
        append_item(out, item);
        empty = false;
    }
    if (empty) out.append("NULL");
    out.push_back('\n');
}

void append_number(std::string& out, int32_t item) {
    char digits[12];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, item).ptr);
}

void append_quoted(std::string& out, std::string_view item) {
    out.append("\"").append(item).append("\"");
}

// The device rule forms: one line per item, "operation * * * item access
// if ($devctl)", or none.
using RuleForm = void (*)(TextBlock& rules, std::string_view item);

void allow_rule(TextBlock& rules, std::string_view item) {
    append_line(rules, {"allow * * * ", item, " {use, write} if ($devctl)"});
}

void disallow_rule(TextBlock& rules, std::string_view item) {
    append_line(rules, {"disallow * * * ", item, " {use, write} if ($devctl)"});
}

void readonly_rule(TextBlock& rules, std::string_view item) {
    append_line(rules, {"disallow * * * ", item, " {write} if ($devctl)"});
}

void no_rule(TextBlock&, std::string_view) {}

void usb_class_rule(TextBlock& rules, UsbType item) { disallow_rule(rules, usb_type_name(item)); }

// Chosen by the first of "_enable_", "_disable_", "_readonly_" found in the
// name.
RuleForm device_rule_fn(std::string_view variable_name) {
    if (variable_name.find("_enable_") != std::string_view::npos) return allow_rule;
    if (variable_name.find("_disable_") != std::string_view::npos) return disallow_rule;
    if (variable_name.find("_readonly_") != std::string_view::npos) return readonly_rule;
    return no_rule;
}

// Interface lists choose alike; only the name each item is written by differs,
// and map_device_items applies that.
RuleForm interface_rule_fn(std::string_view variable_name) { return device_rule_fn(variable_name); }

// The form applied to every item, in order.
template <class Item>
void map_device_items(TextBlock& rules, RuleForm form, const std::vector<Item>& items) {
    if (form == no_rule) {
        // Without a form every item still has its line, an empty one, except
        // that a single empty line is left out.
        if (items.size() > 1) room(rules).append(items.size(), '\n');
        return;
    }
    for (Item item : items) form(rules, item_name(item));
}

template <class Items>
void strlist_declaration(std::string& out, std::string_view name, Items&& items) {
    append_list_declaration(out, "strlist", name, std::forward<Items>(items), append_quoted);
}

void intlist_declaration(std::string& out, std::string_view name, const std::vector<int32_t>& items) {
    append_list_declaration(out, "intlist", name, items, append_number);
}

// A disable list declares its classes without usb itself, which becomes one
// rule for every USB device instead; other lists declare every class.
void write_usb_variable(PolicyWriter& writer, std::string_view variable_name,
                        const std::vector<UsbType>& items) {
    const bool disables = variable_name.find("_disable_") != std::string_view::npos;
    const auto declared = [&](UsbType item) { return !disables || item != UsbType::Usb; };
    strlist_declaration(room(writer.declarations), variable_name,
                        items | std::views::filter(declared) | std::views::transform(usb_type_name));
    if (disables && std::ranges::find(items, UsbType::Usb) != items.end()) {
        usb_class_rule(writer.rules, UsbType::Usb);
    }
}

void write_device_class(PolicyWriter& writer, std::string_view variable_name,
                        const DeviceClass& device_class) {
    std::visit(
        [&](const auto& items) {
            using Item = typename std::decay_t<decltype(items)>::value_type;
            if constexpr (std::is_same_v<Item, UsbType>) {
                write_usb_variable(writer, variable_name, items);
            } else {
                const bool interfaces = std::is_same_v<Item, InterfaceType>;
                map_device_items(writer.rules,
                                 interfaces ? interface_rule_fn(variable_name) : device_rule_fn(variable_name),
                                 items);
            }
        },
        device_class.value);
}

}  // namespace

void write_variable(PolicyWriter& writer, const Variable& variable) {
    const VariableTypes& value = variable.value;
    if (value.kind() == VariableKind::Uid) {
        intlist_declaration(room(writer.declarations), variable.name,
                            std::get<kind_index<VariableKind::Uid>>(value.value));
    } else if (const StringList* texts = text_list_items(value)) {
        strlist_declaration(room(writer.declarations), variable.name, *texts);
    } else if (value.kind() == VariableKind::DeviceClass && writer.name != kDefenderScene) {
        write_device_class(writer, variable.name,
                           std::get<kind_index<VariableKind::DeviceClass>>(value.value));
    }
}

std::string item_name(InterfaceType item) { return interface_type_name(item); }
std::string item_name(DeviceType item) { return device_type_name(item); }

}  // namespace devctl
