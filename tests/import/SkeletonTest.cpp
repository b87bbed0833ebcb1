// Joints under the root and their animation curves, from stored keys or sampled per frame.

#include <gtest/gtest.h>
#include <maya/MEulerRotation.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MFnTransform.h>
#include <maya/MPlugArray.h>
#include <maya/MQuaternion.h>
#include <maya/MTime.h>
#include <maya/MVector.h>

#include <cmath>

#include "import/ImportBuild.h"
#include "import/ImportTestSupport.h"

namespace {

using namespace import_test;

struct CurveKey {
    double seconds;
    double value;
};

// The keys of the curve driving `joint.attribute`; empty when nothing drives it.
std::vector<CurveKey> curveKeys(const std::string& joint, const char* attribute,
                                std::string* type = nullptr) {
    const MPlug plug = MFnDependencyNode(nodeNamed(joint)).findPlug(MString(attribute));
    MPlugArray sources;
    std::vector<CurveKey> keys;
    if (!plug.connectedTo(sources, true, false) || sources.length() == 0) return keys;
    MFnAnimCurve curve(sources[0].node());
    if (type) *type = curve.typeName().asChar();
    for (unsigned int i = 0; i < curve.numKeys(); ++i) {
        keys.push_back({curve.time(i).as(MTime::kSeconds), curve.value(i)});
    }
    return keys;
}

Quat aboutZ(float radians) {
    return {0, 0, std::sin(radians / 2), std::cos(radians / 2)};
}

Quat aboutX(float radians) {
    return {std::sin(radians / 2), 0, 0, std::cos(radians / 2)};
}

class Skeleton : public HostTest {
  protected:
    // Two rotation keys about X, at 0 and 1 second.
    static void turnAboutX(BoneTrack& track, float from, float to) {
        ASSERT_EQ(track.rotationKeys.allocate(2), 1);
        track.rotationKeys[0] = {0.0f, aboutX(from), {}};
        track.rotationKeys[1] = {1.0f, aboutX(to), {}};
    }
    // One animation with a track per bone.
    static Animation& animate(Scene& scene, float start, float count, float fps) {
        Animation& animation = *scene.animations.append();
        animation.startTick = start;
        animation.tickCount = count;
        animation.fps = fps;
        EXPECT_EQ(animation.tracks.allocate(scene.bones.count()), 1);
        return animation;
    }
};

TEST_F(Skeleton, HierarchyFollowsParentsDepthFirst) {
    Scene scene;
    addBone(scene, "hip", -1);
    addBone(scene, "spine", 0);
    addBone(scene, "head", 1);
    addBone(scene, "leg", 0);
    addBone(scene, "prop", -1);
    addBone(scene, "orphan", 7);
    addBone(scene, "self", 6);
    ASSERT_TRUE(importBuild(scene, false));
    EXPECT_EQ(childNames("qvxTransform"), (std::vector<std::string>{"hip", "prop"}));
    EXPECT_EQ(childNames("hip"), (std::vector<std::string>{"spine", "leg"}));
    EXPECT_EQ(fullPath(nodeNamed("head")), "|qvxTransform|hip|spine|head");
    EXPECT_EQ(typeOf("head"), "joint");
    EXPECT_FALSE(exists("orphan"));
    EXPECT_FALSE(exists("self"));
    EXPECT_EQ(scene.bones[2].hostJoint, 3u);
    EXPECT_EQ(scene.bones[5].hostJoint, kNoHostHandle);
}

TEST_F(Skeleton, LongChainIsBuiltWithoutRecursion) {
    Scene scene;
    addBone(scene, "b", -1);
    for (int i = 1; i < 3000; ++i) addBone(scene, "b", i - 1);
    ASSERT_TRUE(importBuild(scene, false));
    EXPECT_NE(scene.bones[2999].hostJoint, kNoHostHandle);
}

TEST_F(Skeleton, JointTakesTheRestTransform) {
    Scene scene;
    addBone(scene, "hip", -1, {1, 2, 3});
    Bone& arm = addBone(scene, "arm", 0, {0, 1, 0});
    arm.rotation = aboutZ(1.0f);
    arm.scale = {2, 2, 2};
    ASSERT_TRUE(importBuild(scene, false));
    EXPECT_EQ(doubleValue("hip", "translateX"), 1);
    EXPECT_EQ(doubleValue("hip", "translateY"), 2);
    EXPECT_EQ(doubleValue("hip", "translateZ"), 3);
    EXPECT_EQ(doubleValue("hip", "rotateX"), 0);
    EXPECT_EQ(intValue("hip", "rotateOrder"), 0);
    EXPECT_NEAR(doubleValue("arm", "rotateZ"), 1.0, 1e-6);
    EXPECT_EQ(doubleValue("arm", "scaleY"), 2);
}

TEST_F(Skeleton, StoredKeysBecomeCurveKeysRelativeToTheRest) {
    Scene scene;
    Bone& bone = addBone(scene, "hip", -1, {0, 5, 0});
    bone.rotation = aboutZ(1.5707964f);
    bone.scale = {2, 2, 2};
    Animation& animation = animate(scene, 0, 24, 24);
    BoneTrack& track = animation.tracks[0];
    ASSERT_EQ(track.positionKeys.allocate(2), 1);
    track.positionKeys[0] = {0.0f, {1, 0, 0}};
    track.positionKeys[1] = {0.5f, {0, 0, 2}};
    ASSERT_EQ(track.rotationKeys.allocate(1), 1);
    track.rotationKeys[0].time = 0.25f;
    track.rotationKeys[0].value = aboutX(0.5f);
    ASSERT_EQ(track.scaleKeys.allocate(1), 1);
    track.scaleKeys[0] = {0.0f, {1, 1, 1}};
    ASSERT_TRUE(importBuild(scene, false));

    std::string type;
    const auto tx = curveKeys("hip", "translateX", &type);
    EXPECT_EQ(type, "animCurveTL");
    ASSERT_EQ(tx.size(), 2u);
    EXPECT_NEAR(tx[0].value, 0.0, 1e-6);  // (1,0,0) turned a quarter about Z is (0,1,0)
    EXPECT_NEAR(curveKeys("hip", "translateY")[0].value, 6.0, 1e-6);
    EXPECT_NEAR(curveKeys("hip", "translateZ")[1].value, 2.0, 1e-6);
    EXPECT_NEAR(tx[1].seconds, 0.5, 1e-9);
    EXPECT_NEAR(MTime(tx[1].seconds, MTime::kSeconds).as(MTime::kFilm), 12.0, 1e-9);

    const auto rx = curveKeys("hip", "rotateX", &type);
    EXPECT_EQ(type, "animCurveTA");
    ASSERT_EQ(rx.size(), 1u);
    // quatMultiply(rest, key) as the Hamilton product, then the host's Euler angles.
    const Quat q = quatMultiply(bone.rotation, aboutX(0.5f));
    const MEulerRotation e = MQuaternion(q.x, q.y, q.z, q.w).asEulerRotation();
    EXPECT_NEAR(rx[0].value, e.x, 1e-6);
    EXPECT_NEAR(curveKeys("hip", "rotateZ")[0].value, e.z, 1e-6);
    EXPECT_NEAR(rx[0].seconds, 0.25, 1e-7);

    // Scale keys are taken as stored, not combined with the rest scale.
    const auto sx = curveKeys("hip", "scaleX", &type);
    EXPECT_EQ(type, "animCurveTU");
    ASSERT_EQ(sx.size(), 1u);
    EXPECT_EQ(sx[0].value, 1.0);
}

TEST_F(Skeleton, JumpsOverHalfATurnAreUnwrappedAndReported) {
    Scene scene;
    addBone(scene, "hip", -1);
    addBone(scene, "calm", 0);
    Animation& animation = animate(scene, 0, 30, 30);
    turnAboutX(animation.tracks[0], 3.0f, -3.0f);
    turnAboutX(animation.tracks[1], 0.0f, 3.1241393f);  // exactly the limit: kept
    ASSERT_TRUE(importBuild(scene, false));
    const auto rx = curveKeys("hip", "rotateX");
    ASSERT_EQ(rx.size(), 2u);
    EXPECT_NEAR(rx[0].value, 3.0, 1e-5);
    EXPECT_NEAR(rx[1].value, 3.2831855, 1e-5);
    EXPECT_EQ(scene.bones[0].eulerFlipFlag, 1u);
    EXPECT_EQ(scene.bones[1].eulerFlipFlag, 0u);
    EXPECT_NEAR(curveKeys("calm", "rotateX")[1].value, 3.1241393, 1e-5);
    EXPECT_EQ(hostLines(),
              (std::vector<std::string>{"QVX: tick_start: 0", "QVX: tick_end: 30", "QVX: fps: 30",
                                        "QVX: WARNING: Bad euler rotation keys for bone: hip."}));
    const std::string err = stderrText();
    EXPECT_NE(err.find("QVX: WARNING: Bad euler rotation keys for bone: hip.\n"), std::string::npos);
}

TEST_F(Skeleton, NoWarningWhenTracksDoNotMatchTheBones) {
    Scene scene;
    addBone(scene, "hip", -1);
    Animation& animation = animate(scene, 0, 30, 30);
    turnAboutX(animation.tracks[0], 3.0f, -3.0f);
    addBone(scene, "extra", 0);  // now two bones, one track
    ASSERT_TRUE(importBuild(scene, false));
    EXPECT_EQ(curveKeys("hip", "rotateX").size(), 2u);
    EXPECT_TRUE(curveKeys("extra", "rotateX").empty());
    for (const std::string& line : hostLines()) EXPECT_EQ(line.find("WARNING"), std::string::npos) << line;
}

TEST_F(Skeleton, KeysAtTimesThatAreNotNumbersAreLeftOut) {
    Scene scene;
    addBone(scene, "hip", -1);
    Animation& animation = animate(scene, 0, 30, 30);
    BoneTrack& track = animation.tracks[0];
    ASSERT_EQ(track.positionKeys.allocate(3), 1);
    track.positionKeys[0] = {0.0f, {1, 0, 0}};
    track.positionKeys[1] = {std::nanf(""), {2, 0, 0}};
    track.positionKeys[2] = {1.0f, {3, 0, 0}};
    ASSERT_TRUE(importBuild(scene, false));
    const auto tx = curveKeys("hip", "translateX");
    ASSERT_EQ(tx.size(), 2u);
    EXPECT_EQ(tx[1].value, 3.0);
}

TEST_F(Skeleton, SampledModeKeysEveryFrameOfTheRange) {
    Scene scene;
    addBone(scene, "hip", -1);
    Animation& animation = animate(scene, 0, 30, 30);
    BoneTrack& track = animation.tracks[0];
    ASSERT_EQ(track.positionKeys.allocate(2), 1);
    track.positionKeys[0] = {0.0f, {0, 0, 0}};
    track.positionKeys[1] = {1.0f, {30, 0, 0}};
    ASSERT_TRUE(importBuild(scene, false, false));
    const auto tx = curveKeys("hip", "translateX");
    ASSERT_EQ(tx.size(), 31u);
    for (std::size_t f = 0; f < tx.size(); ++f) {
        EXPECT_NEAR(tx[f].seconds, static_cast<float>(f) * (1.0f / 30.0f), 1e-6) << f;
        EXPECT_NEAR(tx[f].value, static_cast<double>(f), 1e-4) << f;
    }
    // A track without scale or rotation keys gets no such curves.
    EXPECT_TRUE(curveKeys("hip", "scaleX").empty());
    EXPECT_TRUE(curveKeys("hip", "rotateY").empty());
}

TEST_F(Skeleton, SampledModeTreatsZeroRateAs30AndTruncatesTheRange) {
    Scene scene;
    addBone(scene, "hip", -1);
    Animation& animation = animate(scene, 2.7f, 9.9f, 0.0f);
    BoneTrack& track = animation.tracks[0];
    ASSERT_EQ(track.scaleKeys.allocate(1), 1);
    track.scaleKeys[0] = {0.0f, {3, 3, 3}};
    ASSERT_TRUE(importBuild(scene, false, false));
    const auto sx = curveKeys("hip", "scaleX");
    ASSERT_EQ(sx.size(), 10u);
    EXPECT_NEAR(sx[0].seconds, 2.0 / 30.0, 1e-6);
    EXPECT_NEAR(sx[9].seconds, 11.0 / 30.0, 1e-6);
    EXPECT_EQ(sx[0].value, 3.0);
}

TEST_F(Skeleton, SampledRotationsAreUnwrappedToo) {
    Scene scene;
    addBone(scene, "hip", -1);
    Animation& animation = animate(scene, 0, 1, 1);
    turnAboutX(animation.tracks[0], 3.0f, -3.0f);
    ASSERT_TRUE(importBuild(scene, false, false));
    const auto rx = curveKeys("hip", "rotateX");
    ASSERT_EQ(rx.size(), 2u);
    EXPECT_NEAR(rx[1].value, 3.2831855, 1e-5);
    EXPECT_EQ(scene.bones[0].eulerFlipFlag, 1u);
}

TEST(UnwrapAngle, AddsOrRemovesOneTurnBeyond179Degrees) {
    EXPECT_FLOAT_EQ(unwrapAngle(3.0f, -3.0f), -3.0f + 6.2831855f);
    EXPECT_FLOAT_EQ(unwrapAngle(-3.0f, 3.0f), 3.0f - 6.2831855f);
    EXPECT_FLOAT_EQ(unwrapAngle(0.0f, 3.1241393f), 3.1241393f);
    EXPECT_FLOAT_EQ(unwrapAngle(0.0f, 20.0f), 20.0f - 6.2831855f);
}

TEST(QuatMultiply, IsTheHamiltonProduct) {
    const Quat i = {1, 0, 0, 0};
    const Quat j = {0, 1, 0, 0};
    const Quat k = quatMultiply(i, j);
    EXPECT_EQ(k.x, 0);
    EXPECT_EQ(k.y, 0);
    EXPECT_EQ(k.z, 1);
    EXPECT_EQ(k.w, 0);
}

}  // namespace
