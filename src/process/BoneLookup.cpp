#include "process/BoneLookup.h"

#include <cmath>
#include <new>

#include "scene/Scene.h"

std::int32_t findBoneByPath(const Scene& scene, const char* text) {
    if (text == nullptr) return -1;
    const std::string_view wanted(text);
    const std::int32_t count = scene.bones.count();
    for (std::int32_t i = 0; i < count; ++i) {
        if (scene.bones[i].fullPath.equals(wanted)) return i;
    }
    return -1;
}

Quat eulerToQuaternion(float rx, float ry, float rz) {
    const float hx = rx / 2.0f;
    const float hy = ry / 2.0f;
    const float hz = rz / 2.0f;
    const float sx = std::sin(hx);
    const float cx = std::cos(hx);
    const float sy = std::sin(hy);
    const float cy = std::cos(hy);
    const float sz = std::sin(hz);
    const float cz = std::cos(hz);
    Quat q;
    q.x = sx * cy * cz - cx * sy * sz;
    q.y = cx * sy * cz + sx * cy * sz;
    q.z = cx * cy * sz - sx * sy * cz;
    q.w = sx * sy * sz + cx * cy * cz;
    return q;
}

int BonePathIndex::build(const Scene& scene) {
    scene_ = &scene;
    indexed_ = false;
    firstByPath_.clear();
    try {
        const std::int32_t count = scene.bones.count();
        firstByPath_.reserve(static_cast<std::size_t>(count));
        for (std::int32_t i = 0; i < count; ++i) {
            const Bone& bone = scene.bones[i];
            if (bone.fullPath.isNull()) continue;
            // emplace keeps the first bone of a path, as the linear search does.
            firstByPath_.emplace(bone.fullPath.view(), i);
        }
    } catch (const std::bad_alloc&) {
        firstByPath_.clear();
        return 0;
    }
    indexed_ = true;
    return 1;
}

std::int32_t BonePathIndex::find(const char* text) const {
    if (scene_ == nullptr || text == nullptr) return -1;
    if (!indexed_) return findBoneByPath(*scene_, text);
    const auto it = firstByPath_.find(std::string_view(text));
    return it == firstByPath_.end() ? -1 : it->second;
}
