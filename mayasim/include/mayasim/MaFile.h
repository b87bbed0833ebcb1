#ifndef MAYASIM_MAFILE_H
#define MAYASIM_MAFILE_H
// Stand-in-only: opening and importing ASCII scene files (".ma") as the host does on MFileIO::open and
// MFileIO::importFile. Tests and tools use the report; plug-in code never includes this header.

#include <maya/MStatus.h>

#include <string>
#include <vector>

namespace mayasim {

// What a load did: the file's requirements and units, what was ignored, and what the stand-in could not
// evaluate. `error` is empty on success and otherwise names the file and the line.
struct MaLoadReport {
    std::string file;
    std::string error;
    std::vector<std::string>
    requires;                           // "maya 2018ff07", "stereoCamera 10.0"
    std::vector<std::string> fileInfo;  // "product=Maya 2018"
    std::vector<std::string> notes;     // one line each, with the line number where one applies
    std::vector<std::string> notEvaluated;
    unsigned statements = 0;
    unsigned nodesCreated = 0;
    unsigned connections = 0;
    // The report as printed by the command-line host, one item per line.
    std::string text() const;
};

// True for a path ending in ".ma" (any letter case).
bool isMaPath(const std::string& path);
// Opens the file as a new scene. On failure the previous scene (and time settings) stay as they were.
MStatus openMaFile(const std::string& path, MaLoadReport* report = nullptr);
// Adds the file's nodes to the current scene. Nothing is added when the file fails to load.
MStatus importMaFile(const std::string& path, MaLoadReport* report = nullptr);
// The same from text in memory; `name` stands for the file in messages.
MStatus openMaText(const std::string& text, const std::string& name, MaLoadReport* report = nullptr);
MStatus importMaText(const std::string& text, const std::string& name, MaLoadReport* report = nullptr);
// The report of the last load through any of the above (or MFileIO).
MaLoadReport lastMaLoadReport();

}  // namespace mayasim

#endif
