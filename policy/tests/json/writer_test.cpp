#include <gtest/gtest.h>

#include "json/writer.h"

namespace devctl::json {
namespace {

TEST(JsonWriter, PrettyLayout) {
    Writer w;
    w.begin_object();
    w.key("a");
    w.integer(-1);
    w.key("empty_map");
    w.begin_object();
    w.end_object();
    w.key("empty_list");
    w.begin_array();
    w.end_array();
    w.key("list");
    w.begin_array();
    w.boolean(true);
    w.begin_object();
    w.key("n");
    w.null();
    w.end_object();
    w.unsigned_integer(4294967295u);
    w.end_array();
    w.end_object();
    EXPECT_EQ(w.take(),
              "{\n"
              "  \"a\": -1,\n"
              "  \"empty_map\": {},\n"
              "  \"empty_list\": [],\n"
              "  \"list\": [\n"
              "    true,\n"
              "    {\n"
              "      \"n\": null\n"
              "    },\n"
              "    4294967295\n"
              "  ]\n"
              "}");
}

TEST(JsonWriter, StandardEscaping) {
    Writer w;
    w.string("q\"b\\s/\b\t\n\f\r\x01\x1f\x7f é long text without escapes");
    EXPECT_EQ(w.take(), "\"q\\\"b\\\\s/\\b\\t\\n\\f\\r\\u0001\\u001f\x7f é long text without escapes\"");
}

}  // namespace
}  // namespace devctl::json
