#include <gtest/gtest.h>
#include <maya/MAnimControl.h>
#include <maya/MDagPath.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnTransform.h>
#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>
#include <maya/MTime.h>

#include <cmath>
#include <string>

#include "ExportTestSupport.h"
#include "export/SceneWalk.h"
#include "fixtures/SceneFixtures.h"
#include "process/BoneLookup.h"

namespace {

using namespace qvx::exporttest;
using namespace qvx::fixtures;

constexpr double kPi = 3.14159265358979323846;

class SceneWalk : public HostSceneTest {};

std::string text(const OwnedString& s) {
    return s.c_str();
}

TEST_F(SceneWalk, DefaultCamerasGiveOnlyThePerspectiveCamera) {
    Scene scene;
    ASSERT_TRUE(gatherScene(scene, true));
    ASSERT_EQ(scene.animations.count(), 1);
    EXPECT_STREQ(scene.animations[0].name.narrow, "DefaultAnim");
    EXPECT_EQ(scene.animations[0].trackCount(), 0);
    EXPECT_EQ(scene.bones.count(), 0);
    EXPECT_EQ(scene.meshes.count(), 0);
    EXPECT_EQ(scene.lights.count(), 0);
    // The perspective camera's shape path is "|persp|perspShape", none of the skipped
    // names; the orthographic ones are never exported.
    ASSERT_EQ(scene.cameras.count(), 1);
    EXPECT_STREQ(scene.cameras[0].name.narrow, "perspShape");
}

TEST_F(SceneWalk, CubeUnderGroupGivesGroupTransformAndShapeBones) {
    CubeScene cube;
    ASSERT_TRUE(cubeUnderGroup(cube));
    Scene scene;
    ASSERT_TRUE(gatherScene(scene, true));

    ASSERT_EQ(scene.bones.count(), 3);
    const Bone& group = scene.bones[0];
    const Bone& transform = scene.bones[1];
    const Bone& shape = scene.bones[2];
    EXPECT_STREQ(group.name.narrow, "group1");
    EXPECT_EQ(text(group.fullPath), "|group1");
    EXPECT_EQ(text(group.parentPath), "");
    EXPECT_EQ(group.parentIndex, -1);
    EXPECT_FLOAT_EQ(group.position.y, 1.0f);

    // The mesh's transform is an identity bone; the shape carries the transform's values.
    EXPECT_STREQ(transform.name.narrow, "pCube1");
    EXPECT_EQ(transform.parentIndex, 0);
    EXPECT_EQ(text(transform.parentPath), "|group1");
    EXPECT_FLOAT_EQ(transform.position.x, 0.0f);
    EXPECT_FLOAT_EQ(transform.rotation.w, 1.0f);

    EXPECT_STREQ(shape.name.narrow, "pCubeShape1");
    EXPECT_EQ(text(shape.fullPath), "|group1|pCube1|pCubeShape1");
    EXPECT_EQ(shape.parentIndex, 1);
    EXPECT_NEAR(shape.position.x, 2.0f, 1e-6);
    const Quat expected = eulerToQuaternion(0.0f, static_cast<float>(kPi / 4), 0.0f);
    EXPECT_NEAR(shape.rotation.y, expected.y, 1e-6);
    EXPECT_NEAR(shape.rotation.w, expected.w, 1e-6);
    EXPECT_FLOAT_EQ(shape.scale.x, 1.0f);

    ASSERT_EQ(scene.meshes.count(), 1);
    EXPECT_EQ(text(scene.meshes[0].path), text(shape.fullPath));
    EXPECT_STREQ(scene.meshes[0].name, "pCubeShape1");

    // One track per bone; the transform's stays empty.
    const Animation& animation = scene.animations[0];
    ASSERT_EQ(animation.trackCount(), 3);
    EXPECT_GT(animation.tracks[0].positionKeys.count(), 0);
    EXPECT_EQ(animation.tracks[1].positionKeys.count(), 0);
    EXPECT_EQ(animation.tracks[1].rotationKeys.count(), 0);
    EXPECT_GT(animation.tracks[2].positionKeys.count(), 0);
    EXPECT_EQ(hostLines(mayasim::Severity::kInfo), std::vector<std::string>{"QVX: Found mesh: pCubeShape1"});
}

TEST_F(SceneWalk, JointChainKeepsBreadthFirstOrderAndParents) {
    SkinnedScene skinned;
    ASSERT_TRUE(skinnedCylinder(skinned));
    Scene scene;
    ASSERT_TRUE(gatherScene(scene, true));
    const int j1 = boneNamed(scene, "joint1");
    const int j2 = boneNamed(scene, "joint2");
    const int j3 = boneNamed(scene, "joint3");
    ASSERT_GE(j1, 0);
    ASSERT_GT(j2, j1);
    ASSERT_GT(j3, j2);
    EXPECT_EQ(scene.bones[j1].parentIndex, -1);
    EXPECT_EQ(scene.bones[j2].parentIndex, j1);
    EXPECT_EQ(scene.bones[j3].parentIndex, j2);
    EXPECT_FLOAT_EQ(scene.bones[j2].position.y, 2.0f);
    // Every parent precedes its children.
    for (int b = 0; b < scene.bones.count(); ++b) EXPECT_LT(scene.bones[b].parentIndex, b);
    const auto info = hostLines(mayasim::Severity::kInfo);
    EXPECT_NE(std::find(info.begin(), info.end(), "QVX: Found joint: joint2"), info.end());
}

TEST_F(SceneWalk, NurbsSurfaceWarnsAndExportsNoGeometry) {
    MObject transform;
    ASSERT_TRUE(nurbsSurface(transform));
    Scene scene;
    ASSERT_TRUE(gatherScene(scene, true));
    EXPECT_EQ(hostLines(mayasim::Severity::kWarning),
              std::vector<std::string>{"QVX: WARNING: Skipping Nurbs surface: nurbsSphere1"});
    const int bone = boneNamed(scene, "nurbsSphere1");
    ASSERT_GE(bone, 0);
    EXPECT_FLOAT_EQ(scene.bones[bone].position.y, 3.0f);
    // The surface shape itself is no transform and no mesh: it is kept as a plain group.
    const int shape = boneNamed(scene, "nurbsSphereShape1");
    ASSERT_GT(shape, bone);
    EXPECT_EQ(scene.bones[shape].parentIndex, bone);
    EXPECT_EQ(scene.meshes.count(), 0);
    EXPECT_EQ(scene.vertices.count(), 0);
}

TEST_F(SceneWalk, IntermediateShapesAreIgnored) {
    HistoryScene history;
    ASSERT_TRUE(meshWithIntermediateShape(history));
    Scene scene;
    ASSERT_TRUE(gatherScene(scene, true));
    ASSERT_EQ(scene.meshes.count(), 1);
    const std::string intermediateName = MFnDependencyNode(history.intermediate).name().asChar();
    EXPECT_EQ(boneNamed(scene, intermediateName.c_str()), -1);
    EXPECT_STREQ(scene.meshes[0].name, MFnDependencyNode(history.mesh.shape).name().asChar());
}

TEST_F(SceneWalk, LightAndCameraTransformsAndExcludedNodesNeverBecomeBones) {
    LightScene lights;
    ASSERT_TRUE(lightsOfEveryType(lights));
    CameraScene cameras;
    ASSERT_TRUE(perspectiveAndOrthoCameras(cameras));
    MFnDagNode locator;
    MObject locatorTransform = locator.create("locator", MObject::kNullObj);
    MFnDependencyNode(locatorTransform).setName("aLocator");
    MFnDagNode plain;
    MObject group = plain.create("transform", MObject::kNullObj);
    MFnDependencyNode(group).setName("plainGroup");

    Scene scene;
    ASSERT_TRUE(gatherScene(scene, true));
    ASSERT_EQ(scene.bones.count(), 1);
    EXPECT_STREQ(scene.bones[0].name.narrow, "plainGroup");
    EXPECT_EQ(scene.lights.count(), 6);
    EXPECT_EQ(cameraNamed(scene, "shotCamShape"), 1);
    EXPECT_EQ(cameraNamed(scene, "orthoCamShape"), -1);
}

TEST_F(SceneWalk, SelectionDoesNotNarrowTheWalk) {
    CubeScene cube;
    ASSERT_TRUE(cubeUnderGroup(cube));
    MObject transform;
    ASSERT_TRUE(nurbsSurface(transform));
    MSelectionList selection;
    ASSERT_TRUE(selection.add("nurbsSphere1"));
    ASSERT_TRUE(MGlobal::setActiveSelectionList(selection));
    Scene scene;
    ASSERT_TRUE(gatherScene(scene, true));
    EXPECT_EQ(scene.meshes.count(), 1);
    EXPECT_GE(boneNamed(scene, "group1"), 0);
}

TEST_F(SceneWalk, KeyListsTooLongForTheFileFailTheWalkAndRestoreTime) {
    MObject transform;
    ASSERT_TRUE(nurbsSurface(transform));
    // Three billion frames: more keys than a key list can count.
    ASSERT_TRUE(MAnimControl::setMinTime(MTime(-2.0e9, MTime::kFilm)));
    ASSERT_TRUE(MAnimControl::setMaxTime(MTime(1.0e9, MTime::kFilm)));
    ASSERT_TRUE(MAnimControl::setCurrentTime(MTime(5.0, MTime::kFilm)));
    Scene scene;
    const MStatus status = gatherScene(scene, true);
    EXPECT_EQ(status, MS::kInsufficientMemory);
    EXPECT_DOUBLE_EQ(MAnimControl::currentTime().as(MTime::kFilm), 5.0);
}

}  // namespace
