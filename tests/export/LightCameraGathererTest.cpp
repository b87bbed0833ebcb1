#include <gtest/gtest.h>
#include <maya/MFnDirectionalLight.h>
#include <maya/MFnSpotLight.h>
#include <maya/MFnTransform.h>
#include <maya/MTime.h>

#include <cmath>

#include "ExportTestSupport.h"
#include "export/LightCameraGatherer.h"
#include "export/SceneWalk.h"
#include "fixtures/SceneFixtures.h"

namespace {

using namespace qvx::exporttest;
using namespace qvx::fixtures;

constexpr double kPi = 3.14159265358979323846;

class LightCameraGatherer : public HostSceneTest {};

Vec3 column(const Matrix4& m, int c) {
    return {m[std::size_t(c)], m[std::size_t(4 + c)], m[std::size_t(8 + c)]};
}

void expectVec(const Vec3& actual, float x, float y, float z, const char* what) {
    EXPECT_NEAR(actual.x, x, 1e-5) << what;
    EXPECT_NEAR(actual.y, y, 1e-5) << what;
    EXPECT_NEAR(actual.z, z, 1e-5) << what;
}

TEST_F(LightCameraGatherer, LightsOfEveryType) {
    LightScene fixture;
    ASSERT_TRUE(lightsOfEveryType(fixture));
    Scene scene;
    ASSERT_TRUE(gatherScene(scene, true));
    ASSERT_EQ(scene.lights.count(), 6);
    const Light& ambient = scene.lights[0];
    const Light& directional = scene.lights[1];
    const Light& spot = scene.lights[2];
    const Light& point = scene.lights[3];

    EXPECT_EQ(ambient.kind, 3u);
    EXPECT_EQ(directional.kind, 1u);
    EXPECT_EQ(spot.kind, 2u);
    EXPECT_EQ(point.kind, 0u);
    EXPECT_EQ(scene.lights[4].kind, 0u);  // area
    EXPECT_EQ(scene.lights[5].kind, 0u);  // volume
    EXPECT_STREQ(ambient.name.narrow, "ambientLightShape1");

    EXPECT_FLOAT_EQ(ambient.intensity, 0.5f);
    EXPECT_FLOAT_EQ(ambient.color.b, 0.25f);
    EXPECT_FLOAT_EQ(ambient.color.a, 1.0f);
    expectVec(ambient.transform.translation, 0, 10, 0, "ambient translation");

    // Spot: cone 40 degrees, param0 ten less; its shadow radius is kept.
    EXPECT_NEAR(spot.coneAngle, 40.0f, 1e-4);
    EXPECT_NEAR(spot.param0, 30.0f, 1e-4);
    EXPECT_FLOAT_EQ(spot.param3, 0.5f);
    EXPECT_FLOAT_EQ(spot.intensity, 2.0f);

    // A point light has no direction of its own: the preset (1, 0, 0) stands.
    EXPECT_FLOAT_EQ(point.coneAngle, 20.0f);
    EXPECT_FLOAT_EQ(point.param0, 10.0f);
    EXPECT_FLOAT_EQ(point.param3, 1.0f);  // no shadow radius
    expectVec(column(point.transform.matrix, 2), 1, 0, 0, "point direction");
    expectVec(point.transform.translation, -3, 2, 1, "point translation");

    // Straight down: the up vector becomes (0, 0, 1).
    expectVec(column(directional.transform.matrix, 2), 0, -1, 0, "down direction");
    expectVec(column(directional.transform.matrix, 0), 1, 0, 0, "down side");
    expectVec(column(directional.transform.matrix, 1), 0, 0, 1, "down up");
    EXPECT_FLOAT_EQ(directional.transform.matrix[3], 0.0f);
    EXPECT_FLOAT_EQ(directional.transform.matrix[15], 1.0f);
    EXPECT_FLOAT_EQ(directional.transform.quaternion.w, 0.0f);
    for (float v : directional.transform.rotationMatrix) EXPECT_FLOAT_EQ(v, 0.0f);
}

TEST_F(LightCameraGatherer, LightPointingStraightUpUsesDownwardZForUp) {
    MFnDirectionalLight light;
    MObject transform = light.create(MObject::kNullObj, true, true);
    const double rotation[3] = {kPi / 2, 0, 0};
    ASSERT_TRUE(MFnTransform(transform).setRotation(rotation, MTransformationMatrix::kXYZ));
    Scene scene;
    ASSERT_TRUE(gatherScene(scene, true));
    ASSERT_EQ(scene.lights.count(), 1);
    const Matrix4& m = scene.lights[0].transform.matrix;
    expectVec(column(m, 2), 0, 1, 0, "up direction");
    expectVec(column(m, 0), 1, 0, 0, "side");
    expectVec(column(m, 1), 0, 0, -1, "up");
}

TEST_F(LightCameraGatherer, LookAtBasisOfAnObliqueDirection) {
    Matrix4 m = kIdentityMatrix4;
    const Vec3 d = normalizeDirection({1, 0, 1});
    m[2] = d.x;
    m[6] = d.y;
    m[10] = d.z;
    buildLookAtBasis(m);
    const float h = std::sqrt(0.5f);
    expectVec(column(m, 0), h, 0, -h, "side");
    expectVec(column(m, 1), 0, 1, 0, "up");
    EXPECT_FLOAT_EQ(m[15], 1.0f);
    expectVec(normalizeDirection({0.00005f, 0, 0}), 0, 0, 0, "tiny vector");
}

TEST_F(LightCameraGatherer, PerspectiveCameraLensAndBasis) {
    CameraScene fixture;
    ASSERT_TRUE(perspectiveAndOrthoCameras(fixture));
    Scene scene;
    ASSERT_TRUE(gatherScene(scene, true));
    const int index = cameraNamed(scene, "shotCamShape");
    ASSERT_GE(index, 0);
    const Camera& camera = scene.cameras[index];
    EXPECT_NEAR(camera.fieldOfView, 60.0f, 1e-3);
    EXPECT_FLOAT_EQ(camera.nearClip, 0.5f);
    EXPECT_FLOAT_EQ(camera.farClip, 2000.0f);
    EXPECT_EQ(camera.kind, 0u);
    expectVec(camera.transform.translation, 0, 5, 20, "translation");
    // Turned -0.2 radians about X: looking down -Z and a little down.
    const float s = std::sin(0.2f), c = std::cos(0.2f);
    expectVec(column(camera.transform.matrix, 0), 1, 0, 0, "right");
    expectVec(column(camera.transform.matrix, 1), 0, c, -s, "up");
    expectVec(column(camera.transform.matrix, 2), 0, -s, -c, "view");
    EXPECT_FLOAT_EQ(camera.transform.quaternion.w, 0.0f);
    EXPECT_EQ(cameraNamed(scene, "orthoCamShape"), -1);
}

TEST(FrameRates, UnitsOfTheTimeTable) {
    EXPECT_FLOAT_EQ(frameRateOfUnit(MTime::kHours), 1.0f / 3600.0f);
    EXPECT_FLOAT_EQ(frameRateOfUnit(MTime::kMinutes), 1.0f / 60.0f);
    EXPECT_FLOAT_EQ(frameRateOfUnit(MTime::kSeconds), 1.0f);
    EXPECT_FLOAT_EQ(frameRateOfUnit(MTime::kMilliseconds), 1000.0f);
    EXPECT_FLOAT_EQ(frameRateOfUnit(MTime::kGames), 15.0f);
    EXPECT_FLOAT_EQ(frameRateOfUnit(MTime::kFilm), 24.0f);
    EXPECT_FLOAT_EQ(frameRateOfUnit(MTime::kPALFrame), 25.0f);
    EXPECT_FLOAT_EQ(frameRateOfUnit(MTime::kNTSCFrame), 30.0f);
    EXPECT_FLOAT_EQ(frameRateOfUnit(MTime::kShowScan), 48.0f);
    EXPECT_FLOAT_EQ(frameRateOfUnit(MTime::kPALField), 50.0f);
    EXPECT_FLOAT_EQ(frameRateOfUnit(MTime::kNTSCField), 60.0f);
    EXPECT_FLOAT_EQ(frameRateOfUnit(MTime::k2FPS), 2.0f);
    EXPECT_FLOAT_EQ(frameRateOfUnit(MTime::k75FPS), 75.0f);
    EXPECT_FLOAT_EQ(frameRateOfUnit(MTime::k6000FPS), 6000.0f);
    EXPECT_FLOAT_EQ(frameRateOfUnit(MTime::kUserDef), 30.0f);
    EXPECT_FLOAT_EQ(frameRateOfUnit(MTime::kInvalid), 30.0f);
    EXPECT_FLOAT_EQ(frameRateOfUnit(9999), 30.0f);
    // The table's numbering, as the first API release numbers the units.
    EXPECT_EQ(static_cast<int>(MTime::kFilm), 6);
    EXPECT_EQ(static_cast<int>(MTime::k6000FPS), 42);
}

TEST_F(LightCameraGatherer, AnimationTakesTheRateOfTheInterfaceUnit) {
    ASSERT_TRUE(MTime::setUIUnit(MTime::kPALFrame));
    Scene scene;
    ASSERT_TRUE(gatherScene(scene, true));
    ASSERT_EQ(scene.animations.count(), 1);
    EXPECT_FLOAT_EQ(scene.animations[0].fps, 25.0f);
    EXPECT_FLOAT_EQ(scene.animations[0].startTick, 0.0f);
    EXPECT_FLOAT_EQ(scene.animations[0].tickCount, 30.0f);
}

TEST_F(LightCameraGatherer, NarrowSpotHasNoNegativeSpread) {
    MFnSpotLight spot;
    spot.create(MObject::kNullObj, true, true);
    ASSERT_TRUE(spot.setConeAngle(6.0 * kPi / 180.0));
    Scene scene;
    ASSERT_TRUE(gatherScene(scene, true));
    ASSERT_EQ(scene.lights.count(), 1);
    EXPECT_NEAR(scene.lights[0].coneAngle, 6.0f, 1e-4);
    EXPECT_FLOAT_EQ(scene.lights[0].param0, 0.0f);
}

}  // namespace
