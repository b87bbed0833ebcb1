#pragma once

// The shading of one gathered mesh: one Material per shading group of its (last) instance,
// with the surface shader's colours and factors and the file, layered and bump textures
// found on its inputs; each polygon's material index from the host's face assignment.

#include <maya/MDagPath.h>
#include <maya/MStatus.h>

#include <cstdint>

#include "export/GatherContext.h"

// Fills scene.meshes[meshIndex].materials and the polygons' material indices. Failure when
// the mesh is absent or memory runs out; unreadable attributes keep their preset values.
MStatus gatherShading(GatherContext& context, const MDagPath& path, std::int32_t meshIndex);
