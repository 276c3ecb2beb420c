#include "policy/thirdlib/module_status.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace devctl {
namespace {

struct StatusCase {
    std::string text;
    int32_t expected;
};

void PrintTo(const StatusCase& c, std::ostream* os) { *os << testing::PrintToString(c.text); }

// The text spelt in letters, digits and '_' for the case's name: "-2" is
// minus_2, "1\n" is 1_newline, "" is empty.
std::string case_name(const testing::TestParamInfo<StatusCase>& info) {
    std::string name;
    bool in_word = false;
    for (const char c : info.param.text) {
        const bool alnum = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!name.empty() && !(alnum && in_word)) name += '_';
        in_word = alnum;
        switch (c) {
            case '+': name += "plus"; break;
            case '-': name += "minus"; break;
            case ' ': name += "space"; break;
            case '\n': name += "newline"; break;
            case '.': name += "dot"; break;
            case '\0': name += "nul"; break;
            default:
                if (alnum) {
                    name += c;
                } else {
                    static constexpr char kHex[] = "0123456789ABCDEF";
                    const auto byte = static_cast<unsigned char>(c);
                    name += {'x', kHex[byte >> 4], kHex[byte & 0x0f]};
                }
        }
    }
    return name.empty() ? "empty" : name;
}

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
                    StatusCase{std::string("1\0", 2), 0}, StatusCase{"\xef\xbc\x91", 0}),
    case_name);

}  // namespace
}  // namespace devctl
