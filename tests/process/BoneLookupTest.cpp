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

TEST_F(BoneLookupTest, FindsFirstBoneWithEqualPathAndNeverOneWithoutPath) {
    EXPECT_EQ(findBoneByPath(scene, "|a"), 0);
    EXPECT_EQ(findBoneByPath(scene, "|a|b"), 2);
    EXPECT_EQ(findBoneByPath(scene, "|a|"), -1);
    EXPECT_EQ(findBoneByPath(scene, nullptr), -1);
    EXPECT_EQ(findBoneByPath(scene, ""), -1);
    EXPECT_EQ(findBoneByPath(Scene(), "|a"), -1);
    scene.bones[1].fullPath.set("");
    EXPECT_EQ(findBoneByPath(scene, ""), 1);
}

TEST_F(BoneLookupTest, IndexGivesTheSameAnswersAsTheSearch) {
    scene.bones[1].fullPath.set("");
    BonePathIndex index;
    ASSERT_EQ(index.build(scene), 1);
    for (const char* path : {"|a", "|a|b", "", "|c"})
        EXPECT_EQ(index.find(path), findBoneByPath(scene, path)) << path;
    EXPECT_EQ(index.find(nullptr), -1);
}

TEST(EulerToQuaternionTest, ZeroAndQuarterTurnsAboutEachAxis) {
    const float h = std::sqrt(0.5f), quarter = 1.5707964f;
    const struct {
        Vec3 euler;
        Quat q;
    } cases[] = {{{0, 0, 0}, {0, 0, 0, 1}},
                 {{quarter, 0, 0}, {h, 0, 0, h}},
                 {{0, quarter, 0}, {0, h, 0, h}},
                 {{0, 0, quarter}, {0, 0, h, h}},
                 // x then y then z: a quarter turn about x and about z together
                 {{quarter, 0, quarter}, {0.5f, 0.5f, 0.5f, 0.5f}},
                 {{quarter, quarter, quarter}, {0, h, 0, h}}};
    for (const auto& c : cases) {
        const Quat q = eulerToQuaternion(c.euler.x, c.euler.y, c.euler.z);
        EXPECT_NEAR(q.x, c.q.x, 1e-6f);
        EXPECT_NEAR(q.y, c.q.y, 1e-6f);
        EXPECT_NEAR(q.z, c.q.z, 1e-6f);
        EXPECT_NEAR(q.w, c.q.w, 1e-6f);
    }
}

}  // namespace
