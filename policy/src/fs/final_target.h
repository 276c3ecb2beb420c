#pragma once
// Where a path finally leads, for writers that replace what a link points to.
#include <filesystem>
#include <string>

namespace devctl {

// The path with every symbolic link at its end resolved (up to 40 hops);
// a dangling link gives the path it names.
std::string final_target(const std::string& path);

// The directory that holds path: its parent, or "." for a bare name.
std::filesystem::path directory_of(const std::filesystem::path& path);

}  // namespace devctl
