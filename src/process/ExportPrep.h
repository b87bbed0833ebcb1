#pragma once

// The passes that turn a gathered scene (per-mesh vertices, materials, colours, UV sets
// and influence names; keys with absolute values and Euler angles) into the form the
// body writers expect. The export driver runs them in this order: flattenMeshes,
// makeKeysRestRelative, computeAnimationRange, mergeMaterialsByName. A pass that runs out
// of memory stops where it is and leaves what it has done; the later passes run anyway.

struct Scene;

// Binds skin weights to bones (an unskinned mesh rigidly to its shape's bone) and
// normalises them, moves every mesh's vertices and materials into the scene arrays, makes
// one group per mesh named after it and merges two or more meshes into one, QVXMesh0,
// with their colours and UV sets concatenated. A polygon index that lies outside its
// mesh's array becomes -1 rather than pointing into another mesh's data.
void flattenMeshes(Scene& scene);

// Makes the keys of every animation with one track per bone relative to the bone's rest
// pose: positions as offsets in the rest frame, rotations (from the Euler angles) as the
// rotation after the rest rotation, scales as factors of the rest scale.
void makeKeysRestRelative(Scene& scene);

// Shifts key times so that none is negative, sets a missing frame rate to 30, and sets
// every animation's start tick and tick count from its key times.
void computeAnimationRange(Scene& scene);

// Keeps one material per distinct narrow name, in order of first appearance, and
// renumbers the polygons' material indices.
void mergeMaterialsByName(Scene& scene);
