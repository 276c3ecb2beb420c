// The vop_defender scene block: fixed blocks, USB group permission, USB,
// device and interface lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "policy/defender_blocks.h"
#include "policy/defender_rules.h"
#include "render_builders.h"

namespace devctl::render_test {
namespace {

using Lines = std::vector<std::string>;

const char* const kAllowUseBlock =
    "allow * * rbc usb {use} if ($devctl & !usb_disallow_use_by_id)\n"
    "allow * * qic usb {use} if ($devctl & !usb_disallow_use_by_id)\n"
    "allow * * ufi usb {use} if ($devctl & !usb_disallow_use_by_id)\n"
    "allow * * \"8070\" usb {use} if ($devctl & !usb_disallow_use_by_id)\n"
    "allow * * scsi usb {use} if ($devctl & !usb_disallow_use_by_id)\n"
    "allow * * lockable usb {use} if ($devctl & !usb_disallow_use_by_id)";
const char* const kAllowWriteBlock =
    "allow * * rbc usb {write} if ($devctl & !usb_disallow_write_by_id)\n"
    "allow * * qic usb {write} if ($devctl & !usb_disallow_write_by_id)\n"
    "allow * * ufi usb {write} if ($devctl & !usb_disallow_write_by_id)\n"
    "allow * * \"8070\" usb {write} if ($devctl & !usb_disallow_write_by_id)\n"
    "allow * * scsi usb {write} if ($devctl & !usb_disallow_write_by_id)\n"
    "allow * * lockable usb {write} if ($devctl & !usb_disallow_write_by_id)";
const char* const kDenyUseBlock =
    "disallow * * rbc usb {use} if ($devctl & !usb_allow_use_by_id)\n"
    "disallow * * qic usb {use} if ($devctl & !usb_allow_use_by_id)\n"
    "disallow * * ufi usb {use} if ($devctl & !usb_allow_use_by_id)\n"
    "disallow * * \"8070\" usb {use} if ($devctl & !usb_allow_use_by_id)\n"
    "disallow * * scsi usb {use} if ($devctl & !usb_allow_use_by_id)\n"
    "disallow * * lockable usb {use} if ($devctl & !usb_allow_use_by_id)";
const char* const kDenyWriteBlock =
    "disallow * * rbc usb {write} if ($devctl & !usb_allow_write_by_id)\n"
    "disallow * * qic usb {write} if ($devctl & !usb_allow_write_by_id)\n"
    "disallow * * ufi usb {write} if ($devctl & !usb_allow_write_by_id)\n"
    "disallow * * \"8070\" usb {write} if ($devctl & !usb_allow_write_by_id)\n"
    "disallow * * scsi usb {write} if ($devctl & !usb_allow_write_by_id)\n"
    "disallow * * lockable usb {write} if ($devctl & !usb_allow_write_by_id)";

const char* const kOff = "interactive = 0";
const char* const kNotice = "interactive = 2";
const char* const kHardDriveExec =
    "disallow * * * file {exec,interpret} if ($devctl & disallow_exec_on_usb_hard_driver)";
const char* const kCdAllowUse = "allow * * \"8020\" usb {use} if ($devctl & !usb_disallow_use_by_id)";
const char* const kCdAllowWrite = "allow * * \"8020\" usb {write} if ($devctl & !usb_disallow_write_by_id)";
const char* const kCdDenyUse = "disallow * * \"8020\" usb {use} if ($devctl & !usb_allow_use_by_id)";
const char* const kCdDenyWrite = "disallow * * \"8020\" usb {write} if ($devctl & !usb_allow_write_by_id)";
const char* const kCdDenyExec =
    "disallow * * * file {exec,interpret} if ($devctl & (disallow_exec_on_usb_cdrom | "
    "disallow_exec_on_non_usb_cdrom))";
const char* const kCdAllowExec =
    "allow * * * file {exec,interpret} if ($devctl & allow_exec_on_non_usb_cdrom)";

Lines opening_lines() {
    return {kOff,
            kOff,
            "allow * * \"hid\" usb {use} if ($devctl)",
            "allow * * \"hid\" usb {write} if ($devctl)",
            "allow * * \"hub\" usb {use} if ($devctl)",
            "allow * * \"hub\" usb {write} if ($devctl)"};
}

std::string closing_block_file() {
    std::ifstream in(std::string(RENDER_TEST_DATA_DIR) + "/defender_closing_block.txt",
                     std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

size_t line_feeds(const std::string& text) { return std::ranges::count(text, '\n'); }

// Each text as a line, ended by a line feed.
std::string text_of(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines) text.append(line).push_back('\n');
    return text;
}

// The text between the fixed opening and the closing block, after checking both.
std::string variable_part(std::vector<Variable> variables) {
    PolicyWriter writer = make_policy_writer("vop_defender");
    write_defender_rules(module("t", std::move(variables)), writer);
    const std::string rules = block_text(writer.rules);
    const std::string opening = text_of(opening_lines());
    const std::string closing = text_of({closing_block_file()});
    EXPECT_TRUE(rules.starts_with(opening)) << rules;
    EXPECT_TRUE(rules.ends_with(closing)) << rules;
    if (rules.size() < opening.size() + closing.size()) return "(no opening or closing)";
    return rules.substr(opening.size(), rules.size() - opening.size() - closing.size());
}

Variable perm(const char* text) { return string_var("usb_group_perm", text); }

TEST(DefenderBlocks, SixLineBlocksMatchTheirTextAndSize) {
    const std::pair<Access, const char*> blocks[] = {{Access::AllowUse, kAllowUseBlock},
                                                     {Access::AllowWrite, kAllowWriteBlock},
                                                     {Access::DenyUse, kDenyUseBlock},
                                                     {Access::DenyWrite, kDenyWriteBlock}};
    for (const auto& [access, text] : blocks) EXPECT_EQ(mass_storage_block(access), text_of({text}));
    EXPECT_EQ(mass_storage_block(Access::AllowUse).size(), 387u);
    EXPECT_EQ(mass_storage_block(Access::AllowWrite).size(), 411u);
    EXPECT_EQ(mass_storage_block(Access::DenyUse).size(), 387u);
    EXPECT_EQ(mass_storage_block(Access::DenyWrite).size(), 411u);
}

TEST(DefenderBlocks, ClosingBlockIs96LinesOf6498Bytes) {
    const std::string& block = defender_closing_block();
    EXPECT_EQ(line_feeds(block), 96u);
    EXPECT_EQ(block.size(), 6498u);
    EXPECT_EQ(block, text_of({closing_block_file()}));
}

TEST(DefenderRules, ModuleWithoutVariablesGives102Lines) {
    PolicyWriter writer = make_policy_writer("vop_defender");
    write_defender_rules(module("t"), writer);
    EXPECT_EQ(line_feeds(block_text(writer.rules)), 102u);
    EXPECT_EQ(variable_part({}), "");
}

struct DefenderCase {
    const char* what;
    std::vector<Variable> variables;
    Lines lines;
};

void PrintTo(const DefenderCase& c, std::ostream* os) { *os << c.what; }

class DefenderRulesTest : public testing::TestWithParam<DefenderCase> {};

TEST_P(DefenderRulesTest, WritesTheVariableLines) {
    EXPECT_EQ(variable_part(GetParam().variables), text_of(GetParam().lines)) << GetParam().what;
}

const Lines kAudioDeny = {kNotice, "disallow * * \"audio\" usb {use} if ($devctl & !usb_allow_use_by_id)",
                          "disallow * * \"audio\" usb {write} if ($devctl & !usb_allow_write_by_id)"};

Lines concat(std::initializer_list<Lines> parts) {
    Lines out;
    for (const Lines& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

const std::vector<UsbType> kAudioAndStorage = {UsbType::Audio, UsbType::MassStorage};
const std::vector<UsbType> kStorage = {UsbType::MassStorage};

INSTANTIATE_TEST_SUITE_P(
    UsbGroup, DefenderRulesTest,
    testing::Values(
        DefenderCase{"disable ignores the lists",
                     {perm("disable"), class_var("usb_disable_list", kAudioAndStorage)},
                     {kNotice, "disallow * * * usb {use} if ($devctl & !usb_allow_use_by_id)",
                      "disallow * * * usb {write} if ($devctl & !usb_allow_write_by_id)"}},
        DefenderCase{"enable: disable list members then its mass storage",
                     {perm("enable"), class_var("usb_disable_list", kAudioAndStorage)},
                     concat({kAudioDeny, {kNotice, kDenyUseBlock, kDenyWriteBlock, kHardDriveExec}})},
        DefenderCase{"enable list holding mass storage comes first",
                     {class_var("usb_disable_list", kAudioAndStorage), perm("enable"),
                      class_var("usb_enable_list", kStorage)},
                     concat({kAudioDeny, {kOff, kAllowUseBlock, kAllowWriteBlock}})},
        DefenderCase{"members of other lists give nothing",
                     {class_var("usb_enable_list", std::vector{UsbType::Audio}),
                      class_var("usb_readonly_list", std::vector{UsbType::Hid})},
                     {}},
        DefenderCase{"disable list members keep duplicates and skip every mass storage",
                     {class_var("usb_disable_list", std::vector{UsbType::MassStorage, UsbType::Audio,
                                                                UsbType::MassStorage, UsbType::Audio})},
                     concat({kAudioDeny, kAudioDeny,
                             {kNotice, kDenyUseBlock, kDenyWriteBlock, kHardDriveExec}})},
        DefenderCase{"readonly", {class_var("usb_readonly_list", kStorage)},
                     {kOff, kAllowUseBlock, kNotice, kDenyWriteBlock, kHardDriveExec}},
        DefenderCase{"read write", {class_var("usb_read_write_list", kStorage)},
                     {kOff, kAllowUseBlock, kAllowWriteBlock, kNotice, kHardDriveExec}},
        DefenderCase{"read exec", {class_var("usb_read_exec_list", kStorage)},
                     {kOff, kAllowUseBlock, kNotice, kDenyWriteBlock}},
        DefenderCase{"a list without mass storage does not qualify",
                     {class_var("usb_read_write_exec_list", kStorage),
                      class_var("usb_read_exec_list", std::vector{UsbType::Audio})},
                     {kOff, kAllowUseBlock, kAllowWriteBlock}},
        DefenderCase{"first list wins over later ones",
                     {class_var("usb_read_exec_list", kStorage), class_var("usb_readonly_list", kStorage)},
                     {kOff, kAllowUseBlock, kNotice, kDenyWriteBlock, kHardDriveExec}},
        DefenderCase{"first occurrence of the wrong kind hides a later fitting one",
                     {class_var("usb_disable_list", std::vector{DeviceType::Tape}),
                      class_var("usb_disable_list", kAudioAndStorage)},
                     {}},
        DefenderCase{"perm text is case-sensitive, so Disable is enable",
                     {perm("Disable"), class_var("usb_read_exec_list", kStorage)},
                     {kOff, kAllowUseBlock, kNotice, kDenyWriteBlock}},
        DefenderCase{"a later valid perm is never read",
                     {var<VariableKind::Int>("usb_group_perm", int32_t{2}), perm("disable"),
                      class_var("usb_read_exec_list", kStorage)},
                     {kOff, kAllowUseBlock, kNotice, kDenyWriteBlock}}));

std::string dev(const char* templ, const char* name) {
    std::string line = templ;
    line.replace(line.find("{n}"), 3, name);
    return line;
}
const char* const kAU = "allow * * * {n} {use} if ($devctl & !usb_disallow_use_by_id)";
const char* const kAW = "allow * * * {n} {write} if ($devctl & !usb_disallow_write_by_id)";
const char* const kDU = "disallow * * * {n} {use} if ($devctl & !usb_allow_use_by_id)";
const char* const kDW = "disallow * * * {n} {write} if ($devctl & !usb_allow_write_by_id)";

const std::vector<DeviceType> kCdrom = {DeviceType::Cdrom};

INSTANTIATE_TEST_SUITE_P(
    Devices, DefenderRulesTest,
    testing::Values(
        DefenderCase{"empty enable list still switches interaction off",
                     {class_var("device_enable_list", std::vector<DeviceType>{})}, {kOff}},
        DefenderCase{"enable list twice the same member",
                     {class_var("device_enable_list", std::vector{DeviceType::Ethernet, DeviceType::Ethernet})},
                     {kOff, dev(kAU, "ethernet"), dev(kAW, "ethernet"), dev(kAU, "ethernet"),
                      dev(kAW, "ethernet")}},
        DefenderCase{"enable cdrom", {class_var("device_enable_list", kCdrom)},
                     {kOff, dev(kAU, "cdrom"), dev(kAW, "cdrom"), kOff, kCdAllowUse, kCdAllowWrite}},
        DefenderCase{"disable cdrom", {class_var("device_disable_list", kCdrom)},
                     {kNotice, dev(kDU, "cdrom"), dev(kDW, "cdrom"), kNotice, kCdDenyUse, kCdDenyWrite,
                      kCdDenyExec}},
        DefenderCase{"readonly cdrom", {class_var("device_readonly_list", kCdrom)},
                     {kOff, dev(kAU, "cdrom"), kNotice, dev(kDW, "cdrom"), kOff, kCdAllowUse, kNotice,
                      kCdDenyWrite, kCdDenyExec}},
        DefenderCase{"read write cdrom", {class_var("device_read_write_list", kCdrom)},
                     {kOff, dev(kAU, "cdrom"), dev(kAW, "cdrom"), kOff, kCdAllowUse, kCdAllowWrite,
                      kNotice, kCdDenyExec}},
        DefenderCase{"read exec cdrom", {class_var("device_read_exec_list", kCdrom)},
                     {kOff, dev(kAU, "cdrom"), kNotice, dev(kDW, "cdrom"), kOff, kCdAllowUse,
                      kCdAllowExec, kNotice, kCdDenyWrite}},
        DefenderCase{"read write exec cdrom", {class_var("device_read_write_exec_list", kCdrom)},
                     {kOff, dev(kAU, "cdrom"), dev(kAW, "cdrom"), kOff, kCdAllowUse, kCdAllowWrite,
                      kCdAllowExec}},
        DefenderCase{"all lists in table order, whatever the variable order",
                     {class_var("device_readonly_list", std::vector{DeviceType::Tape}),
                      class_var("device_disable_list", std::vector{DeviceType::Modem})},
                     {kNotice, dev(kDU, "modem"), dev(kDW, "modem"), kOff, dev(kAU, "tape"), kNotice,
                      dev(kDW, "tape")}},
        DefenderCase{"devices before interfaces",
                     {class_var("interface_disable_list", std::vector{InterfaceType::Mmc}),
                      class_var("device_read_exec_list", std::vector{DeviceType::Mmc})},
                     {kOff, dev(kAU, "mmc"), kNotice, dev(kDW, "mmc"), kNotice, dev(kDU, "mmc"),
                      dev(kDW, "mmc")}},
        DefenderCase{"interface lists", {class_var("interface_readonly_list", std::vector{InterfaceType::Hdmi}),
                                         class_var("interface_enable_list", std::vector<InterfaceType>{})},
                     {kOff, kOff, dev(kAU, "hdmi"), kNotice, dev(kDW, "hdmi")}},
        DefenderCase{"no exec lists for interfaces and no device kind in an interface name",
                     {class_var("interface_read_exec_list", std::vector{InterfaceType::Hdmi}),
                      class_var("interface_disable_list", std::vector{DeviceType::Tape}),
                      class_var("pvid_enable_list", std::vector{UsbType::Audio})},
                     {}}));

TEST(DefenderRules, EverySectionOfTheSceneCarriesItsOwnBlock) {
    const std::string text = policy_rule_text(nested_policy(
        "vop_defender", "parent", module("p"), "child",
        module("c", {class_var("device_disable_list", std::vector{DeviceType::Tape})})));
    const std::string closing = closing_block_file() + "\n\n%ENDSEC";
    const size_t first = text.find(closing);
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(text.find(closing, first + 1), std::string::npos);
    EXPECT_EQ(text.find(dev(kDU, "tape")), text.rfind(dev(kDU, "tape")));
    // The device list gives no generic line in this scene.
    EXPECT_EQ(text.find("{use, write}"), std::string::npos);
}

}  // namespace
}  // namespace devctl::render_test
