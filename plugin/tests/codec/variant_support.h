// Small helpers for tests that handle GVariant values, which the tests hold
// with g_autoptr(GVariant).
#pragma once

#include <glib.h>

#include <string>

// A new reference to a value from GVariant text form, e.g.
// "{'a': <int32 1>}"; null when the text does not parse.
inline GVariant* parse(const char* text)
{
    return g_variant_parse(nullptr, text, nullptr, nullptr, nullptr);
}

// The text form with type annotations, e.g. "{'code': <0>}".
inline std::string printed(GVariant* value)
{
    g_autofree gchar* text = g_variant_print(value, TRUE);
    return text;
}
