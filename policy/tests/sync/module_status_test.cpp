#include "policy/thirdlib/module_status.h"

#include <gtest/gtest.h>

#include <string>

namespace devctl {
namespace {

struct StatusCase {
    std::string text;
    int32_t expected;
};

class ModuleStatusText : public testing::TestWithParam<StatusCase> {};

TEST_P(ModuleStatusText, ParsesOnlyABareSigned32BitDecimal) {
    EXPECT_EQ(parse_module_status(GetParam().text), GetParam().expected) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ModuleStatusText,
    testing::Values(StatusCase{"1", 1}, StatusCase{"-2", -2}, StatusCase{"+7", 7}, StatusCase{"0", 0},
                    StatusCase{"007", 7}, StatusCase{"2147483647", 2147483647},
                    StatusCase{"-2147483648", -2147483647 - 1},
                    // Anything around the number selects compile only.
                    StatusCase{"1\n", 0}, StatusCase{" 1", 0}, StatusCase{"1 ", 0}, StatusCase{"", 0},
                    StatusCase{"+", 0}, StatusCase{"-", 0}, StatusCase{"+-1", 0}, StatusCase{"-+1", 0},
                    StatusCase{"++1", 0}, StatusCase{"--1", 0}, StatusCase{"1.0", 0}, StatusCase{"0x1", 0},
                    StatusCase{"2147483648", 0}, StatusCase{"-2147483649", 0},
                    StatusCase{std::string("1\0", 2), 0}, StatusCase{"\xef\xbc\x91", 0}));

}  // namespace
}  // namespace devctl
