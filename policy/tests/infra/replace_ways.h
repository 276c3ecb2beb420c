#pragma once
// Both ways of replacing a file, for tests that run once per way:
// replace_file() itself, which uses an unnamed temporary file on the file
// systems tested here, and its fallback with a named one.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>

#include "fs/file_replace.h"

namespace devctl::testing_support {

struct ReplaceWay {
    const char* name;
    Status (*replace)(const std::string& path, std::string_view content);
    Status (*fill)(const std::string& path, const FillFile& fill);
    bool named_temporary;
};

// Test names and failure messages show the way's name, not its bytes.
inline void PrintTo(const ReplaceWay& way, std::ostream* out) { *out << way.name; }

inline auto replace_ways() {
    return testing::Values(ReplaceWay{"Unnamed", replace_file, replace_file, false},
                           ReplaceWay{"Named", replace_file_named, replace_file_named, true});
}

inline std::string way_name(const testing::TestParamInfo<ReplaceWay>& info) {
    return info.param.name;
}

}  // namespace devctl::testing_support
