#pragma once

// The whole scene model as JSON, every record and field (large arrays included), with keys
// in a fixed order so that dumps of two files can be compared line by line.

#include <nlohmann/json.hpp>

struct Scene;

nlohmann::ordered_json sceneToJson(const Scene& scene);
