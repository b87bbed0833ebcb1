#pragma once

// Skin weights of one gathered mesh, from the first skin cluster (in the host's node
// order) that deforms its shape.

#include <maya/MDagPath.h>
#include <maya/MStatus.h>

#include <cstdint>

#include "export/GatherContext.h"

// Fills the influence names and vertex weights of scene.meshes[meshIndex] from the skin
// cluster that deforms the shape at `path`. A later cluster on the same shape is reported
// with a warning and ignored. Weights of 0.001 and below are dropped; the rest keep their
// values and influence order (they are normalised when the scene is prepared). Failure
// when the mesh is absent, a cluster cannot be read or memory runs out.
MStatus gatherSkinClusters(GatherContext& context, const MDagPath& path, std::int32_t meshIndex);
