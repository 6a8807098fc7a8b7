#include "session/build_stamp.h"

#include <cstring>

namespace tabel::app {

BuildStamp stampFrom(const char* date, const char* time)
{
    static const char* const months[]
        = { "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" };
    if (!date || !time || std::strlen(date) != 11 || std::strlen(time) != 8)
        return {};
    int month = 0;
    for (int i = 0; i < 12; ++i)
        if (std::strncmp(date, months[i], 3) == 0)
            month = i + 1;
    auto digit = [](char c) { return c >= '0' && c <= '9' ? c - '0' : (c == ' ' ? 0 : -1000); };
    const int day = digit(date[4]) * 10 + digit(date[5]);
    const int year = digit(date[7]) * 1000 + digit(date[8]) * 100 + digit(date[9]) * 10 + digit(date[10]);
    const int h = digit(time[0]) * 10 + digit(time[1]);
    const int m = digit(time[3]) * 10 + digit(time[4]);
    const int s = digit(time[6]) * 10 + digit(time[7]);
    if (month == 0 || day < 1 || day > 31 || year < 0 || h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59
        || time[2] != ':' || time[5] != ':')
        return {};
    return { year * 10000 + month * 100 + day, h * 3600 + m * 60 + s };
}

} // namespace tabel::app
