// Messages, categories and positions of the reader, on a small record with
// one field of each reader type.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "json/describe.h"
#include "json/record.h"
#include "json/value_readers.h"
#include "json/value_tree.h"

namespace devctl::json {
namespace {

struct Probe {
    std::string text;
    int32_t number = 0;
    bool flag = false;
    std::vector<std::string> items;
    std::optional<uint32_t> count;
};

constexpr std::array<std::string_view, 5> kProbeKeys = {"text", "number", "flag", "items", "count"};
constexpr RecordShape kProbe{"struct Probe", "struct Probe with 5 elements", kProbeKeys,
                             0b00011, 0b10100};

bool read_probe(Reader& reader, Probe& out) {
    return read_record(reader, kProbe, [&](size_t field) {
        switch (field) {
            case 0: return read_string(reader, out.text);
            case 1: return read_i32(reader, out.number);
            case 2: return read_bool(reader, out.flag);
            case 3: return read_list(reader, [&] { return read_string(reader, out.items.emplace_back()); });
            default: return read_optional(reader, out.count, read_u32);
        }
    });
}

// "ok" or the error text plus its category letter (e/s/d).
std::string outcome(std::string_view text) {
    Reader reader(text);
    Probe probe;
    if (read_probe(reader, probe) && reader.finish()) return "ok";
    JsonError error = reader.take_error();
    const char* category = error.category == JsonErrorCategory::Eof      ? "e"
                           : error.category == JsonErrorCategory::Syntax ? "s"
                                                                         : "d";
    return to_string(error) + " [" + category + "]";
}

struct Case {
    std::string input;
    std::string expected;
};

// Text and whitespace are scanned sixteen bytes at a time; runs of n filler
// bytes put what follows them on either side of a block edge.
std::string run(size_t n, char filler = 'a') { return std::string(n, filler); }

TEST(JsonReader, MessagesCategoriesAndPositions) {
    const Case cases[] = {
        {"", "EOF while parsing a value at line 1 column 0 [e]"},
        {" \n\t ", "EOF while parsing a value at line 2 column 2 [e]"},
        {"x", "expected value at line 1 column 1 [s]"},
        {"{}", "missing field `text` at line 1 column 2 [d]"},
        {"{\"text\": \"a\" }", "missing field `number` at line 1 column 14 [d]"},
        {"{\"text\":\"a\",\"number\":1}", "ok"},
        {"{\"number\":1,\"text\":\"a\",\"x\":[{\"y\":null}],\"flag\":true}", "ok"},
        {"{\"text\":\"a\",\"text\":\"a\",\"number\":1}", "duplicate field `text` at line 1 column 18 [d]"},
        {"{\"text\":\"a\",\"Text\":1,\"Text\":2,\"number\":1}", "ok"},
        // A duplicate is placed like a record's end: past whitespace, and
        // past the closing brace only.
        {"{\"text\":\"a\",\"text\" \n }", "duplicate field `text` at line 2 column 2 [d]"},
        {"{\"text\":\"a\",\"text\" \n ", "duplicate field `text` at line 2 column 1 [d]"},
        {"5", "invalid type: integer `5`, expected struct Probe at line 1 column 1 [d]"},
        {"\"a\\\"b\"", "invalid type: string \"a\\\"b\", expected struct Probe at line 1 column 6 [d]"},
        {"{\"text\": [1]}", "invalid type: sequence, expected a string at line 1 column 9 [d]"},
        {"{\"text\": {}}", "invalid type: map, expected a string at line 1 column 9 [d]"},
        {"{\"text\": null}", "invalid type: null, expected a string at line 1 column 13 [d]"},
        {"{\"text\":\"a\",\"number\":2147483647}", "ok"},
        {"{\"text\":\"a\",\"number\":-2147483648}", "ok"},
        {"{\"text\":\"a\",\"number\":2147483648}",
         "invalid value: integer `2147483648`, expected i32 at line 1 column 31 [d]"},
        {"{\"text\":\"a\",\"number\":-2147483649}",
         "invalid value: integer `-2147483649`, expected i32 at line 1 column 32 [d]"},
        {"{\"text\":\"a\",\"number\":1.0}", "invalid type: floating point `1.0`, expected i32 at line 1 column 24 [d]"},
        {"{\"text\":\"a\",\"number\":-0}", "invalid type: floating point `-0.0`, expected i32 at line 1 column 23 [d]"},
        {"{\"text\":\"a\",\"number\":\"5\"}", "invalid type: string \"5\", expected i32 at line 1 column 24 [d]"},
        {"{\"text\":\"a\",\"number\":true}", "invalid type: boolean `true`, expected i32 at line 1 column 25 [d]"},
        {"{\"text\":\"a\",\"number\":1,\"flag\":null}",
         "invalid type: null, expected a boolean at line 1 column 34 [d]"},
        {"{\"text\":\"a\",\"number\":1,\"count\":null}", "ok"},
        {"{\"text\":\"a\",\"number\":1,\"count\":-1}",
         "invalid value: integer `-1`, expected u32 at line 1 column 33 [d]"},
        {"{\"text\":\"a\",\"number\":1,\"count\":4294967296}",
         "invalid value: integer `4294967296`, expected u32 at line 1 column 41 [d]"},
        {"{\"text\":\"a\",\"number\":1,\"items\":5}",
         "invalid type: integer `5`, expected a sequence at line 1 column 32 [d]"},
        {"{\"text\":\"a\",\"number\":1,\"items\":[\"x\",]}", "trailing comma at line 1 column 37 [s]"},
        {"{\"text\":\"a\",\"number\":1,\"items\":[\"x\" \"y\"]}", "expected `,` or `]` at line 1 column 37 [s]"},
        {"{\"text\":\"a\",}", "trailing comma at line 1 column 13 [s]"},
        {"{\"text\":\"a\" \"number\":1}", "expected `,` or `}` at line 1 column 13 [s]"},
        {"{\"text\" 1}", "expected `:` at line 1 column 9 [s]"},
        {"{1:2}", "key must be a string at line 1 column 2 [s]"},
        {"{\"text\":\"a\"", "EOF while parsing an object at line 1 column 11 [e]"},
        {"{\"text\":\"a", "EOF while parsing a string at line 1 column 10 [e]"},
        {"{\"text\":\"a\",\"number\":1}\n  \n", "ok"},
        {"{\"text\":\"a\",\"number\":1} {}", "trailing characters at line 1 column 25 [s]"},
        {"{\"text\":\"a\",\"number\":1}x", "trailing characters at line 1 column 24 [s]"},
        {"{\"text\":\"a\",\"number\":tru}", "expected ident at line 1 column 25 [s]"},
        {"{\"text\":\"a\",\"number\":01}", "invalid number at line 1 column 23 [s]"},
        {"{\"text\":\"a\",\"number\":-}", "invalid number at line 1 column 23 [s]"},
        // The text ending inside a number is the end of input.
        {"{\"text\":\"a\",\"number\":-", "EOF while parsing a value at line 1 column 22 [e]"},
        {"{\"text\":\"a\",\"number\":1.", "EOF while parsing a value at line 1 column 23 [e]"},
        {"{\"text\":\"a\",\"number\":1e+", "EOF while parsing a value at line 1 column 24 [e]"},
        {"{\"text\":\"a\",\"number\":1.}", "invalid number at line 1 column 24 [s]"},
        {"{\"text\":\"a\",\"number\":1e}", "invalid number at line 1 column 24 [s]"},
        // An exponent beyond 32 bits fails at the digit that overflows it.
        {"{\"text\":\"a\",\"number\":1e99999999999}", "number out of range at line 1 column 33 [s]"},
        {"{\"text\":\"a\",\"number\":0e99999999999}",
         "invalid type: floating point `0.0`, expected i32 at line 1 column 34 [d]"},
        {"{\"text\":\"a\",\"number\":-1e-99999999999}",
         "invalid type: floating point `-0.0`, expected i32 at line 1 column 36 [d]"},
        {"{\"text\":\"a\",\"number\":1.7976931348623159e308}", "number out of range at line 1 column 43 [s]"},
        {"{\"text\":\"a\",\"number\":1e400}", "number out of range at line 1 column 26 [s]"},
        {"{\"text\":\"a\",\"number\":1e-400}",
         "invalid type: floating point `0.0`, expected i32 at line 1 column 27 [d]"},
        {"{\"text\":\"a\\q\"}", "invalid escape at line 1 column 12 [s]"},
        {"{\"text\":\"a\nb\"}", "control character (\\u0000-\\u001F) found while parsing a string at line 2 column 0 [s]"},
        {"{\"text\":\"\\ud800\"}", "unexpected end of hex escape at line 1 column 16 [s]"},
        // Four bytes present: the first that is no hex digit; fewer: the end.
        {"{\"text\":\"\\u12\"}", "invalid escape at line 1 column 14 [s]"},
        {"{\"text\":\"\\uG000\"}", "invalid escape at line 1 column 12 [s]"},
        {"{\"text\":\"\\ud800\\udz\"", "EOF while parsing a string at line 1 column 20 [e]"},
        {"{\"text\":\"a\",\"number\":1,\"x\":\"\\uz\"", "EOF while parsing a string at line 1 column 32 [e]"},
        {"{\"text\":\"\\udc00\"}", "lone leading surrogate in hex escape at line 1 column 15 [s]"},
        {"{\"text\":\"\\ud83d\\ude00\\u00e9\\n\",\"number\":1}", "ok"},
        {"\"\\u00e9\\u20ac\\ud83d\\ude00\"", "invalid type: string \"é€😀\", expected struct Probe at line 1 column 26 [d]"},
        // Strict UTF-8 where text is kept, none in skipped values.
        {"{\"te\xffxt\":1}", "invalid unicode code point at line 1 column 8 [s]"},
        {"{\"text\":\"\xc0\xaf\"}", "invalid unicode code point at line 1 column 12 [s]"},
        {"{\"text\":\"\xed\xa0\x80\"}", "invalid unicode code point at line 1 column 13 [s]"},
        {"{\"text\":\"a\",\"number\":1,\"skip\":[\"\xff\",{\"\xfe\":1}]}", "ok"},
        {"{\"text\":\"a\",\"number\":1,\"skip\":\xff}", "expected value at line 1 column 31 [s]"},
        // At and across the edges of a scanned block.
        {"{\"text\":\"" + run(15) + "\x01" + run(24) + "\"}",
         "control character (\\u0000-\\u001F) found while parsing a string at line 1 column 25 [s]"},
        {"{\"text\":\"" + run(16) + "\x1f" + run(24) + "\"}",
         "control character (\\u0000-\\u001F) found while parsing a string at line 1 column 26 [s]"},
        {"{\"text\":\"" + run(15) + "\xc3\xa9" + run(16) + "\x7f \",\"number\":1}", "ok"},
        {"{\"text\":\"\xc3\xa9" + run(20) + "\x01" + run(16) + "\"}",
         "control character (\\u0000-\\u001F) found while parsing a string at line 1 column 32 [s]"},
        {"{\"text\":\"" + run(16) + "\xff" + run(20) + "\",\"number\":1}",
         "invalid unicode code point at line 1 column 47 [s]"},
        {"{\"text\":\"a\",\"number\":1,\"x\":\"" + run(16) + "\x01" + run(20) + "\"}",
         "control character (\\u0000-\\u001F) found while parsing a string at line 1 column 44 [s]"},
        {"{\"text\":\"a\"," + run(20, ' ') + "1, \"number\": 1}", "key must be a string at line 1 column 33 [s]"},
        {"{\"text\":\"a\",\"number\":1}\n\t\r" + run(20, ' ') + "x" + run(15), "trailing characters at line 2 column 23 [s]"},
        // Array form.
        {"[\"a\", 1]", "invalid length 3, expected struct Probe with 5 elements at line 1 column 8 [d]"},
        {"[\"a\", 1, false, []]", "ok"},
        {"[\"a\", 1, true, [], 7]", "ok"},
        {"[\"a\"]", "invalid length 1, expected struct Probe with 5 elements at line 1 column 5 [d]"},
        {"[]", "invalid length 0, expected struct Probe with 5 elements at line 1 column 2 [d]"},
        {"[\"a\", 1, true]", "invalid length 3, expected struct Probe with 5 elements at line 1 column 14 [d]"},
        {"[\"a\", 1, true, [], 7, 8]", "trailing characters at line 1 column 23 [s]"},
        {"[\"a\", 1, true, [], 7,]", "trailing comma at line 1 column 22 [s]"},
        {"[\"a\", 1, true, [], 7", "EOF while parsing a list at line 1 column 20 [e]"},
    };
    for (const auto& c : cases) EXPECT_EQ(outcome(c.input), c.expected) << c.input;
}

TEST(JsonReader, SkippedValuesMustBeWellFormed) {
    const Case cases[] = {
        {"{\"text\":\"a\",\"number\":1,\"x\":[1,]}", "expected value at line 1 column 31 [s]"},
        {"{\"text\":\"a\",\"number\":1,\"x\":{\"a\":1,}}", "key must be a string at line 1 column 35 [s]"},
        {"{\"text\":\"a\",\"number\":1,\"x\":[1 2]}", "expected `,` or `]` at line 1 column 31 [s]"},
        {"{\"text\":\"a\",\"number\":1,\"x\":{\"a\" 1}}", "expected `:` at line 1 column 33 [s]"},
        {"{\"text\":\"a\",\"number\":1,\"x\":[[]", "EOF while parsing a list at line 1 column 30 [e]"},
        {"{\"text\":\"a\",\"number\":1,\"x\":{", "EOF while parsing an object at line 1 column 28 [e]"},
        {"{\"text\":\"a\",\"number\":1,\"x\":{\"a\":1 \"b\":2}}", "expected `,` or `}` at line 1 column 35 [s]"},
        {"{\"text\":\"a\",\"number\":1,\"x\":1e999}", "ok"},
        {"{\"text\":\"a\",\"number\":1,\"x\":1.}", "invalid number at line 1 column 30 [s]"},
        {"{\"text\":\"a\",\"number\":1,\"x\":-", "invalid number at line 1 column 28 [s]"},
        // A skipped string stops before a control character.
        {"{\"text\":\"a\",\"number\":1,\"x\":\"\x01\"}",
         "control character (\\u0000-\\u001F) found while parsing a string at line 1 column 28 [s]"},
        {"{\"text\":\"a\",\"number\":1,\"x\":[[],{},[{}],{\"a\":[]}]}", "ok"},
    };
    for (const auto& c : cases) EXPECT_EQ(outcome(c.input), c.expected) << c.input;

    // A million levels are skipped without recursion.
    std::string deep = "{\"text\":\"a\",\"number\":1,\"x\":" + std::string(1000000, '[') +
                       std::string(1000000, ']') + "}";
    EXPECT_EQ(outcome(deep), "ok");
}

TEST(JsonReader, NestingBudget) {
    auto nested = [](int levels) {
        std::string text = std::string(levels, '[') + std::string(levels, ']');
        Reader reader(text);
        ValueTree tree;
        if (tree.read(reader) && reader.finish()) return std::string("ok");
        return to_string(reader.take_error());
    };
    EXPECT_EQ(nested(127), "ok");
    EXPECT_EQ(nested(128), "recursion limit exceeded at line 1 column 128");
}

TEST(JsonReader, ValueTreeKeepsRepeatedMembersInOrder) {
    ValueTree tree;
    Reader first("[1]");
    ASSERT_TRUE(tree.read(first));  // the tree is reused below
    Reader reader(R"({"b": 1, "a": [true, null, "x\n"], "b": -2.5, "c": {}})");
    ASSERT_TRUE(tree.read(reader));
    const Node& root = tree.root();
    ASSERT_EQ(root.kind, Node::Kind::Object);
    ASSERT_EQ(root.size, 4u);
    std::vector<const Node*> members;
    tree.each_child(root, [&](const Node& n) { members.push_back(&n); return true; });
    ASSERT_EQ(members.size(), 4u);
    EXPECT_EQ(members[0]->key, "b");
    EXPECT_EQ(members[0]->number.u, 1u);
    EXPECT_EQ(members[1]->key, "a");
    ASSERT_EQ(members[1]->size, 3u);
    const Node& t = tree.node(members[1]->first);
    EXPECT_TRUE(t.boolean);
    EXPECT_EQ(tree.node(t.next).kind, Node::Kind::Null);
    EXPECT_EQ(tree.node(tree.node(t.next).next).text, "x\n");
    EXPECT_EQ(members[2]->key, "b");
    EXPECT_EQ(members[2]->number.kind, Number::Kind::Float);
    EXPECT_EQ(members[2]->number.f, -2.5);
    EXPECT_EQ(members[3]->kind, Node::Kind::Object);
    EXPECT_EQ(members[3]->size, 0u);
    EXPECT_EQ(members[3]->first, Node::kNone);
}

TEST(JsonReader, NumberClassesAndDescriptions) {
    const Case cases[] = {
        {"0", "integer `0`"},
        {"18446744073709551615", "integer `18446744073709551615`"},
        {"18446744073709551616", "floating point `1.8446744073709552e19`"},
        {"-9223372036854775808", "integer `-9223372036854775808`"},
        {"-9223372036854775809", "floating point `-9.223372036854776e18`"},
        {"-0", "floating point `-0.0`"},
        {"1.5", "floating point `1.5`"},
        {"1E2", "floating point `100.0`"},
        {"1e20", "floating point `1e20`"},
        {"1e16", "floating point `1e16`"},
        {"123456789012345.6", "floating point `123456789012345.6`"},
        {"1.5e-7", "floating point `1.5e-7`"},
        {"0.00001", "floating point `0.00001`"},
        {"0.000001", "floating point `1e-6`"},
        {"-2.5e+3", "floating point `-2500.0`"},
        // Long literals keep their first digits and scale them.
        {"123456789012345678901234", "floating point `1.2345678901234567e23`"},
        {"1.7976931348623157e308", "floating point `1.7976931348623157e308`"},
        {"3e-324", "floating point `5e-324`"},
    };
    for (const auto& c : cases) {
        Reader reader(c.input);
        Number number;
        ASSERT_EQ(reader.peek() >= 0, true);
        ASSERT_TRUE(reader.parse_number(number)) << c.input;
        EXPECT_EQ(describe_number(number), c.expected) << c.input;
    }
}

TEST(JsonReader, StringDescriptionsEscapeLikeTheLibrary) {
    EXPECT_EQ(describe_string("a\"b\\c\n\t\r"), R"(string "a\"b\\c\n\t\r")");
    EXPECT_EQ(describe_string(std::string("\0\x01\x7f", 3)), R"(string "\0\u{1}\u{7f}")");
    EXPECT_EQ(describe_string("é/ü"), "string \"é/ü\"");
    // Combining marks, format characters and separators other than the space
    // are invisible in a message, so they are written as escapes.
    EXPECT_EQ(describe_string("e\u0301 \u00ad\u200b\u2028\u3000"),
              R"(string "e\u{301} \u{ad}\u{200b}\u{2028}\u{3000}")");
    EXPECT_EQ(describe_string("\xc2\x80\xc2\x9f"), R"(string "\u{80}\u{9f}")");
    // A broken sequence shows as one U+FFFD for its longest well-formed
    // beginning, then one for each byte that cannot start a character.
    EXPECT_EQ(describe_string("\xe2\x82(\xed\xa0\x80\xf4\x90"), "string \"\uFFFD(\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\"");
    // Overlong forms and a sequence cut off by the end of the text.
    EXPECT_EQ(describe_string("\xc0\xaf\xe0\x9f\xf0\x90\x80"), "string \"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\"");
}

}  // namespace
}  // namespace devctl::json
