#pragma once

// The first half of every export: the walk over the host's DAG that fills the scene
// model with bones, meshes, materials, lights, cameras and sampled animation.

#include <maya/MStatus.h>

struct Scene;

// Gathers the whole host scene into `scene` (which the caller hands over empty).
// `fixFlippedFaces` is the one export option that gathering looks at. Returns success,
// or a failure when the walk cannot start or a gatherer could not keep what it read
// (the caller then abandons the export rather than write a partial file). The host's
// current time is the same on return as on entry.
MStatus gatherScene(Scene& scene, bool fixFlippedFaces);
