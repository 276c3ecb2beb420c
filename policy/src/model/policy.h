#pragma once
// In-memory form of a scene policy document.
#include <compare>
#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "model/vocabulary.h"

namespace devctl {

// The records below order field by field in declaration order, so keep
// that order: an absent text sorts before any present one, texts compare as
// unsigned bytes with a proper prefix first, enumerations by number, lists
// element by element.

// One USB device entry.
struct Pvid {
    int32_t usb_type = 0;
    uint32_t pid = 0;
    uint32_t vid = 0;
    std::optional<std::string> serial;
    std::optional<std::string> name;
    auto operator<=>(const Pvid&) const = default;
};

struct Netcard {
    std::string name;
    NetcardType netcard_type = NetcardType::WirelessCard;
    auto operator<=>(const Netcard&) const = default;
};

enum class DeviceClassKind : uint8_t { Interface = 0, Device = 1, Usb = 2 };

// One device-class selection; the variant index is its DeviceClassKind.
struct DeviceClass {
    std::variant<std::vector<InterfaceType>, std::vector<DeviceType>, std::vector<UsbType>> value;
    DeviceClassKind kind() const { return static_cast<DeviceClassKind>(value.index()); }
};

// The thirteen alternatives of a variable value, in declaration order.
enum class VariableKind : uint8_t {
    Uid = 0, Username, Kmod, Path, Package, DeviceClass, Pvid, Netcard, Func, PathPackage,
    String, Int, Bool,
};

using StringList = std::vector<std::string>;

// The variant index is the VariableKind; several alternatives share a payload
// type, so construct with std::in_place_index and read with std::get<index>,
// the index being kind_index<K>.
struct VariableTypes {
    using Value = std::variant<std::vector<int32_t>,  // Uid
                               StringList,            // Username
                               StringList,            // Kmod
                               StringList,            // Path
                               StringList,            // Package
                               DeviceClass,           // DeviceClass
                               std::vector<Pvid>,     // Pvid
                               std::vector<Netcard>,  // Netcard
                               StringList,            // Func
                               StringList,            // PathPackage
                               std::string,           // String
                               int32_t,               // Int
                               bool>;                 // Bool
    Value value;
    VariableKind kind() const { return static_cast<VariableKind>(value.index()); }
};

// The variant index of a VariableKind or DeviceClassKind.
template <auto K>
    requires std::same_as<decltype(K), VariableKind> || std::same_as<decltype(K), DeviceClassKind>
constexpr size_t kind_index = static_cast<size_t>(K);

struct Variable {
    std::string name;
    VariableTypes value;
};

struct PolicyRule {
    std::optional<std::string> name;
    std::string operation;
    std::string user;
    std::string subject;
    std::string object;
    std::string object_type;
    std::vector<std::string> permission;
    std::string func;
    std::string eval_func;
    auto operator<=>(const PolicyRule&) const = default;
};

struct ModuleEntry;
// Module maps keep document order; a repeated name keeps its first place and
// takes the later module (see module_map_insert).
using ModuleMap = std::vector<ModuleEntry>;

struct Module {
    std::string type;
    bool enabled = false;
    bool enable_dyn_changed = false;  // read, never written
    Interactive interactive = Interactive::Disabled;
    ModuleMap modules;
    std::vector<PolicyRule> rules;
    std::vector<Variable> variables;
    std::string addon;
    bool section_changed = false;  // read, never written
};

struct ModuleEntry {
    std::string name;
    Module module;
};

struct Policy {
    std::string scene;
    bool enabled = false;
    std::string addon;
    int32_t priority = 0;
    bool audit = false;
    Interactive interactive = Interactive::Disabled;
    bool third_party = false;
    int32_t version = 0;
    ModuleMap modules;
};

// Inserts or replaces by name, keeping the first occurrence's place.
void module_map_insert(ModuleMap& map, std::string name, Module module);

}  // namespace devctl
