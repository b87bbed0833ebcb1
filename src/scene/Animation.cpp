#include "scene/Animation.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace {

// How the bracketing search compares key times with the query time. The pose evaluation
// compares the single-precision bit patterns as unsigned integers (which orders
// non-negative times as numbers do); the samplers compare numerically.
enum class TimeOrder { Numeric, BitPattern };

std::uint32_t timeBits(float time) {
    std::uint32_t bits;
    std::memcpy(&bits, &time, sizeof bits);
    return bits;
}

Vec3 valueOf(const PositionKey& key) {
    return key.value;
}
Quat valueOf(const RotationKey& key) {
    return key.value;
}
Vec3 valueOf(const ScaleKey& key) {
    return key.value;
}

Vec3 interpolate(const Vec3& a, const Vec3& b, float f) {
    return lerpVec3(a, b, f);
}
Quat interpolate(const Quat& a, const Quat& b, float f) {
    return slerpQuat(a, b, f);
}

// The first key whose time is not below the query, by a linear scan (keys out of order
// give the scan's answer); the count when there is none.
template <class Array>
std::int32_t firstKeyNotBelow(const Array& keys, float time, TimeOrder order) {
    const std::int32_t count = keys.count();
    std::int32_t k = 0;
    if (order == TimeOrder::Numeric) {
        while (k < count && !(keys[k].time >= time)) ++k;
    } else {
        const std::uint32_t queryBits = timeBits(time);
        while (k < count && timeBits(keys[k].time) < queryBits) ++k;
    }
    return k;
}

// The same index from the running maxima of the key times: the first maximum not below
// the query belongs to the first key not below it. NaN times never raise the maximum,
// just as they never satisfy the scan's comparison.
std::int32_t firstKeyNotBelow(const std::vector<float>& runningMax, float time) {
    const auto it =
        std::partition_point(runningMax.begin(), runningMax.end(), [time](float m) { return !(m >= time); });
    return static_cast<std::int32_t>(it - runningMax.begin());
}

template <class Array>
std::vector<float> runningMaxima(const Array& keys) {
    std::vector<float> maxima;
    try {
        maxima.resize(static_cast<std::size_t>(keys.count()));
    } catch (const std::bad_alloc&) {
        return {};
    }
    float m = -std::numeric_limits<float>::infinity();
    for (std::int32_t i = 0; i < keys.count(); ++i) {
        if (keys[i].time > m) m = keys[i].time;
        maxima[std::size_t(i)] = m;
    }
    return maxima;
}

// Interpolation between the key found by the bracketing search and its predecessor.
template <class Array, class Value>
Value sampleAt(const Array& keys, std::int32_t k, float time, const Value& fallback) {
    const std::int32_t count = keys.count();
    if (count == 0) return fallback;
    const std::int32_t lo = std::max(k - 1, 0);
    const std::int32_t hi = k < count ? k : count - 1;
    if (lo == hi) return valueOf(keys[lo]);
    float f = (time - keys[lo].time) / (keys[hi].time - keys[lo].time);
    // A NaN fraction (equal or non-finite times) takes the earlier key.
    if (!(f >= 0.0f)) f = 0.0f;
    if (f > 1.0f) f = 1.0f;
    return interpolate(valueOf(keys[lo]), valueOf(keys[hi]), f);
}

const BoneTrack* trackOf(const Animation& animation, std::int32_t boneIndex) {
    return animation.tracks.get(boneIndex);
}

constexpr Vec3 kNoTranslation = {0.0f, 0.0f, 0.0f};
constexpr Quat kNoRotation = {0.0f, 0.0f, 0.0f, 1.0f};
constexpr Vec3 kUnitScale = {1.0f, 1.0f, 1.0f};

template <class Array, class Value>
Value sampleKeys(const Array& keys, float time, TimeOrder order, const Value& fallback) {
    return sampleAt(keys, firstKeyNotBelow(keys, time, order), time, fallback);
}

template <class Array, class Value>
Value sampleKeys(const Array& keys, const std::vector<float>& runningMax, float time, const Value& fallback) {
    if (runningMax.size() != std::size_t(keys.count()))
        return sampleKeys(keys, time, TimeOrder::Numeric, fallback);
    return sampleAt(keys, firstKeyNotBelow(runningMax, time), time, fallback);
}

Vec3 samplePosition(const Animation& animation, float time, std::int32_t bone, TimeOrder order) {
    const BoneTrack* track = trackOf(animation, bone);
    return track ? sampleKeys(track->positionKeys, time, order, kNoTranslation) : kNoTranslation;
}

Quat sampleRotation(const Animation& animation, float time, std::int32_t bone, TimeOrder order) {
    const BoneTrack* track = trackOf(animation, bone);
    return track ? sampleKeys(track->rotationKeys, time, order, kNoRotation) : kNoRotation;
}

Vec3 sampleScale(const Animation& animation, float time, std::int32_t bone, TimeOrder order) {
    const BoneTrack* track = trackOf(animation, bone);
    return track ? sampleKeys(track->scaleKeys, time, order, kUnitScale) : kUnitScale;
}

Matrix4 scaleMatrix(const Vec3& s) {
    Matrix4 m = kIdentityMatrix4;
    m[0] = s.x;
    m[5] = s.y;
    m[10] = s.z;
    return m;
}

// World matrix of entry i from its parent's: identity for a bone that names itself or an
// index beyond the table, the local matrix for a root. Parents precede children, so the
// parent's world matrix is already final.
template <class LocalOf, class WorldOf>
void accumulateWorld(BonePoseArray& poses, std::int32_t i, LocalOf local, WorldOf world) {
    const std::int32_t parent = poses[i].parentIndex;
    if (parent == i || parent >= poses.count()) return;
    if (parent < 0) {
        world(poses[i]) = local(poses[i]);
    } else {
        world(poses[i]) = affineMultiply(world(poses[parent]), local(poses[i]));
    }
}

}  // namespace

Vec3 sampleBonePosition(const Animation& animation, float time, std::int32_t boneIndex) {
    return samplePosition(animation, time, boneIndex, TimeOrder::Numeric);
}

Quat sampleBoneRotation(const Animation& animation, float time, std::int32_t boneIndex) {
    return sampleRotation(animation, time, boneIndex, TimeOrder::Numeric);
}

Vec3 sampleBoneScale(const Animation& animation, float time, std::int32_t boneIndex) {
    return sampleScale(animation, time, boneIndex, TimeOrder::Numeric);
}

TrackSampler::TrackSampler(const Animation& animation, std::int32_t boneIndex)
    : track_(trackOf(animation, boneIndex)) {
    if (track_ == nullptr) return;
    positionTimes_ = runningMaxima(track_->positionKeys);
    rotationTimes_ = runningMaxima(track_->rotationKeys);
    scaleTimes_ = runningMaxima(track_->scaleKeys);
}

Vec3 TrackSampler::position(float time) const {
    return track_ ? sampleKeys(track_->positionKeys, positionTimes_, time, kNoTranslation) : kNoTranslation;
}

Quat TrackSampler::rotation(float time) const {
    return track_ ? sampleKeys(track_->rotationKeys, rotationTimes_, time, kNoRotation) : kNoRotation;
}

Vec3 TrackSampler::scale(float time) const {
    return track_ ? sampleKeys(track_->scaleKeys, scaleTimes_, time, kUnitScale) : kUnitScale;
}

int buildBonePoses(Scene& scene) {
    scene.bonePoses.clear();
    if (scene.bones.count() == 0) return 0;
    if (!scene.bonePoses.allocate(scene.bones.count())) return 0;
    for (std::int32_t i = 0; i < scene.bones.count(); ++i) {
        const Bone& bone = scene.bones[i];
        BonePose& pose = scene.bonePoses[i];
        pose.parentIndex = bone.parentIndex;
        pose.position = bone.position;
        pose.scale = bone.scale;
        pose.rotation = bone.rotation;
    }
    return 1;
}

int buildSkinnedVertices(Scene& scene) {
    scene.skinnedVertices.clear();
    if (scene.vertices.count() == 0) return 0;
    if (!scene.skinnedVertices.allocate(scene.vertices.count())) return 0;
    for (std::int32_t i = 0; i < scene.vertices.count(); ++i) {
        scene.skinnedVertices[i].position = scene.vertices[i].position;
        scene.skinnedVertices[i].normal = scene.vertices[i].normal;
    }
    return 1;
}

int computeBindPose(Scene& scene, int withScale) {
    BonePoseArray& poses = scene.bonePoses;
    for (BonePose& pose : poses) {
        pose.bindWorld = kIdentityMatrix4;
        pose.inverseBindWorld = kIdentityMatrix4;
        pose.bindLocal = quatToMatrix(pose.rotation);
        pose.bindLocal[3] = pose.position.x;
        pose.bindLocal[7] = pose.position.y;
        pose.bindLocal[11] = pose.position.z;
        if (withScale) pose.bindLocal = affineMultiply(pose.bindLocal, scaleMatrix(pose.scale));
        pose.poseLocal = pose.bindLocal;
    }
    for (std::int32_t i = 0; i < poses.count(); ++i) {
        accumulateWorld(
            poses, i, [](BonePose& p) -> Matrix4& { return p.bindLocal; },
            [](BonePose& p) -> Matrix4& { return p.bindWorld; });
    }
    for (BonePose& pose : poses) pose.inverseBindWorld = invertMatrix4(pose.bindWorld);
    for (BonePose& pose : poses) pose.worldPosition = transformPoint(Vec3{}, pose.bindWorld);
    for (BonePose& pose : poses) {
        pose.length = 0.0f;
        if (poses.validIndex(pose.parentIndex)) {
            pose.length = vecDistance(poses[pose.parentIndex].worldPosition, pose.worldPosition);
        }
    }
    return 1;
}

int evaluatePose(Scene& scene, float time) {
    BonePoseArray& poses = scene.bonePoses;
    if (poses.absent() || scene.skinnedVertices.absent()) return 1;
    for (BonePose& pose : poses) {
        pose.poseWorld = kIdentityMatrix4;
        pose.poseLocal = pose.bindLocal;
    }
    const Animation* animation = scene.animations.get(0);
    for (std::int32_t j = 0; j < poses.count(); ++j) {
        Vec3 position = kNoTranslation;
        Quat rotation = kNoRotation;
        Vec3 scale = kUnitScale;
        if (animation != nullptr) {
            position = samplePosition(*animation, time, j, TimeOrder::BitPattern);
            rotation = sampleRotation(*animation, time, j, TimeOrder::BitPattern);
            scale = sampleScale(*animation, time, j, TimeOrder::BitPattern);
        }
        Matrix4 motion = quatToMatrix(rotation);
        motion[3] = position.x;
        motion[7] = position.y;
        motion[11] = position.z;
        BonePose& pose = poses[j];
        pose.poseLocal = affineMultiply(pose.poseLocal, motion);
        pose.poseLocal = affineMultiply(pose.poseLocal, scaleMatrix(scale));
        accumulateWorld(
            poses, j, [](BonePose& p) -> Matrix4& { return p.poseLocal; },
            [](BonePose& p) -> Matrix4& { return p.poseWorld; });
    }
    // The table may be older than the vertex array; only indices both hold are skinned.
    const std::int32_t vertexCount = std::min(scene.skinnedVertices.count(), scene.vertices.count());
    for (std::int32_t i = 0; i < vertexCount; ++i) {
        const Vertex& vertex = scene.vertices[i];
        Vec3 sum{};
        bool weighted = false;
        for (const VertexWeight& w : vertex.weights) {
            if (!poses.validIndex(w.boneIndex)) continue;
            const BonePose& pose = poses[w.boneIndex];
            const Vec3 p =
                transformPoint(transformPoint(vertex.position, pose.inverseBindWorld), pose.poseWorld);
            sum.x += w.weight * p.x;
            sum.y += w.weight * p.y;
            sum.z += w.weight * p.z;
            weighted = true;
        }
        scene.skinnedVertices[i].position = weighted ? sum : vertex.position;
    }
    return 1;
}
