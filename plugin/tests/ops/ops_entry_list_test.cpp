// Rules added or removed a batch at a time: the list, the keys of each entry
// kind, the records the back end receives and the code-only reply.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ops_harness.h"
#include "ops_table.h"

namespace ops_test {
namespace {

const char* const kEntryOperations[] = {"add_by_type",  "remove_by_type",      "add_by_pvid",
                                        "remove_by_pvid", "add_by_netcard_name", "remove_by_netcard_name"};

class EntryListOperations : public ::testing::Test {
protected:
    void SetUp() override { host.reset(); }
    void TearDown() override { host.reset(); }

    void expect_refused(const Reply& reply, int code, const std::string& message) const
    {
        EXPECT_EQ(reply.code, code);
        EXPECT_EQ(reply.message, message);
        EXPECT_EQ(reply.keys, (std::vector<std::string>{"code", "message"}));
        EXPECT_TRUE(host.calls().empty());
    }

    // The entries as the back end received them, or empty when it was not called.
    std::string received_entries() const
    {
        const auto calls = host.calls();
        return calls.size() == 1 ? calls[0].entries : std::string();
    }

    const Host& host = Host::get();
};

TEST_F(EntryListOperations, ListUnderParam1)
{
    struct Case {
        GVariant* params;
        GVariant* addon_info;
        const char* message;
    };
    for (const char* op : kEntryOperations) {
        const Case cases[] = {
            {nullptr, scene_info("vop_defender", 1), "invalid parameter"},
            {g_variant_new_int32(1), scene_info("vop_defender", 1), "invalid parameter"},
            {dict({}), scene_info("vop_defender", 1), "invalid parameter key:param1"},
            {dict({{"param1", g_variant_new_parsed("@aa{sv} []")}}), scene_info("vop_defender", 1),
             "invalid parameter key:param1"},
            {dict({{"param1", g_variant_new_parsed("@aa{sv} []")}}), nullptr, "invalid parameter key:param1"},
            {dict({{"param1", type_entry(1)}}), scene_info("vop_defender", 1), "invalid parameter key:param1"},
            {dict({{"param1", g_variant_new_int32(1)}}), scene_info("vop_defender", 1),
             "invalid parameter key:param1"},
            {dict({{"param2", dict_list({type_entry(1)})}}), scene_info("vop_defender", 1),
             "invalid parameter key:param1"},
            // Of a repeated key the last counts, as for every other parameter.
            {dict({{"param1", dict_list({type_entry(1)})}, {"param1", g_variant_new_int32(1)}}),
             scene_info("vop_defender", 1), "invalid parameter key:param1"},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(op) + ": " + c.message);
            host.reset();
            expect_refused(host.call(op, c.params, c.addon_info), -1, c.message);
        }
    }
}

// One entry of each kind, with one key left out, given another type or
// given an empty text.
struct KeyCase {
    const char* op;
    std::string key;
    GVariant* replacement;  // null: the key is left out
};

GVariant* entry_with(const std::string& op, const std::string& key, GVariant* replacement)
{
    GVariant* full = op.find("type") != std::string::npos  ? type_entry(1)
                     : op.find("pvid") != std::string::npos ? pvid_entry(1)
                                                            : netcard_entry(1);
    const Var owned(full);
    GVariantBuilder b;
    g_variant_builder_init(&b, G_VARIANT_TYPE_VARDICT);
    GVariantIter iter;
    g_variant_iter_init(&iter, owned.get());
    const gchar* k = nullptr;
    GVariant* v = nullptr;
    while (g_variant_iter_loop(&iter, "{&sv}", &k, &v)) {
        if (key != k) {
            g_variant_builder_add(&b, "{sv}", k, v);
        } else if (replacement != nullptr) {
            g_variant_builder_add(&b, "{sv}", k, replacement);
        }
    }
    return g_variant_builder_end(&b);
}

TEST_F(EntryListOperations, EveryKeyIsRequiredWithItsType)
{
    const KeyCase cases[] = {
        {"add_by_type", "devctl_type", nullptr},
        {"remove_by_type", "devctl_type", g_variant_new_uint32(1)},
        {"add_by_type", "sub_type", nullptr},
        {"remove_by_type", "perm", g_variant_new_int64(1)},
        {"add_by_pvid", "usb_type", nullptr},
        {"add_by_pvid", "pid", g_variant_new_int32(1)},
        {"remove_by_pvid", "vid", nullptr},
        {"add_by_pvid", "serial", g_variant_new_string("")},
        {"remove_by_pvid", "serial", nullptr},
        {"add_by_pvid", "perm", g_variant_new_string("1")},
        {"remove_by_pvid", "name", g_variant_new_string("")},
        {"add_by_netcard_name", "name", g_variant_new_string("")},
        {"remove_by_netcard_name", "name", g_variant_new_bytestring("eth0")},
        {"add_by_netcard_name", "netcard_type", nullptr},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(std::string(c.op) + " " + c.key);
        host.reset();
        GVariant* entry = entry_with(c.op, c.key, c.replacement);
        // Scene information is read after the entries.
        const Reply reply = host.call(c.op, dict({{"param1", dict_list({entry})}}), nullptr);
        expect_refused(reply, -1, "invalid parameter key:" + c.key);
    }
}

TEST_F(EntryListOperations, FirstMissingKeyInListAndRecordOrder)
{
    // Of three entries, the second lacks "perm"; the third lacks everything.
    Reply reply = host.call("add_by_type",
                            dict({{"param1", dict_list({type_entry(1), entry_with("add_by_type", "perm", nullptr),
                                                        dict({})})}}),
                            scene_info("vop_defender", 1));
    expect_refused(reply, -1, "invalid parameter key:perm");

    // Keys are read in record order, not in the entry's order.
    host.reset();
    reply = host.call("add_by_pvid",
                      dict({{"param1", dict_list({dict({{"name", g_variant_new_string("n")},
                                                        {"serial", g_variant_new_string("s")},
                                                        {"usb_type", g_variant_new_int32(1)}})})}}),
                      scene_info("vop_defender", 1));
    expect_refused(reply, -1, "invalid parameter key:pid");
}

TEST_F(EntryListOperations, RecordsReachTheBackEnd)
{
    // Type entries in list order; keys in any order; unknown keys ignored.
    Reply reply = host.call(
        "remove_by_type",
        dict({{"param1", dict_list({type_entry(1), type_entry(-8),
                                    dict({{"perm", g_variant_new_int32(3)},
                                          {"extra", g_variant_new_string("x")},
                                          {"sub_type", g_variant_new_int32(2)},
                                          {"devctl_type", g_variant_new_int32(1)}})})}}),
        scene_info("vop_defender", 1));
    EXPECT_EQ(reply.code, 0);
    EXPECT_EQ(received_entries(), bytes_of(std::vector<DevctlTypeEntry>{{1, 2, -1}, {-8, -7, 8}, {1, 2, 3}}));
    EXPECT_EQ(host.calls().at(0).count, 3);
    EXPECT_EQ(host.calls().at(0).function, "remove_devctl_by_type");

    // Texts cut at 255 bytes, the rest of the field zero.
    host.reset();
    const std::string serial(300, 'S');
    const std::string name = std::string(254, 'n') + "\xc3\xa9";  // cut inside the character
    reply = host.call("add_by_pvid",
                      dict({{"param1", dict_list({dict({{"usb_type", g_variant_new_int32(-1)},
                                                        {"pid", g_variant_new_uint32(0x0781)},
                                                        {"vid", g_variant_new_uint32(0xffffffffu)},
                                                        {"serial", g_variant_new_string(serial.c_str())},
                                                        {"perm", g_variant_new_int32(2)},
                                                        {"name", g_variant_new_string(name.c_str())}})})}}),
                      scene_info("vop_defender", 1));
    EXPECT_EQ(reply.code, 0);
    DevctlPvidEntry pvid{};
    pvid.usb_type = -1;
    pvid.pid = 0x0781;
    pvid.vid = 0xffffffffu;
    std::memcpy(pvid.serial, serial.data(), 255);
    pvid.perm = 2;
    std::memcpy(pvid.name, name.data(), 255);
    EXPECT_EQ(received_entries(), bytes_of(std::vector<DevctlPvidEntry>{pvid}));

    // Network-card names cut at 127 bytes.
    host.reset();
    const std::string card(200, 'c');
    reply = host.call("remove_by_netcard_name",
                      dict({{"param1", dict_list({netcard_entry(3), dict({{"name", g_variant_new_string(card.c_str())},
                                                                          {"netcard_type", g_variant_new_int32(9)}})})}}),
                      scene_info("vop_defender", 1));
    EXPECT_EQ(reply.code, 0);
    DevctlNetcardEntry first{};
    std::memcpy(first.name, "wlan3", 5);
    first.netcard_type = 3;
    DevctlNetcardEntry second{};
    std::memcpy(second.name, card.data(), 127);
    second.netcard_type = 9;
    EXPECT_EQ(received_entries(), bytes_of(std::vector<DevctlNetcardEntry>{first, second}));
}

TEST_F(EntryListOperations, CodeOnlyReply)
{
    struct Case {
        int result;
        int code;
        const char* message;
    };
    const Case cases[] = {{0, 0, "success"},           {7, 0, "success"},
                          {-4, -4, "permission denied"}, {-17, -17, "merge policy failed"},
                          {-1, -1, "invalid parameter"}, {-18, -100, "unknow error"},
                          {-100, -100, "unknow error"}};
    for (const char* op : kEntryOperations) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(op) + " " + std::to_string(c.result));
            host.reset();
            host.set_result(c.result);
            const Reply reply = host.call(op, params_for(operation_case(op), 1), scene_info("vop_defender", 1));
            EXPECT_EQ(reply.code, c.code);
            EXPECT_EQ(reply.message, c.message);
            EXPECT_EQ(reply.keys, (std::vector<std::string>{"code", "message"}));
            EXPECT_EQ(host.calls().size(), 1u);
        }
    }
}

}  // namespace
}  // namespace ops_test
