#pragma once
// The declarations and device rule lines a module's variables contribute to
// the rule text.
#include <string>
#include <string_view>
#include <vector>

#include "model/policy.h"
#include "policy/policy_writer.h"

namespace devctl {

// Appends the declaration line or the device rule lines of one variable, if any.
void write_variable(PolicyWriter& writer, const Variable& variable);

// The JSON name of an item, for either device-class kind.
std::string item_name(InterfaceType item);
std::string item_name(DeviceType item);

}  // namespace devctl
