#include <gtest/gtest.h>

#include <utility>

#include "glib_helper.h"
#include "variant_support.h"

using GLibHelper::DictBuilder;

namespace {

std::string built(DictBuilder& builder)
{
    g_autoptr(GVariant) dict = g_variant_ref_sink(builder.build());
    return printed(dict);
}

}  // namespace

TEST(DictBuilder, EachTypedMemberWritesItsTypeOnceBoxed)
{
    DictBuilder builder;
    builder.addInt32("i", -7)
        .addInt64("x", -9000000000L)
        .addUint32("u", 4000000000U)
        .addUint64("t", 18000000000000000000UL)
        .addString("s", "text")
        .addBool("b", false);
    EXPECT_EQ(built(builder),
              "{'i': <-7>, 'x': <int64 -9000000000>, 'u': <uint32 4000000000>, "
              "'t': <uint64 18000000000000000000>, 's': <'text'>, 'b': <false>}");
}

TEST(DictBuilder, EmptyBuildGivesEmptyFloatingDictionary)
{
    DictBuilder builder;
    g_autoptr(GVariant) dict = builder.build();
    EXPECT_TRUE(g_variant_is_floating(dict));
    g_variant_ref_sink(dict);
    EXPECT_EQ(printed(dict), "@a{sv} {}");
}

TEST(DictBuilder, KeepsOrderAndDuplicates)
{
    DictBuilder builder;
    builder.addInt32("b", 1).addString("a", "x").addInt32("b", 2);
    EXPECT_EQ(built(builder), "{'b': <1>, 'a': <'x'>, 'b': <2>}");
}

TEST(DictBuilder, NullTextsAndValuesAddNothing)
{
    const char* texts[] = {"p", nullptr};
    DictBuilder builder;
    builder.addString("null", nullptr)
        .addString("empty", "")
        .addVariant("none", nullptr)
        .addStringArray(nullptr, texts, -1)
        .addStringArray(nullptr, nullptr, 0);
    EXPECT_EQ(built(builder), "{'empty': <''>}");
}

TEST(DictBuilder, StringArrayCounts)
{
    const char* texts[] = {"a", "b", "c", nullptr};
    struct Case {
        const char* const* texts;
        gssize n;
        const char* expected;
    };
    const Case cases[] = {
        {texts, 2, "{'k': <['a', 'b']>}"},
        {texts, -1, "{'k': <['a', 'b', 'c']>}"},
        {texts, 0, "{'k': <@as []>}"},
        {nullptr, 0, "{'k': <@as []>}"},
    };
    for (const Case& c : cases) {
        DictBuilder builder;
        builder.addStringArray("k", c.texts, c.n);
        EXPECT_EQ(built(builder), c.expected) << "n=" << c.n;
    }
}

TEST(DictBuilder, AddVariantTakesOverFloatingReference)
{
    // The builder owns the value from here; the leak checker sees a lost or
    // doubled reference.
    GVariant* value = g_variant_new_int32(5);
    DictBuilder builder;
    builder.addVariant("v", value);
    EXPECT_EQ(built(builder), "{'v': <5>}");
}

TEST(DictBuilder, AddVariantLeavesNonFloatingReferenceWithCaller)
{
    g_autoptr(GVariant) value = g_variant_ref_sink(g_variant_new_string("kept"));
    g_autoptr(GVariant) dict = nullptr;
    {
        DictBuilder builder;
        builder.addVariant("v", value);
        dict = g_variant_ref_sink(builder.build());
    }
    EXPECT_FALSE(g_variant_is_floating(value));
    EXPECT_STREQ(g_variant_get_string(value, nullptr), "kept");
    g_clear_pointer(&value, g_variant_unref);
    EXPECT_EQ(printed(dict), "{'v': <'kept'>}");
}

TEST(DictBuilder, AddVariantOfVariantGivesTwoLevels)
{
    DictBuilder builder;
    builder.addVariant("v", g_variant_new_variant(g_variant_new_int32(3)));
    EXPECT_EQ(built(builder), "{'v': <<3>>}");
}

TEST(DictBuilder, UnbuiltAndMovedFromBuildersReleaseOnce)
{
    {
        DictBuilder discarded;
        discarded.addString("k", "v").addVariant("v", g_variant_new_int32(1));
    }
    DictBuilder source;
    source.addInt32("from", 1);
    DictBuilder moved(std::move(source));
    DictBuilder target;
    target.addInt32("dropped", 2).addVariant("v", g_variant_new_int32(3));
    target = std::move(moved);
    target.addInt32("later", 4);
    auto& self = target;
    target = std::move(self);
    EXPECT_EQ(built(target), "{'from': <1>, 'later': <4>}");
}
