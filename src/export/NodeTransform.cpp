#include "export/NodeTransform.h"

#include <maya/MFnDagNode.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MVector.h>

#include <cstring>

void readNodeTransform(const MDagPath& path, NodeTransform& out) {
    MStatus status;
    MObject transform = path.transform(&status);
    if (!status) return;
    // The local matrix needs no world-space context, so the node itself is enough here.
    MFnDagNode node(transform, &status);
    if (!status) return;
    const MTransformationMatrix local(node.transformationMatrix());
    const MVector t = local.getTranslation(MSpace::kWorld);
    double rotation[3] = {0.0, 0.0, 0.0};
    MTransformationMatrix::RotationOrder order = MTransformationMatrix::kXYZ;
    local.getRotation(rotation, order, MSpace::kWorld);
    double scale[3] = {1.0, 1.0, 1.0};
    local.getScale(scale, MSpace::kWorld);
    out.translation = {static_cast<float>(t.x), static_cast<float>(t.y), static_cast<float>(t.z)};
    out.scale = {static_cast<float>(scale[0]), static_cast<float>(scale[1]), static_cast<float>(scale[2])};
    out.rotation = {static_cast<float>(rotation[0]), static_cast<float>(rotation[1]),
                    static_cast<float>(rotation[2])};
}

bool setRecordNameFromPath(const char* fullPath, RecordName& record) {
    if (fullPath == nullptr) return false;
    const char* bar = std::strrchr(fullPath, '|');
    if (bar == nullptr) return false;
    record.set(bar + 1);
    return true;
}
