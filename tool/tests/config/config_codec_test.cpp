// Reading and writing the configuration file's content.
#include <gtest/gtest.h>

#include "config.h"

namespace devctl {
namespace {

struct Readable {
    std::string text;
    Config expected;
};

TEST(ConfigCodec, Reads) {
    const std::vector<Readable> cases = {
        {"{}", {}},
        {" \n{}\n\n ", {}},
        {R"({"version": 1, "initialized": true, "sync_orvex_utils": false, "box_enabled": null})",
         {1, true, false, std::nullopt}},
        {R"({"box_enabled": true, "version": 0})", {0, std::nullopt, std::nullopt, true}},
        {R"({"initialized": null})", {}},
        {R"({"version": 4294967295})", {4294967295u, std::nullopt, std::nullopt, std::nullopt}},
        // Other keys are skipped whatever they hold, case variants and bad UTF-8 in their values included.
        {R"({"extra": [1, {"a": [null]}], "Initialized": true, "x": "\u00e9", "x": 2, "box_enabled": false})",
         {std::nullopt, std::nullopt, std::nullopt, false}},
        {"{\"skipped\": \"\xff\xfe\", \"initialized\": true}", {std::nullopt, true, std::nullopt, std::nullopt}},
        {"[null, true, false, null]", {std::nullopt, true, false, std::nullopt}},
        {"[7, null, null, true]", {7, std::nullopt, std::nullopt, true}},
    };
    for (const auto& c : cases) {
        auto config = deserialize_config(c.text);
        ASSERT_TRUE(config) << c.text << "\n" << to_string(config.error());
        EXPECT_EQ(*config, c.expected) << c.text;
    }
}

struct Unreadable {
    std::string text;
    std::string message;
    JsonErrorCategory category;
};

TEST(ConfigCodec, RejectsWithPosition) {
    using enum JsonErrorCategory;
    const std::vector<Unreadable> cases = {
        {"", "EOF while parsing a value at line 1 column 0", Eof},
        {"  \n  ", "EOF while parsing a value at line 2 column 2", Eof},
        {R"({"version": 1)", "EOF while parsing an object at line 1 column 13", Eof},
        {"{} x", "trailing characters at line 1 column 4", Syntax},
        {"{}{}", "trailing characters at line 1 column 3", Syntax},
        {"x", "expected value at line 1 column 1", Syntax},
        {"null", "invalid type: null, expected struct Config at line 1 column 4", Data},
        {"5", "invalid type: integer `5`, expected struct Config at line 1 column 1", Data},
        {R"("cfg")", "invalid type: string \"cfg\", expected struct Config at line 1 column 5", Data},
        {R"({"initialized": true, "initialized": false})",
         "duplicate field `initialized` at line 1 column 35", Data},
        {"{\"initialized\":true,\"initialized\" \n :false}", "duplicate field `initialized` at line 2 column 1", Data},
        {R"({"version": null, "version": 1})", "duplicate field `version` at line 1 column 27", Data},
        {R"({"version": -1})", "invalid value: integer `-1`, expected u32 at line 1 column 14", Data},
        {R"({"version": 4294967296})", "invalid value: integer `4294967296`, expected u32 at line 1 column 22", Data},
        {R"({"version": "1"})", "invalid type: string \"1\", expected u32 at line 1 column 15", Data},
        {R"({"version": 1.0})", "invalid type: floating point `1.0`, expected u32 at line 1 column 15", Data},
        {R"({"initialized": 1})", "invalid type: integer `1`, expected a boolean at line 1 column 17", Data},
        {R"({"box_enabled": "true"})", "invalid type: string \"true\", expected a boolean at line 1 column 22", Data},
        {"[1, true]", "invalid length 2, expected struct Config with 4 elements at line 1 column 9", Data},
        {"[]", "invalid length 0, expected struct Config with 4 elements at line 1 column 2", Data},
        {"[1, true, false, null, 5]", "trailing characters at line 1 column 24", Syntax},
        {"{\"initialized\xff\": true}", "invalid unicode code point at line 1 column 15", Syntax},
        {"\xff", "expected value at line 1 column 1", Syntax},
    };
    for (const auto& c : cases) {
        auto config = deserialize_config(c.text);
        ASSERT_FALSE(config) << c.text;
        EXPECT_EQ(to_string(config.error()), c.message) << c.text;
        EXPECT_EQ(config.error().category, c.category) << c.text;
    }
}

TEST(ConfigCodec, WritesAllFourKeysInOrderWithoutFinalLineFeed) {
    EXPECT_EQ(serialize_config({1, true, false, std::nullopt}),
              "{\n  \"version\": 1,\n  \"initialized\": true,\n  \"sync_orvex_utils\": false,\n"
              "  \"box_enabled\": null\n}");
    EXPECT_EQ(serialize_config({}),
              "{\n  \"version\": null,\n  \"initialized\": null,\n  \"sync_orvex_utils\": null,\n"
              "  \"box_enabled\": null\n}");
    Config full{4294967295u, false, true, true};
    EXPECT_EQ(deserialize_config(serialize_config(full)), full);
}

TEST(ConfigCodec, GetReadsTheOneGivenFlagAndEmptyAsFalse) {
    const Config config{1, true, std::nullopt, false};
    EXPECT_TRUE(config_flag(config, {true, false, false}));
    EXPECT_FALSE(config_flag(config, {false, true, false}));
    EXPECT_FALSE(config_flag(config, {false, false, true}));
    EXPECT_TRUE(config_flag({std::nullopt, std::nullopt, std::nullopt, true}, {false, false, true}));
}

TEST(ConfigCodec, SetReplacesOnlyGivenFields) {
    const Config loaded{7, true, std::nullopt, false};
    EXPECT_EQ(apply_config_set(loaded, {}), loaded);
    EXPECT_EQ(apply_config_set(loaded, {std::nullopt, std::nullopt, true}), (Config{7, true, std::nullopt, true}));
    EXPECT_EQ(apply_config_set(loaded, {false, true, std::nullopt}), (Config{7, false, true, false}));
}

}  // namespace
}  // namespace devctl
