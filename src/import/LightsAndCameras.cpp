#include <maya/MColor.h>
#include <maya/MFn.h>
#include <maya/MFnAmbientLight.h>
#include <maya/MFnAreaLight.h>
#include <maya/MFnCamera.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnDirectionalLight.h>
#include <maya/MFnLight.h>
#include <maya/MFnPointLight.h>
#include <maya/MFnSpotLight.h>
#include <maya/MFnTransform.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MVector.h>

#include "host/LookAtBasis.h"
#include "import/ImportBuild.h"
#include "scene/Scene.h"

namespace {

constexpr float kDegreesToRadians = 0.017453292f;

// Places a created light or camera from its record's transform: the matrix's third column
// is negated (the file looks down the other axis), turned into a look-at basis that is
// written back to the record, and its Euler angles become the node's rotation.
void placeNode(MObject& node, Transform& transform) {
    Matrix4& m = transform.matrix;
    m[2] = -m[2];
    m[6] = -m[6];
    m[10] = -m[10];
    m = buildLookAtBasis(m);
    const Matrix4 rotation = {m[0], m[1], m[2],  0.0f, m[4], m[5], m[6], 0.0f,
                              m[8], m[9], m[10], 0.0f, 0.0f, 0.0f, 0.0f, 1.0f};
    const Vec3 angles = matrixToEuler(rotation);

    MFnTransform transformFn(node);
    MTransformationMatrix placement(MTransformationMatrix::identity);
    placement.setTranslation(
        MVector(transform.translation.x, transform.translation.y, transform.translation.z), MSpace::kObject);
    const double rotate[3] = {angles.x, angles.y, angles.z};
    placement.setRotation(rotate, MTransformationMatrix::kXYZ);
    const double scale[3] = {1.0, 1.0, 1.0};
    placement.setScale(scale, MSpace::kObject);
    transformFn.set(placement);
    transformFn.setRotationOrder(MTransformationMatrix::kXYZ, false);
}

// The transform and the shape of a light or camera just made: the host hands back the
// transform and leaves the function set on the shape; either may be missing from the
// answer, so each is found from the other.
void splitCreated(const MObject& returned, const MObject& attached, MFn::Type shapeType, MObject& transform,
                  MObject& shape) {
    if (returned.hasFn(MFn::kTransform)) {
        transform = returned;
        shape = attached.hasFn(shapeType) ? attached : MFnDagNode(returned).child(0);
    } else {
        shape = returned;
        transform = MFnDagNode(returned).parent(0);
    }
}

MStatus addToRoot(MObject& root, MObject& node) {
    MFnDagNode rootFn(root);
    return rootFn.addChild(node, MFnDagNode::kNextPos, false);
}

// Creates the light node of a kind with its own transform. Returns the transform; `shape`
// receives the light shape that the function set was left attached to.
template <class LightFn>
MObject createLightOf(MObject& shape, MStatus& status) {
    LightFn lightFn;
    MObject node = lightFn.create(MObject::kNullObj, true, true, &status);
    shape = lightFn.object();
    return node;
}

MObject createLight(std::uint32_t kind, MObject& shape, MStatus& status) {
    switch (kind) {
        case 1:
            return createLightOf<MFnDirectionalLight>(shape, status);
        case 2:
            return createLightOf<MFnSpotLight>(shape, status);
        case 3:
            return createLightOf<MFnAmbientLight>(shape, status);
        case 4:
            return createLightOf<MFnAreaLight>(shape, status);
        default:
            return createLightOf<MFnPointLight>(shape, status);
    }
}

}  // namespace

MStatus buildLights(BuildRequest& request, MObject& root) {
    Scene& scene = request.scene;
    MStatus status = MStatus::kSuccess;
    for (Light& light : scene.lights) {
        MObject attached;
        const MObject created = createLight(light.kind, attached, status);
        if (!status) continue;
        MObject node, shape;
        splitCreated(created, attached, MFn::kLight, node, shape);
        MFnDependencyNode(node).setName(MString(light.name.c_str()));
        MFnLight lightFn(shape);
        lightFn.setColor(MColor(light.color.r, light.color.g, light.color.b, 1.0f));
        lightFn.setIntensity(light.intensity);
        if (light.kind == 2) {
            const float radians = light.coneAngle * kDegreesToRadians;
            MFnSpotLight(shape).setConeAngle(static_cast<double>(radians));
        }
        placeNode(node, light.transform);
        status = addToRoot(root, node);
    }
    return status;
}

MStatus buildCameras(BuildRequest& request, MObject& root) {
    Scene& scene = request.scene;
    MStatus status = MStatus::kSuccess;
    for (Camera& camera : scene.cameras) {
        MFnCamera creator;
        const MObject created = creator.create(MObject::kNullObj, &status);
        if (!status) continue;
        MObject node, shape;
        splitCreated(created, creator.object(), MFn::kCamera, node, shape);
        MFnCamera cameraFn(shape);
        MFnDependencyNode(node).setName(MString(camera.name.c_str()));
        const float fov = camera.fieldOfView * kDegreesToRadians;
        cameraFn.setHorizontalFieldOfView(static_cast<double>(fov));
        cameraFn.setNearClippingPlane(static_cast<double>(camera.nearClip));
        cameraFn.setFarClippingPlane(static_cast<double>(camera.farClip));
        if (camera.kind == 1) cameraFn.setIsOrtho(true);
        placeNode(node, camera.transform);
        status = addToRoot(root, node);
    }
    return status;
}
