#include <cmath>

#include "process/BoneLookup.h"
#include "process/ExportPrep.h"
#include "scene/Scene.h"

namespace {

// a (x) b, Hamilton product.
Quat multiply(const Quat& a, const Quat& b) {
    Quat r;
    r.x = a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y;
    r.y = a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x;
    r.z = a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w;
    r.w = a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z;
    return r;
}

// The conjugate divided by the length (the inverse of a unit quaternion); identity for a
// zero quaternion.
Quat restInverse(const Quat& q) {
    const float length = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    if (length == 0.0f) return Quat{0.0f, 0.0f, 0.0f, 1.0f};
    return Quat{-q.x / length, -q.y / length, -q.z / length, q.w / length};
}

void makeTrackRestRelative(const Bone& bone, BoneTrack& track) {
    const Quat& q = bone.rotation;
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    // Rows of the rest rotation; keys are taken back through its transpose.
    const float r00 = 1.0f - 2.0f * y * y - 2.0f * z * z;
    const float r01 = 2.0f * x * y - 2.0f * w * z;
    const float r02 = 2.0f * x * z + 2.0f * w * y;
    const float r10 = 2.0f * x * y + 2.0f * w * z;
    const float r11 = 1.0f - 2.0f * x * x - 2.0f * z * z;
    const float r12 = 2.0f * y * z - 2.0f * w * x;
    const float r20 = 2.0f * x * z - 2.0f * w * y;
    const float r21 = 2.0f * y * z + 2.0f * w * x;
    const float r22 = 1.0f - 2.0f * x * x - 2.0f * y * y;

    const Vec3& p = bone.position;
    for (PositionKey& key : track.positionKeys) {
        const float dx = key.value.x - p.x;
        const float dy = key.value.y - p.y;
        const float dz = key.value.z - p.z;
        key.value.x = r00 * dx + r10 * dy + r20 * dz;
        key.value.y = r01 * dx + r11 * dy + r21 * dz;
        key.value.z = r02 * dx + r12 * dy + r22 * dz;
    }

    const Quat inverse = restInverse(q);
    for (RotationKey& key : track.rotationKeys) {
        key.value = multiply(inverse, eulerToQuaternion(key.euler.x, key.euler.y, key.euler.z));
    }

    const Vec3& s = bone.scale;
    for (ScaleKey& key : track.scaleKeys) {
        if (s.x != 0.0f) key.value.x /= s.x;
        if (s.y != 0.0f) key.value.y /= s.y;
        if (s.z != 0.0f) key.value.z /= s.z;
    }
}

}  // namespace

void makeKeysRestRelative(Scene& scene) {
    const std::int32_t boneCount = scene.bones.count();
    if (boneCount < 1) return;
    for (Animation& animation : scene.animations) {
        if (animation.trackCount() != boneCount) continue;
        for (std::int32_t b = 0; b < boneCount; ++b)
            makeTrackRestRelative(scene.bones[b], animation.tracks[b]);
    }
}
