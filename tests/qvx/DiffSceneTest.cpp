#include "DiffScene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "format/SampleScene.h"
#include "scene/Scene.h"

namespace {

class SceneComparison : public ::testing::Test {
  protected:
    void SetUp() override {
        samples::fillScene(left);
        samples::fillScene(right);
    }
    SceneDiff diff() const { return diffScenes(left, right, settings); }

    Scene left, right;
    DiffSettings settings;
};

TEST_F(SceneComparison, EqualScenesHaveNoDifference) {
    const SceneDiff d = diff();
    EXPECT_TRUE(d.equal());
    EXPECT_TRUE(d.first.empty());
}

TEST_F(SceneComparison, NamesTheRecordPathOfEachKindOfDifference) {
    struct Case {
        const char* what;
        void (*change)(Scene&);
        const char* path;
        const char* leftValue;
        const char* rightValue;
    };
    const Case cases[] = {
        {"text field", [](Scene& s) { s.bones[1].name.set("Chest"); }, "bones[1].name", "\"Spine\"",
         "\"Chest\""},
        {"integer field", [](Scene& s) { s.lights[0].kind = 3; }, "lights[0].kind", "2", "3"},
        {"float beyond tolerance", [](Scene& s) { s.vertices[2].position.y = 4.01f; },
         "vertices[2].position[1]", "4.0", "4.01"},
        {"nested record", [](Scene& s) { s.materials[0].layers[3]->subEntries[1].value2 = 5; },
         "materials[0].layers[3].subEntries[1].value2", "21", "5"},
        {"index in a mesh", [](Scene& s) { s.meshes[1].polygons[0].vertexIndices()[2] = 5; },
         "meshes[1].polygons[0].vertexIndices[2]", "4", "5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Scene changed;
        samples::fillScene(changed);
        c.change(changed);
        const SceneDiff d = diffScenes(left, changed, settings);
        ASSERT_EQ(d.count, 1u);
        EXPECT_EQ(d.first[0].path, c.path);
        EXPECT_EQ(d.first[0].left, c.leftValue);
        EXPECT_EQ(d.first[0].right.substr(0, std::string(c.rightValue).size()), c.rightValue);
    }
}

TEST_F(SceneComparison, FloatsWithinTheToleranceAreEqual) {
    right.vertices[2].position.y += 1e-6f;
    right.bones[0].rotation.w += 1e-6f;
    EXPECT_TRUE(diff().equal());
    settings.tolerance = 0;
    EXPECT_EQ(diff().count, 2u);
}

TEST_F(SceneComparison, ExtraRecordIsReportedByCountAndTheCommonPartStillCompared) {
    right.bones.append(2)->name.set("Jaw");
    right.bones[0].name.set("Root");
    const SceneDiff d = diff();
    // The declared count, the bone list's length and the first bone's name.
    ASSERT_GE(d.count, 2u);
    bool sawLength = false, sawName = false;
    for (const SceneDifference& x : d.first) {
        sawLength = sawLength || (x.path == "bones" && x.left == "3 items" && x.right == "4 items");
        sawName = sawName || (x.path == "bones[0].name" && x.right == "\"Root\"");
    }
    EXPECT_TRUE(sawLength);
    EXPECT_TRUE(sawName);
}

TEST_F(SceneComparison, CountsEveryDifferenceButKeepsOnlyTheFirst) {
    for (int i = 0; i < 6; ++i) {
        right.vertices[i].color.a = 0.5f;
    }
    settings.maxReported = 2;
    const SceneDiff d = diff();
    EXPECT_EQ(d.count, 6u);
    ASSERT_EQ(d.first.size(), 2u);
    EXPECT_EQ(d.first[0].path, "vertices[0].color[3]");
    EXPECT_EQ(d.first[1].path, "vertices[1].color[3]");
}

TEST_F(SceneComparison, TexturesBesideEachFileAreTheSameTexture) {
    left.materials[0].layers[0]->path.set("/a/scenes/k1.png");
    right.materials[0].layers[0]->path.set("/b/copy/k1.png");
    EXPECT_TRUE(diffScenes(left, right, settings, "/a/scenes/", "/b/copy/").equal());
    EXPECT_EQ(diffScenes(left, right, settings).count, 1u);
    // Only a path inside each file's own folder is taken as relative to it.
    right.materials[0].layers[0]->path.set("/b/other/k1.png");
    EXPECT_EQ(diffScenes(left, right, settings, "/a/scenes/", "/b/copy/").count, 1u);
}

TEST(NumberTolerance, IsAbsoluteNearZeroAndRelativeForLargeValues) {
    EXPECT_TRUE(numbersMatch(0.0, 1e-6, 1e-5));
    EXPECT_FALSE(numbersMatch(0.0, 1e-4, 1e-5));
    EXPECT_TRUE(numbersMatch(1e6, 1e6 + 5, 1e-5));
    EXPECT_FALSE(numbersMatch(1e6, 1e6 + 50, 1e-5));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(numbersMatch(nan, nan, 1e-5));
    EXPECT_FALSE(numbersMatch(nan, 0.0, 1e-5));
    EXPECT_TRUE(numbersMatch(inf, inf, 1e-5));
    EXPECT_FALSE(numbersMatch(inf, -inf, 1e-5));
    EXPECT_FALSE(numbersMatch(inf, 1e300, 1e-5));
}

}  // namespace
