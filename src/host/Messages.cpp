#include "host/Messages.h"

#include <maya/MGlobal.h>

#include <cstdarg>
#include <cstdio>

void logHost(const MString& line, HostLevel level) {
    switch (level) {
        case HostLevel::Info:
            MGlobal::displayInfo(line);
            break;
        case HostLevel::Warning:
            MGlobal::displayWarning(line);
            break;
        case HostLevel::Error:
            MGlobal::displayError(line);
            break;
    }
}

void logStderr(const MString& text) {
    std::fputs(text.asChar(), stderr);
}

void logStderrFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
}

void logLine(const MString& line, HostLevel level) {
    logLine(line, line, level);
}

void logLine(const MString& hostLine, const MString& stderrLine, HostLevel level) {
    logHost(hostLine, level);
    std::fprintf(stderr, "%s\n", stderrLine.asChar());
}

void flushLog() {
    std::fflush(stderr);
}
