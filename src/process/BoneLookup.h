#pragma once

// Pairing of host paths with bones, and the rotation convention of host transforms.
// Shared by the export preparation and the export gatherers.

#include <cstdint>
#include <string_view>
#include <unordered_map>

#include "scene/Math.h"

struct Scene;

// Index of the first bone (in array order) whose full path equals `text` byte for byte;
// bones without a full path are passed over. -1 when `text` is null, the scene has no
// bones or none matches.
std::int32_t findBoneByPath(const Scene& scene, const char* text);

// The quaternion (x, y, z, w) of the Euler rotation (rx, ry, rz) in radians, evaluated in
// single precision from the half-angle sines and cosines.
Quat eulerToQuaternion(float rx, float ry, float rz);

// findBoneByPath for many lookups against bones that do not change meanwhile: one hash
// of the full paths instead of a search per lookup. Gives the same answers.
class BonePathIndex {
  public:
    // Indexes the scene's bones. Returns 0 when memory ran out; find() then falls back
    // to the linear search, so the answers stay the same.
    int build(const Scene& scene);
    std::int32_t find(const char* text) const;

  private:
    const Scene* scene_ = nullptr;
    bool indexed_ = false;
    std::unordered_map<std::string_view, std::int32_t> firstByPath_;
};
