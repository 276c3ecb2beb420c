#include "policy/defender_blocks.h"

#include <array>

#include "policy/render_text.h"

namespace devctl {
namespace {

// Indexed by Access.
constexpr std::array<std::string_view, 4> kDeviceLineTemplates = {
    "allow * * * {n} {use} if ($devctl & !usb_disallow_use_by_id)",
    "allow * * * {n} {write} if ($devctl & !usb_disallow_write_by_id)",
    "disallow * * * {n} {use} if ($devctl & !usb_allow_use_by_id)",
    "disallow * * * {n} {write} if ($devctl & !usb_allow_write_by_id)",
};

// The same guards with a USB class {s} as the object.
constexpr std::array<std::string_view, 4> kUsbClassTemplates = {
    "allow * * {s} usb {use} if ($devctl & !usb_disallow_use_by_id)",
    "allow * * {s} usb {write} if ($devctl & !usb_disallow_write_by_id)",
    "disallow * * {s} usb {use} if ($devctl & !usb_allow_use_by_id)",
    "disallow * * {s} usb {write} if ($devctl & !usb_allow_write_by_id)",
};

constexpr std::array<std::string_view, 2> kUsbClassOpenTemplates = {
    "allow * * \"{n}\" usb {use} if ($devctl)",
    "allow * * \"{n}\" usb {write} if ($devctl)",
};

constexpr std::string_view kCdToken = "\"8020\"";

constexpr std::array<std::string_view, 6> kMassStorageTokens = {
    "rbc", "qic", "ufi", "\"8070\"", "scsi", "lockable",
};

// The USB classes without usb, hid, mass_storage and hub; the mass-storage
// subclasses stand in mass_storage's place with "8020" moved behind them.
constexpr std::array<std::string_view, 23> kClosingTokens = {
    "per_interface", "audio", "comm", "physical", "still_image", "printer",
    "rbc", "qic", "ufi", "\"8070\"", "scsi", "lockable", "\"8020\"",
    "cdc_data", "cscid", "content_sec", "video", "wireless_controller", "misc",
    "app_spec", "vendor_spec", "personal_health", "diagnostic",
};

// One half of the closing block: a setting, two lines per token, an exec line.
struct ClosingHalf {
    std::string_view setting;
    std::string_view write_template;
    std::string_view use_template;
    std::string_view exec_line;
};

constexpr std::array<ClosingHalf, 2> kClosingHalves = {{
    {kInteractiveNotice,
     "disallow * * {t} usb {write} if ($devctl & usb_disallow_write_by_id)",
     "disallow * * {t} usb {use} if ($devctl & usb_disallow_use_by_id)",
     "disallow * * * file {exec,interpret} if ($devctl & usb_disallow_exec_by_id)"},
    {kInteractiveOff,
     "allow * * {t} usb {write} if ($devctl & usb_allow_write_by_id)",
     "allow * * {t} usb {use} if ($devctl & usb_allow_use_by_id)",
     "allow * * * file {exec,interpret} if ($devctl & usb_allow_exec_by_id)"},
}};

size_t index_of(Access access) { return static_cast<size_t>(access); }

template <size_t N>
void append_token_lines(std::string& out, std::string_view line_template, std::string_view marker,
                        const std::array<std::string_view, N>& tokens) {
    for (std::string_view token : tokens) append_filled_line(out, line_template, marker, {token});
}

std::string build_mass_storage_block(Access access) {
    std::string block;
    append_token_lines(block, kUsbClassTemplates[index_of(access)], "{s}", kMassStorageTokens);
    return block;
}

std::string build_closing_block() {
    std::string block;
    for (const ClosingHalf& half : kClosingHalves) {
        append_line(block, {half.setting});
        append_token_lines(block, half.write_template, "{t}", kClosingTokens);
        append_token_lines(block, half.use_template, "{t}", kClosingTokens);
        append_line(block, {half.exec_line});
    }
    return block;
}

}  // namespace

void append_device_line(std::string& out, Access access, std::string_view name) {
    append_filled_line(out, kDeviceLineTemplates[index_of(access)], "{n}", {name});
}

void append_usb_class_line(std::string& out, Access access, std::string_view name) {
    append_filled_line(out, kUsbClassTemplates[index_of(access)], "{s}", {"\"", name, "\""});
}

void append_usb_class_open_lines(std::string& out, std::string_view name) {
    for (std::string_view line_template : kUsbClassOpenTemplates) {
        append_filled_line(out, line_template, "{n}", {name});
    }
}

void append_cd_line(std::string& out, Access access) {
    append_filled_line(out, kUsbClassTemplates[index_of(access)], "{s}", {kCdToken});
}

const std::string& mass_storage_block(Access access) {
    static const std::array<std::string, 4> blocks = {
        build_mass_storage_block(Access::AllowUse), build_mass_storage_block(Access::AllowWrite),
        build_mass_storage_block(Access::DenyUse), build_mass_storage_block(Access::DenyWrite),
    };
    return blocks[index_of(access)];
}

const std::string& defender_closing_block() {
    static const std::string block = build_closing_block();
    return block;
}

}  // namespace devctl
