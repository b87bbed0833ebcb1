#pragma once

// The whole scene model as JSON, every record and field (large arrays included), with keys
// in a fixed order so that dumps of two files can be compared line by line.
//
// The text is written as it is produced, through a small buffer: a dump needs no more memory
// than the scene it describes, however long its text. Narrow text is read as the scene model
// widens it (invalid UTF-8 bytes as the code points of their values), so the output is always
// valid JSON.

#include <iosfwd>
#include <string>

#include <nlohmann/json.hpp>

struct Scene;

// Writes the scene as JSON (one space per level of indentation, then a newline) to `out`.
// Returns false when the stream failed.
bool writeSceneJson(std::ostream& out, const Scene& scene);

// Writes the JSON into the file `outputPath` through a temporary file beside it that replaces
// it only when complete (an interrupted dump leaves the previous file). Refuses an output
// that is the file `inputPath` (by identity, through links). False with `error` on failure.
bool writeSceneJsonFile(const Scene& scene, const std::string& inputPath, const std::string& outputPath,
                        std::string& error);

// True when both paths name the same existing file (links followed).
bool sameExistingFile(const std::string& a, const std::string& b);

// The same document as a value, for tools that compare scenes.
nlohmann::ordered_json sceneToJson(const Scene& scene);
