#pragma once
// A large, realistic scene policy for benchmarks: top-level modules with
// nested sub-modules, many rules, and long uid, path, pvid and other lists.
// Deterministic for a given shape. Header-only so that every benchmark can
// use it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/policy.h"
#include "model/policy_json.h"

namespace devctl::bench {

struct PolicyShape {
    int top_modules = 1000;
    int sub_modules = 2;         // children per module
    int depth = 2;               // levels of sub-modules below the top
    int rules_per_module = 6;
    int list_length = 60;        // uids, paths, pvids
    uint64_t seed = 42;
};

class PolicyGenerator {
public:
    explicit PolicyGenerator(const PolicyShape& shape) : shape_(shape), state_(shape.seed) {}

    Policy policy() {
        Policy p;
        p.scene = "vop_defender";
        p.enabled = true;
        p.priority = 100;
        p.audit = true;
        p.interactive = Interactive::Notice;
        p.version = 3;
        for (int i = 0; i < shape_.top_modules; ++i)
            module_map_insert(p.modules, numbered("module_", static_cast<uint64_t>(i)), module(shape_.depth, i));
        return p;
    }

private:
    uint64_t next() {  // splitmix64
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }
    // Text plus a number (appending avoids a false -Wrestrict of GCC 12 on
    // "literal" + std::string temporaries).
    static std::string numbered(std::string_view text, uint64_t number) {
        std::string out(text);
        out += std::to_string(number);
        return out;
    }
    std::string word() {
        static const char* const kWords[] = {"usr", "lib", "bin", "share", "opt", "local", "var",
                                             "etc", "devctl", "scene", "vendor", "tools"};
        return kWords[below(12)];
    }
    std::string path() {
        std::string out;
        for (int i = 0, n = 2 + below(4); i < n; ++i) {
            out += '/';
            out += word();
        }
        out += numbered("/file_", static_cast<uint64_t>(below(100000)));
        if (below(4)) out += ".so";
        return out;
    }

    template <VariableKind K, class Payload>
    static Variable variable(std::string name, Payload payload) {
        return Variable{std::move(name), VariableTypes{VariableTypes::Value(
                                             std::in_place_index<kind_index<K>>, std::move(payload))}};
    }

    Module module(int levels_below, int index) {
        Module m;
        m.type = levels_below == shape_.depth ? "devctl" : "usb_storage";
        m.enabled = below(4) != 0;
        m.interactive = static_cast<Interactive>(below(3));
        m.addon = below(8) ? "" : numbered("addon_", static_cast<uint64_t>(index));
        int n = shape_.list_length;
        std::vector<int32_t> uids;
        StringList paths, users;
        std::vector<Pvid> pvids;
        for (int i = 0; i < n; ++i) {
            uids.push_back(1000 + below(60000));
            paths.push_back(path());
            pvids.push_back(Pvid{8, static_cast<uint32_t>(below(65536)), static_cast<uint32_t>(below(65536)),
                                 below(2) ? std::optional<std::string>(numbered("SN", next() % 100000000))
                                          : std::nullopt,
                                 below(3) ? std::optional<std::string>(numbered("Vendor drive ", static_cast<uint64_t>(i)))
                                          : std::nullopt});
        }
        for (int i = 0; i < n / 4; ++i) users.push_back(numbered("user", static_cast<uint64_t>(below(5000))));
        m.variables.push_back(variable<VariableKind::Uid>("allowed_uids", uids));
        m.variables.push_back(variable<VariableKind::Path>("protected_paths", paths));
        m.variables.push_back(variable<VariableKind::Pvid>("approved_drives", pvids));
        m.variables.push_back(variable<VariableKind::Username>("users", users));
        m.variables.push_back(variable<VariableKind::DeviceClass>(
            "usb_readonly_list", DeviceClass{std::vector{UsbType::MassStorage, UsbType::Hid, UsbType::Usb8020}}));
        m.variables.push_back(variable<VariableKind::Netcard>(
            "netcards", std::vector<Netcard>{{"eth0", NetcardType::Netcard}, {"wlan0", NetcardType::WirelessCard}}));
        m.variables.push_back(variable<VariableKind::String>("usb_group_perm", std::string("enable")));
        m.variables.push_back(variable<VariableKind::Int>("level", below(10)));
        for (int r = 0; r < shape_.rules_per_module; ++r) {
            PolicyRule rule;
            if (below(2)) rule.name = numbered(numbered("rule_", static_cast<uint64_t>(index)) + "_", static_cast<uint64_t>(r));
            rule.operation = below(2) ? "allow" : "disallow";
            rule.user = below(3) ? "*" : numbered("uid:", static_cast<uint64_t>(1000 + below(100)));
            rule.subject = below(2) ? "*" : path();
            rule.object = path();
            rule.object_type = below(2) ? "file" : "usb";
            rule.permission = {"read", "write"};
            if (below(2)) rule.permission.push_back("exec");
            rule.func = "if ($devctl & usb_id_in(@@approved_drives@@))";
            rule.eval_func = "";
            m.rules.push_back(std::move(rule));
        }
        if (levels_below > 0)
            for (int c = 0; c < shape_.sub_modules; ++c)
                module_map_insert(m.modules, numbered("sub_", static_cast<uint64_t>(c)), module(levels_below - 1, index));
        return m;
    }

    PolicyShape shape_;
    uint64_t state_;
};

inline Policy generate_policy(const PolicyShape& shape) { return PolicyGenerator(shape).policy(); }

// A shape whose written document is about target_bytes long.
inline PolicyShape shape_for_size(size_t target_bytes, PolicyShape shape = {}) {
    PolicyShape probe = shape;
    probe.top_modules = 10;
    size_t per_module = serialize_policy(generate_policy(probe)).size() / 10;
    shape.top_modules = static_cast<int>(target_bytes / per_module) + 1;
    return shape;
}

}  // namespace devctl::bench
