// The plug-in's result codes: 0 success, -1 to -17 failure classes, every
// other code "unknow error".
#pragma once

#include <string>

class PluginError {
public:
    explicit PluginError(int code) noexcept : code_(code) {}

    std::string message() const;

private:
    int code_;
};
