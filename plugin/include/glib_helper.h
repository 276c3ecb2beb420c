// Owners of one GLib "a{sv}" dictionary builder or dictionary. Every reply of
// the plug-in is built and every argument read through them.
#pragma once

#include <glib.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "plugin_export.h"

namespace GLibHelper {

// Drops one reference with the release function of its GLib type.
template <auto Release>
struct Releaser {
    template <class T>
    void operator()(T* object) const { Release(object); }
};

// Builds one "a{sv}" value entry by entry; each value is boxed once in the
// entry's variant. Entries keep their order and duplicates are kept.
// After build() or a move only destruction or a move assignment may follow.
class ORVEX_PLUGIN_API DictBuilder {
public:
    DictBuilder();
    DictBuilder(const DictBuilder&) = delete;
    DictBuilder& operator=(const DictBuilder&) = delete;
    DictBuilder(DictBuilder&& other) noexcept;
    DictBuilder& operator=(DictBuilder&& other) noexcept;
    ~DictBuilder();

    DictBuilder& addInt32(const char* key, int value);
    DictBuilder& addInt64(const char* key, long value);
    DictBuilder& addUint32(const char* key, unsigned int value);
    DictBuilder& addUint64(const char* key, unsigned long value);
    // A null text adds nothing; an empty one adds "".
    DictBuilder& addString(const char* key, const char* text);
    DictBuilder& addBool(const char* key, bool value);
    // A null value adds nothing. A floating reference is taken over; a
    // non-floating one stays the caller's too.
    DictBuilder& addVariant(const char* key, GVariant* value);
    // The first n texts, or with a negative n all up to the null terminator.
    // A null key adds nothing; a null array is allowed only with n == 0.
    DictBuilder& addStringArray(const char* key, const char* const* texts, gssize n);

    // The finished dictionary with a floating reference, owned by the caller.
    GVariant* build();

private:
    std::unique_ptr<GVariantBuilder, Releaser<g_variant_builder_unref>> builder_;
};

// Reads typed values out of one dictionary. A missing key and a value of
// another type both answer empty (or null).
class ORVEX_PLUGIN_API DictView {
public:
    // Adopts the reference.
    explicit DictView(GVariantDict* dict);
    DictView(const DictView&) = delete;
    DictView& operator=(const DictView&) = delete;
    DictView(DictView&& other) noexcept;
    DictView& operator=(DictView&& other) noexcept;
    ~DictView();

    // Empty unless value is a non-null "a{sv}". The entries are copied; value
    // stays the caller's.
    static std::optional<DictView> init(GVariant* value);

    std::optional<std::int32_t> getInt32(const char* key) const;
    std::optional<std::int64_t> getInt64(const char* key) const;
    std::optional<std::uint32_t> getUint32(const char* key) const;
    std::optional<std::uint64_t> getUint64(const char* key) const;
    // A copy of the text; an empty text counts as absent.
    std::optional<std::string> getString(const char* key) const;
    std::optional<bool> getBool(const char* key) const;
    // What a variant inside the entry's variant holds, as a new reference
    // (release with g_variant_unref); null otherwise.
    GVariant* getVariant(const char* key) const;
    // A new null-terminated array (release with g_free) of texts that belong
    // to this view. Stores the count in n when n is not null; null and n
    // untouched when absent.
    const char** getStringArray(const char* key, std::size_t* n) const;
    // A new null-terminated array of new references, one per element of an
    // "aa{sv}" value: unref each, then g_free the array. n must not be null;
    // null and n untouched when absent.
    GVariant** getDictArray(const char* key, std::size_t* n) const;

private:
    std::unique_ptr<GVariantDict, Releaser<g_variant_dict_unref>> dict_;
};

}  // namespace GLibHelper
