#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "glib_helper.h"
#include "variant_support.h"

using GLibHelper::DictView;

namespace {

// One entry of every type a getter looks for, keyed by its type string.
constexpr const char* kEveryType =
    "{'i': <int32 -1>, 'x': <int64 -2>, 'u': <uint32 3>, 't': <uint64 4>, 's': <'five'>,"
    " 'b': <false>, 'v': <<int32 6>>, 'as': <['seven']>, 'aa{sv}': <[{'eight': <8>}]>}";
const std::vector<std::string> kTypeKeys = {"i", "x", "u", "t", "s", "b", "v", "as", "aa{sv}"};

DictView view_of(const char* text)
{
    g_autoptr(GVariant) value = parse(text);
    std::optional<DictView> view = DictView::init(value);
    EXPECT_TRUE(view.has_value()) << text;
    return std::move(*view);
}

// Whether each getter answers for a key; frees whatever it hands out.
using Probe = std::function<bool(const DictView&, const char*)>;

bool variant_found(GVariant* value)
{
    g_autoptr(GVariant) found = value;
    return found != nullptr;
}

const std::vector<std::pair<std::string, Probe>>& probes()
{
    static const std::vector<std::pair<std::string, Probe>> all = {
        {"i", [](const DictView& v, const char* k) { return v.getInt32(k).has_value(); }},
        {"x", [](const DictView& v, const char* k) { return v.getInt64(k).has_value(); }},
        {"u", [](const DictView& v, const char* k) { return v.getUint32(k).has_value(); }},
        {"t", [](const DictView& v, const char* k) { return v.getUint64(k).has_value(); }},
        {"s", [](const DictView& v, const char* k) { return v.getString(k).has_value(); }},
        {"b", [](const DictView& v, const char* k) { return v.getBool(k).has_value(); }},
        {"v", [](const DictView& v, const char* k) { return variant_found(v.getVariant(k)); }},
        {"as",
         [](const DictView& v, const char* k) {
             std::size_t n = 0;
             g_autofree const char** texts = v.getStringArray(k, &n);
             return texts != nullptr;
         }},
        {"aa{sv}",
         [](const DictView& v, const char* k) {
             std::size_t n = 0;
             GVariant** dicts = v.getDictArray(k, &n);
             for (std::size_t i = 0; dicts != nullptr && i < n; ++i) {
                 g_variant_unref(dicts[i]);
             }
             g_free(dicts);
             return dicts != nullptr;
         }},
    };
    return all;
}

}  // namespace

TEST(DictView, InitRejectsAnythingButAsv)
{
    EXPECT_FALSE(DictView::init(nullptr).has_value());
    for (const char* text : {"int32 1", "@aa{sv} []", "@a{ss} {}", "<@a{sv} {}>"}) {
        g_autoptr(GVariant) value = parse(text);
        ASSERT_TRUE(value) << text;
        EXPECT_FALSE(DictView::init(value).has_value()) << text;
    }
}

TEST(DictView, InitAcceptsFloatingValueAndLeavesItWithCaller)
{
    g_autoptr(GVariant) value = g_variant_new_parsed("{'k': <1>}");
    {
        std::optional<DictView> view = DictView::init(value);
        ASSERT_TRUE(view.has_value());
        EXPECT_EQ(view->getInt32("k"), 1);
    }
    EXPECT_TRUE(g_variant_is_floating(value));
    g_variant_ref_sink(value);
}

TEST(DictView, EveryGetterAnswersOnlyItsOwnTypeAndNeverMissingKeys)
{
    DictView every = view_of(kEveryType);
    DictView empty = view_of("@a{sv} {}");
    for (const auto& [type, probe] : probes()) {
        for (const std::string& key : kTypeKeys) {
            EXPECT_EQ(probe(every, key.c_str()), key == type) << "getter " << type << " key " << key;
        }
        EXPECT_FALSE(probe(every, "missing")) << type;
        EXPECT_FALSE(probe(empty, type.c_str())) << type;
    }
}

TEST(DictView, ReadsScalarsAtTheirLimits)
{
    DictView view = view_of(
        "{'imin': <int32 -2147483648>, 'xmin': <int64 -9223372036854775808>,"
        " 'umax': <uint32 4294967295>, 'tmax': <uint64 18446744073709551615>,"
        " 'yes': <true>, 'no': <false>}");
    EXPECT_EQ(view.getInt32("imin"), INT32_MIN);
    EXPECT_EQ(view.getInt64("xmin"), INT64_MIN);
    EXPECT_EQ(view.getUint32("umax"), UINT32_MAX);
    EXPECT_EQ(view.getUint64("tmax"), UINT64_MAX);
    EXPECT_EQ(view.getBool("yes"), true);
    EXPECT_EQ(view.getBool("no"), false);
}

TEST(DictView, EmptyStringCountsAsAbsentAndTextIsCopied)
{
    std::optional<std::string> text;
    {
        DictView view = view_of("{'empty': <''>, 'x': <'x'>, 'utf8': <'gr\u00fc\u00dfe'>}");
        EXPECT_FALSE(view.getString("empty").has_value());
        EXPECT_EQ(view.getString("utf8"), "gr\u00fc\u00dfe");
        text = view.getString("x");
    }
    EXPECT_EQ(text, "x");
}

TEST(DictView, GetVariantUnwrapsOnlyAVariantInsideTheEntry)
{
    DictView view = view_of("{'plain': <int32 4>, 'boxed': <<int32 4>>, 'deep': <<<'s'>>>}");
    EXPECT_EQ(view.getVariant("plain"), nullptr);
    g_autoptr(GVariant) deep = view.getVariant("deep");
    EXPECT_EQ(printed(deep), "<'s'>");
    g_autoptr(GVariant) inner = view.getVariant("boxed");
    ASSERT_NE(inner, nullptr);
    view = DictView(nullptr);  // the reference outlives the dictionary
    EXPECT_EQ(printed(inner), "4");
    EXPECT_TRUE(g_variant_is_of_type(inner, G_VARIANT_TYPE_INT32));
}

TEST(DictView, StringArrayBorrowsTextsFromTheView)
{
    DictView view = view_of("{'list': <['a', 'bc']>, 'none': <@as []>}");
    std::size_t n = 99;
    g_autofree const char** texts = view.getStringArray("list", &n);
    ASSERT_NE(texts, nullptr);
    EXPECT_EQ(n, 2U);
    EXPECT_STREQ(texts[0], "a");
    EXPECT_STREQ(texts[1], "bc");
    EXPECT_EQ(texts[2], nullptr);

    g_autofree const char** none = view.getStringArray("none", nullptr);
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none[0], nullptr);

    n = 99;
    EXPECT_EQ(view.getStringArray("missing", &n), nullptr);
    EXPECT_EQ(n, 99U);
}

TEST(DictView, DictArrayHandsOutOwnReferencesInOrder)
{
    GVariant** dicts = nullptr;
    std::size_t n = 99;
    {
        DictView view = view_of("{'list': <[{'a': <1>}, {'b': <2>}]>, 'none': <@aa{sv} []>}");
        g_autofree GVariant** none = view.getDictArray("none", &n);
        ASSERT_NE(none, nullptr);
        EXPECT_EQ(n, 0U);
        EXPECT_EQ(none[0], nullptr);

        n = 99;
        EXPECT_EQ(view.getDictArray("missing", &n), nullptr);
        EXPECT_EQ(n, 99U);
        dicts = view.getDictArray("list", &n);
    }
    ASSERT_NE(dicts, nullptr);
    ASSERT_EQ(n, 2U);
    EXPECT_EQ(printed(dicts[0]), "{'a': <1>}");
    EXPECT_EQ(printed(dicts[1]), "{'b': <2>}");
    EXPECT_EQ(dicts[2], nullptr);
    for (std::size_t i = 0; i < n; ++i) {
        g_variant_unref(dicts[i]);
    }
    g_free(dicts);
}

TEST(DictView, RepeatedReadsKeepTheDictionaryIntact)
{
    DictView view = view_of(kEveryType);
    for (int round = 0; round < 3; ++round) {
        for (const auto& [type, probe] : probes()) {
            EXPECT_TRUE(probe(view, type.c_str())) << type;
        }
    }
    EXPECT_EQ(view.getString("s"), "five");
    EXPECT_EQ(view.getBool("b"), false);
}

TEST(DictView, MovedFromViewsReleaseOnce)
{
    DictView first = view_of("{'k': <1>}");
    DictView second(std::move(first));
    DictView third = view_of("{'k': <3>}");
    third = std::move(second);
    auto& self = third;
    third = std::move(self);
    EXPECT_EQ(third.getInt32("k"), 1);
}
