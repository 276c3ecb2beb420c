// The RFC 3164 line: priority, time stamp, tag and message.
#include <gtest/gtest.h>

#include "log/log_line.h"

namespace devctl {
namespace {

std::tm at(int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = 126;
    t.tm_mon = month;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

TEST(LogLine, PriorityIsFacilitySyslogPlusSeverity) {
    const std::pair<LogLevel, int> cases[] = {
        {LogLevel::Debug, 47}, {LogLevel::Info, 46}, {LogLevel::Notice, 45},
        {LogLevel::Warning, 44}, {LogLevel::Error, 43},
    };
    for (const auto& [level, priority] : cases) EXPECT_EQ(log_priority(level), priority);
}

TEST(LogLine, StampHasEnglishMonthAndZeroPaddedFields) {
    const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int m = 0; m < 12; ++m) EXPECT_EQ(log_stamp(at(m, 15, 12, 30, 45)), std::string(months[m]) + " 15 12:30:45");
    EXPECT_EQ(log_stamp(at(0, 5, 7, 8, 9)), "Jan 05 07:08:09");
    EXPECT_EQ(log_stamp(at(11, 31, 23, 59, 60)), "Dec 31 23:59:60");
}

TEST(LogLine, MessageFollowsTagAndPidUnchanged) {
    EXPECT_EQ(format_log_line(LogLevel::Info, at(2, 1, 0, 0, 0), 4242, "deploy policy ok"),
              "<46>Mar 01 00:00:00 scene-devctl-plugin[4242]: deploy policy ok");
    EXPECT_EQ(format_log_line(LogLevel::Error, at(2, 1, 0, 0, 0), 1, "a\n\nCaused by:\n    b%s\\"),
              "<43>Mar 01 00:00:00 scene-devctl-plugin[1]: a\n\nCaused by:\n    b%s\\");
    EXPECT_EQ(format_log_line(LogLevel::Warning, at(2, 1, 0, 0, 0), 1, ""),
              "<44>Mar 01 00:00:00 scene-devctl-plugin[1]: ");
}

}  // namespace
}  // namespace devctl
