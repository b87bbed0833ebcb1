#pragma once

// Lines that open every import and export request: the banner and the option values.

#include "plugin/Options.h"

// The three banner lines around the title, on both channels.
void logBanner(const char* title);

// One host line per option of the driver, "QVX: <name>: <value>".
void logOptionValuesToHost(OptionDriver driver, const OptionFlags& flags);

// The same lines to standard error in a single write.
void logOptionValuesToStderr(OptionDriver driver, const OptionFlags& flags);
