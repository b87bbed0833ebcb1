#pragma once

// Compares two loaded scenes record by record and field by field: the scenes are taken in
// their JSON form (SceneJson.h, every record and field in a fixed order) and walked side by
// side, so a difference is named by its record path, e.g. "bones[3].name" or
// "vertices[120].position[2]".

#include <cstddef>
#include <string>
#include <vector>

struct Scene;

struct DiffSettings {
    // Two numbers that are not both integers are equal when they differ by at most
    // tolerance * max(1, |a|, |b|): absolute near zero, relative for large values.
    double tolerance = 1e-5;
    // How many differences to keep; all are counted.
    std::size_t maxReported = 10;
};

struct SceneDifference {
    std::string path;  // record path, e.g. "materials[0].layers[2].path"
    std::string left;  // the first scene's value, as JSON text (or "absent", or "N items")
    std::string right;
};

struct SceneDiff {
    std::size_t count = 0;               // every difference found
    std::vector<SceneDifference> first;  // the first maxReported of them, in record order
    bool equal() const { return count == 0; }
};

// `leftFolder` and `rightFolder` are the folders of the two files (with their trailing
// separator, as the loader resolves texture names against them): a texture found beside
// each file counts as the same texture, so a file compares equal to a copy elsewhere.
SceneDiff diffScenes(const Scene& left, const Scene& right, const DiffSettings& settings,
                     const std::string& leftFolder = std::string(),
                     const std::string& rightFolder = std::string());

// True when the two numbers are equal under the settings' tolerance (NaN equals NaN).
bool numbersMatch(double a, double b, double tolerance);

// `qvx diff A B...`: compares each further file with the first, loaded as an import loads
// them (`raw`: as stored, before the post-load preparation). Prints "B: same scene as A", or
// "B: N differences from A" and the first ones as "  path: left -> right"; a file that does
// not load is reported on standard error. Returns 0 when every file equals the first, 1 when
// any differs or fails to load.
int runDiff(const std::vector<std::string>& files, const DiffSettings& settings, bool raw);
