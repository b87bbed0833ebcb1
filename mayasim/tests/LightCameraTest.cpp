#include <maya/MColor.h>
#include <maya/MDagPath.h>
#include <maya/MFloatVector.h>
#include <maya/MFnAmbientLight.h>
#include <maya/MFnAreaLight.h>
#include <maya/MFnCamera.h>
#include <maya/MFnDirectionalLight.h>
#include <maya/MFnPointLight.h>
#include <maya/MFnSpotLight.h>
#include <maya/MFnTransform.h>
#include <maya/MFnVolumeLight.h>
#include <maya/MItDag.h>
#include <maya/MPlug.h>
#include <maya/MVector.h>

#include <cmath>
#include <string>
#include <vector>

#include "SceneFixture.h"

namespace {

constexpr double kHalfPi = 1.5707963267948966;

void rotate(const MObject& transform, double x, double y, double z) {
    const double r[3] = {x, y, z};
    MFnTransform(transform).setRotation(r, MTransformationMatrix::kXYZ);
}

void expectVector(const MVector& v, double x, double y, double z) {
    EXPECT_NEAR(v.x, x, 1e-6);
    EXPECT_NEAR(v.y, y, 1e-6);
    EXPECT_NEAR(v.z, z, 1e-6);
}

using Lights = SceneTest;

TEST_F(Lights, CreateWithTransformReturnsTheTransformAndAttachesToTheShape) {
    MFnDirectionalLight fn;
    MStatus status;
    MObject xf = fn.create(MObject::kNullObj, true, true, &status);
    ASSERT_TRUE(status);
    EXPECT_EQ(xf.apiType(), MFn::kTransform);
    EXPECT_EQ(nameOf(xf), "directionalLight1");
    EXPECT_EQ(std::string(fn.name().asChar()), "directionalLightShape1");
    EXPECT_EQ(fn.object().apiType(), MFn::kDirectionalLight);
}

TEST_F(Lights, DirectionPointsDownLocalMinusZInWorldSpace) {
    MFnDirectionalLight fn;
    MObject xf = fn.create(MObject::kNullObj, true, true);
    MFloatVector d = fn.lightDirection(0, MSpace::kWorld);
    expectVector(MVector(d), 0, 0, -1);
    rotate(xf, -kHalfPi, 0, 0);
    expectVector(MVector(fn.lightDirection(0, MSpace::kWorld)), 0, -1, 0);
    expectVector(MVector(fn.lightDirection(0, MSpace::kObject)), 0, 0, -1);
    MObject group = dagNode("transform", "group");
    rotate(group, 0, kHalfPi, 0);
    ASSERT_TRUE(MFnDagNode(group).addChild(xf));
    rotate(xf, 0, 0, 0);
    expectVector(MVector(fn.lightDirection(0, MSpace::kWorld)), -1, 0, 0);
    MStatus status;
    fn.lightDirection(1, MSpace::kWorld, &status);
    EXPECT_FALSE(status);
}

TEST_F(Lights, EveryLightTypeHasItsTypeNumberAndFamily) {
    MFnAmbientLight ambient;
    MFnPointLight point;
    MFnSpotLight spot;
    MFnAreaLight area;
    MFnVolumeLight volume;
    ambient.create(MObject::kNullObj, true, true);
    point.create(MObject::kNullObj, true, true);
    spot.create(MObject::kNullObj, true, true);
    area.create(MObject::kNullObj, true, true);
    volume.create(MObject::kNullObj, true, true);
    EXPECT_EQ(ambient.object().apiType(), MFn::kAmbientLight);
    EXPECT_EQ(area.object().apiType(), MFn::kAreaLight);
    EXPECT_EQ(point.object().apiType(), MFn::kPointLight);
    EXPECT_EQ(spot.object().apiType(), MFn::kSpotLight);
    EXPECT_EQ(volume.object().apiType(), MFn::kVolumeLight);
    EXPECT_TRUE(volume.object().hasFn(MFn::kPointLight));
    EXPECT_TRUE(spot.object().hasFn(MFn::kNonExtendedLight));
    EXPECT_TRUE(ambient.object().hasFn(MFn::kLight));
    EXPECT_FALSE(ambient.object().hasFn(MFn::kNonAmbientLight));
    MDagPath path;
    spot.getPath(path);
    path.pop();
    EXPECT_TRUE(path.hasFn(MFn::kLight));
    EXPECT_TRUE(path.hasFn(MFn::kTransform));
}

TEST_F(Lights, ColourIntensityConeAndShadowRadiusReadBack) {
    MFnSpotLight spot;
    spot.create(MObject::kNullObj, true, true);
    EXPECT_NEAR(spot.coneAngle(), 40.0 * 3.14159265358979323846 / 180.0, 1e-9);
    spot.setConeAngle(0.6981317);
    spot.setColor(MColor(0.5f, 0.25f, 1.0f));
    spot.setIntensity(2.5f);
    spot.setShadowRadius(0.0f);
    EXPECT_NEAR(spot.coneAngle(), 0.6981317, 1e-9);
    EXPECT_FLOAT_EQ(spot.color().g, 0.25f);
    EXPECT_FLOAT_EQ(spot.intensity(), 2.5f);
    EXPECT_FLOAT_EQ(spot.shadowRadius(), 0.0f);
    MFnAmbientLight ambient;
    ambient.create(MObject::kNullObj, true, true);
    ambient.setShadowRadius(3.0f);
    EXPECT_FLOAT_EQ(ambient.shadowRadius(), 3.0f);
}

TEST_F(Lights, TheOverloadWithoutTransformAnswersTheShapeWithOrWithoutAParent) {
    MFnSpotLight spot;
    MStatus status;
    MObject made = spot.create(MObject::kNullObj, true, &status);
    ASSERT_TRUE(status);
    EXPECT_EQ(made.apiType(), MFn::kSpotLight);
    EXPECT_EQ(fullPath(made), "|spotLight1|spotLightShape1");
    MFnPointLight point;
    MObject shape = point.create(dagNode("transform", "holder"), true, &status);
    ASSERT_TRUE(status);
    EXPECT_EQ(shape.apiType(), MFn::kPointLight);
    EXPECT_EQ(fullPath(shape), "|holder|pointLightShape1");
}

using Cameras = SceneTest;

TEST_F(Cameras, DirectionsFollowTheRotatedTransform) {
    MFnCamera fn;
    MStatus status;
    MObject xf = fn.create(&status);
    ASSERT_TRUE(status);
    EXPECT_EQ(nameOf(xf), "camera1");
    // World-space answers need a set attached through a DAG path.
    MDagPath path;
    ASSERT_TRUE(MDagPath::getAPathTo(xf, path));
    MFnCamera cam(path);
    expectVector(cam.viewDirection(MSpace::kWorld), 0, 0, -1);
    rotate(xf, 0, kHalfPi, 0);
    expectVector(cam.viewDirection(MSpace::kWorld), -1, 0, 0);
    expectVector(cam.rightDirection(MSpace::kWorld), 0, 0, -1);
    expectVector(cam.upDirection(MSpace::kWorld), 0, 1, 0);
    expectVector(fn.viewDirection(), 0, 0, -1);
    rotate(xf, -kHalfPi, 0, 0);
    expectVector(cam.viewDirection(MSpace::kWorld), 0, -1, 0);
    expectVector(cam.upDirection(MSpace::kWorld), 0, 0, -1);
}

TEST_F(Cameras, LensSettingsReadBack) {
    MFnCamera fn;
    fn.create();
    EXPECT_NEAR(fn.horizontalFieldOfView() * 180.0 / 3.14159265358979323846, 54.4322, 1e-3);
    ASSERT_TRUE(fn.setHorizontalFieldOfView(1.0));
    EXPECT_NEAR(fn.horizontalFieldOfView(), 1.0, 1e-9);
    EXPECT_FALSE(fn.setHorizontalFieldOfView(0.0));
    fn.setNearClippingPlane(0.5);
    fn.setFarClippingPlane(500.0);
    EXPECT_DOUBLE_EQ(fn.nearClippingPlane(), 0.5);
    EXPECT_DOUBLE_EQ(fn.farClippingPlane(), 500.0);
    EXPECT_FALSE(fn.isOrtho());
    fn.setIsOrtho(true);
    EXPECT_TRUE(fn.isOrtho());
}

using DefaultScene = SceneTest;

// The four default cameras, in this order; each camera's transform answers for its camera shape
// too, as the export walk finds them.
TEST_F(DefaultScene, HoldsTheFourDefaultCameras) {
    std::vector<std::string> shapes;
    std::vector<bool> ortho;
    for (MItDag it(MItDag::kBreadthFirst, MFn::kCamera); !it.isDone(); it.next()) {
        MDagPath p;
        ASSERT_TRUE(it.getPath(p));
        ASSERT_FALSE(p.hasFn(MFn::kTransform)) << "the filter reports the shapes only";
        shapes.push_back(p.fullPathName().asChar());
        ortho.push_back(MFnCamera(p).isOrtho());
        MDagPath parent(p);
        ASSERT_TRUE(parent.pop());
        EXPECT_TRUE(parent.hasFn(MFn::kCamera));
    }
    EXPECT_EQ(shapes, (std::vector<std::string>{"|persp|perspShape", "|top|topShape", "|front|frontShape",
                                                "|side|sideShape"}));
    EXPECT_EQ(ortho, (std::vector<bool>{false, true, true, true}));
    expectVector(MFnCamera(path("|top|topShape")).viewDirection(MSpace::kWorld), 0, -1, 0);
}

}  // namespace
