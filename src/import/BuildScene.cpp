#include <maya/MFnDependencyNode.h>
#include <maya/MFnTransform.h>

#include "import/ImportBuild.h"
#include "scene/Scene.h"

MStatus buildScene(BuildRequest& request) {
    request.joints.clear();
    request.uvSetNames[0] = MString();
    request.uvSetNames[1] = MString();
    request.nextTextureSlot = 0;

    MStatus status;
    MFnTransform rootFn;
    MObject root = rootFn.create(MObject::kNullObj, &status);
    if (!status) return status;
    rootFn.setName(MString("qvxTransform"));

    applyTimeSettings(request);

    status = buildSkeleton(request, root);
    if (!status) return status;
    status = buildMeshes(request, root);
    if (!status) return status;
    buildLights(request, root);
    return buildCameras(request, root);
}
