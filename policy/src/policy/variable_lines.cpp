#include "policy/variable_lines.h"

#include <charconv>
#include <cstdint>
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

// "form name = " and the items, or "NULL" for none.
template <class Items, class AppendItem>
std::string list_declaration(std::string_view form, std::string_view name, const Items& items,
                             size_t item_size, AppendItem append_item) {
    std::string out;
    out.reserve(form.size() + name.size() + 8 + items.size() * (item_size + 2));
    out.append(form).append(" ").append(name).append(" = ");
    if (items.empty()) out.append("NULL");
    for (size_t i = 0; i < items.size(); ++i) {
        if (i != 0) out.append(", ");
        append_item(out, items[i]);
    }
    return out;
}

std::string intlist_declaration(std::string_view name, const std::vector<int32_t>& items) {
    return list_declaration("intlist", name, items, 11, [](std::string& out, int32_t item) {
        char digits[12];
        const auto end = std::to_chars(digits, digits + sizeof digits, item).ptr;
        out.append(digits, end);
    });
}

std::string strlist_declaration(std::string_view name, const std::vector<std::string>& items) {
    size_t text_size = 0;
    for (const std::string& item : items) text_size += item.size();
    const size_t average = items.empty() ? 0 : text_size / items.size() + 1;
    return list_declaration("strlist", name, items, average + 2,
                            [](std::string& out, const std::string& item) {
                                out.append("\"").append(item).append("\"");
                            });
}

template <class Item>
using RuleFn = std::string (*)(Item);

// Rule forms: one line per device or interface item.
template <class Item>
std::string allow_rule(Item item) {
    return concat_text({"allow * * * ", item_name(item), " {use, write} if ($devctl)"});
}

template <class Item>
std::string disallow_rule(Item item) {
    return concat_text({"disallow * * * ", item_name(item), " {use, write} if ($devctl)"});
}

template <class Item>
std::string readonly_rule(Item item) {
    return concat_text({"disallow * * * ", item_name(item), " {write} if ($devctl)"});
}

template <class Item>
std::string no_rule(Item) {
    return {};
}

// Chosen by the first of "_enable_", "_disable_", "_readonly_" found in the name.
template <class Item>
RuleFn<Item> rule_fn_for(std::string_view variable_name) {
    if (variable_name.find("_enable_") != std::string_view::npos) return allow_rule<Item>;
    if (variable_name.find("_disable_") != std::string_view::npos) return disallow_rule<Item>;
    if (variable_name.find("_readonly_") != std::string_view::npos) return readonly_rule<Item>;
    return no_rule<Item>;
}

std::string usb_class_rule(UsbType item) {
    return concat_text({"disallow * * * ", usb_type_name(item), " {use, write} if ($devctl)"});
}

template <class Item>
std::string device_rule_entry(std::string_view variable_name, const std::vector<Item>& items) {
    const RuleFn<Item> rule = rule_fn_for<Item>(variable_name);
    std::vector<std::string> lines;
    lines.reserve(items.size());
    for (Item item : items) lines.push_back(rule(item));
    return join_texts(lines, "\n");
}

void write_usb_variable(PolicyWriter& writer, std::string_view variable_name,
                        const std::vector<UsbType>& items) {
    const bool disables = variable_name.find("_disable_") != std::string_view::npos;
    std::vector<std::string> names;
    names.reserve(items.size());
    std::string class_rule;
    for (UsbType item : items) {
        if (item == UsbType::Usb && disables) {
            class_rule = usb_class_rule(item);
        } else {
            names.push_back(usb_type_name(item));
        }
    }
    writer.declarations.push_back(strlist_declaration(variable_name, names));
    if (!class_rule.empty()) writer.rules.push_back(std::move(class_rule));
}

void write_device_class(PolicyWriter& writer, std::string_view variable_name,
                        const DeviceClass& device_class) {
    std::visit(
        [&](const auto& items) {
            using Item = typename std::decay_t<decltype(items)>::value_type;
            if constexpr (std::is_same_v<Item, UsbType>) {
                write_usb_variable(writer, variable_name, items);
            } else {
                writer.rules.push_back(device_rule_entry(variable_name, items));
            }
        },
        device_class.value);
}

}  // namespace

void write_variable(PolicyWriter& writer, const Variable& variable) {
    const VariableTypes& value = variable.value;
    if (value.kind() == VariableKind::Uid) {
        writer.declarations.push_back(intlist_declaration(
            variable.name, std::get<kind_index<VariableKind::Uid>>(value.value)));
    } else if (const StringList* texts = text_list_items(value)) {
        writer.declarations.push_back(strlist_declaration(variable.name, *texts));
    } else if (value.kind() == VariableKind::DeviceClass && writer.name != kDefenderScene) {
        write_device_class(writer, variable.name,
                           std::get<kind_index<VariableKind::DeviceClass>>(value.value));
    }
}

std::string item_name(InterfaceType item) { return interface_type_name(item); }
std::string item_name(DeviceType item) { return device_type_name(item); }

}  // namespace devctl
