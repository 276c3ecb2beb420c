#include "policy/defender_rules.h"

#include <algorithm>
#include <array>
#include <span>
#include <type_traits>
#include <variant>
#include <vector>

#include "log/log.h"
#include "policy/defender_blocks.h"
#include "policy/render_text.h"
#include "policy/variable_lines.h"

namespace devctl {
namespace {

// One entry of a list's rule table.
enum class Step : uint8_t {
    Off, Notice, AllowUse, AllowWrite, DenyUse, DenyWrite, HardDriveExec, CdDenyExec, CdAllowExec,
};

using Steps = std::vector<Step>;

// What a USB list holding mass_storage writes; the first such list wins.
struct MassStorageRules {
    std::string_view list;
    Steps steps;
};

// What a device or interface list writes for each member and after each
// cdrom member; an enable list first turns interaction off, even when empty.
struct ClassListRules {
    std::string_view suffix;
    bool opens_off;
    Steps member;
    Steps cdrom;
};

using enum Step;

// A member of usb_disable_list, and every USB device when the group is disabled.
const Steps kDenySteps = {Notice, DenyUse, DenyWrite};

const std::array<MassStorageRules, 6> kMassStorageRules = {{
    {"usb_enable_list", {Off, AllowUse, AllowWrite}},
    {"usb_disable_list", {Notice, DenyUse, DenyWrite, HardDriveExec}},
    {"usb_readonly_list", {Off, AllowUse, Notice, DenyWrite, HardDriveExec}},
    {"usb_read_write_list", {Off, AllowUse, AllowWrite, Notice, HardDriveExec}},
    {"usb_read_exec_list", {Off, AllowUse, Notice, DenyWrite}},
    {"usb_read_write_exec_list", {Off, AllowUse, AllowWrite}},
}};

// Device lists use all six; interface lists the first three, without cdrom lines.
const std::array<ClassListRules, 6> kClassListRules = {{
    {"_enable_list", true, {AllowUse, AllowWrite}, {Off, AllowUse, AllowWrite}},
    {"_disable_list", false, {Notice, DenyUse, DenyWrite},
     {Notice, DenyUse, DenyWrite, CdDenyExec}},
    {"_readonly_list", false, {Off, AllowUse, Notice, DenyWrite},
     {Off, AllowUse, Notice, DenyWrite, CdDenyExec}},
    {"_read_write_list", false, {Off, AllowUse, AllowWrite},
     {Off, AllowUse, AllowWrite, Notice, CdDenyExec}},
    {"_read_exec_list", false, {Off, AllowUse, Notice, DenyWrite},
     {Off, AllowUse, CdAllowExec, Notice, DenyWrite}},
    {"_read_write_exec_list", false, {Off, AllowUse, AllowWrite},
     {Off, AllowUse, AllowWrite, CdAllowExec}},
}};
constexpr size_t kInterfaceListCount = 3;

// Appends the lines of each step; access steps append theirs with
// append_access(piece, access).
template <class AppendAccess>
void append_steps(TextBlock& rules, const Steps& steps, AppendAccess append_access) {
    for (Step step : steps) {
        switch (step) {
        case Off: append_line(rules, {kInteractiveOff}); break;
        case Notice: append_line(rules, {kInteractiveNotice}); break;
        case AllowUse: append_access(room(rules), Access::AllowUse); break;
        case AllowWrite: append_access(room(rules), Access::AllowWrite); break;
        case DenyUse: append_access(room(rules), Access::DenyUse); break;
        case DenyWrite: append_access(room(rules), Access::DenyWrite); break;
        case HardDriveExec: append_line(rules, {kHardDriveExecLine}); break;
        case CdDenyExec: append_line(rules, {kCdDenyExecLine}); break;
        case CdAllowExec: append_line(rules, {kCdAllowExecLine}); break;
        }
    }
}

// The first variable of that name, whatever its kind.
const Variable* first_variable(const Module& module, std::string_view name) {
    const auto found = std::ranges::find(module.variables, name, &Variable::name);
    return found == module.variables.end() ? nullptr : &*found;
}

template <class Item>
const std::vector<Item>* class_list(const Module& module, std::string_view name) {
    const Variable* variable = first_variable(module, name);
    if (variable == nullptr || variable->value.kind() != VariableKind::DeviceClass) return nullptr;
    const DeviceClass& device_class =
        std::get<kind_index<VariableKind::DeviceClass>>(variable->value.value);
    return std::get_if<std::vector<Item>>(&device_class.value);
}

UsbGroupPerm usb_group_perm(const Module& module) {
    const Variable* variable = first_variable(module, "usb_group_perm");
    if (variable != nullptr && variable->value.kind() == VariableKind::String) {
        auto perm = usb_group_perm_from_str(
            std::get<kind_index<VariableKind::String>>(variable->value.value));
        if (perm) return *perm;
    }
    log_message(LogLevel::Warning, "devctl usb group perm not found or invalid");
    return UsbGroupPerm::Enable;
}

void write_usb_member_rules(const Module& module, TextBlock& rules) {
    const std::vector<UsbType>* disabled = class_list<UsbType>(module, "usb_disable_list");
    if (disabled == nullptr) return;
    for (UsbType member : *disabled) {
        if (member == UsbType::MassStorage) continue;
        const std::string name = usb_type_name(member);
        append_steps(rules, kDenySteps, [&](std::string& out, Access access) {
            append_usb_class_line(out, access, name);
        });
    }
}

void write_mass_storage_rules(const Module& module, TextBlock& rules) {
    for (const MassStorageRules& entry : kMassStorageRules) {
        const std::vector<UsbType>* list = class_list<UsbType>(module, entry.list);
        if (list == nullptr || std::ranges::find(*list, UsbType::MassStorage) == list->end()) {
            continue;
        }
        append_steps(rules, entry.steps, [](std::string& out, Access access) {
            out.append(mass_storage_block(access));
        });
        return;
    }
}

template <class Item>
void write_class_list(const Module& module, std::string_view prefix, const ClassListRules& entry,
                      TextBlock& rules) {
    const std::vector<Item>* list = class_list<Item>(module, std::string(prefix).append(entry.suffix));
    if (list == nullptr) return;
    if (entry.opens_off) append_line(rules, {kInteractiveOff});
    for (Item member : *list) {
        const std::string name = item_name(member);
        append_steps(rules, entry.member, [&](std::string& out, Access access) {
            append_device_line(out, access, name);
        });
        if constexpr (std::is_same_v<Item, DeviceType>) {
            if (member == DeviceType::Cdrom) append_steps(rules, entry.cdrom, append_cd_line);
        }
    }
}

void write_usb_group_perm_rules(const Module& module, PolicyWriter& writer) {
    const UsbGroupPerm perm = usb_group_perm(module);
    append_line(writer.rules, {kInteractiveOff});
    append_usb_class_open_lines(room(writer.rules), usb_type_name(UsbType::Hid));
    append_usb_class_open_lines(room(writer.rules), usb_type_name(UsbType::Hub));
    if (perm == UsbGroupPerm::Disable) {
        append_steps(writer.rules, kDenySteps, [](std::string& out, Access access) {
            append_device_line(out, access, "usb");
        });
        return;
    }
    write_usb_member_rules(module, writer.rules);
    write_mass_storage_rules(module, writer.rules);
}

void write_device_list_rules(const Module& module, PolicyWriter& writer) {
    for (const ClassListRules& entry : kClassListRules) {
        write_class_list<DeviceType>(module, "device", entry, writer.rules);
    }
}

void write_interface_list_rules(const Module& module, PolicyWriter& writer) {
    for (const ClassListRules& entry : std::span(kClassListRules).first<kInterfaceListCount>()) {
        write_class_list<InterfaceType>(module, "interface", entry, writer.rules);
    }
}

}  // namespace

void write_defender_rules(const Module& module, PolicyWriter& writer) {
    append_line(writer.rules, {kInteractiveOff});
    write_usb_group_perm_rules(module, writer);
    write_device_list_rules(module, writer);
    write_interface_list_rules(module, writer);
    room(writer.rules).append(defender_closing_block());
}

}  // namespace devctl
