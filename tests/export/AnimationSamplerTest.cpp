#include <gtest/gtest.h>
#include <maya/MAnimControl.h>
#include <maya/MTime.h>

#include <cmath>

#include "ExportTestSupport.h"
#include "export/AnimationSampler.h"
#include "export/SceneWalk.h"
#include "fixtures/SceneFixtures.h"
#include "process/ExportPrep.h"

namespace {

using namespace qvx::exporttest;
using namespace qvx::fixtures;

constexpr double kPi = 3.14159265358979323846;

class AnimationSampler : public HostSceneTest {};

TEST_F(AnimationSampler, PlaybackOneToTwentyFourOnFilmGivesTwentyThreeSamples) {
    CubeScene cube;
    ASSERT_TRUE(cubeUnderGroup(cube));
    Scene scene;
    ASSERT_TRUE(gatherScene(scene, true));
    const BoneTrack& group = scene.animations[0].tracks[0];
    ASSERT_EQ(group.positionKeys.count(), 23);
    EXPECT_EQ(group.rotationKeys.count(), 23);
    EXPECT_EQ(group.scaleKeys.count(), 23);
    EXPECT_FLOAT_EQ(group.positionKeys[0].time, 1.0f / 24.0f);
    EXPECT_FLOAT_EQ(group.positionKeys[22].time, 23.0f / 24.0f);
    // Not animated: every key repeats the rest values.
    for (const PositionKey& key : group.positionKeys) EXPECT_FLOAT_EQ(key.value.y, 1.0f);
    for (const ScaleKey& key : group.scaleKeys) EXPECT_FLOAT_EQ(key.value.x, 1.0f);
    // Euler angles only; the quaternion is left for the preparation passes.
    EXPECT_FLOAT_EQ(group.rotationKeys[0].value.w, 0.0f);
}

TEST_F(AnimationSampler, AnimatedJointKeysFollowItsCurvesAndRestIsTheStartFrame) {
    SkinnedScene skinned;
    ASSERT_TRUE(skinnedCylinder(skinned));  // playback 1 to 48 on film
    ASSERT_TRUE(MAnimControl::setCurrentTime(MTime(24.0, MTime::kFilm)));
    Scene scene;
    ASSERT_TRUE(gatherScene(scene, true));
    EXPECT_DOUBLE_EQ(MAnimControl::currentTime().as(MTime::kFilm), 24.0);

    const int j1 = boneNamed(scene, "joint1");
    const int j2 = boneNamed(scene, "joint2");
    ASSERT_GE(j2, 0);
    // The rest pose is read at the animation start (frame 1), not at the current time.
    EXPECT_NEAR(scene.bones[j2].rotation.z, 0.0f, 1e-6);
    EXPECT_NEAR(scene.bones[j1].position.y, 0.0f, 1e-6);

    const BoneTrack& track = scene.animations[0].tracks[j2];
    ASSERT_EQ(track.rotationKeys.count(), 47);
    // Frame 24 (key 23) is the curve's key at pi/4.
    EXPECT_FLOAT_EQ(track.rotationKeys[23].time, 1.0f);
    EXPECT_NEAR(track.rotationKeys[23].euler.z, kPi / 4, 1e-5);
    EXPECT_NEAR(track.rotationKeys[0].euler.z, 0.0, 1e-6);
    const BoneTrack& root = scene.animations[0].tracks[j1];
    EXPECT_NEAR(root.positionKeys[0].value.y, 0.0f, 1e-6);
    EXPECT_GT(root.positionKeys[46].value.y, 0.9f);

    // After preparation the keys are relative to the rest pose and the range is in ticks.
    makeKeysRestRelative(scene);
    computeAnimationRange(scene);
    EXPECT_NEAR(track.rotationKeys[0].value.w, 1.0f, 1e-6);
    EXPECT_NEAR(track.rotationKeys[23].value.z, std::sin(kPi / 8), 1e-5);
    EXPECT_FLOAT_EQ(scene.animations[0].fps, 24.0f);
    EXPECT_FLOAT_EQ(scene.animations[0].startTick, 1.0f);
    EXPECT_FLOAT_EQ(scene.animations[0].tickCount, 47.0f);
}

TEST_F(AnimationSampler, EmptyRangeGivesNoKeysAndNullTrackFails) {
    MObject transform;
    ASSERT_TRUE(nurbsSurface(transform));
    ASSERT_TRUE(MAnimControl::setMinTime(MTime(10.0, MTime::kFilm)));
    ASSERT_TRUE(MAnimControl::setMaxTime(MTime(10.0, MTime::kFilm)));
    Scene scene;
    ASSERT_TRUE(gatherScene(scene, true));
    ASSERT_GT(scene.animations[0].trackCount(), 0);
    for (const BoneTrack& track : scene.animations[0].tracks) EXPECT_EQ(track.positionKeys.count(), 0);

    GatherContext context{scene};
    MDagPath path;
    EXPECT_FALSE(sampleNodeAnimation(context, nullptr, path));
    EXPECT_FALSE(context.outOfMemory);
}

TEST_F(AnimationSampler, OtherUnitsSampleWholeFramesOfThatUnit) {
    MObject transform;
    ASSERT_TRUE(nurbsSurface(transform));
    ASSERT_TRUE(MTime::setUIUnit(MTime::kNTSCFrame));
    ASSERT_TRUE(MAnimControl::setMinTime(MTime(0.0, MTime::kNTSCFrame)));
    ASSERT_TRUE(MAnimControl::setMaxTime(MTime(30.0, MTime::kNTSCFrame)));
    ASSERT_TRUE(MAnimControl::setAnimationStartTime(MTime(0.0, MTime::kNTSCFrame)));
    Scene scene;
    ASSERT_TRUE(gatherScene(scene, true));
    const BoneTrack& track = scene.animations[0].tracks[0];
    ASSERT_EQ(track.positionKeys.count(), 30);
    EXPECT_FLOAT_EQ(track.positionKeys[0].time, 0.0f);
    EXPECT_FLOAT_EQ(track.positionKeys[29].time, 29.0f / 30.0f);
    EXPECT_FLOAT_EQ(scene.animations[0].fps, 30.0f);
}

}  // namespace
