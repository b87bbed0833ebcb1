// Lights and cameras: node kinds, settings and placement through the look-at basis.

#include <gtest/gtest.h>
#include <maya/MColor.h>
#include <maya/MEulerRotation.h>
#include <maya/MFnCamera.h>
#include <maya/MFnLight.h>
#include <maya/MFnSpotLight.h>
#include <maya/MFnTransform.h>
#include <maya/MVector.h>

#include <cmath>

#include "host/LookAtBasis.h"
#include "import/ImportBuild.h"
#include "import/ImportTestSupport.h"

namespace {

using namespace import_test;

constexpr float kPi = 3.14159265f;

MObject shapeOf(const std::string& name) {
    return MFnDagNode(nodeNamed(name)).child(0);
}

MEulerRotation rotationOf(const std::string& name) {
    MEulerRotation rotation;
    MFnTransform(nodeNamed(name)).getRotation(rotation);
    return rotation;
}

// Angles compared as directions on the circle, so that pi and -pi agree.
void expectAngles(const MEulerRotation& r, double x, double y, double z) {
    const double got[3] = {r.x, r.y, r.z};
    const double want[3] = {x, y, z};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(std::cos(got[i]), std::cos(want[i]), 1e-5) << i;
        EXPECT_NEAR(std::sin(got[i]), std::sin(want[i]), 1e-5) << i;
    }
}

class LightsAndCameras : public HostTest {};

TEST_F(LightsAndCameras, EveryKindMakesItsLightUnderTheRoot) {
    Scene scene;
    const struct {
        std::uint32_t kind;
        const char* name;
        const char* type;
    } kinds[] = {{1, "Sun", "directionalLight"}, {2, "Spot", "spotLight"},  {3, "Fill", "ambientLight"},
                 {4, "Panel", "areaLight"},      {0, "Bulb", "pointLight"}, {5, "Other", "pointLight"},
                 {7, "Seven", "pointLight"}};
    for (const auto& k : kinds) {
        Light& light = *scene.lights.append();
        light.kind = k.kind;
        light.name.set(k.name);
    }
    ASSERT_TRUE(importBuild(scene, false));
    EXPECT_EQ(childNames("qvxTransform"),
              (std::vector<std::string>{"Sun", "Spot", "Fill", "Panel", "Bulb", "Other", "Seven"}));
    for (const auto& k : kinds) {
        EXPECT_EQ(typeOf(k.name), "transform") << k.name;
        EXPECT_EQ(MFnDependencyNode(shapeOf(k.name)).typeName(), MString(k.type)) << k.name;
    }
}

TEST_F(LightsAndCameras, LightTakesColourIntensityAndConeAngle) {
    Scene scene;
    Light& light = *scene.lights.append();
    light.kind = 2;
    light.name.set("Spot");
    light.color = {0.5f, 0.25f, 1.0f, 0.1f};
    light.intensity = 3.5f;
    light.coneAngle = 40.0f;
    ASSERT_TRUE(importBuild(scene, false));
    MFnLight lightFn(shapeOf("Spot"));
    const MColor colour = lightFn.color();
    EXPECT_FLOAT_EQ(colour.r, 0.5f);
    EXPECT_FLOAT_EQ(colour.g, 0.25f);
    EXPECT_FLOAT_EQ(colour.b, 1.0f);
    EXPECT_FLOAT_EQ(lightFn.intensity(), 3.5f);
    EXPECT_NEAR(MFnSpotLight(shapeOf("Spot")).coneAngle(), 0.6981317, 1e-6);
}

TEST_F(LightsAndCameras, PlacementLooksDownTheNegatedThirdColumn) {
    Scene scene;
    Light& light = *scene.lights.append();
    light.name.set("Key");
    light.transform.translation = {1, 2, 3};
    ASSERT_TRUE(importBuild(scene, false));
    // The identity's third column negated looks down -Z: a half turn about Y, which the
    // extraction gives as (pi, 0, pi).
    expectAngles(rotationOf("Key"), kPi, 0, kPi);
    const MVector t = MFnTransform(nodeNamed("Key")).getTranslation(MSpace::kTransform);
    EXPECT_DOUBLE_EQ(t.x, 1);
    EXPECT_DOUBLE_EQ(t.y, 2);
    EXPECT_DOUBLE_EQ(t.z, 3);
    // The record's matrix is rewritten with the basis.
    EXPECT_FLOAT_EQ(scene.lights[0].transform.matrix[0], -1.0f);
    EXPECT_FLOAT_EQ(scene.lights[0].transform.matrix[10], -1.0f);
}

TEST_F(LightsAndCameras, LookAtBasisUsesAnotherUpWhenLookingAlongY) {
    // Third column (0, 1, 0): up becomes (0, 0, -1).
    Matrix4 m = kIdentityMatrix4;
    m[2] = 0;
    m[6] = 1;
    m[10] = 0;
    m[3] = 7;
    const Matrix4 up = buildLookAtBasis(m);
    const Matrix4 expectedUp = {1, 0, 0, 7, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1};
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(up[std::size_t(i)], expectedUp[std::size_t(i)], 1e-6) << i;
    // Third column (0, -1, 0): up becomes (0, 0, 1).
    m[6] = -1;
    const Matrix4 down = buildLookAtBasis(m);
    const Matrix4 expectedDown = {1, 0, 0, 7, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1};
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(down[std::size_t(i)], expectedDown[std::size_t(i)], 1e-6) << i;
    // A zero column normalises to nothing rather than dividing by zero.
    const Matrix4 zero = buildLookAtBasis({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1});
    for (int i = 0; i < 12; ++i) EXPECT_EQ(zero[std::size_t(i)], 0.0f) << i;
}

TEST_F(LightsAndCameras, EulerExtractionHandlesTheGimbalCase) {
    // A quarter turn about Y puts m20 at -1 and cy at 0.
    const Matrix4 m = {0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 0, 1};
    const Vec3 e = matrixToEuler(m);
    EXPECT_NEAR(e.x, 0.0f, 1e-6);
    EXPECT_NEAR(e.y, kPi / 2, 1e-6);
    EXPECT_EQ(e.z, 0.0f);
    const Vec3 turned = matrixToEuler({0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    EXPECT_NEAR(turned.z, kPi / 2, 1e-6);
}

TEST_F(LightsAndCameras, CamerasTakeFieldOfViewClippingAndOrthographicFlag) {
    Scene scene;
    Camera& perspective = *scene.cameras.append();
    perspective.name.set("Shot");
    perspective.fieldOfView = 60;
    perspective.nearClip = 0.5f;
    perspective.farClip = 500;
    perspective.kind = 0;
    Camera& ortho = *scene.cameras.append();
    ortho.name.set("Plan");
    ortho.kind = 1;
    ASSERT_TRUE(importBuild(scene, false));
    EXPECT_EQ(childNames("qvxTransform"), (std::vector<std::string>{"Shot", "Plan"}));
    MFnCamera shot(shapeOf("Shot"));
    EXPECT_NEAR(shot.horizontalFieldOfView(), 60 * 0.017453292, 1e-5);
    EXPECT_NEAR(shot.nearClippingPlane(), 0.5, 1e-6);
    EXPECT_NEAR(shot.farClippingPlane(), 500, 1e-4);
    EXPECT_FALSE(shot.isOrtho());
    EXPECT_TRUE(MFnCamera(shapeOf("Plan")).isOrtho());
    expectAngles(rotationOf("Shot"), kPi, 0, kPi);
}

TEST_F(LightsAndCameras, NamesTakenInTheSceneAreNumberedByTheHost) {
    Scene first;
    first.cameras.append()->name.set("Shot");
    ASSERT_TRUE(importBuild(first, false));
    Scene second;
    second.cameras.append()->name.set("Shot");
    ASSERT_TRUE(importBuild(second, false));
    EXPECT_TRUE(exists("|qvxTransform|Shot"));
    EXPECT_TRUE(exists("|qvxTransform1|Shot"));
}

}  // namespace
