#pragma once
// Temporary files of replacements that never finished.
#include <string>
#include <string_view>

namespace devctl {

// ".NAME.tmp-": what every temporary file made to replace NAME is called,
// followed by the writer's process ID, "-" and a counter.
std::string temp_name_prefix(std::string_view name);

// Removes the regular files ".NAME.tmp-<digits>-<digits>" in dir, looked at
// without following links; anything else of a similar name stays. Only
// call it when no other run can be writing there. Best effort: a file that
// cannot be removed is left.
void remove_leftover_temps(const std::string& dir, std::string_view name);

}  // namespace devctl
