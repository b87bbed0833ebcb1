#pragma once

// The translator's option flags and the option-string grammar.
//
// Every option is listed once, in kOptionTable below; the default option string
// given to the host at registration, the initial flag values, the parser, the lines
// that log the values and the options dialog script (generated at build time by
// tools/optionsscript) are all derived from that table, so adding an option is one edit.
//
// Plain C++: no host header, so the grammar can be tested and reused without the host.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Which request handler reads an option. Each handler parses only its own names and
// ignores every other name in the string.
enum class OptionDriver { Export, Import };

// The option flags a translator keeps between requests; each holds exactly 0 or 1.
// Constructed with the table's defaults.
struct OptionFlags {
    OptionFlags();

    std::uint32_t export_lights;
    std::uint32_t export_materials;
    std::uint32_t export_colors;
    std::uint32_t export_uvs;
    std::uint32_t export_uvsets;
    std::uint32_t export_bones;
    std::uint32_t export_animation;
    std::uint32_t fix_flipped_faces;
    std::uint32_t unweld_hard_edges;
    std::uint32_t export_as_qvx_v2x;
    std::uint32_t import_unsampled_keys;
    std::uint32_t import_phong_materials;
};

struct OptionSpec {
    const char* name;            // as it appears in the option string, e.g. "export_lights"
    std::uint32_t defaultValue;  // 0 or 1
    OptionDriver driver;         // the handler that reads it
    std::uint32_t OptionFlags::*flag;
    // What the options dialog shows: the checkbox label and a one-line help text (plain
    // text without quotes or backslashes, so it can be placed in a script string as is).
    const char* label;
    const char* help;
};

// The options, in the order of the default option string and of the log lines.
inline constexpr OptionSpec kOptionTable[] = {
    {"export_lights", 1, OptionDriver::Export, &OptionFlags::export_lights, "Lights",
     "Write the point, spot, directional and ambient lights"},
    {"export_materials", 1, OptionDriver::Export, &OptionFlags::export_materials, "Materials",
     "Write materials with their texture networks"},
    {"export_colors", 1, OptionDriver::Export, &OptionFlags::export_colors, "Vertex colours",
     "Write a colour with every vertex"},
    {"export_uvs", 1, OptionDriver::Export, &OptionFlags::export_uvs, "UVs",
     "Write texture coordinates; when off every UV is written as (0, 0)"},
    {"export_uvsets", 1, OptionDriver::Export, &OptionFlags::export_uvsets, "Second UV set",
     "Write the second UV set of meshes that have one"},
    {"export_bones", 1, OptionDriver::Export, &OptionFlags::export_bones, "Bones and skinning",
     "Write joints, transforms and skin weights"},
    {"export_animation", 1, OptionDriver::Export, &OptionFlags::export_animation, "Animation",
     "Sample the playback range frame by frame into the file"},
    {"fix_flipped_faces", 1, OptionDriver::Export, &OptionFlags::fix_flipped_faces, "Fix flipped faces",
     "Reverse polygons whose winding points against the normal Maya shows"},
    {"unweld_hard_edges", 0, OptionDriver::Export, &OptionFlags::unweld_hard_edges, "Unweld hard edges",
     "Split vertices along hard edges so they stay sharp"},
    {"export_as_qvx_v2x", 0, OptionDriver::Export, &OptionFlags::export_as_qvx_v2x, "Version 2.x file",
     "Write the older version-9 file that Tavrin 2.x reads"},
    {"import_unsampled_keys", 1, OptionDriver::Import, &OptionFlags::import_unsampled_keys, "Keys as stored",
     "Create one animation key per stored key instead of one per frame"},
    {"import_phong_materials", 1, OptionDriver::Import, &OptionFlags::import_phong_materials,
     "Phong materials", "Create Phong shaders; when off create Lambert shaders"},
};

// "name=value;" for every option in table order, e.g. "export_lights=1;...".
std::string defaultOptionString();

// Applies an option string to the flags, reading only the given driver's names:
//  - entries are separated by ";", an entry's name and value by "=";
//  - an entry without "=" is ignored, as is a name the driver does not know
//    (names compare exactly, case-sensitively);
//  - a known name sets its flag to 1 when the value read as an integer is greater
//    than 0, else to 0 (so an empty value, "0", "-1" or a word turns it off);
//  - later entries override earlier ones; flags not named keep their value, so an
//    empty string changes nothing.
void parseOptionString(std::string_view options, OptionDriver driver, OptionFlags& flags);

// The integer reading of an option value: leading blanks, an optional sign, then decimal
// digits up to the first other character; no digits reads as 0. Only the sign of the
// result matters, so any number of digits is accepted without overflow.
bool optionValueIsPositive(std::string_view value);

// "QVX: <name>: <0|1>" for each of the driver's options, in table order, without newline.
std::vector<std::string> optionLogLines(OptionDriver driver, const OptionFlags& flags);
