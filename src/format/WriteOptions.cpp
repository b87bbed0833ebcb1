#include "format/WriteOptions.h"

#include <cstdio>

namespace {

bool localTime(std::time_t when, std::tm& out) {
#ifdef _WIN32
    return localtime_s(&out, &when) == 0;
#else
    return localtime_r(&when, &out) != nullptr;
#endif
}

}  // namespace

std::string formatExportDate(std::time_t when) {
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm parts{};
    if (!localTime(when, parts) || parts.tm_wday < 0 || parts.tm_wday > 6 || parts.tm_mon < 0 ||
        parts.tm_mon > 11)
        return std::string();
    char text[64];
    std::snprintf(text, sizeof text, "%s %s %2d %02d:%02d:%02d %d", kDays[parts.tm_wday],
                  kMonths[parts.tm_mon], parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec,
                  parts.tm_year + 1900);
    return text;
}

std::string exportDateText(const WriteOptions& options) {
    return options.dateText.empty() ? formatExportDate(std::time(nullptr)) : options.dateText;
}
