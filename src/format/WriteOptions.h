#pragma once

// What the body writers write: the export switches and the texts stored in every file.
// The plug-in maps its option flags onto this; the command-line tool maps its switches.

#include <ctime>
#include <string>

struct WriteOptions {
    bool export_lights = true;
    bool export_materials = true;
    bool export_colors = true;  // also sets the colour flag, so every vertex carries RGBA
    bool export_uvs = true;
    bool export_uvsets = true;       // second UV channel (needs export_uvs)
    bool export_bones = true;        // bones and skin weights
    bool export_animation = true;    // animations (needs export_bones)
    bool export_as_qvx_v2x = false;  // write the version-9 body instead of version 31

    // The info strings at the end of every file.
    std::string description = "Tavrin Pro Maya 2015 Translator";
    std::string versionText = "v3.0";
    // Export date; empty means the local time at which the body is written.
    std::string dateText;
};

// The 24-character local date form, e.g. "Sat Dec  5 09:19:48 2026" (English names whatever
// the locale, day padded with a blank, no trailing newline).
std::string formatExportDate(std::time_t when);

// The options' date text, or the current local time when it is empty.
std::string exportDateText(const WriteOptions& options);
