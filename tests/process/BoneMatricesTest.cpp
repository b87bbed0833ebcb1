#include <gtest/gtest.h>

#include "process/BoneLookup.h"
#include "process/PostLoad.h"
#include "process/SceneBuilders.h"

using namespace process_test;

namespace {

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

TEST_F(BoneMatricesTest, SelfOrMissingParentKeepsIdentityWorldMatrix) {
    for (std::int32_t parent : {1, 4}) {
        bone(1).parentIndex = parent;
        bone(1).position = {4, 0, 0};
        computeBoneMatrices(scene);
        EXPECT_EQ(bone(1).worldMatrix, kIdentityMatrix4) << parent;
        EXPECT_EQ(bone(1).localMatrix[3], 4.0f);
    }
}

TEST_F(BoneMatricesTest, ForwardParentIsTreatedAsNoParent) {
    bone(3).position = {0, 9, 0};
    bone(1).parentIndex = 3;
    bone(1).position = {4, 0, 0};
    computeBoneMatrices(scene);
    EXPECT_EQ(bone(1).worldMatrix, bone(1).localMatrix);
}

}  // namespace
