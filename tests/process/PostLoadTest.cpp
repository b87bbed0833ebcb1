#include <gtest/gtest.h>

#include <cmath>

#include "process/BoneLookup.h"
#include "process/PostLoad.h"
#include "process/SceneBuilders.h"
#include "scene/Animation.h"

using namespace process_test;

namespace {

// ---------------------------------------------------------------------------------------
// Weight normalisation.

class NormalizeVertexWeightsTest : public ::testing::Test {
  protected:
    Vertex vertex;
};

TEST_F(NormalizeVertexWeightsTest, ScalesWeightsToSumOne) {
    addWeight(vertex, 0, 0.6f);
    addWeight(vertex, 1, 0.2f);
    normalizeVertexWeights(vertex);
    EXPECT_FLOAT_EQ(vertex.weights[0].weight, 0.75f);
    EXPECT_FLOAT_EQ(vertex.weights[1].weight, 0.25f);
}

TEST_F(NormalizeVertexWeightsTest, EqualSmallWeightsBecomeHalves) {
    addWeight(vertex, 0, 0.2f);
    addWeight(vertex, 1, 0.2f);
    normalizeVertexWeights(vertex);
    EXPECT_FLOAT_EQ(vertex.weights[0].weight, 0.5f);
    EXPECT_FLOAT_EQ(vertex.weights[1].weight, 0.5f);
}

TEST_F(NormalizeVertexWeightsTest, LeavesExactSumOfOneUnchanged) {
    addWeight(vertex, 0, 0.25f);
    addWeight(vertex, 1, 0.75f);
    normalizeVertexWeights(vertex);
    EXPECT_EQ(vertex.weights[0].weight, 0.25f);
    EXPECT_EQ(vertex.weights[1].weight, 0.75f);
}

TEST_F(NormalizeVertexWeightsTest, LeavesZeroSumUnchanged) {
    addWeight(vertex, 0, 0.0f);
    addWeight(vertex, 1, 0.0f);
    normalizeVertexWeights(vertex);
    EXPECT_EQ(vertex.weights[0].weight, 0.0f);
    EXPECT_EQ(vertex.weights[1].weight, 0.0f);
}

TEST_F(NormalizeVertexWeightsTest, ZeroesWeightOnNoBoneBeforeSumming) {
    addWeight(vertex, -1, 0.5f);
    addWeight(vertex, 2, 0.25f);
    normalizeVertexWeights(vertex);
    EXPECT_EQ(vertex.weights[0].weight, 0.0f);
    EXPECT_FLOAT_EQ(vertex.weights[1].weight, 1.0f);
}

TEST_F(NormalizeVertexWeightsTest, ZeroesWeightOnMissingBoneWhenBoneCountIsGiven) {
    addWeight(vertex, 0, 0.5f);
    addWeight(vertex, 3, 0.5f);
    normalizeVertexWeights(vertex, 3);
    EXPECT_EQ(vertex.weights[0].weight, 1.0f);
    EXPECT_EQ(vertex.weights[1].weight, 0.0f);
    EXPECT_EQ(vertex.weights[1].boneIndex, 3);
}

TEST_F(NormalizeVertexWeightsTest, IgnoresVertexWithoutWeights) {
    normalizeVertexWeights(vertex);
    EXPECT_TRUE(vertex.weights.absent());
}

// ---------------------------------------------------------------------------------------
// Counts.

class PostLoadCountsTest : public ::testing::Test {
  protected:
    Scene scene;
};

TEST_F(PostLoadCountsTest, CountsWeightsPerBoneSkippingMissingBones) {
    ASSERT_EQ(scene.bones.allocate(2), 1);
    scene.bones[1].weightedVertexCount = 77;
    setPositions(scene.vertices, {{0, 0, 0}, {1, 0, 0}});
    addWeight(scene.vertices[0], 1, 0.5f);
    addWeight(scene.vertices[0], 1, 0.5f);
    addWeight(scene.vertices[1], 0, 0.5f);
    addWeight(scene.vertices[1], 2, 0.5f);
    addWeight(scene.vertices[1], -1, 0.5f);
    countBoneWeights(scene);
    EXPECT_EQ(scene.bones[0].weightedVertexCount, 1u);
    EXPECT_EQ(scene.bones[1].weightedVertexCount, 2u);  // two weights of one vertex count twice
}

TEST_F(PostLoadCountsTest, CountsPolygonsPerMaterialOverAllMeshes) {
    ASSERT_EQ(scene.materials.allocate(2), 1);
    scene.materials[0].useCount = 5;
    ASSERT_EQ(scene.meshes.allocate(2), 1);
    addPolygon(scene.meshes[0], {0, 1, 2}, 0, 1);
    addPolygon(scene.meshes[0], {0, 1, 2}, 0, 7);
    addPolygon(scene.meshes[1], {0, 1, 2}, 0, 1);
    addPolygon(scene.meshes[1], {0, 1, 2}, 0, -1);
    countMaterialUses(scene);
    EXPECT_EQ(scene.materials[0].useCount, 0u);
    EXPECT_EQ(scene.materials[1].useCount, 2u);
}

// ---------------------------------------------------------------------------------------
// Bone matrices.

class BoneMatricesTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(scene.bones.allocate(4), 1); }
    Bone& bone(int i) { return scene.bones[i]; }
    Scene scene;
};

TEST_F(BoneMatricesTest, LocalMatrixHoldsRotationAndPositionWithoutScale) {
    bone(0).position = {1, 2, 3};
    bone(0).rotation = eulerToQuaternion(0.0f, 0.0f, 1.5707964f);
    bone(0).scale = {5, 5, 5};
    computeBoneMatrices(scene);
    const Matrix4& m = bone(0).localMatrix;
    EXPECT_NEAR(m[0], 0.0f, 1e-6f);
    EXPECT_NEAR(m[1], -1.0f, 1e-6f);
    EXPECT_NEAR(m[4], 1.0f, 1e-6f);
    EXPECT_EQ(m[3], 1.0f);
    EXPECT_EQ(m[7], 2.0f);
    EXPECT_EQ(m[11], 3.0f);
    EXPECT_EQ(m[10], 1.0f);
    EXPECT_EQ(bone(0).worldMatrix, m);  // a root
}

TEST_F(BoneMatricesTest, ChildWorldMatrixFollowsItsParent) {
    bone(0).position = {0, 1, 0};
    bone(1).parentIndex = 0;
    bone(1).position = {0, 2, 0};
    bone(2).parentIndex = 1;
    bone(2).position = {3, 0, 0};
    computeBoneMatrices(scene);
    EXPECT_EQ(bone(2).worldMatrix[3], 3.0f);
    EXPECT_EQ(bone(2).worldMatrix[7], 3.0f);
}

TEST_F(BoneMatricesTest, SelfParentKeepsIdentityWorldMatrix) {
    bone(1).parentIndex = 1;
    bone(1).position = {4, 0, 0};
    computeBoneMatrices(scene);
    EXPECT_EQ(bone(1).worldMatrix, kIdentityMatrix4);
    EXPECT_EQ(bone(1).localMatrix[3], 4.0f);
}

TEST_F(BoneMatricesTest, ParentPastTheArrayKeepsIdentityWorldMatrix) {
    bone(1).parentIndex = 4;
    bone(1).position = {4, 0, 0};
    computeBoneMatrices(scene);
    EXPECT_EQ(bone(1).worldMatrix, kIdentityMatrix4);
}

TEST_F(BoneMatricesTest, ForwardParentIsTreatedAsNoParent) {
    bone(3).position = {0, 9, 0};
    bone(1).parentIndex = 3;
    bone(1).position = {4, 0, 0};
    computeBoneMatrices(scene);
    EXPECT_EQ(bone(1).worldMatrix, bone(1).localMatrix);
}

// ---------------------------------------------------------------------------------------
// Group material lists.

class GroupMaterialListsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(scene.materials.allocate(8), 1);
        ASSERT_EQ(scene.groups.allocate(3), 1);
        ASSERT_EQ(scene.meshes.allocate(2), 1);
    }
    Scene scene;
};

TEST_F(GroupMaterialListsTest, ListsUsedMaterialsAscendingWithPolygonCounts) {
    for (int m : {5, 2, 5, -1, 9, 5, 2}) addPolygon(scene.meshes[0], {0, 1, 2}, 0, m);
    addPolygon(scene.meshes[1], {0, 1, 2}, 0, 0);
    buildGroupMaterialLists(scene);
    const MaterialUsageArray& first = scene.groups[0].materialUsages;
    ASSERT_EQ(first.count(), 2);
    EXPECT_EQ(first[0].materialIndex, 2);
    EXPECT_EQ(first[0].polygonCount, 2u);
    EXPECT_EQ(first[1].materialIndex, 5);
    EXPECT_EQ(first[1].polygonCount, 3u);
    ASSERT_EQ(scene.groups[1].materialUsageCount(), 1);
    EXPECT_EQ(scene.groups[1].materialUsages[0].materialIndex, 0);
    EXPECT_EQ(scene.groups[1].materialUsages[0].polygonCount, 1u);
}

TEST_F(GroupMaterialListsTest, GroupWithoutMeshGetsEmptyList) {
    ASSERT_EQ(scene.groups[2].materialUsages.allocate(4), 1);
    addPolygon(scene.meshes[0], {0, 1, 2}, 0, 1);
    buildGroupMaterialLists(scene);
    EXPECT_EQ(scene.groups[2].materialUsageCount(), 0);
}

TEST_F(GroupMaterialListsTest, MeshWithoutValidMaterialsGetsEmptyList) {
    addPolygon(scene.meshes[0], {0, 1, 2}, 0, -1);
    buildGroupMaterialLists(scene);
    EXPECT_EQ(scene.groups[0].materialUsageCount(), 0);
}

// ---------------------------------------------------------------------------------------
// The whole preparation: bind pose and skinned positions.

class PrepareLoadedSceneTest : public ::testing::Test {
  protected:
    // A two-bone chain (root at the origin, child one unit up) and one vertex weighted
    // 0.3 / 0.3 between them; the animation turns the child 90 degrees about z at time 0.
    void SetUp() override {
        ASSERT_EQ(scene.bones.allocate(2), 1);
        scene.bones[0].name.set("root");
        scene.bones[1].name.set("tip");
        scene.bones[1].parentIndex = 0;
        scene.bones[1].position = {0, 1, 0};
        setPositions(scene.vertices, {{1, 1, 0}, {0, 0, 0}, {2, 0, 0}});
        addWeight(scene.vertices[0], 0, 0.3f);
        addWeight(scene.vertices[0], 1, 0.3f);
        ASSERT_EQ(scene.meshes.allocate(1), 1);
        addPolygon(scene.meshes[0], {0, 1, 2});
        ASSERT_EQ(scene.groups.allocate(1), 1);
    }
    void animateTip() {
        ASSERT_EQ(scene.animations.allocate(1), 1);
        ASSERT_EQ(scene.animations[0].tracks.allocate(2), 1);
        RotationKeyArray& keys = scene.animations[0].tracks[1].rotationKeys;
        ASSERT_EQ(keys.allocate(1), 1);
        keys[0].time = 0.0f;
        keys[0].value = eulerToQuaternion(0.0f, 0.0f, 1.5707964f);
    }
    Scene scene;
};

TEST_F(PrepareLoadedSceneTest, SkinsVerticesAtTimeZeroWithNormalisedWeights) {
    animateTip();
    ASSERT_EQ(prepareLoadedScene(scene), 1);
    EXPECT_FLOAT_EQ(scene.vertices[0].weights[0].weight, 0.5f);
    ASSERT_EQ(scene.bonePoses.count(), 2);
    EXPECT_EQ(scene.bonePoses[1].bindWorld[7], 1.0f);
    EXPECT_FLOAT_EQ(scene.bonePoses[1].length, 1.0f);
    ASSERT_EQ(scene.skinnedVertices.count(), 3);
    // Half of the vertex stays with the root, half turns with the tip: (1,1,0) relative
    // to the tip is (1,0,0), turned (0,1,0), placed (0,2,0).
    EXPECT_NEAR(scene.skinnedVertices[0].position.x, 0.5f, 1e-5f);
    EXPECT_NEAR(scene.skinnedVertices[0].position.y, 1.5f, 1e-5f);
    EXPECT_NEAR(scene.skinnedVertices[0].position.z, 0.0f, 1e-5f);
    // An unweighted vertex keeps its position.
    EXPECT_EQ(scene.skinnedVertices[2].position.x, 2.0f);
}

TEST_F(PrepareLoadedSceneTest, WeightOnMissingBoneDoesNotPullVertexToOrigin) {
    scene.vertices[0].weights[1].boneIndex = 5;
    ASSERT_EQ(prepareLoadedScene(scene), 1);
    EXPECT_EQ(scene.vertices[0].weights[0].weight, 1.0f);
    EXPECT_EQ(scene.vertices[0].weights[1].weight, 0.0f);
    EXPECT_NEAR(scene.skinnedVertices[0].position.x, 1.0f, 1e-6f);
    EXPECT_NEAR(scene.skinnedVertices[0].position.y, 1.0f, 1e-6f);
}

TEST_F(PrepareLoadedSceneTest, WithoutAnimationSkinnedPositionsEqualBindPositions) {
    ASSERT_EQ(prepareLoadedScene(scene), 1);
    EXPECT_NEAR(scene.skinnedVertices[0].position.x, 1.0f, 1e-6f);
    EXPECT_NEAR(scene.skinnedVertices[0].position.y, 1.0f, 1e-6f);
}

TEST_F(PrepareLoadedSceneTest, DerivesCountsMatricesAndListsAfterPruning) {
    ASSERT_EQ(scene.materials.allocate(1), 1);
    scene.meshes[0].polygons[0].materialIndex = 0;
    setPositions(scene.vertices, {{5, 5, 5}, {1, 1, 0}, {0, 0, 0}, {2, 0, 0}});
    addWeight(scene.vertices[0], 1, 1.0f);  // unreferenced: pruned before counting
    addWeight(scene.vertices[1], 0, 0.3f);
    addWeight(scene.vertices[1], 1, 0.3f);
    scene.meshes[0].polygons[0].vertexIndices()[0] = 1;
    scene.meshes[0].polygons[0].vertexIndices()[1] = 2;
    scene.meshes[0].polygons[0].vertexIndices()[2] = 3;
    ASSERT_EQ(prepareLoadedScene(scene), 1);
    EXPECT_EQ(scene.vertices.count(), 3);
    EXPECT_EQ(scene.bones[1].weightedVertexCount, 1u);
    EXPECT_EQ(scene.materials[0].useCount, 1u);
    EXPECT_EQ(scene.bones[1].worldMatrix[7], 1.0f);
    ASSERT_EQ(scene.groups[0].materialUsageCount(), 1);
    EXPECT_EQ(scene.skinnedVertices.count(), 3);
}

TEST_F(PrepareLoadedSceneTest, EmptySceneIsHarmless) {
    Scene empty;
    EXPECT_EQ(prepareLoadedScene(empty), 1);
    EXPECT_TRUE(empty.bonePoses.absent());
    EXPECT_TRUE(empty.skinnedVertices.absent());
}

}  // namespace
