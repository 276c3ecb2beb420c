#pragma once
// Carrying a file's access control list and labels over to its replacement,
// which would otherwise start with its directory's defaults.
#include <string>

#include "error/chained_error.h"

namespace devctl {

// Gives the file open as `to` every extended attribute of the file at `from`
// (not followed if it is a link) in system.posix_acl_access, security.*,
// trusted.* and user.*. A file system without extended attributes has none
// to give. A failure is the system error under "failed to list extended
// attributes", "failed to read extended attribute NAME" or "failed to set
// extended attribute NAME".
Status copy_extended_attributes(const std::string& from, int to);

}  // namespace devctl
