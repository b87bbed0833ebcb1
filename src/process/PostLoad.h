#pragma once

// Preparation a freshly parsed scene goes through before anything is built from it.
// prepareLoadedScene runs the steps below in this fixed order; each step is also usable
// on its own. Every step skips silently when its inputs are absent, and any index that
// lies outside its array is treated as "none".

#include <cstdint>

struct Scene;
struct Vertex;

// Runs, in order: pruneGeometry, the bone weight counts, the material use counts,
// normalizeVertexWeights on every scene vertex (bounded by the bone count), computeBoneMatrices,
// sanitizeNames, fixLeadingDigits, makeNamesUnique (lights, cameras, bones, groups, materials),
// buildGroupMaterialLists, buildBonePoses, buildSkinnedVertices, computeBindPose (with
// scale) and evaluatePose at time 0. Returns 1; no step reports failure.
int prepareLoadedScene(Scene& scene);

// What pruneGeometry removed.
struct PruneResult {
    std::int32_t verticesRemoved = 0;
    std::int32_t polygonsRemoved = 0;
};

// Removes the scene vertices no polygon corner references (renumbering the corners),
// then, with exactly one mesh, the polygons that use one vertex at two corners. When
// anything was removed the flat triangles (scene and UV sets) are dropped too.
PruneResult pruneGeometry(Scene& scene);

// Bone::weightedVertexCount from the vertex weights (a weight on a missing bone counts
// for nothing).
void countBoneWeights(Scene& scene);
// Material::useCount from the polygons of every mesh.
void countMaterialUses(Scene& scene);

// Zeroes weights on no bone, then scales the weights to sum 1 unless they already sum to
// exactly 1 or exactly 0.
void normalizeVertexWeights(Vertex& vertex);
// The same, where a weight on a bone index at or past boneCount also counts as on no
// bone: skinning skips such a weight, so leaving it in the sum would pull the vertex
// towards the origin. prepareLoadedScene uses this form with the scene's bone count.
void normalizeVertexWeights(Vertex& vertex, std::int32_t boneCount);

// Bone::localMatrix (rotation and position, no scale) and Bone::worldMatrix along the
// parent chain. A parent that is the bone itself or lies outside the array leaves the
// world matrix at identity; a parent that does not come before its child is treated as
// no parent.
void computeBoneMatrices(Scene& scene);

// Replaces in the names of lights, cameras, UV sets, groups, bones, materials and
// animations every character the host does not accept in node names by '_'.
void sanitizeNames(Scene& scene);
// Replaces a leading decimal digit of the same names by '_'.
void fixLeadingDigits(Scene& scene);
// Makes the names of lights, cameras, bones, groups and materials unique within their
// kind by appending a counter shared by the kind (at most 101 attempts per record).
void makeNamesUnique(Scene& scene);

// The material usage list of every group: the materials used by its mesh in ascending
// index order, with their polygon counts.
void buildGroupMaterialLists(Scene& scene);
