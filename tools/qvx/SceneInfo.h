#pragma once

// The text of `qvx info` for one file: what the loader found (sizes, headers) and, for a file
// that loaded, its counts, names, texture paths, bone tree and animations. The text stays
// proportional to the file, however its records are arranged.

#include <iosfwd>

struct LoadReport;
struct Scene;

// Deepest bone-tree level drawn with its own indentation; deeper bones show their depth.
constexpr int kMaxBoneTreeIndent = 32;

// Writes the description of a file that loadSceneFile() reported on into `out`; `scene` is
// what it loaded (described only when the load succeeded).
void printFileInfo(std::ostream& out, const LoadReport& report, const Scene& scene);
