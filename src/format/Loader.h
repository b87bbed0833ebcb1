#pragma once

// Loading a scene file: open, read whole, parse, prepare. Independent of any host, so the
// plug-in and the command-line tool load files the same way.

#include <string>

#include "format/SceneParser.h"

struct Scene;

struct LoadOptions {
    // Run the post-load preparation after a successful parse (off to see the file's own data).
    bool prepare = true;
    // Write the texture files embedded in chunked files next to the scene file when absent.
    bool extractEmbeddedFiles = true;
    // The folder that receives them instead of the scene file's (ending in a separator).
    std::string embeddedFilesFolder;
};

struct LoadReport {
    int result = QVX_RESULT_FAILED;
    std::string path;
    ParseReport parse;  // headers, sizes, and where parsing stopped
    // A short reason for a failure: the section, byte offset and what was expected, or why
    // the file could not be read. Empty on success.
    std::string reason;
};

// Loads `path` into `scene` (cleared first, and cleared again on any failure). Returns
// QVX_RESULT_OK or one of the failure codes; `report`, when given, says why.
int loadSceneFile(const std::string& path, Scene& scene, const LoadOptions& options = LoadOptions(),
                  LoadReport* report = nullptr);
