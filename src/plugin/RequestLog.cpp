#include "plugin/RequestLog.h"

#include <string>

#include "host/Messages.h"

void logBanner(const char* title) {
    static constexpr char kRule[] = "QVX: =======================================";
    logLine(kRule);
    logLine(MString("QVX: ") + title);
    logLine(kRule);
}

void logOptionValuesToHost(OptionDriver driver, const OptionFlags& flags) {
    for (const std::string& line : optionLogLines(driver, flags)) {
        logHost(MString(line.c_str()));
    }
}

void logOptionValuesToStderr(OptionDriver driver, const OptionFlags& flags) {
    std::string text;
    for (const std::string& line : optionLogLines(driver, flags)) {
        text += line;
        text += '\n';
    }
    logStderr(MString(text.c_str()));
}
