#include <maya/MEulerRotation.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnIkJoint.h>
#include <maya/MFnTransform.h>
#include <maya/MPlug.h>
#include <maya/MQuaternion.h>
#include <maya/MTime.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MVector.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "host/Messages.h"
#include "import/ImportBuild.h"
#include "scene/Animation.h"
#include "scene/Scene.h"

namespace {

enum class Channel { Translate, Rotate, Scale };

struct CurveAttribute {
    const char* name;
    Channel channel;
    int axis;
    MFnAnimCurve::AnimCurveType type;
};

// Animated in this order.
constexpr CurveAttribute kCurveAttributes[] = {
    {"translateX", Channel::Translate, 0, MFnAnimCurve::kAnimCurveTL},
    {"translateY", Channel::Translate, 1, MFnAnimCurve::kAnimCurveTL},
    {"translateZ", Channel::Translate, 2, MFnAnimCurve::kAnimCurveTL},
    {"rotateX", Channel::Rotate, 0, MFnAnimCurve::kAnimCurveTA},
    {"rotateY", Channel::Rotate, 1, MFnAnimCurve::kAnimCurveTA},
    {"rotateZ", Channel::Rotate, 2, MFnAnimCurve::kAnimCurveTA},
    {"scaleX", Channel::Scale, 0, MFnAnimCurve::kAnimCurveTU},
    {"scaleY", Channel::Scale, 1, MFnAnimCurve::kAnimCurveTU},
    {"scaleZ", Channel::Scale, 2, MFnAnimCurve::kAnimCurveTU},
};

constexpr float kTurn = 6.2831855f;
constexpr float kUnwrapLimit = 3.1241393f;  // 179 degrees

// One key of a curve group: its time in seconds and the three axis values.
struct GroupKey {
    float time;
    Vec3 value;
};

struct JointCurves {
    bool present[3] = {false, false, false};  // per channel: the track has keys for it
    std::vector<GroupKey> keys[3];
};

float axisOf(const Vec3& v, int axis) {
    return axis == 0 ? v.x : (axis == 1 ? v.y : v.z);
}

// R·p + t: a key's translation in the joint's parent space.
Vec3 restRelativePosition(const Bone& bone, const Matrix4& rotation, const Vec3& p) {
    Vec3 v = transformPoint(p, rotation);
    v.x += bone.position.x;
    v.y += bone.position.y;
    v.z += bone.position.z;
    return v;
}

Vec3 eulerOf(const Bone& bone, const Quat& key) {
    const Quat q = quatMultiply(bone.rotation, key);
    const MEulerRotation e = MQuaternion(q.x, q.y, q.z, q.w).asEulerRotation();
    return {static_cast<float>(e.x), static_cast<float>(e.y), static_cast<float>(e.z)};
}

// Moves every angle by a turn where it jumped more than 179 degrees from the key before.
// Returns whether any angle changed.
bool unwrapRotationKeys(std::vector<GroupKey>& keys) {
    bool changed = false;
    for (std::size_t k = 0; k < keys.size(); ++k) {
        const Vec3 previous = keys[k == 0 ? 0 : k - 1].value;
        Vec3& current = keys[k].value;
        const Vec3 unwrapped = {unwrapAngle(previous.x, current.x), unwrapAngle(previous.y, current.y),
                                unwrapAngle(previous.z, current.z)};
        if (unwrapped.x != current.x || unwrapped.y != current.y || unwrapped.z != current.z) changed = true;
        current = unwrapped;
    }
    return changed;
}

std::int64_t truncated(float value, std::int64_t low, std::int64_t high) {
    if (std::isnan(value)) return 0;
    if (value <= static_cast<float>(low)) return low;
    if (value >= static_cast<float>(high)) return high;
    return static_cast<std::int64_t>(value);
}

// The stored keys as curve keys.
void keysFromTrack(const Bone& bone, const BoneTrack& track, JointCurves& curves) {
    const Matrix4 rotation = quatToMatrix(bone.rotation);
    if (track.positionKeys.present()) {
        curves.present[0] = true;
        curves.keys[0].reserve(track.positionKeys.size());
        for (const PositionKey& key : track.positionKeys) {
            curves.keys[0].push_back({key.time, restRelativePosition(bone, rotation, key.value)});
        }
    }
    if (track.rotationKeys.present()) {
        curves.present[1] = true;
        curves.keys[1].reserve(track.rotationKeys.size());
        for (const RotationKey& key : track.rotationKeys) {
            curves.keys[1].push_back({key.time, eulerOf(bone, key.value)});
        }
    }
    if (track.scaleKeys.present()) {
        curves.present[2] = true;
        curves.keys[2].reserve(track.scaleKeys.size());
        for (const ScaleKey& key : track.scaleKeys) curves.keys[2].push_back({key.time, key.value});
    }
}

// One key per frame of the animation's range, sampled from the track.
void keysFromSamples(const Animation& animation, std::int32_t boneIndex, const Bone& bone,
                     const BoneTrack& track, std::int64_t maxFrames, JointCurves& curves) {
    curves.present[0] = track.positionKeys.present();
    curves.present[1] = track.rotationKeys.present();
    curves.present[2] = track.scaleKeys.present();
    if (!curves.present[0] && !curves.present[1] && !curves.present[2]) return;

    const std::int64_t first = truncated(animation.startTick, INT32_MIN, INT32_MAX);
    const float rate = animation.fps == 0.0f ? 30.0f : animation.fps;
    const float step = 1.0f / rate;
    const std::int64_t frames = std::min(truncated(animation.tickCount, -1, INT32_MAX) + 1, maxFrames);
    if (frames <= 0) return;

    const TrackSampler sampler(animation, boneIndex);
    const Matrix4 rotation = quatToMatrix(bone.rotation);
    for (int c = 0; c < 3; ++c) {
        if (curves.present[c]) curves.keys[c].reserve(static_cast<std::size_t>(frames));
    }
    for (std::int64_t f = 0; f < frames; ++f) {
        const float t = static_cast<float>(first + f) * step;
        if (curves.present[0])
            curves.keys[0].push_back({t, restRelativePosition(bone, rotation, sampler.position(t))});
        if (curves.present[1]) curves.keys[1].push_back({t, eulerOf(bone, sampler.rotation(t))});
        if (curves.present[2]) curves.keys[2].push_back({t, sampler.scale(t)});
    }
}

// The nine curves of one joint. Failures leave that attribute unanimated.
void buildJointCurves(BuildRequest& request, MObject& joint, std::int32_t boneIndex) {
    Scene& scene = request.scene;
    const Animation& animation = scene.animations[0];
    Bone& bone = scene.bones[boneIndex];
    const BoneTrack& track = animation.tracks[boneIndex];

    JointCurves curves;
    if (request.unsampledKeys) {
        keysFromTrack(bone, track, curves);
    } else {
        keysFromSamples(animation, boneIndex, bone, track, request.maxSampledFrames, curves);
    }
    if (curves.present[1] && unwrapRotationKeys(curves.keys[1])) bone.eulerFlipFlag = 1;

    MFnDependencyNode jointFn(joint);
    for (const CurveAttribute& attribute : kCurveAttributes) {
        const int channel = static_cast<int>(attribute.channel);
        if (!curves.present[channel]) continue;
        MStatus status;
        const MObject attr = jointFn.attribute(MString(attribute.name), &status);
        if (!status) continue;
        const MPlug plug(joint, attr);
        MFnAnimCurve curve;
        curve.create(plug, attribute.type, NULL, &status);
        if (!status) continue;
        for (const GroupKey& key : curves.keys[channel]) {
            // A key at a time that is not a number would break the curve's ordering.
            if (!std::isfinite(key.time)) continue;
            curve.addKey(MTime(static_cast<double>(key.time), MTime::kSeconds),
                         static_cast<double>(axisOf(key.value, attribute.axis)), MFnAnimCurve::kTangentGlobal,
                         MFnAnimCurve::kTangentGlobal, NULL, NULL);
        }
    }
}

// Creates the joint of one bone under `parent` with its rest transform and curves.
MStatus buildJoint(BuildRequest& request, MObject& parent, std::int32_t boneIndex) {
    Scene& scene = request.scene;
    if (!scene.bones.validIndex(boneIndex)) return MStatus::kFailure;
    Bone& bone = scene.bones[boneIndex];

    MStatus status;
    MFnIkJoint jointFn;
    MObject joint = jointFn.create(MObject::kNullObj, &status);
    if (!status) return status;
    jointFn.setName(MString(bone.name.c_str()));

    MFnTransform transformFn(joint);
    MTransformationMatrix rest(MTransformationMatrix::identity);
    rest.setTranslation(MVector(bone.position.x, bone.position.y, bone.position.z), MSpace::kObject);
    const double scale[3] = {bone.scale.x, bone.scale.y, bone.scale.z};
    rest.setScale(scale, MSpace::kObject);
    rest.setRotationQuaternion(bone.rotation.x, bone.rotation.y, bone.rotation.z, bone.rotation.w);
    transformFn.set(rest);
    transformFn.setRotationOrder(MTransformationMatrix::kXYZ, false);

    if (scene.animations.count() > 0 && boneIndex < scene.animations[0].trackCount()) {
        buildJointCurves(request, joint, boneIndex);
    }

    status = MFnDagNode(parent).addChild(joint, MFnDagNode::kNextPos, false);
    if (!status) return status;
    request.joints[static_cast<std::size_t>(boneIndex)] = joint;
    bone.hostJoint = static_cast<HostHandle>(boneIndex) + 1;
    return MStatus::kSuccess;
}

}  // namespace

float unwrapAngle(float previous, float current) {
    const float delta = current - previous;
    if (delta > kUnwrapLimit) return current - kTurn;
    if (delta < -kUnwrapLimit) return current + kTurn;
    return current;
}

Quat quatMultiply(const Quat& a, const Quat& b) {
    return {a.w * b.x + b.w * a.x + a.y * b.z - a.z * b.y, a.w * b.y + b.w * a.y + a.z * b.x - a.x * b.z,
            a.w * b.z + b.w * a.z + a.x * b.y - a.y * b.x, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

MStatus buildSkeleton(BuildRequest& request, MObject& root) {
    Scene& scene = request.scene;
    const std::int32_t boneCount = scene.bones.count();
    request.joints.assign(static_cast<std::size_t>(boneCount), MObject());

    // Children of every bone in bone order, so that each bone's joint is made right after
    // its parent's subtree reaches it (depth first, as a recursive walk would) without
    // recursion deep enough to exhaust the stack on a long chain.
    std::vector<std::int32_t> firstChild(static_cast<std::size_t>(boneCount), -1);
    std::vector<std::int32_t> nextSibling(static_cast<std::size_t>(boneCount), -1);
    std::vector<std::int32_t> lastChild(static_cast<std::size_t>(boneCount), -1);
    for (std::int32_t j = 0; j < boneCount; ++j) {
        const std::int32_t p = scene.bones[j].parentIndex;
        if (p < 0 || p >= boneCount || p == j) continue;
        if (lastChild[std::size_t(p)] < 0) {
            firstChild[std::size_t(p)] = j;
        } else {
            nextSibling[std::size_t(lastChild[std::size_t(p)])] = j;
        }
        lastChild[std::size_t(p)] = j;
    }

    // Pending bones as (bone, the next sibling to visit after its subtree).
    std::vector<std::int32_t> pending;
    for (std::int32_t i = 0; i < boneCount; ++i) {
        if (scene.bones[i].parentIndex != -1) continue;
        MStatus status = buildJoint(request, root, i);
        if (!status) return status;
        // Depth-first below this root: the stack holds the next bone to visit at each level.
        pending.clear();
        if (firstChild[std::size_t(i)] >= 0) pending.push_back(firstChild[std::size_t(i)]);
        while (!pending.empty()) {
            const std::int32_t bone = pending.back();
            pending.pop_back();
            const std::int32_t parent = scene.bones[bone].parentIndex;
            status = buildJoint(request, request.joints[std::size_t(parent)], bone);
            if (!status) return status;
            if (nextSibling[std::size_t(bone)] >= 0) pending.push_back(nextSibling[std::size_t(bone)]);
            if (firstChild[std::size_t(bone)] >= 0) pending.push_back(firstChild[std::size_t(bone)]);
        }
    }

    if (boneCount > 0 && scene.animations.count() > 0 && scene.animations[0].trackCount() == boneCount) {
        const Animation& animation = scene.animations[0];
        for (std::int32_t i = 0; i < boneCount; ++i) {
            const Bone& bone = scene.bones[i];
            if (bone.eulerFlipFlag == 0 || animation.tracks[i].rotationKeys.count() < 1) continue;
            logLine(MString("QVX: WARNING: Bad euler rotation keys for bone: ") + bone.name.c_str() + ".");
        }
    }
    return MStatus::kSuccess;
}
