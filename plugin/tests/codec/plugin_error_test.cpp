#include <gtest/gtest.h>

#include <climits>

#include "plugin_error.h"

TEST(PluginError, EveryCodeOfTheTableAndCodesOutsideIt)
{
    const std::pair<int, const char*> cases[] = {
        {0, "success"},
        {-1, "invalid parameter"},
        {-2, "policy already exists"},
        {-3, "policy not exists"},
        {-4, "permission denied"},
        {-5, "not supper quel"},
        {-6, "readonly filesystem"},
        {-7, "open file failed"},
        {-8, "IO error"},
        {-9, "compile policy failed"},
        {-10, "sync policy failed"},
        {-11, "invalid dynamic data"},
        {-12, "invalid section data"},
        {-13, "compile init policy failed"},
        {-14, "invalid addon info data"},
        {-15, "dlopen lib failed"},
        {-16, "dlsymbol failed"},
        {-17, "merge policy failed"},
        {-18, "unknow error"},
        {-100, "unknow error"},
        {1, "unknow error"},
        {INT_MAX, "unknow error"},
        {INT_MIN, "unknow error"},
    };
    for (const auto& [code, message] : cases) {
        EXPECT_EQ(PluginError(code).message(), message) << code;
    }
}
