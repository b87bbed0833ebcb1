#ifndef MAYASIM_SHAPECREATION_H
#define MAYASIM_SHAPECREATION_H
// Internal: creation of light and camera shapes, and directions of a path in world space.

#include <maya/MFnDagNode.h>
#include <maya/MVector.h>

#include "Dag.h"

namespace mayasim {

MObject createShapeNode(MFnDagNode& fn, const char* typeName, const MObject& parent, bool wantTransform,
                        MStatus* ReturnStatus);
MVector worldDirection(const NodePath& path, const MVector& local);

}  // namespace mayasim

#endif
