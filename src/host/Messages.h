#pragma once

// The one way user-visible lines leave the plug-in: to the host's script editor and to
// the process's standard error stream.
//
// Most lines carry the same text on both channels; logLine(line) sends it to the host
// and writes it with a trailing newline to standard error. Where the channels differ
// (a different wording, or several host lines that standard error receives in one
// write), the two texts are given separately.

#include <maya/MString.h>

enum class HostLevel { Info, Warning, Error };

// The same line on both channels (standard error gets a trailing newline).
void logLine(const MString& line, HostLevel level = HostLevel::Info);

// One event whose text differs between the channels; stderrLine gets a trailing newline.
void logLine(const MString& hostLine, const MString& stderrLine, HostLevel level = HostLevel::Info);

// Only to the host's script editor.
void logHost(const MString& line, HostLevel level = HostLevel::Info);

// Only to standard error, written as given in one write (the caller supplies newlines).
void logStderr(const MString& text);

#if defined(__GNUC__)
#define QVX_PRINTF_FORMAT(formatIndex, firstArg) __attribute__((format(printf, formatIndex, firstArg)))
#else
#define QVX_PRINTF_FORMAT(formatIndex, firstArg)
#endif

// Formatted text to standard error, printf style, written as given.
void logStderrFormat(const char* format, ...) QVX_PRINTF_FORMAT(1, 2);

// Pushes out anything standard error still holds (the end of every request).
void flushLog();
