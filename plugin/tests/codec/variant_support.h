// Small helpers for tests that handle GVariant values.
#pragma once

#include <glib.h>

#include <memory>
#include <string>

struct VariantUnref {
    void operator()(GVariant* value) const { g_variant_unref(value); }
};
using VariantPtr = std::unique_ptr<GVariant, VariantUnref>;

// Owns value, sinking it when it is floating.
inline VariantPtr own(GVariant* value)
{
    return VariantPtr(value == nullptr ? nullptr : g_variant_ref_sink(value));
}

// A value from GVariant text form, e.g. "{'a': <int32 1>}".
inline VariantPtr parse(const char* text)
{
    return VariantPtr(g_variant_parse(nullptr, text, nullptr, nullptr, nullptr));
}

// The text form with type annotations, e.g. "{'code': <0>}".
inline std::string printed(GVariant* value)
{
    gchar* text = g_variant_print(value, TRUE);
    std::string out(text);
    g_free(text);
    return out;
}
