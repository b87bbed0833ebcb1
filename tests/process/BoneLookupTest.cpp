#include <gtest/gtest.h>

#include <cmath>

#include "process/BoneLookup.h"
#include "scene/Scene.h"

namespace {

class BoneLookupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(scene.bones.allocate(4), 1);
        scene.bones[0].fullPath.set("|a");
        // bone 1 has no path
        scene.bones[2].fullPath.set("|a|b");
        scene.bones[3].fullPath.set("|a|b");
    }
    Scene scene;
};

TEST_F(BoneLookupTest, FindsFirstBoneWithEqualPath) {
    EXPECT_EQ(findBoneByPath(scene, "|a"), 0);
    EXPECT_EQ(findBoneByPath(scene, "|a|b"), 2);
    EXPECT_EQ(findBoneByPath(scene, "|a|"), -1);
    EXPECT_EQ(findBoneByPath(scene, nullptr), -1);
}

TEST_F(BoneLookupTest, BonesWithoutPathAreNeverFound) {
    EXPECT_EQ(findBoneByPath(scene, ""), -1);
    scene.bones[1].fullPath.set("");
    EXPECT_EQ(findBoneByPath(scene, ""), 1);
}

TEST_F(BoneLookupTest, NoBonesFindNothing) {
    Scene empty;
    EXPECT_EQ(findBoneByPath(empty, "|a"), -1);
}

TEST_F(BoneLookupTest, IndexGivesTheSameAnswersAsTheSearch) {
    scene.bones[1].fullPath.set("");
    BonePathIndex index;
    ASSERT_EQ(index.build(scene), 1);
    for (const char* path : {"|a", "|a|b", "", "|c"})
        EXPECT_EQ(index.find(path), findBoneByPath(scene, path)) << path;
    EXPECT_EQ(index.find(nullptr), -1);
}

TEST(EulerToQuaternionTest, QuarterTurnAboutEachAxis) {
    const float half = std::sqrt(0.5f);
    const Quat x = eulerToQuaternion(1.5707964f, 0, 0);
    EXPECT_NEAR(x.x, half, 1e-6f);
    EXPECT_NEAR(x.w, half, 1e-6f);
    const Quat y = eulerToQuaternion(0, 1.5707964f, 0);
    EXPECT_NEAR(y.y, half, 1e-6f);
    const Quat z = eulerToQuaternion(0, 0, 1.5707964f);
    EXPECT_NEAR(z.z, half, 1e-6f);
    EXPECT_NEAR(z.x, 0.0f, 1e-7f);
}

TEST(EulerToQuaternionTest, ZeroAnglesGiveIdentity) {
    const Quat q = eulerToQuaternion(0, 0, 0);
    EXPECT_EQ(q.x, 0.0f);
    EXPECT_EQ(q.y, 0.0f);
    EXPECT_EQ(q.z, 0.0f);
    EXPECT_EQ(q.w, 1.0f);
}

TEST(EulerToQuaternionTest, CombinesAnglesWithTheStatedSigns) {
    const float rx = 0.4f, ry = -0.7f, rz = 1.1f;
    const float sx = std::sin(rx / 2), cx = std::cos(rx / 2);
    const float sy = std::sin(ry / 2), cy = std::cos(ry / 2);
    const float sz = std::sin(rz / 2), cz = std::cos(rz / 2);
    const Quat q = eulerToQuaternion(rx, ry, rz);
    EXPECT_EQ(q.x, sx * cy * cz - cx * sy * sz);
    EXPECT_EQ(q.y, cx * sy * cz + sx * cy * sz);
    EXPECT_EQ(q.z, cx * cy * sz - sx * sy * cz);
    EXPECT_EQ(q.w, sx * sy * sz + cx * cy * cz);
}

}  // namespace
