#include "export/LightCameraGatherer.h"

#include <maya/MColor.h>
#include <maya/MFloatVector.h>
#include <maya/MFnAmbientLight.h>
#include <maya/MFnCamera.h>
#include <maya/MFnLight.h>
#include <maya/MFnNonExtendedLight.h>
#include <maya/MFnSpotLight.h>
#include <maya/MObject.h>
#include <maya/MTime.h>
#include <maya/MVector.h>

#include <cmath>

#include "export/NodeTransform.h"
#include "scene/Scene.h"

namespace {

constexpr float kDegreesPerRadian = 57.29578f;
constexpr float kDirectionEpsilon = 0.0001f;

// Light kinds of the file.
constexpr std::uint32_t kKindOther = 0;
constexpr std::uint32_t kKindDirectional = 1;
constexpr std::uint32_t kKindSpot = 2;
constexpr std::uint32_t kKindAmbient = 3;

Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

bool near(const Vec3& a, const Vec3& b) {
    return std::fabs(a.x - b.x) <= kDirectionEpsilon && std::fabs(a.y - b.y) <= kDirectionEpsilon &&
           std::fabs(a.z - b.z) <= kDirectionEpsilon;
}

Vec3 toVec3(const MVector& v) {
    return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}

void setColumn(Matrix4& m, int column, const Vec3& v) {
    m[std::size_t(column)] = v.x;
    m[std::size_t(4 + column)] = v.y;
    m[std::size_t(8 + column)] = v.z;
}

// Lights and cameras carry their orientation in the 4x4 matrix only.
void clearRotationFields(Transform& transform) {
    transform.quaternion = {0.0f, 0.0f, 0.0f, 0.0f};
    transform.rotationMatrix.fill(0.0f);
}

}  // namespace

Vec3 normalizeDirection(const Vec3& v) {
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (!(length > kDirectionEpsilon)) return {0.0f, 0.0f, 0.0f};
    return {v.x / length, v.y / length, v.z / length};
}

void buildLookAtBasis(Matrix4& matrix) {
    const Vec3 d = {matrix[2], matrix[6], matrix[10]};
    Vec3 up = {0.0f, 1.0f, 0.0f};
    if (near(d, {0.0f, 1.0f, 0.0f})) {
        up = {0.0f, 0.0f, -1.0f};
    } else if (near(d, {0.0f, -1.0f, 0.0f})) {
        up = {0.0f, 0.0f, 1.0f};
    }
    const Vec3 side = cross(up, d);
    setColumn(matrix, 0, normalizeDirection(side));
    setColumn(matrix, 1, normalizeDirection(cross(d, side)));
}

MStatus gatherLight(GatherContext& context, const MDagPath& path) {
    MStatus status;
    MFnLight fn(path, &status);
    if (!status) return MS::kFailure;
    Light* light = context.scene.lights.append();
    if (light == nullptr) return context.memoryFailure();

    NodeTransform placement;
    readNodeTransform(path, placement);
    setRecordNameFromPath(path.fullPathName().asChar(), light->name);

    float shadowRadius = 1.0f;
    float coneAngle = 20.0f;
    Vec3 direction = {1.0f, 0.0f, 0.0f};
    const MFn::Type type = path.node().apiType();
    switch (type) {
        case MFn::kSpotLight: {
            MFnSpotLight spot(path);
            shadowRadius = spot.shadowRadius();
            coneAngle = static_cast<float>(spot.coneAngle()) * kDegreesPerRadian;
            direction = toVec3(MVector(fn.lightDirection(0, MSpace::kWorld)));
            break;
        }
        case MFn::kVolumeLight:
        case MFn::kAreaLight:
        case MFn::kDirectionalLight:
            shadowRadius = MFnNonExtendedLight(path).shadowRadius();
            direction = toVec3(MVector(fn.lightDirection(0, MSpace::kWorld)));
            break;
        case MFn::kAmbientLight:
            shadowRadius = MFnAmbientLight(path).shadowRadius();
            break;
        case MFn::kPointLight:
            shadowRadius = MFnNonExtendedLight(path).shadowRadius();
            break;
        default:
            break;
    }

    switch (type) {
        case MFn::kAmbientLight:
            light->kind = kKindAmbient;
            break;
        case MFn::kDirectionalLight:
            light->kind = kKindDirectional;
            break;
        case MFn::kSpotLight:
            light->kind = kKindSpot;
            break;
        default:
            light->kind = kKindOther;
            break;
    }
    light->intensity = fn.intensity();
    const MColor color = fn.color();
    light->color = {color.r, color.g, color.b, 1.0f};
    light->param3 = shadowRadius > 0.0f ? shadowRadius : 1.0f;
    light->coneAngle = coneAngle;
    light->param0 = coneAngle - 10.0f < 0.0f ? 0.0f : coneAngle - 10.0f;
    light->transform.translation = placement.translation;

    setColumn(light->transform.matrix, 2, normalizeDirection(direction));
    buildLookAtBasis(light->transform.matrix);
    clearRotationFields(light->transform);
    return MS::kSuccess;
}

MStatus gatherCamera(GatherContext& context, const MDagPath& path) {
    MStatus status;
    MFnCamera fn(path, &status);
    if (!status) return MS::kFailure;
    if (fn.isOrtho()) return MS::kSuccess;
    Camera* camera = context.scene.cameras.append();
    if (camera == nullptr) return context.memoryFailure();

    NodeTransform placement;
    readNodeTransform(path, placement);
    setRecordNameFromPath(path.fullPathName().asChar(), camera->name);

    camera->fieldOfView = static_cast<float>(fn.horizontalFieldOfView()) * kDegreesPerRadian;
    camera->nearClip = static_cast<float>(fn.nearClippingPlane());
    camera->farClip = static_cast<float>(fn.farClippingPlane());
    camera->transform.translation = placement.translation;
    setColumn(camera->transform.matrix, 0, normalizeDirection(toVec3(fn.rightDirection(MSpace::kWorld))));
    setColumn(camera->transform.matrix, 1, normalizeDirection(toVec3(fn.upDirection(MSpace::kWorld))));
    setColumn(camera->transform.matrix, 2, normalizeDirection(toVec3(fn.viewDirection(MSpace::kWorld))));
    clearRotationFields(camera->transform);
    return MS::kSuccess;
}

float frameRateOfUnit(int unit) {
    switch (unit) {
        case MTime::kHours:
            return 1.0f / 3600.0f;
        case MTime::kMinutes:
            return 1.0f / 60.0f;
        case MTime::kSeconds:
            return 1.0f;
        case MTime::kMilliseconds:
            return 1000.0f;
        case MTime::kGames:
            return 15.0f;
        case MTime::kFilm:
            return 24.0f;
        case MTime::kPALFrame:
            return 25.0f;
        case MTime::kShowScan:
            return 48.0f;
        case MTime::kPALField:
            return 50.0f;
        case MTime::kNTSCField:
            return 60.0f;
        case MTime::k2FPS:
            return 2.0f;
        case MTime::k3FPS:
            return 3.0f;
        case MTime::k4FPS:
            return 4.0f;
        case MTime::k5FPS:
            return 5.0f;
        case MTime::k6FPS:
            return 6.0f;
        case MTime::k8FPS:
            return 8.0f;
        case MTime::k10FPS:
            return 10.0f;
        case MTime::k12FPS:
            return 12.0f;
        case MTime::k16FPS:
            return 16.0f;
        case MTime::k20FPS:
            return 20.0f;
        case MTime::k40FPS:
            return 40.0f;
        case MTime::k75FPS:
            return 75.0f;
        case MTime::k80FPS:
            return 80.0f;
        case MTime::k100FPS:
            return 100.0f;
        case MTime::k120FPS:
            return 120.0f;
        case MTime::k125FPS:
            return 125.0f;
        case MTime::k150FPS:
            return 150.0f;
        case MTime::k200FPS:
            return 200.0f;
        case MTime::k240FPS:
            return 240.0f;
        case MTime::k250FPS:
            return 250.0f;
        case MTime::k300FPS:
            return 300.0f;
        case MTime::k375FPS:
            return 375.0f;
        case MTime::k400FPS:
            return 400.0f;
        case MTime::k500FPS:
            return 500.0f;
        case MTime::k600FPS:
            return 600.0f;
        case MTime::k750FPS:
            return 750.0f;
        case MTime::k1200FPS:
            return 1200.0f;
        case MTime::k1500FPS:
            return 1500.0f;
        case MTime::k2000FPS:
            return 2000.0f;
        case MTime::k3000FPS:
            return 3000.0f;
        case MTime::k6000FPS:
            return 6000.0f;
        default:
            return 30.0f;
    }
}

void applyTimeSettings(Scene& scene) {
    const float fps = frameRateOfUnit(static_cast<int>(MTime::uiUnit()));
    for (Animation& animation : scene.animations) animation.fps = fps;
}
