#include "config.h"

#include <array>

#include "cmd/standard_streams.h"
#include "fs/file_read.h"
#include "fs/file_replace.h"
#include "json/reader.h"
#include "json/record.h"
#include "json/value_readers.h"
#include "json/writer.h"

namespace devctl {
namespace {

constexpr std::array<std::string_view, 4> kKeys = {"version", "initialized", "sync_orvex_utils", "box_enabled"};

// Every key may be absent; the array form needs all four elements.
constexpr json::RecordShape kShape{
    .expecting = "struct Config",
    .count_text = "struct Config with 4 elements",
    .keys = kKeys,
};

void write_optional_bool(json::Writer& writer, const std::optional<bool>& value) {
    if (value) {
        writer.boolean(*value);
    } else {
        writer.null();
    }
}

std::optional<bool>& flag_field(Config& config, size_t index) {
    return index == 1 ? config.initialized : index == 2 ? config.sync_orvex_utils : config.box_enabled;
}

}  // namespace

Expected<Config, JsonError> deserialize_config(std::string_view text) {
    json::Reader reader(text);
    Config config;
    bool ok = json::read_record(reader, kShape, [&](size_t field) {
        if (field == 0) return json::read_optional(reader, config.version, json::read_u32);
        return json::read_optional(reader, flag_field(config, field), json::read_bool);
    });
    if (!ok || !reader.finish()) return Unexpected(reader.take_error());
    return config;
}

std::string serialize_config(const Config& config) {
    json::Writer writer;
    writer.begin_object();
    writer.key(kKeys[0]);
    if (config.version) {
        writer.unsigned_integer(*config.version);
    } else {
        writer.null();
    }
    writer.key(kKeys[1]);
    write_optional_bool(writer, config.initialized);
    writer.key(kKeys[2]);
    write_optional_bool(writer, config.sync_orvex_utils);
    writer.key(kKeys[3]);
    write_optional_bool(writer, config.box_enabled);
    writer.end_object();
    return writer.take();
}

bool config_flag(const Config& config, const ConfigGetArgs& args) {
    const std::optional<bool>& field = args.initialized.value_or(false)        ? config.initialized
                                       : args.sync_orvex_utils.value_or(false) ? config.sync_orvex_utils
                                                                               : config.box_enabled;
    return field.value_or(false);
}

Config apply_config_set(Config config, const ConfigSetArgs& args) {
    if (args.initialized) config.initialized = args.initialized;
    if (args.sync_orvex_utils) config.sync_orvex_utils = args.sync_orvex_utils;
    if (args.box_enabled) config.box_enabled = args.box_enabled;
    return config;
}

Result<Config> load_config() {
    auto text = read_file(std::string(kConfigPath));
    if (!text) return fail(with_context(std::move(text.error()), "failed to load config from file"));
    auto config = deserialize_config(*text);
    if (!config) return fail(with_context(make_error(to_string(config.error())), "falied to deserialize config data"));
    return *config;
}

Status config_get(const ConfigGetArgs& args) {
    auto config = load_config();
    if (!config) return fail(std::move(config.error()));
    return print_stdout(config_flag(*config, args) ? "true" : "false");
}

Status config_set(const ConfigSetArgs& args) {
    auto config = load_config();
    if (!config) return fail(std::move(config.error()));
    // The writer builds text in memory and cannot fail, so no serialisation error arises.
    std::string text = serialize_config(apply_config_set(std::move(*config), args));
    if (auto saved = replace_file(std::string(kConfigPath), text); !saved) {
        return fail(with_context(std::move(saved.error()), "failed to save config to file"));
    }
    return {};
}

}  // namespace devctl
