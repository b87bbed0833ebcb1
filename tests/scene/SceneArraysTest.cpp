// Allocation, append and clear of the scene's arrays: each array kind has its own
// defaults, and absent and empty arrays are different states.

#include <gtest/gtest.h>

#include <cstring>

#include "scene/Scene.h"

namespace {

void expectIdentity(const Matrix4& m) {
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m[i], kIdentityMatrix4[i]) << "element " << i;
}

class SceneArrays : public ::testing::Test {
  protected:
    Scene scene;
};

TEST_F(SceneArrays, ZeroCountIsRefusedAndLeavesArraysAbsent) {
    EXPECT_EQ(scene.lights.allocate(0), 0);
    EXPECT_EQ(scene.cameras.allocate(0), 0);
    EXPECT_EQ(scene.materials.allocate(0), 0);
    EXPECT_EQ(scene.groups.allocate(0), 0);
    EXPECT_EQ(scene.vertices.allocate(0), 0);
    EXPECT_EQ(scene.meshes.allocate(0), 0);
    EXPECT_EQ(scene.bones.allocate(0), 0);
    EXPECT_EQ(scene.animations.allocate(0), 0);
    EXPECT_TRUE(scene.lights.absent());
    EXPECT_TRUE(scene.bones.absent());
    EXPECT_EQ(scene.lights.count(), 0);
}

TEST_F(SceneArrays, ZeroTrianglesAndUVSetsGivePresentEmptyArrays) {
    EXPECT_EQ(scene.triangles.allocate(0), 1);
    EXPECT_EQ(scene.uvSets.allocate(0), 1);
    EXPECT_TRUE(scene.triangles.present());
    EXPECT_TRUE(scene.uvSets.present());
    EXPECT_EQ(scene.uvSets.count(), 0);
}

TEST_F(SceneArrays, NegativeCountIsRefusedEvenWhereEmptyIsAccepted) {
    EXPECT_EQ(scene.triangles.allocate(-1), 0);
    EXPECT_TRUE(scene.triangles.absent());
}

TEST_F(SceneArrays, RefusedAllocationClearsThePreviousContents) {
    ASSERT_EQ(scene.lights.allocate(3), 1);
    EXPECT_EQ(scene.lights.allocate(0), 0);
    EXPECT_TRUE(scene.lights.absent());
}

TEST_F(SceneArrays, AllocatedLightsAreAllZeroWhileAppendedLightsGetDefaults) {
    ASSERT_EQ(scene.lights.allocate(1), 1);
    const Light& allocated = scene.lights[0];
    EXPECT_EQ(allocated.tag, 0u);
    EXPECT_EQ(allocated.kind, 0u);
    EXPECT_EQ(allocated.coneAngle, 0.0f);
    EXPECT_EQ(allocated.color.a, 0.0f);
    EXPECT_EQ(allocated.transform.scale.x, 0.0f);
    EXPECT_EQ(allocated.transform.rotationMatrix[0], 0.0f);

    scene.lights.clear();
    Light* appended = scene.lights.append();
    ASSERT_NE(appended, nullptr);
    EXPECT_EQ(appended->tag, 1600u);
    EXPECT_EQ(appended->kind, 1u);
    EXPECT_EQ(appended->param0, 10.0f);
    EXPECT_EQ(appended->coneAngle, 20.0f);
    EXPECT_EQ(appended->param2, 0.0f);  // unlike the constructor's 1.0
    EXPECT_EQ(appended->param5, 8.0f);
    EXPECT_EQ(appended->transform.scale.y, 1.0f);
    expectIdentity(appended->transform.matrix);
    EXPECT_EQ(appended->transform.quaternion.w, 0.0f);
}

TEST_F(SceneArrays, ConstructedLightHasTableDefaults) {
    const Light light;
    EXPECT_EQ(light.param2, 1.0f);
    EXPECT_EQ(light.transform.quaternion.w, 1.0f);
}

TEST_F(SceneArrays, AllocatedCamerasAreZeroAppendedCamerasHaveClipDefaults) {
    ASSERT_EQ(scene.cameras.allocate(2), 1);
    EXPECT_EQ(scene.cameras[1].fieldOfView, 0.0f);
    EXPECT_EQ(scene.cameras[1].farClip, 0.0f);
    scene.cameras.clear();
    const Camera* camera = scene.cameras.append();
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->fieldOfView, 45.0f);
    EXPECT_EQ(camera->nearClip, 1.0f);
    EXPECT_EQ(camera->farClip, 1000.0f);
}

TEST_F(SceneArrays, SceneMaterialsGetColourDefaultsButMeshMaterialsStayZero) {
    ASSERT_EQ(scene.materials.allocate(1), 1);
    EXPECT_EQ(scene.materials[0].diffuse.r, 1.0f);
    EXPECT_EQ(scene.materials[0].ambient.r, 0.0f);
    EXPECT_EQ(scene.materials[0].ambient.a, 1.0f);
    EXPECT_EQ(scene.materials[0].shininess, 128.0f);
    EXPECT_EQ(scene.materials[0].opacity, 1.0f);

    Mesh mesh;
    ASSERT_EQ(mesh.materials.allocate(1), 1);
    EXPECT_EQ(mesh.materials[0].diffuse.r, 0.0f);
    EXPECT_EQ(mesh.materials[0].ambient.a, 0.0f);
    EXPECT_EQ(mesh.materials[0].shininess, 0.0f);
}

TEST_F(SceneArrays, SceneTrianglesGetMinusOneCornersButUVSetTrianglesStayZero) {
    ASSERT_EQ(scene.triangles.allocate(1), 1);
    EXPECT_EQ(scene.triangles[0].vertexIndices[2], -1);
    EXPECT_EQ(scene.triangles[0].secondIndices[0], -1);
    EXPECT_EQ(scene.triangles[0].groupIndex, 0);

    UVSet set;
    ASSERT_EQ(set.triangles.allocate(1), 1);
    EXPECT_EQ(set.triangles[0].vertexIndices[2], 0);
    EXPECT_EQ(set.triangles[0].groupIndex, 0);
}

TEST_F(SceneArrays, DefaultNamesAreNumberedPerArray) {
    ASSERT_EQ(scene.groups.allocate(2), 1);
    ASSERT_EQ(scene.uvSets.allocate(2), 1);
    ASSERT_EQ(scene.meshes.allocate(2), 1);
    EXPECT_STREQ(scene.groups[1].name.narrow, "QVXGroup1");
    EXPECT_EQ(scene.groups[1].name.wideView(), u"QVXGroup1");
    EXPECT_STREQ(scene.uvSets[0].name.narrow, "UVSet1");
    EXPECT_STREQ(scene.uvSets[1].name.narrow, "UVSet2");
    EXPECT_STREQ(scene.meshes[1].name, "QVXMesh1");
    EXPECT_TRUE(scene.meshes[1].path.isNull());

    Mesh mesh;
    ASSERT_EQ(mesh.uvSets.allocate(1), 1);
    EXPECT_TRUE(mesh.uvSets[0].name.empty());

    Group* appended = scene.groups.append();
    ASSERT_NE(appended, nullptr);
    EXPECT_STREQ(appended->name.narrow, "QVXGroup2");
    EXPECT_EQ(appended->parentIndex, 0);
}

TEST_F(SceneArrays, BonesGetPoseDefaultsAndAppendTakesTheParent) {
    ASSERT_EQ(scene.bones.allocate(1), 1);
    const Bone& bone = scene.bones[0];
    EXPECT_EQ(bone.parentIndex, -1);
    EXPECT_EQ(bone.scale.z, 1.0f);
    EXPECT_EQ(bone.rotation.w, 1.0f);
    expectIdentity(bone.worldMatrix);
    EXPECT_EQ(bone.restMatrix[0], 0.0f);
    EXPECT_EQ(bone.hostJoint, kNoHostHandle);

    Bone* child = scene.bones.append(0);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->parentIndex, 0);
    EXPECT_EQ(scene.bones.append()->parentIndex, -1);
}

TEST_F(SceneArrays, AnimationsAndKeyListsGetTheirDefaults) {
    ASSERT_EQ(scene.animations.allocate(1), 1);
    Animation& animation = scene.animations[0];
    EXPECT_STREQ(animation.name.narrow, "DefaultAnim");
    EXPECT_EQ(animation.tickCount, 30.0f);
    EXPECT_EQ(animation.fps, 30.0f);
    ASSERT_EQ(animation.tracks.allocate(1), 1);
    BoneTrack& track = animation.tracks[0];
    ASSERT_EQ(track.rotationKeys.allocate(1), 1);
    ASSERT_EQ(track.scaleKeys.allocate(1), 1);
    ASSERT_EQ(track.positionKeys.allocate(1), 1);
    EXPECT_EQ(track.rotationKeys[0].value.w, 1.0f);
    EXPECT_EQ(track.scaleKeys[0].value.x, 1.0f);
    EXPECT_EQ(track.positionKeys[0].value.x, 0.0f);
}

TEST_F(SceneArrays, VerticesAndColoursStartWhite) {
    ASSERT_EQ(scene.vertices.allocate(2), 1);
    EXPECT_EQ(scene.vertices[1].color.g, 1.0f);
    Mesh mesh;
    ASSERT_EQ(mesh.colors.allocate(1), 1);
    EXPECT_EQ(mesh.colors[0].a, 1.0f);
    ASSERT_EQ(mesh.influenceNames.allocate(2), 1);
    EXPECT_TRUE(mesh.influenceNames[1].isNull());
}

TEST_F(SceneArrays, AllocatedAndAppendedWeightsDifferInInfluenceIndex) {
    Vertex vertex;
    const VertexWeight* appended = vertex.weights.append();
    ASSERT_NE(appended, nullptr);
    EXPECT_EQ(vertex.weightCount(), 1);
    EXPECT_EQ(appended->influenceIndex, -1);
    EXPECT_EQ(appended->boneIndex, -1);
    EXPECT_EQ(appended->weight, 1.0f);

    ASSERT_EQ(vertex.weights.allocate(2), 1);
    EXPECT_EQ(vertex.weights[1].influenceIndex, 0);
    EXPECT_EQ(vertex.weights[1].boneIndex, -1);
    EXPECT_EQ(vertex.weights[1].weight, 1.0f);
}

TEST_F(SceneArrays, AppendKeepsOrderAndMovesOwnedData) {
    ASSERT_NE(scene.meshes.append(), nullptr);
    Mesh& first = scene.meshes[0];
    ASSERT_EQ(first.path.set("|root|shape"), 1);
    ASSERT_EQ(first.vertices.allocate(3), 1);
    first.vertices[2].position = {1.0f, 2.0f, 3.0f};
    for (int i = 0; i < 40; ++i) ASSERT_NE(scene.meshes.append(), nullptr);

    ASSERT_EQ(scene.meshes.count(), 41);
    EXPECT_STREQ(scene.meshes[0].path.c_str(), "|root|shape");
    EXPECT_EQ(scene.meshes[0].vertices.count(), 3);
    EXPECT_EQ(scene.meshes[0].vertices[2].position.z, 3.0f);
    EXPECT_STREQ(scene.meshes[40].name, "QVXMesh40");
    EXPECT_TRUE(scene.meshes[40].vertices.absent());
}

TEST_F(SceneArrays, OutOfRangeIndicesAreNone) {
    ASSERT_EQ(scene.bones.allocate(2), 1);
    EXPECT_EQ(scene.bones.get(-1), nullptr);
    EXPECT_EQ(scene.bones.get(2), nullptr);
    EXPECT_EQ(scene.bones.get(1), &scene.bones[1]);
}

class SceneClear : public ::testing::Test {
  protected:
    Scene scene;
};

TEST_F(SceneClear, ClearingAnEmptySceneIsHarmless) {
    scene.clear();
    scene.clear();
    EXPECT_TRUE(scene.meshes.absent());
}

TEST_F(SceneClear, ClearLeavesEveryArrayAbsentAndCountsZero) {
    ASSERT_EQ(scene.lights.allocate(1), 1);
    ASSERT_EQ(scene.triangles.allocate(0), 1);
    ASSERT_EQ(scene.uvSets.allocate(2), 1);
    ASSERT_EQ(scene.bonePoses.allocate(1), 1);
    ASSERT_NE(scene.meshes.append(), nullptr);
    scene.counts.vertices = 7;
    scene.counts.infoStrings = 3;
    scene.legacyUVCount = 12;

    scene.clear();

    EXPECT_TRUE(scene.lights.absent());
    EXPECT_TRUE(scene.triangles.absent());
    EXPECT_TRUE(scene.uvSets.absent());
    EXPECT_TRUE(scene.meshes.absent());
    EXPECT_TRUE(scene.bonePoses.absent());
    EXPECT_EQ(scene.counts.vertices, 0u);
    EXPECT_EQ(scene.counts.infoStrings, 0u);
    EXPECT_EQ(scene.legacyUVCount, 0u);
}

TEST_F(SceneClear, FindsMaterialsByExactNarrowName) {
    EXPECT_EQ(scene.findMaterialByName("a"), -1);
    ASSERT_EQ(scene.materials.allocate(3), 1);
    scene.materials[1].name.set("skin");
    scene.materials[2].name.set("skin");
    EXPECT_EQ(scene.findMaterialByName("skin"), 1);
    EXPECT_EQ(scene.findMaterialByName("Skin"), -1);
    EXPECT_EQ(scene.findMaterialByName(nullptr), -1);
    EXPECT_EQ(scene.findMaterialByName(""), 0);
}

}  // namespace
