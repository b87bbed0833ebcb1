#pragma once

// The first half of every export: the walk over the host's DAG that fills the scene
// model with bones, meshes, materials, lights, cameras and sampled animation.

#include <maya/MStatus.h>

struct Scene;

// Gathers the whole host scene into `scene` (which the caller hands over empty).
// `fixFlippedFaces` is the one export option that gathering looks at. The walk never
// consults the selection: every access mode that gathers exports the whole scene.
//
// Returns success; kFailure when the DAG iterator cannot be made (the scene is then
// untouched); kInsufficientMemory when a gatherer could not keep what it read (the scene
// then holds a partial gathering, and the caller abandons the export and clears it
// rather than write a file with a shortened mesh, weight list or key list). Nodes the
// walk cannot read, and meshes, lights or cameras whose function sets will not attach,
// are passed over without failing. The host's current time is the same on return as on
// entry, whatever the outcome.
MStatus gatherScene(Scene& scene, bool fixFlippedFaces);
