#pragma once
// A scratch directory for file tests, removed with everything in it.
#include <cstdlib>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <string>

namespace devctl::testing_support {

class TempDir {
public:
    explicit TempDir(std::string base = std::filesystem::temp_directory_path().string()) {
        std::string pattern = base + "/devctl-infra-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed in " + base);
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }
    std::set<std::string> names() const {
        std::set<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) out.insert(entry.path().filename());
        return out;
    }

private:
    std::string path_;
};

}  // namespace devctl::testing_support
