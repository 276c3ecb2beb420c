#include "ops_table.h"

#include <stdexcept>

#include "ops_harness.h"

namespace ops_test {

namespace {

GVariant* one_int(int seed) { return dict({{"param1", g_variant_new_int32(seed)}}); }

GVariant* two_ints(int seed)
{
    return dict({{"param1", g_variant_new_int32(seed)}, {"param2", g_variant_new_int32(-seed)}});
}

GVariant* pvid_query(int seed)
{
    const std::string serial = "serial-" + std::to_string(seed);
    return dict({{"param1", g_variant_new_int32(seed)},
                 {"param2", g_variant_new_uint32(static_cast<unsigned>(seed) * 3u + 0x80000000u)},
                 {"param3", g_variant_new_uint32(static_cast<unsigned>(seed) * 5u)},
                 {"param4", g_variant_new_string(serial.c_str())}});
}

GVariant* netcard_query(int seed)
{
    const std::string name = "eth" + std::to_string(seed);
    return dict({{"param1", g_variant_new_int32(seed)}, {"param2", g_variant_new_string(name.c_str())}});
}

GVariant* type_entries(int seed) { return dict({{"param1", dict_list({type_entry(seed), type_entry(seed + 7)})}}); }
GVariant* pvid_entries(int seed) { return dict({{"param1", dict_list({pvid_entry(seed), pvid_entry(seed + 7)})}}); }
GVariant* netcard_entries(int seed)
{
    return dict({{"param1", dict_list({netcard_entry(seed), netcard_entry(seed + 7)})}});
}

}  // namespace

GVariant* type_entry(int seed)
{
    return dict({{"devctl_type", g_variant_new_int32(seed)},
                 {"sub_type", g_variant_new_int32(seed + 1)},
                 {"perm", g_variant_new_int32(-seed)}});
}

GVariant* pvid_entry(int seed)
{
    const std::string serial = "SN-" + std::to_string(seed);
    const std::string name = "disk " + std::to_string(seed);
    return dict({{"usb_type", g_variant_new_int32(seed)},
                 {"pid", g_variant_new_uint32(static_cast<unsigned>(seed) + 0x1000u)},
                 {"vid", g_variant_new_uint32(static_cast<unsigned>(seed) + 0xfff00000u)},
                 {"serial", g_variant_new_string(serial.c_str())},
                 {"perm", g_variant_new_int32(seed % 3)},
                 {"name", g_variant_new_string(name.c_str())}});
}

GVariant* netcard_entry(int seed)
{
    const std::string name = "wlan" + std::to_string(seed);
    return dict({{"name", g_variant_new_string(name.c_str())}, {"netcard_type", g_variant_new_int32(seed)}});
}

const std::vector<OperationCase>& operations()
{
    static const std::vector<OperationCase> table = {
        {"get_status", "get_devctl_status", Kind::Scalar, Scene::SceneSync},
        {"get_status_from_conf", "get_devctl_status_from_conf", Kind::Scalar, Scene::SceneSync},
        {"set_status", "set_devctl_status", Kind::Scalar, Scene::SceneSyncSwitch, one_int},
        {"is_type_disabled", "devctl_is_type_disabled", Kind::Scalar, Scene::SceneOnly, two_ints},
        {"is_pvid_disabled", "devctl_is_pvid_disabled", Kind::Scalar, Scene::SceneOnly, pvid_query},
        {"is_netcard_disabled", "devctl_is_netcard_disabled", Kind::Scalar, Scene::SceneOnly, netcard_query},
        {"get_pvid_perm", "devctl_get_pvid_perm", Kind::Scalar, Scene::SceneOnly, pvid_query},
        {"set_usb_group_perm", "devctl_set_usb_group_perm", Kind::Scalar, Scene::NotSmSync, one_int},
        {"get_usb_group_perm", "devctl_get_usb_group_perm", Kind::Scalar, Scene::NotSmSync},
        {"set_alarm_status", "devctl_set_alarm_status", Kind::Scalar, Scene::NotSmSync, one_int},
        {"get_alarm_status", "devctl_get_alarm_status", Kind::Scalar, Scene::NotSmSync},
        {"add_by_type", "add_devctl_by_type", Kind::EntryList, Scene::SceneSync, type_entries},
        {"remove_by_type", "remove_devctl_by_type", Kind::EntryList, Scene::SceneSync, type_entries},
        {"add_by_pvid", "add_devctl_by_pvid", Kind::EntryList, Scene::SceneSync, pvid_entries},
        {"remove_by_pvid", "remove_devctl_by_pvid", Kind::EntryList, Scene::SceneSync, pvid_entries},
        {"add_by_netcard_name", "add_devctl_by_netcard_name", Kind::EntryList, Scene::SceneSync, netcard_entries},
        {"remove_by_netcard_name", "remove_devctl_by_netcard_name", Kind::EntryList, Scene::SceneSync,
         netcard_entries},
        {"get_all_type", "get_devctl_all_types", Kind::ListQuery, Scene::SceneOnly},
        {"get_by_type", "get_devctl_by_type", Kind::ListQuery, Scene::SceneOnly, one_int},
        {"get_all_pvid", "get_devctl_all_pvid", Kind::ListQuery, Scene::SceneOnly},
        {"get_netcard", "get_devctl_netcard", Kind::ListQuery, Scene::SceneOnly},
        {"read_sys_device_info", "read_sys_device_info", Kind::ListQuery, Scene::None},
    };
    return table;
}

GVariant* params_for(const OperationCase& op, int seed) { return op.params == nullptr ? nullptr : op.params(seed); }

const OperationCase& operation_case(const std::string& name)
{
    for (const OperationCase& op : operations()) {
        if (op.name == name) {
            return op;
        }
    }
    throw std::invalid_argument("no operation " + name);
}

}  // namespace ops_test
