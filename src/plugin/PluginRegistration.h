#pragma once

// What the module's entry points do, kept out of the entry-point file so that tests can
// run it without loading the module.

#include <maya/MObject.h>
#include <maya/MStatus.h>

// Registers the translator with the host and reports the outcome in the script editor.
MStatus registerTavrinPro(MObject plugin);

// Deregisters the translator; silent.
MStatus deregisterTavrinPro(MObject plugin);

// The options script the host runs for the translator's option dialog.
constexpr const char* kOptionsScriptName = "qvxTransOptions";
