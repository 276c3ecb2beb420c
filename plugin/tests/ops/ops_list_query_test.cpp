// Queries answered with the back end's list: empty lists, the dictionaries
// made from each record kind, and how text fields are read.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ops_harness.h"
#include "ops_table.h"

namespace ops_test {
namespace {

const char* const kListOperations[] = {"get_all_type", "get_by_type", "get_all_pvid", "get_netcard",
                                       "read_sys_device_info"};

class ListQueries : public ::testing::Test {
protected:
    void SetUp() override { host.reset(); }
    void TearDown() override { host.reset(); }

    template <class Record>
    void script(const std::vector<Record>& records)
    {
        host.set_list(records.data(), sizeof(Record) * records.size(), static_cast<int>(records.size()));
    }

    // The "data" of a successful reply in GVariant text form.
    std::string data_of(const char* op, GVariant* params = nullptr) const
    {
        const Reply reply = host.call(op, params, scene_info("vop_defender"));
        EXPECT_EQ(reply.code, 0);
        EXPECT_EQ(reply.message, "success");
        EXPECT_EQ(reply.keys, (std::vector<std::string>{"code", "message", "data"}));
        EXPECT_TRUE(reply.data.get() != nullptr && g_variant_is_of_type(reply.data.get(), G_VARIANT_TYPE("aa{sv}")));
        return reply.data.text();
    }

    const Host& host = Host::get();
};

TEST_F(ListQueries, EmptyListsAnswerSuccessWithoutData)
{
    struct Case {
        const void* bytes;  // null: the back end returns a null pointer
        int count;
    };
    const DevctlTypeEntry one{1, 2, 3};
    // Every non-null list is handed over to the plug-in, which must free it.
    const Case cases[] = {{nullptr, 0}, {nullptr, 3}, {&one, 0}, {&one, -1}, {"", 0}};
    for (const char* op : kListOperations) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(op) + " " + std::to_string(c.count));
            host.reset();
            host.set_list(c.bytes, c.bytes == &one ? sizeof one : 0, c.count);
            const Reply reply = host.call(op, params_for(operation_case(op), 1), scene_info("vop_defender"));
            EXPECT_EQ(reply.code, 0);
            EXPECT_EQ(reply.message, std::string(op) == "read_sys_device_info" ? "sys device list is null"
                                                                                : "devctl policy list is null");
            EXPECT_EQ(reply.keys, (std::vector<std::string>{"code", "message"}));
            ASSERT_EQ(host.calls().size(), 1u);
            // The count is cleared before the call, so a back end that never
            // sets it cannot leave garbage behind.
            EXPECT_EQ(host.calls()[0].count, 0);
        }
    }
}

TEST_F(ListQueries, GetByTypeReadsAnInt32Param1)
{
    Reply reply = host.call("get_by_type", dict({{"param1", g_variant_new_uint32(1)}}), nullptr);
    EXPECT_EQ(reply.code, -1);
    EXPECT_EQ(reply.message, "invalid parameter key:param1");
    EXPECT_TRUE(host.calls().empty());

    script(std::vector<DevctlTypeEntry>{{-4, 0, 1}});
    reply = host.call("get_by_type", dict({{"param1", g_variant_new_int32(-4)}}), scene_info("sm", 3));
    EXPECT_EQ(reply.code, 0);
    const auto calls = host.calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].number_count, 1);
    EXPECT_EQ(calls[0].numbers[0], -4);
    EXPECT_EQ(calls[0].info.sync, 0u);
}

TEST_F(ListQueries, RuleRecordsInArrayAndRecordOrder)
{
    script(std::vector<DevctlTypeEntry>{{1, 2, 3}, {-1, 0, 2147483647}, {7, 8, 9}});
    EXPECT_EQ(data_of("get_all_type"),
              "[{'devctl_type': <1>, 'sub_type': <2>, 'perm': <3>}, "
              "{'devctl_type': <-1>, 'sub_type': <0>, 'perm': <2147483647>}, "
              "{'devctl_type': <7>, 'sub_type': <8>, 'perm': <9>}]");

    DevctlPvidEntry pvid{};
    pvid.usb_type = 8;
    pvid.pid = 0xffffffffu;
    pvid.vid = 0x0781;
    pvid.perm = -2;
    std::memcpy(pvid.name, "Cruzer", 6);  // serial left empty
    script(std::vector<DevctlPvidEntry>{pvid});
    EXPECT_EQ(data_of("get_all_pvid"),
              "[{'usb_type': <8>, 'pid': <uint32 4294967295>, 'vid': <uint32 1921>, 'serial': <''>, "
              "'perm': <-2>, 'name': <'Cruzer'>}]");

    DevctlNetcardEntry card{};
    std::memset(card.name, 'w', sizeof card.name);  // no NUL within the field
    card.netcard_type = 1;
    script(std::vector<DevctlNetcardEntry>{card});
    EXPECT_EQ(data_of("get_netcard"), "[{'name': <'" + std::string(128, 'w') + "'>, 'netcard_type': <1>}]");
}

TEST_F(ListQueries, DeviceRecordTextsEndAtTheirFieldOrFirstNul)
{
    SysDeviceInfo device{};
    device.usb_type = 8;
    device.pid = 1;
    device.vid = 2;
    device.perm = 3;
    std::memset(device.product, 'p', sizeof device.product);  // runs into manufacturer
    std::memcpy(device.manufacturer, "Maker\0hidden", 12);
    std::memcpy(device.serial, "ab\xff" "cd\xc3", 6);            // not UTF-8
    std::memset(device.device_name, 'd', sizeof device.device_name);
    std::memset(device.display_name, 'n', sizeof device.display_name);  // to the end of the record
    script(std::vector<SysDeviceInfo>{device});
    const Reply reply = host.call("read_sys_device_info", nullptr, nullptr);
    EXPECT_EQ(reply.code, 0);
    EXPECT_EQ(reply.data.text(),
              "[{'usb_type': <8>, 'pid': <uint32 1>, 'vid': <uint32 2>, 'perm': <3>, 'product': <'" +
                  std::string(128, 'p') + "'>, 'manufacturer': <'Maker'>, 'serial': <'ab\xef\xbf\xbd" "cd\xef\xbf\xbd'>, "
                  "'device_name': <'" + std::string(30, 'd') + "'>, 'display_name': <'" + std::string(258, 'n') + "'>}]");
    ASSERT_EQ(host.calls().size(), 1u);
    const auto calls = host.calls();
    const AddonInfo& info = calls[0].info;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&info), sizeof info), std::string(sizeof info, '\0'));
}

TEST_F(ListQueries, InvalidUtf8IsReplacedInEveryTextField)
{
    DevctlPvidEntry pvid{};
    std::memcpy(pvid.serial, "\x80\x80x", 3);
    std::memcpy(pvid.name, "\xe2\x82", 2);  // a character cut short: one U+FFFD per byte
    script(std::vector<DevctlPvidEntry>{pvid});
    EXPECT_EQ(data_of("get_all_pvid"),
              "[{'usb_type': <0>, 'pid': <uint32 0>, 'vid': <uint32 0>, 'serial': <'\xef\xbf\xbd\xef\xbf\xbdx'>, "
              "'perm': <0>, 'name': <'\xef\xbf\xbd\xef\xbf\xbd'>}]");

    DevctlNetcardEntry card{};
    std::memset(card.name, '\xff', sizeof card.name);
    script(std::vector<DevctlNetcardEntry>{card});
    std::string replaced;
    for (int i = 0; i < 128; ++i) {
        replaced += "\xef\xbf\xbd";
    }
    EXPECT_EQ(data_of("get_netcard"), "[{'name': <'" + replaced + "'>, 'netcard_type': <0>}]");
}

}  // namespace
}  // namespace ops_test
