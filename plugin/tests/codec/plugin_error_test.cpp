#include <gtest/gtest.h>

#include <climits>

#include "plugin_error.h"

TEST(PluginError, TableEdgesAndCodesOutsideIt)
{
    const std::pair<int, const char*> cases[] = {
        {0, "success"},
        {-1, "invalid parameter"},
        {-5, "not supper quel"},
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
