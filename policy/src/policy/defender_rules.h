#pragma once
// The scene block of every module section of the vop_defender scene, built
// from the module's own USB, device and interface variables.
#include "model/policy.h"
#include "policy/policy_writer.h"

namespace devctl {

// Appends the block to writer.rules; logs a warning when the module has no
// valid usb_group_perm.
void write_defender_rules(const Module& module, PolicyWriter& writer);

}  // namespace devctl
