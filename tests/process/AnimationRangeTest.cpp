#include <gtest/gtest.h>

#include "process/ExportPrep.h"
#include "scene/Scene.h"

namespace {

class AnimationRangeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(scene.animations.allocate(1), 1);
        ASSERT_EQ(animation().tracks.allocate(2), 1);
    }
    Animation& animation() { return scene.animations[0]; }
    void positionKeys(int track, std::initializer_list<float> times) {
        PositionKeyArray& keys = animation().tracks[track].positionKeys;
        ASSERT_EQ(keys.allocate(static_cast<std::int32_t>(times.size())), 1);
        std::int32_t i = 0;
        for (float t : times) keys[i++].time = t;
    }
    Scene scene;
};

TEST_F(AnimationRangeTest, FramesOneToTwentyThreeAtTwentyFourFps) {
    animation().fps = 24.0f;
    positionKeys(0, {1.0f / 24.0f, 12.0f / 24.0f, 23.0f / 24.0f});
    computeAnimationRange(scene);
    EXPECT_FLOAT_EQ(animation().startTick, 1.0f);
    EXPECT_FLOAT_EQ(animation().tickCount, 23.0f);
}

TEST_F(AnimationRangeTest, NegativeTimesAreShiftedToStartAtZero) {
    positionKeys(0, {-0.5f, 0.0f});
    ASSERT_EQ(animation().tracks[1].scaleKeys.allocate(1), 1);
    animation().tracks[1].scaleKeys[0].time = 1.0f;
    ASSERT_EQ(animation().tracks[1].rotationKeys.allocate(1), 1);
    animation().tracks[1].rotationKeys[0].time = -0.25f;
    computeAnimationRange(scene);
    EXPECT_EQ(animation().tracks[0].positionKeys[0].time, 0.0f);
    EXPECT_EQ(animation().tracks[0].positionKeys[1].time, 0.5f);
    EXPECT_EQ(animation().tracks[1].rotationKeys[0].time, 0.25f);
    EXPECT_EQ(animation().tracks[1].scaleKeys[0].time, 1.5f);
    EXPECT_EQ(animation().startTick, 0.0f);
    EXPECT_EQ(animation().tickCount, 45.0f);
}

TEST_F(AnimationRangeTest, ZeroFpsBecomesThirty) {
    animation().fps = 0.0f;
    positionKeys(0, {0.0f, 2.0f});
    computeAnimationRange(scene);
    EXPECT_EQ(animation().fps, 30.0f);
    EXPECT_EQ(animation().tickCount, 60.0f);
}

TEST_F(AnimationRangeTest, NoKeysOrNoTracksGiveAnEmptyRange) {
    for (bool tracks : {true, false}) {
        if (!tracks) {
            ASSERT_EQ(scene.animations.allocate(1), 1);  // a fresh animation has no tracks
        }
        animation().startTick = 7.0f;
        animation().tickCount = 7.0f;
        computeAnimationRange(scene);
        EXPECT_EQ(animation().startTick, 0.0f) << tracks;
        EXPECT_EQ(animation().tickCount, 0.0f) << tracks;
    }
}

}  // namespace
