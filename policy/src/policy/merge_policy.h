#pragma once
// Overlay of one policy on another. The base keeps its shape: modules and
// variables only the add-on has are not taken over. None of this can fail.
#include "model/policy.h"
#include "policy/merge_path.h"

namespace devctl {

// Single values come from add; modules with the same key are merged.
// path is empty before and after the call.
void merge_policy(Policy& base, const Policy& add, MergePath& path);

// Merges two values of one kind; false (and nothing changed) when the kinds
// differ. Device classes of different sub-kinds count as merged unchanged.
bool merge_same_kind(VariableTypes& base, const VariableTypes& add);

}  // namespace devctl
