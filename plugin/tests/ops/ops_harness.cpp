#include "ops_harness.h"

#include <dlfcn.h>

#include <cstdlib>
#include <stdexcept>

namespace ops_test {

namespace {

template <class F>
F resolve(void* handle, const char* name)
{
    void* symbol = dlsym(handle, name);
    if (symbol == nullptr) {
        throw std::runtime_error(std::string("missing symbol ") + name);
    }
    return reinterpret_cast<F>(symbol);
}

}  // namespace

std::string Var::text() const
{
    if (value_ == nullptr) {
        return "<null>";
    }
    g_autofree gchar* printed = g_variant_print(value_, TRUE);
    return printed;
}

GVariant* dict(std::initializer_list<Entry> entries)
{
    GVariantBuilder builder;
    g_variant_builder_init(&builder, G_VARIANT_TYPE_VARDICT);
    for (const auto& [key, value] : entries) {
        g_variant_builder_add(&builder, "{sv}", key, value);
    }
    return g_variant_builder_end(&builder);
}

GVariant* dict_list(const std::vector<GVariant*>& dicts)
{
    GVariantBuilder builder;
    g_variant_builder_init(&builder, G_VARIANT_TYPE("aa{sv}"));
    for (GVariant* d : dicts) {
        g_variant_builder_add_value(&builder, d);
    }
    return g_variant_builder_end(&builder);
}

GVariant* scene_info(const std::string& scene, std::optional<unsigned> sync)
{
    if (sync) {
        return dict({{"scene", g_variant_new_string(scene.c_str())}, {"sync", g_variant_new_uint32(*sync)}});
    }
    return dict({{"scene", g_variant_new_string(scene.c_str())}});
}

std::string field_bytes(const std::string& text, std::size_t size)
{
    std::string field = text.substr(0, size);
    field.resize(size, '\0');
    return field;
}

Host& Host::get()
{
    static Host host;
    return host;
}

Host::Host()
{
    plugin_ = dlopen(OPS_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    if (plugin_ == nullptr) {
        throw std::runtime_error(dlerror());
    }
    // The back end that the plug-in itself pulled in, not one of our own.
    void* backend = dlopen("liborvex_scene_devctl.so.0", RTLD_NOW | RTLD_NOLOAD);
    if (backend == nullptr) {
        throw std::runtime_error("the plug-in did not load liborvex_scene_devctl.so.0");
    }
    reset_ = resolve<decltype(reset_)>(backend, "devctl_standin_reset");
    set_result_ = resolve<decltype(set_result_)>(backend, "devctl_standin_set_result");
    set_list_ = resolve<decltype(set_list_)>(backend, "devctl_standin_set_list");
    call_count_ = resolve<decltype(call_count_)>(backend, "devctl_standin_call_count");
    call_ = resolve<decltype(call_)>(backend, "devctl_standin_call");
    dlclose(backend);
}

Operation Host::operation(const std::string& name) const
{
    return resolve<Operation>(plugin_, ("orvex_scene_plugin_devctl_" + name).c_str());
}

Reply Host::call(const std::string& name, GVariant* params, GVariant* addon_info) const
{
    const Var p(params);
    const Var a(addon_info);
    const std::string params_before = p.text();
    const std::string addon_before = a.text();
    const Var reply(operation(name)(p.get(), a.get()));
    if (p.text() != params_before || a.text() != addon_before) {
        throw std::runtime_error(name + " changed its arguments");
    }
    if (reply.get() == nullptr || !g_variant_is_of_type(reply.get(), G_VARIANT_TYPE_VARDICT)) {
        throw std::runtime_error(name + " returned no a{sv} reply");
    }
    Reply result;
    GVariantIter iter;
    g_variant_iter_init(&iter, reply.get());
    const gchar* key = nullptr;
    GVariant* value = nullptr;
    // The loop releases each value before it reads the next.
    while (g_variant_iter_loop(&iter, "{&sv}", &key, &value)) {
        result.keys.emplace_back(key);
        const std::string k = key;
        if (k == "code" && g_variant_is_of_type(value, G_VARIANT_TYPE_INT32)) {
            result.code = g_variant_get_int32(value);
        } else if (k == "message" && g_variant_is_of_type(value, G_VARIANT_TYPE_STRING)) {
            result.message = g_variant_get_string(value, nullptr);
        } else if (k == "data") {
            result.data = Var(g_variant_ref(value));
        }
    }
    return result;
}

std::vector<devctl_standin::Call> Host::calls() const
{
    std::vector<devctl_standin::Call> calls;
    for (std::size_t i = 0; i < call_count_(); ++i) {
        calls.push_back(*call_(i));
    }
    return calls;
}

}  // namespace ops_test
