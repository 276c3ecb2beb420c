#pragma once
// /etc/orvex-scene/config.json: three flags about the scene policies and a
// version number the tool carries along unchanged.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "cli.h"
#include "error/chained_error.h"
#include "json/json_error.h"

namespace devctl {

inline constexpr std::string_view kConfigPath = "/etc/orvex-scene/config.json";

// Fields in the order of the file's keys; empty is JSON null.
struct Config {
    std::optional<uint32_t> version;
    std::optional<bool> initialized;
    std::optional<bool> sync_orvex_utils;
    std::optional<bool> box_enabled;

    bool operator==(const Config&) const = default;
};

// An object (unknown keys skipped) or an array of the four values.
Expected<Config, JsonError> deserialize_config(std::string_view text);
// Pretty-printed with all four keys, no final line feed.
std::string serialize_config(const Config& config);

// The flag named by the one option given; an empty field reads as false.
bool config_flag(const Config& config, const ConfigGetArgs& args);
// The loaded content with the given options laid over it.
Config apply_config_set(Config config, const ConfigSetArgs& args);

Result<Config> load_config();
// Prints "true" or "false" on standard output, without a line feed.
Status config_get(const ConfigGetArgs& args);
// Rewrites the whole file, even when nothing changed.
Status config_set(const ConfigSetArgs& args);

}  // namespace devctl
