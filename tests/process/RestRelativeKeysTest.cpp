#include <gtest/gtest.h>

#include <cmath>

#include "process/BoneLookup.h"
#include "process/ExportPrep.h"
#include "scene/Scene.h"

namespace {

class RestRelativeKeysTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(scene.bones.allocate(1), 1);
        ASSERT_EQ(scene.animations.allocate(1), 1);
        ASSERT_EQ(scene.animations[0].tracks.allocate(1), 1);
    }
    BoneTrack& track() { return scene.animations[0].tracks[0]; }
    void key(const Vec3& position, const Vec3& euler, const Vec3& scale) {
        ASSERT_EQ(track().positionKeys.allocate(1), 1);
        ASSERT_EQ(track().rotationKeys.allocate(1), 1);
        ASSERT_EQ(track().scaleKeys.allocate(1), 1);
        track().positionKeys[0].value = position;
        track().rotationKeys[0].euler = euler;
        track().scaleKeys[0].value = scale;
    }
    Scene scene;
};

TEST_F(RestRelativeKeysTest, BoneAtRestGivesZeroIdentityAndOne) {
    Bone& bone = scene.bones[0];
    bone.position = {1, 2, 3};
    bone.rotation = eulerToQuaternion(0.3f, -0.2f, 0.1f);
    bone.scale = {2, 0.5f, 4};
    key({1, 2, 3}, {0.3f, -0.2f, 0.1f}, {2, 0.5f, 4});
    makeKeysRestRelative(scene);
    const Vec3& p = track().positionKeys[0].value;
    const Quat& q = track().rotationKeys[0].value;
    const Vec3& s = track().scaleKeys[0].value;
    EXPECT_TRUE(p.x == 0.0f && p.y == 0.0f && p.z == 0.0f);
    EXPECT_TRUE(s.x == 1.0f && s.y == 1.0f && s.z == 1.0f);
    EXPECT_NEAR(std::fabs(q.x) + std::fabs(q.y) + std::fabs(q.z), 0.0f, 3e-6f);
    EXPECT_NEAR(q.w, 1.0f, 1e-6f);
    // The Euler angles stay as they were.
    EXPECT_EQ(track().rotationKeys[0].euler.x, 0.3f);
}

TEST_F(RestRelativeKeysTest, PositionOffsetIsTakenIntoTheRestFrame) {
    Bone& bone = scene.bones[0];
    bone.position = {1, 0, 0};
    bone.rotation = eulerToQuaternion(0, 0, 1.5707964f);  // x axis turned onto y
    key({2, 0, 0}, {0, 0, 0}, {1, 1, 1});
    makeKeysRestRelative(scene);
    const Vec3& p = track().positionKeys[0].value;
    EXPECT_NEAR(p.x, 0.0f, 1e-6f);
    EXPECT_NEAR(p.y, -1.0f, 1e-6f);
    // The key's own rotation is none, so relative to the rest it turns back.
    const Quat& q = track().rotationKeys[0].value;
    EXPECT_NEAR(q.z, -0.70710677f, 1e-6f);
    EXPECT_NEAR(q.w, 0.70710677f, 1e-6f);
}

TEST_F(RestRelativeKeysTest, ZeroRestScaleComponentLeavesKeyComponentAndZeroRestRotationIsIdentity) {
    scene.bones[0].scale = {0, 2, 1};
    scene.bones[0].rotation = {0, 0, 0, 0};
    key({0, 0, 0}, {0, 0, 1.5707964f}, {3, 3, 3});
    makeKeysRestRelative(scene);
    EXPECT_EQ(track().scaleKeys[0].value.x, 3.0f);
    EXPECT_EQ(track().scaleKeys[0].value.y, 1.5f);
    EXPECT_NEAR(track().rotationKeys[0].value.z, 0.70710677f, 1e-6f);
}

TEST_F(RestRelativeKeysTest, AnimationWithOtherTrackCountIsLeftAlone) {
    scene.bones[0].position = {5, 5, 5};
    key({1, 1, 1}, {0, 0, 0}, {1, 1, 1});
    ASSERT_EQ(scene.bones.allocate(2), 1);
    makeKeysRestRelative(scene);
    EXPECT_EQ(track().positionKeys[0].value.x, 1.0f);
}

}  // namespace
