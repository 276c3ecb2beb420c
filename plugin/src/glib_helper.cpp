#include "glib_helper.h"

namespace GLibHelper {

DictBuilder::DictBuilder() : builder_(g_variant_builder_new(G_VARIANT_TYPE_VARDICT)) {}

DictBuilder::DictBuilder(DictBuilder&&) noexcept = default;
DictBuilder& DictBuilder::operator=(DictBuilder&&) noexcept = default;
// The last reference clears the builder, discarding entries never built.
DictBuilder::~DictBuilder() = default;

DictBuilder& DictBuilder::addInt32(const char* key, int value)
{
    g_variant_builder_add(builder_.get(), "{sv}", key, g_variant_new("i", value));
    return *this;
}

DictBuilder& DictBuilder::addInt64(const char* key, long value)
{
    g_variant_builder_add(builder_.get(), "{sv}", key, g_variant_new("x", static_cast<gint64>(value)));
    return *this;
}

DictBuilder& DictBuilder::addUint32(const char* key, unsigned int value)
{
    g_variant_builder_add(builder_.get(), "{sv}", key, g_variant_new("u", value));
    return *this;
}

DictBuilder& DictBuilder::addUint64(const char* key, unsigned long value)
{
    g_variant_builder_add(builder_.get(), "{sv}", key, g_variant_new("t", static_cast<guint64>(value)));
    return *this;
}

DictBuilder& DictBuilder::addString(const char* key, const char* text)
{
    if (text != nullptr) {
        g_variant_builder_add(builder_.get(), "{sv}", key, g_variant_new("s", text));
    }
    return *this;
}

DictBuilder& DictBuilder::addBool(const char* key, bool value)
{
    g_variant_builder_add(builder_.get(), "{sv}", key, g_variant_new("b", static_cast<gboolean>(value)));
    return *this;
}

DictBuilder& DictBuilder::addVariant(const char* key, GVariant* value)
{
    // "v" sinks a floating reference and takes a new one otherwise.
    if (value != nullptr) {
        g_variant_builder_add(builder_.get(), "{sv}", key, value);
    }
    return *this;
}

DictBuilder& DictBuilder::addStringArray(const char* key, const char* const* texts, gssize n)
{
    if (key != nullptr) {
        g_variant_builder_add(builder_.get(), "{sv}", key, g_variant_new_strv(texts, n));
    }
    return *this;
}

GVariant* DictBuilder::build()
{
    GVariant* dict = g_variant_builder_end(builder_.get());
    builder_.reset();
    return dict;
}

namespace {

// Reads a value of one fixed basic type with g_variant_get.
template <typename T, typename Wire = T>
std::optional<T> lookup_basic(GVariantDict* dict, const char* key, const char* type)
{
    g_autoptr(GVariant) value = g_variant_dict_lookup_value(dict, key, G_VARIANT_TYPE(type));
    if (value == nullptr) {
        return std::nullopt;
    }
    Wire out{};
    g_variant_get(value, type, &out);
    return static_cast<T>(out);
}

}  // namespace

DictView::DictView(GVariantDict* dict) : dict_(dict) {}

DictView::DictView(DictView&&) noexcept = default;
DictView& DictView::operator=(DictView&&) noexcept = default;
DictView::~DictView() = default;

std::optional<DictView> DictView::init(GVariant* value)
{
    if (value == nullptr || !g_variant_is_of_type(value, G_VARIANT_TYPE_VARDICT)) {
        return std::nullopt;
    }
    return std::optional<DictView>(std::in_place, g_variant_dict_new(value));
}

std::optional<std::int32_t> DictView::getInt32(const char* key) const
{
    return lookup_basic<std::int32_t, gint32>(dict_.get(), key, "i");
}

std::optional<std::int64_t> DictView::getInt64(const char* key) const
{
    return lookup_basic<std::int64_t, gint64>(dict_.get(), key, "x");
}

std::optional<std::uint32_t> DictView::getUint32(const char* key) const
{
    return lookup_basic<std::uint32_t, guint32>(dict_.get(), key, "u");
}

std::optional<std::uint64_t> DictView::getUint64(const char* key) const
{
    return lookup_basic<std::uint64_t, guint64>(dict_.get(), key, "t");
}

std::optional<bool> DictView::getBool(const char* key) const
{
    // gboolean is an int on the wire side of g_variant_get.
    return lookup_basic<bool, gboolean>(dict_.get(), key, "b");
}

std::optional<std::string> DictView::getString(const char* key) const
{
    g_autoptr(GVariant) value = g_variant_dict_lookup_value(dict_.get(), key, G_VARIANT_TYPE_STRING);
    if (value == nullptr) {
        return std::nullopt;
    }
    gsize length = 0;
    const char* text = g_variant_get_string(value, &length);
    if (length == 0) {
        return std::nullopt;
    }
    return std::string(text);
}

GVariant* DictView::getVariant(const char* key) const
{
    g_autoptr(GVariant) boxed = g_variant_dict_lookup_value(dict_.get(), key, G_VARIANT_TYPE_VARIANT);
    return boxed == nullptr ? nullptr : g_variant_get_variant(boxed);
}

const char** DictView::getStringArray(const char* key, std::size_t* n) const
{
    g_autoptr(GVariant) value = g_variant_dict_lookup_value(dict_.get(), key, G_VARIANT_TYPE_STRING_ARRAY);
    if (value == nullptr) {
        return nullptr;
    }
    // The texts point into the value, which the dictionary keeps alive.
    return g_variant_get_strv(value, n);
}

GVariant** DictView::getDictArray(const char* key, std::size_t* n) const
{
    g_autoptr(GVariant) value = g_variant_dict_lookup_value(dict_.get(), key, G_VARIANT_TYPE("aa{sv}"));
    if (value == nullptr) {
        return nullptr;
    }
    GVariantIter iter;
    *n = g_variant_iter_init(&iter, value);
    // Zero-filled: the slot after the last element is the terminator.
    GVariant** elements = g_new0(GVariant*, *n + 1);
    for (gsize i = 0; i < *n; ++i) {
        elements[i] = g_variant_iter_next_value(&iter);
    }
    return elements;
}

}  // namespace GLibHelper
