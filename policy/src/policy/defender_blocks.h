#pragma once
// The fixed lines and line templates of the vop_defender scene block.
#include <cstdint>
#include <string>
#include <string_view>

namespace devctl {

// The four guarded accesses every device, interface and class line grants or denies.
enum class Access : uint8_t { AllowUse, AllowWrite, DenyUse, DenyWrite };

inline constexpr std::string_view kInteractiveOff = "interactive = 0";
inline constexpr std::string_view kInteractiveNotice = "interactive = 2";

inline constexpr std::string_view kHardDriveExecLine =
    "disallow * * * file {exec,interpret} if ($devctl & disallow_exec_on_usb_hard_driver)";
inline constexpr std::string_view kCdDenyExecLine =
    "disallow * * * file {exec,interpret} if ($devctl & (disallow_exec_on_usb_cdrom | "
    "disallow_exec_on_non_usb_cdrom))";
inline constexpr std::string_view kCdAllowExecLine =
    "allow * * * file {exec,interpret} if ($devctl & allow_exec_on_non_usb_cdrom)";

// Each function appends whole lines, every one ended by a line feed.

// A device or interface line for the type name n.
void append_device_line(std::string& out, Access access, std::string_view name);

// A line for one USB class, its name in quotes.
void append_usb_class_line(std::string& out, Access access, std::string_view name);

// The use and write lines that open a USB class without a by-id guard.
void append_usb_class_open_lines(std::string& out, std::string_view name);

// A line for the CD class "8020".
void append_cd_line(std::string& out, Access access);

// Six lines, one per mass-storage subclass.
const std::string& mass_storage_block(Access access);

// The 96 lines that end every section's block.
const std::string& defender_closing_block();

}  // namespace devctl
