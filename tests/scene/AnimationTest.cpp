// Key sampling, the quaternion and matrix helpers, and the pose evaluation.

#include <gtest/gtest.h>

#include <cmath>

#include "scene/Animation.h"

namespace {

constexpr float kTol = 1e-5f;

void expectVec(const Vec3& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, kTol);
    EXPECT_NEAR(v.y, y, kTol);
    EXPECT_NEAR(v.z, z, kTol);
}

class Sampling : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(animation.tracks.allocate(2), 1); }
    void positionKeys(std::initializer_list<PositionKey> keys) {
        PositionKeyArray& list = animation.tracks[0].positionKeys;
        ASSERT_EQ(list.allocate(std::int32_t(keys.size())), 1);
        std::int32_t i = 0;
        for (const PositionKey& key : keys) list[i++] = key;
    }
    Animation animation;
};

TEST_F(Sampling, MissingDataGivesDefaults) {
    expectVec(sampleBonePosition(animation, 1.0f, 0), 0, 0, 0);
    expectVec(sampleBoneScale(animation, 1.0f, 1), 1, 1, 1);
    EXPECT_EQ(sampleBoneRotation(animation, 1.0f, 5).w, 1.0f);
    expectVec(sampleBoneScale(animation, 1.0f, 2), 1, 1, 1);
    expectVec(sampleBoneScale(animation, 1.0f, -1), 1, 1, 1);
    Animation noTracks;
    expectVec(sampleBonePosition(noTracks, 0.0f, 0), 0, 0, 0);
}

TEST_F(Sampling, SingleKeyHoldsForEveryTime) {
    positionKeys({{2.0f, {4, 5, 6}}});
    expectVec(sampleBonePosition(animation, -10.0f, 0), 4, 5, 6);
    expectVec(sampleBonePosition(animation, 100.0f, 0), 4, 5, 6);
}

TEST_F(Sampling, BracketsBeforeBetweenAtAndAfterKeys) {
    positionKeys({{0.0f, {0, 0, 0}}, {10.0f, {10, 0, 0}}});
    expectVec(sampleBonePosition(animation, 5.0f, 0), 5, 0, 0);
    expectVec(sampleBonePosition(animation, -3.0f, 0), 0, 0, 0);
    expectVec(sampleBonePosition(animation, 12.0f, 0), 10, 0, 0);
    expectVec(sampleBonePosition(animation, 10.0f, 0), 10, 0, 0);
}

TEST_F(Sampling, DuplicateTimesGiveTheFirstAtTheTimeAndTheSecondJustAfter) {
    positionKeys({{0.0f, {0, 0, 0}}, {1.0f, {1, 0, 0}}, {1.0f, {2, 0, 0}}, {2.0f, {3, 0, 0}}});
    expectVec(sampleBonePosition(animation, 1.0f, 0), 1, 0, 0);
    EXPECT_NEAR(sampleBonePosition(animation, std::nextafter(1.0f, 2.0f), 0).x, 2.0f, kTol);
}

TEST_F(Sampling, KeysOutOfOrderGiveTheLinearScansAnswer) {
    positionKeys({{0.0f, {0, 0, 0}}, {5.0f, {5, 0, 0}}, {1.0f, {100, 0, 0}}, {6.0f, {6, 0, 0}}});
    // First key not below 3 is at index 1 (time 5): interpolate keys 0 and 1.
    expectVec(sampleBonePosition(animation, 3.0f, 0), 3, 0, 0);
    // First key not below 5.5 is at index 3 (time 6) with predecessor time 1.
    expectVec(sampleBonePosition(animation, 5.5f, 0), 100 - 94 * 0.9f, 0, 0);
}

TEST_F(Sampling, RotationTakesTheShortArc) {
    RotationKeyArray& keys = animation.tracks[1].rotationKeys;
    ASSERT_EQ(keys.allocate(2), 1);
    const float h = std::sqrt(0.5f);
    keys[0] = {0.0f, {0, h, 0, h}, {}};
    keys[1] = {1.0f, {0, -h, 0, -h}, {}};
    for (float t : {0.25f, 0.5f, 0.75f}) {
        const Quat q = sampleBoneRotation(animation, t, 1);
        EXPECT_NEAR(q.y, h, kTol);
        EXPECT_NEAR(q.w, h, kTol);
    }
}

TEST_F(Sampling, TrackSamplerMatchesTheScanEvenForUnorderedKeys) {
    // Times out of order, repeated, negative and NaN; queries around every key time.
    const float times[] = {0.5f, 0.0f, 2.0f, 2.0f, -1.0f, std::nanf(""), 1.5f, 3.0f, 2.5f};
    BoneTrack& track = animation.tracks[1];
    ASSERT_EQ(track.positionKeys.allocate(9), 1);
    ASSERT_EQ(track.rotationKeys.allocate(9), 1);
    for (int i = 0; i < 9; ++i) {
        track.positionKeys[i] = {times[i], {float(i), float(i * i), 1}};
        track.rotationKeys[i] = {times[i], {0, std::sin(0.2f * float(i)), 0, std::cos(0.2f * float(i))}, {}};
    }
    const TrackSampler sampler(animation, 1);
    for (float t = -2.0f; t <= 4.0f; t += 0.125f) {
        const Vec3 a = sampler.position(t), b = sampleBonePosition(animation, t, 1);
        EXPECT_EQ(a.x, b.x) << t;
        EXPECT_EQ(a.y, b.y) << t;
        const Quat qa = sampler.rotation(t), qb = sampleBoneRotation(animation, t, 1);
        EXPECT_EQ(qa.y, qb.y) << t;
        EXPECT_EQ(qa.w, qb.w) << t;
        EXPECT_EQ(sampler.scale(t).x, 1.0f);
    }
    EXPECT_EQ(sampler.position(std::nanf("")).x, sampleBonePosition(animation, std::nanf(""), 1).x);
    EXPECT_EQ(TrackSampler(animation, 7).rotation(0.0f).w, 1.0f);
}

TEST(Slerp, HalfwayBetweenIdentityAndQuarterTurn) {
    const float s = std::sin(float(M_PI) / 4), c = std::cos(float(M_PI) / 4);
    const Quat q = slerpQuat({0, 0, 0, 1}, {0, 0, s, c}, 0.5f);
    EXPECT_NEAR(q.z, std::sin(float(M_PI) / 8), kTol);
    EXPECT_NEAR(q.w, std::cos(float(M_PI) / 8), kTol);
}

TEST(Slerp, NearlyIdenticalKeysInterpolateLinearly) {
    const Quat a = {0, 0, 0, 1};
    const Quat b = {0, 0, 1e-5f, 1};  // 1 - c is 0 in float: linear weights
    const Quat q = slerpQuat(a, b, 0.25f);
    EXPECT_FLOAT_EQ(q.z, 0.25f * 1e-5f);
    EXPECT_FLOAT_EQ(q.w, 1.0f);
}

TEST(Slerp, ResultIsNotRenormalised) {
    const Quat q = slerpQuat({0, 0, 0, 2}, {0, 0, 0, 2}, 0.5f);
    EXPECT_FLOAT_EQ(q.w, 2.0f);
}

TEST(MatrixHelpers, QuatToMatrixRotatesAQuarterTurnAboutZ) {
    const float h = std::sqrt(0.5f);
    const Matrix4 m = quatToMatrix({0, 0, h, h});
    expectVec(transformPoint({1, 0, 0}, m), 0, 1, 0);
    EXPECT_EQ(m[15], 1.0f);
}

TEST(MatrixHelpers, InverseUndoesAnAffineMatrix) {
    const float h = std::sqrt(0.5f);
    Matrix4 m = affineMultiply(quatToMatrix({h, 0, 0, h}), {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1});
    m[3] = 5;
    m[7] = -1;
    m[11] = 2;
    const Matrix4 product = affineMultiply(invertMatrix4(m), m);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(product[i], kIdentityMatrix4[i], kTol) << i;
}

TEST(MatrixHelpers, InverseOfAGeneralMatrix) {
    const Matrix4 m = {2, 0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 1};  // determinant 1
    const Matrix4 inv = invertMatrix4(m);
    const Matrix4 expected = {1, 0, 0, -1, 0, 1, 0, 0, 0, 0, 1, 0, -1, 0, 0, 2};
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(inv[i], expected[i], kTol) << i;
}

TEST(MatrixHelpers, SingularMatrixInvertsToIdentity) {
    const Matrix4 singular = {1, 2, 3, 4, 2, 4, 6, 8, 0, 0, 1, 0, 0, 0, 0, 1};
    EXPECT_EQ(invertMatrix4(singular), kIdentityMatrix4);
    EXPECT_EQ(invertMatrix4(Matrix4{}), kIdentityMatrix4);
}

TEST(MatrixHelpers, AffineMultiplyComposesTranslations) {
    Matrix4 a = kIdentityMatrix4, b = kIdentityMatrix4;
    a[3] = 1;
    b[7] = 2;
    a = affineMultiply(a, b);
    EXPECT_EQ(a[3], 1.0f);
    EXPECT_EQ(a[7], 2.0f);
}

TEST(MatrixHelpers, DistanceAndLerp) {
    EXPECT_FLOAT_EQ(vecDistance({0, 0, 0}, {3, 4, 0}), 5.0f);
    EXPECT_EQ(vecDistance({1, 1, 1}, {1, 1, 1}), 0.0f);
    expectVec(lerpVec3({0, 0, 0}, {2, 4, 8}, 0.25f), 0.5f, 1, 2);
}

// A two-bone chain: the root at (0,1,0) rotated a quarter turn about Z, the child one
// unit along the root's X.
class PoseEvaluation : public ::testing::Test {
  protected:
    void SetUp() override {
        const float h = std::sqrt(0.5f);
        ASSERT_NE(scene.bones.append(-1), nullptr);
        ASSERT_NE(scene.bones.append(0), nullptr);
        scene.bones[0].position = {0, 1, 0};
        scene.bones[0].rotation = {0, 0, h, h};
        scene.bones[1].position = {1, 0, 0};
    }
    void addVertex(Vec3 position, std::initializer_list<VertexWeight> weights) {
        Vertex* v = scene.vertices.append();
        ASSERT_NE(v, nullptr);
        v->position = position;
        for (const VertexWeight& w : weights) *v->weights.append() = w;
    }
    void build() {
        ASSERT_EQ(buildBonePoses(scene), 1);
        ASSERT_EQ(buildSkinnedVertices(scene), 1);
        ASSERT_EQ(computeBindPose(scene, 1), 1);
    }
    Scene scene;
};

TEST_F(PoseEvaluation, BuildersRefuseEmptyScenes) {
    Scene empty;
    EXPECT_EQ(buildBonePoses(empty), 0);
    EXPECT_EQ(buildSkinnedVertices(empty), 0);
    EXPECT_TRUE(empty.bonePoses.absent());
    EXPECT_EQ(computeBindPose(empty, 1), 1);
    EXPECT_EQ(evaluatePose(empty, 0.0f), 1);
}

TEST_F(PoseEvaluation, BindPoseAccumulatesParents) {
    addVertex({0, 0, 0}, {});
    build();
    expectVec(scene.bonePoses[0].worldPosition, 0, 1, 0);
    expectVec(scene.bonePoses[1].worldPosition, 0, 2, 0);
    EXPECT_EQ(scene.bonePoses[0].length, 0.0f);
    EXPECT_NEAR(scene.bonePoses[1].length, 1.0f, kTol);
    const Matrix4 product = affineMultiply(scene.bonePoses[1].inverseBindWorld, scene.bonePoses[1].bindWorld);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(product[i], kIdentityMatrix4[i], kTol);
}

TEST_F(PoseEvaluation, BindPoseAppliesScaleOnlyWhenAsked) {
    scene.bones[0].scale = {2, 2, 2};
    addVertex({0, 0, 0}, {});
    ASSERT_EQ(buildBonePoses(scene), 1);
    ASSERT_EQ(computeBindPose(scene, 1), 1);
    expectVec(scene.bonePoses[1].worldPosition, 0, 3, 0);
    ASSERT_EQ(computeBindPose(scene, 0), 1);
    expectVec(scene.bonePoses[1].worldPosition, 0, 2, 0);
}

TEST_F(PoseEvaluation, SelfAndOutOfRangeParentsStayAtIdentity) {
    scene.bones[1].parentIndex = 1;
    ASSERT_NE(scene.bones.append(9), nullptr);
    scene.bones[2].position = {3, 3, 3};
    addVertex({0, 0, 0}, {});
    build();
    EXPECT_EQ(scene.bonePoses[1].bindWorld, kIdentityMatrix4);
    EXPECT_EQ(scene.bonePoses[2].bindWorld, kIdentityMatrix4);
    EXPECT_EQ(scene.bonePoses[1].length, 0.0f);
}

TEST_F(PoseEvaluation, ForwardParentReadsItsNotYetComputedIdentity) {
    scene.bones[0].parentIndex = 1;
    scene.bones[1].parentIndex = -1;
    addVertex({0, 0, 0}, {});
    build();
    expectVec(scene.bonePoses[0].worldPosition, 0, 1, 0);
    expectVec(scene.bonePoses[1].worldPosition, 1, 0, 0);
}

TEST_F(PoseEvaluation, SkinnedPositionsAtTimeZeroMatchTheBindPose) {
    addVertex({0, 1.5f, 0}, {{0, 0, 0.5f}, {0, 1, 0.5f}});
    addVertex({7, 7, 7}, {{0, 5, 1.0f}});  // names no bone: left as it is
    ASSERT_NE(scene.animations.append(), nullptr);
    build();
    ASSERT_EQ(evaluatePose(scene, 0.0f), 1);
    expectVec(scene.skinnedVertices[0].position, 0, 1.5f, 0);
    expectVec(scene.skinnedVertices[1].position, 7, 7, 7);
}

TEST_F(PoseEvaluation, KeysMoveTheChildAndItsVertices) {
    addVertex({0, 2, 0}, {{0, 1, 1.0f}});
    ASSERT_NE(scene.animations.append(), nullptr);
    Animation& animation = scene.animations[0];
    ASSERT_EQ(animation.tracks.allocate(2), 1);
    // Keys are relative to the rest pose: the child moves one more unit along X.
    ASSERT_EQ(animation.tracks[1].positionKeys.allocate(1), 1);
    animation.tracks[1].positionKeys[0] = {0.0f, {1, 0, 0}};
    build();
    ASSERT_EQ(evaluatePose(scene, 0.0f), 1);
    expectVec(transformPoint({}, scene.bonePoses[1].poseWorld), 0, 3, 0);
    expectVec(scene.skinnedVertices[0].position, 0, 3, 0);
}

TEST_F(PoseEvaluation, ClearReleasesThePoseTables) {
    addVertex({0, 0, 0}, {});
    build();
    scene.clear();
    EXPECT_TRUE(scene.bonePoses.absent());
    EXPECT_TRUE(scene.skinnedVertices.absent());
}

}  // namespace
