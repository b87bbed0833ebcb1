#include <gtest/gtest.h>

#include "process/BoneLookup.h"
#include "process/PostLoad.h"
#include "process/SceneBuilders.h"
#include "scene/Animation.h"

using namespace process_test;

namespace {

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

TEST_F(PrepareLoadedSceneTest, WithoutAnimationOrWithAWeightOnAMissingBoneVerticesStayPut) {
    for (bool missingBone : {false, true}) {
        if (missingBone) scene.vertices[0].weights[1].boneIndex = 5;
        ASSERT_EQ(prepareLoadedScene(scene), 1);
        EXPECT_EQ(scene.vertices[0].weights[0].weight, missingBone ? 1.0f : 0.5f);
        EXPECT_NEAR(scene.skinnedVertices[0].position.x, 1.0f, 1e-6f) << missingBone;
        EXPECT_NEAR(scene.skinnedVertices[0].position.y, 1.0f, 1e-6f) << missingBone;
    }
    EXPECT_EQ(scene.vertices[0].weights[1].weight, 0.0f);
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
