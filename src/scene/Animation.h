#pragma once

// Sampling of animation keys and the pose evaluation of a loaded scene.
//
// The samplers bracket the query time in a bone's key list (the first key whose time is
// not below the query, and its predecessor) and interpolate between the two; missing
// data yields the defaults (position 0, rotation (0,0,0,1), scale 1).
//
// The pose tables (Scene::bonePoses, Scene::skinnedVertices) hold the bind pose of every
// bone and the skinned position of every scene vertex at the last evaluated time; the
// import takes its vertex positions from them.

#include <cstdint>
#include <vector>

#include "scene/Math.h"
#include "scene/Scene.h"

Vec3 sampleBonePosition(const Animation& animation, float time, std::int32_t boneIndex);
Quat sampleBoneRotation(const Animation& animation, float time, std::int32_t boneIndex);
Vec3 sampleBoneScale(const Animation& animation, float time, std::int32_t boneIndex);

// Samples one bone's keys many times (an import samples every frame) with exactly the
// results of the three functions above, in logarithmic rather than linear time: the
// bracketing search is a binary search over the running maximum of the key times, whose
// first entry not below the query is the first key not below it, even when keys are out
// of order. Keeps a pointer to the animation's track: the animation must outlive it and
// its keys must not change meanwhile.
class TrackSampler {
  public:
    TrackSampler(const Animation& animation, std::int32_t boneIndex);

    Vec3 position(float time) const;
    Quat rotation(float time) const;
    Vec3 scale(float time) const;

  private:
    const BoneTrack* track_ = nullptr;
    // Running maxima of the key times; empty (linear scan) if they could not be made.
    std::vector<float> positionTimes_;
    std::vector<float> rotationTimes_;
    std::vector<float> scaleTimes_;
};

// (Re)creates scene.bonePoses from the bones (parent, position, scale, rotation).
// Returns 0 when the scene has no bones or memory runs out (table then absent).
int buildBonePoses(Scene& scene);
// (Re)creates scene.skinnedVertices from the scene vertices (position, normal).
// Returns 0 when the scene has no vertices or memory runs out (table then absent).
int buildSkinnedVertices(Scene& scene);
// Fills the bind matrices, world positions and bone lengths of scene.bonePoses (with
// each bone's scale when withScale is non-zero). Returns 1.
int computeBindPose(Scene& scene, int withScale);
// Poses the bones from the scene's first animation at `time` and skins the vertices.
// Does nothing when either table is absent. Returns 1.
int evaluatePose(Scene& scene, float time);
