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

#include "scene/Math.h"
#include "scene/Scene.h"

Vec3 sampleBonePosition(const Animation& animation, float time, std::int32_t boneIndex);
Quat sampleBoneRotation(const Animation& animation, float time, std::int32_t boneIndex);
Vec3 sampleBoneScale(const Animation& animation, float time, std::int32_t boneIndex);

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
