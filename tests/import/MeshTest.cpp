// The one host mesh of an import: its polygons, UV sets, colour set, skin cluster and weights.

#include <gtest/gtest.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFnIkJoint.h>
#include <maya/MFnMesh.h>
#include <maya/MIntArray.h>

#include <cmath>

#include "host/HostNames.h"
#include "import/ImportBuild.h"
#include "import/ImportTestSupport.h"
#include "process/PostLoad.h"

namespace {

using namespace import_test;

class MeshBuild : public HostTest {
  protected:
    // A strip of `quads` unit quads along X in mesh 0, vertices two per column.
    static void strip(Scene& scene, int quads) {
        if (scene.meshes.count() == 0) addMesh(scene);
        for (int c = 0; c <= quads; ++c) {
            addVertex(scene, float(c), 0, 0);
            addVertex(scene, float(c), 1, 0);
        }
        for (int q = 0; q < quads; ++q) addPolygon(scene, 0, -1, {2 * q, 2 * q + 2, 2 * q + 3, 2 * q + 1});
    }
};

TEST_F(MeshBuild, AllMeshRecordsBecomeOneMeshUnderTheRoot) {
    // Consistently wound, so that the host keeps every vertex as given.
    Scene scene;
    addMesh(scene);
    addMesh(scene);
    for (int i = 0; i < 12; ++i) addVertex(scene, float(i), float(i % 2), 0);
    addPolygon(scene, 0, -1, {0, 1, 2});
    addPolygon(scene, 0, -1, {2, 1, 3});
    addPolygon(scene, 1, -1, {4, 5, 6});
    addPolygon(scene, 1, -1, {6, 5, 7});
    addPolygon(scene, 1, -1, {8, 9, 10, 11});
    ASSERT_TRUE(importBuild(scene));
    EXPECT_EQ(childNames("qvxTransform"), std::vector<std::string>{"QVXMesh0"});
    EXPECT_EQ(typeOf("|qvxTransform|QVXMesh0"), "transform");
    const MDagPath shape = meshShape("|qvxTransform|QVXMesh0");
    MFnMesh meshFn(shape);
    EXPECT_EQ(meshFn.numPolygons(), 5);
    EXPECT_EQ(meshFn.numVertices(), 12);
    MFloatPointArray points;
    meshFn.getPoints(points);
    EXPECT_EQ(points[11].x, 11.0f);
    EXPECT_EQ(points[11].y, 1.0f);
    MIntArray last;
    meshFn.getPolygonVertices(4, last);
    EXPECT_EQ(last.length(), 4u);
    EXPECT_EQ(last[3], 11);
    EXPECT_TRUE(hostLines().empty());
}

TEST_F(MeshBuild, SecondImportsMeshIsNamedUnderItsOwnRoot) {
    Scene first;
    strip(first, 1);
    ASSERT_TRUE(importBuild(first));
    Scene second;
    strip(second, 1);
    ASSERT_TRUE(importBuild(second));
    EXPECT_TRUE(exists("|qvxTransform|QVXMesh0"));
    EXPECT_TRUE(exists("|qvxTransform1|QVXMesh0"));
}

TEST_F(MeshBuild, NoPolygonsMeansNoMesh) {
    Scene scene;
    addMesh(scene);
    addVertex(scene, 0, 0, 0);
    ASSERT_TRUE(importBuild(scene));
    EXPECT_TRUE(childNames("qvxTransform").empty());
}

TEST_F(MeshBuild, FirstUVSetFromTheFileAndSecondWithPlaceholders) {
    Scene scene;
    addMesh(scene);
    for (int i = 0; i < 4; ++i) addVertex(scene, float(i), float(i / 2), 0);
    addUVs(scene, {{0.25f, 0.75f}, {1.0f, 0.0f}});
    addPolygon(scene, 0, -1, {0, 1, 2}, {0, -1, 1});
    addPolygon(scene, 0, -1, {1, 3, 2}, {7, 1, 0});
    ASSERT_TRUE(importBuild(scene));
    const MDagPath shape = meshShape("|qvxTransform|QVXMesh0");
    // The host's default set was renamed rather than a third set added.
    EXPECT_EQ(uvSetNames(shape), (std::vector<std::string>{"uvSet1", "uvSet2"}));
    using UV = std::pair<float, float>;
    EXPECT_EQ(cornerUVs(shape, "uvSet1"),
              (std::vector<UV>{
                  {0.25f, 0.25f}, {0.0f, 1.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}, {1.0f, 1.0f}, {0.25f, 0.25f}}));
    EXPECT_EQ(cornerUVs(shape, "uvSet2"), std::vector<UV>(6, UV{0.0f, 1.0f}));
}

TEST_F(MeshBuild, VertexColoursGoToColorSet1) {
    Scene scene;
    strip(scene, 1);
    scene.vertices[2].color = {1.0f, 0.5f, 0.25f, 0.75f};
    ASSERT_TRUE(importBuild(scene));
    const MDagPath shape = meshShape("|qvxTransform|QVXMesh0");
    MFnMesh meshFn(shape);
    EXPECT_EQ(meshFn.currentColorSetName(), "colorSet1");
    const auto colours = vertexColours(shape);
    ASSERT_EQ(colours.size(), 4u);
    EXPECT_FLOAT_EQ(colours.at(2).g, 0.5f);
    EXPECT_FLOAT_EQ(colours.at(2).a, 0.75f);
    EXPECT_FLOAT_EQ(colours.at(0).r, 1.0f);
}

TEST_F(MeshBuild, SkinBindsTheWeightedBonesAndSetsTheirWeights) {
    Scene scene;
    addBone(scene, "hip", -1);
    addBone(scene, "spine", 0, {0, 1, 0});
    addBone(scene, "unused", 0);
    strip(scene, 2);
    for (int v = 0; v < 6; ++v) {
        addWeight(scene.vertices[v], 0, 0.25f);
        addWeight(scene.vertices[v], 1, 0.75f);
    }
    ASSERT_TRUE(importBuild(scene));
    const auto clusters = nodesOfType(MFn::kSkinClusterFilter);
    ASSERT_EQ(clusters.size(), 1u);
    EXPECT_EQ(influencePaths(clusters[0]),
              (std::vector<std::string>{"|qvxTransform|hip", "|qvxTransform|hip|spine"}));
    const WeightTable weights = skinWeights(clusters[0], meshShape("|qvxTransform|QVXMesh0"));
    ASSERT_EQ(weights.size(), 6u);
    for (const auto& row : weights) {
        EXPECT_NEAR(row.at("|qvxTransform|hip"), 0.25, 1e-6);
        EXPECT_NEAR(row.at("|qvxTransform|hip|spine"), 0.75, 1e-6);
    }
}

TEST_F(MeshBuild, NoWeightsMeansNoSkinCommand) {
    Scene scene;
    addBone(scene, "hip", -1);
    strip(scene, 1);
    addWeight(scene.vertices[0], 9, 1.0f);  // a bone that does not exist
    ASSERT_TRUE(importBuild(scene));
    EXPECT_TRUE(nodesOfType(MFn::kSkinClusterFilter).empty());
    for (const std::string& line : hostLines()) EXPECT_EQ(line.find("ERROR"), std::string::npos) << line;
}

TEST_F(MeshBuild, MergeBindsTheNewMeshToTheNewJoints) {
    // The scene already holds joints and a mesh of the same names, at the top and under an
    // earlier import's root.
    MFnIkJoint jointFn;
    jointFn.create();
    jointFn.setName("hip");
    Scene first;
    addBone(first, "hip", -1);
    strip(first, 1);
    for (int v = 0; v < 4; ++v) addWeight(first.vertices[v], 0, 1.0f);
    ASSERT_TRUE(importBuild(first));

    Scene second;
    addBone(second, "hip", -1);
    addBone(second, "knee", 0);
    strip(second, 1);
    for (int v = 0; v < 4; ++v) addWeight(second.vertices[v], v < 2 ? 0 : 1, 1.0f);
    ASSERT_TRUE(importBuild(second));
    for (const std::string& line : hostLines()) EXPECT_EQ(line.find("ERROR"), std::string::npos) << line;

    const auto clusters = nodesOfType(MFn::kSkinClusterFilter);
    ASSERT_EQ(clusters.size(), 2u);
    // The new joints, whatever numbers the host gave their names, are the ones bound.
    const std::vector<std::string> influences = influencePaths(clusters[1]);
    ASSERT_EQ(influences.size(), 2u);
    EXPECT_EQ(influences[0], fullPath(MFnDagNode(nodeNamed("|qvxTransform1")).child(0)));
    EXPECT_EQ(influences[1], influences[0] + "|knee");
    const WeightTable weights = skinWeights(clusters[1], meshShape("|qvxTransform1|QVXMesh0"));
    ASSERT_EQ(weights.size(), 4u);
    EXPECT_NEAR(weights[0].at(influences[0]), 1.0, 1e-6);
    EXPECT_NEAR(weights[3].at(influences[1]), 1.0, 1e-6);
    EXPECT_EQ(influencePaths(clusters[0]),
              std::vector<std::string>{fullPath(MFnDagNode(nodeNamed("|qvxTransform")).child(0))});
}

TEST_F(MeshBuild, NamesCannotPutSyntaxIntoTheSkinCommand) {
    Scene scene;
    const char* names[] = {"a`b", "c$d", "e#f", "g\"h", "i;j k", "l\\m"};
    addBone(scene, names[0], -1);
    for (int i = 1; i < 6; ++i) addBone(scene, names[i], 0);
    strip(scene, 3);
    for (int v = 0; v < 8; ++v) addWeight(scene.vertices[v], v % 6, 1.0f);
    // Built straight from the names, without the post-load clean-up, so that the quoting
    // alone must keep the command whole.
    BuildRequest request(scene);
    countBoneWeights(scene);
    ASSERT_TRUE(buildScene(request));
    for (const std::string& line : hostLines()) EXPECT_EQ(line.find("ERROR"), std::string::npos) << line;
    const auto clusters = nodesOfType(MFn::kSkinClusterFilter);
    ASSERT_EQ(clusters.size(), 1u);
    EXPECT_EQ(influencePaths(clusters[0]).size(), 6u);
}

TEST(CommandQuoting, KeepsEveryCharacterInsideOneLiteral) {
    EXPECT_EQ(quoteForCommand("|qvxTransform|hip"), "\"|qvxTransform|hip\"");
    EXPECT_EQ(quoteForCommand("a`b$c#d"), "\"a`b$c#d\"");
    EXPECT_EQ(quoteForCommand("x\"; delete -all; \""), "\"x\\\"; delete -all; \\\"\"");
    EXPECT_EQ(quoteForCommand("back\\slash\nline"), "\"back\\\\slash\\nline\"");
}

TEST_F(MeshBuild, CopiedVerticesTakeTheirSourcesColourAndWeights) {
    // Two mesh records keep a polygon that repeats a vertex, and the second quad is wound
    // against the first across their shared edge: the host copies vertices for both.
    Scene scene;
    addBone(scene, "left", -1, {-5, 0, 0});
    addBone(scene, "right", -1, {5, 0, 0});
    addMesh(scene);
    addMesh(scene);
    for (int c = 0; c < 3; ++c) {
        addVertex(scene, float(c), 0, 0);
        addVertex(scene, float(c), 1, 0);
    }
    addPolygon(scene, 0, -1, {0, 2, 3, 1});
    addPolygon(scene, 0, -1, {2, 3, 5, 4});  // flipped against the first
    addPolygon(scene, 1, -1, {0, 4, 5, 4});  // repeats vertex 4
    for (int v = 0; v < 6; ++v) {
        scene.vertices[v].color = {float(v) / 10.0f, 0.0f, 0.0f, 1.0f};
        addWeight(scene.vertices[v], 0, 0.3f);
        addWeight(scene.vertices[v], 1, 0.7f);
    }
    ASSERT_TRUE(importBuild(scene));
    const MDagPath shape = meshShape("|qvxTransform|QVXMesh0");
    MFnMesh meshFn(shape);
    const int hostVertices = meshFn.numVertices();
    // The host made copies, and the count warning says so.
    ASSERT_GT(hostVertices, 6);
    const std::string warning =
        "QVX: WARNING: fnMesh returned wrong vertex count: 6 != " + std::to_string(hostVertices) + ".";
    EXPECT_EQ(hostLines()[0], warning);
    // Each host vertex has the colour of the scene vertex at its position.
    MFloatPointArray points;
    meshFn.getPoints(points);
    const auto colours = vertexColours(shape);
    for (int h = 0; h < hostVertices; ++h) {
        const int source =
            int(std::lround(points[unsigned(h)].x)) * 2 + int(std::lround(points[unsigned(h)].y));
        ASSERT_TRUE(colours.count(h)) << h;
        EXPECT_NEAR(colours.at(h).r, float(source) / 10.0f, 1e-6) << h;
    }
    const auto clusters = nodesOfType(MFn::kSkinClusterFilter);
    ASSERT_EQ(clusters.size(), 1u);
    const WeightTable weights = skinWeights(clusters[0], shape);
    ASSERT_EQ(weights.size(), std::size_t(hostVertices));
    for (int h = 0; h < hostVertices; ++h) {
        EXPECT_NEAR(weights[std::size_t(h)].at("|qvxTransform|left"), 0.3, 1e-6) << h;
        EXPECT_NEAR(weights[std::size_t(h)].at("|qvxTransform|right"), 0.7, 1e-6) << h;
    }
}

// A weight that is not a finite non-negative number counts as no weight; the vertex keeps its
// other weights instead of the whole block falling back to the host's default bind.
TEST_F(MeshBuild, UnusableWeightsAreDroppedAndTheRestStillApply) {
    Scene scene;
    addBone(scene, "hip", -1);
    addBone(scene, "spine", 0, {0, 1, 0});
    strip(scene, 2);
    addWeight(scene.vertices[0], 0, std::nanf(""));
    addWeight(scene.vertices[0], 1, 0.5f);
    addWeight(scene.vertices[1], 0, -1.0f);
    addWeight(scene.vertices[1], 1, 1.0f);
    for (int v = 2; v < 6; ++v) {
        addWeight(scene.vertices[v], 0, 0.25f);
        addWeight(scene.vertices[v], 1, 0.75f);
    }
    ASSERT_TRUE(importBuild(scene));
    const auto clusters = nodesOfType(MFn::kSkinClusterFilter);
    ASSERT_EQ(clusters.size(), 1u);
    const WeightTable weights = skinWeights(clusters[0], meshShape("|qvxTransform|QVXMesh0"));
    ASSERT_EQ(weights.size(), 6u);
    for (int v = 0; v < 2; ++v) {
        const auto& row = weights[std::size_t(v)];
        EXPECT_NEAR(row.at("|qvxTransform|hip|spine"), 1.0, 1e-6) << v;
        EXPECT_TRUE(row.count("|qvxTransform|hip") == 0 || row.at("|qvxTransform|hip") == 0.0) << v;
    }
    EXPECT_NEAR(weights[5].at("|qvxTransform|hip"), 0.25, 1e-6);
}

TEST_F(MeshBuild, ManyInfluencesAreWeightedInBlocksWithTheSameResult) {
    // 300 influences over 4000 vertices is more than one block of weights.
    Scene scene;
    constexpr int kBones = 300;
    for (int b = 0; b < kBones; ++b) addBone(scene, ("j" + std::to_string(b)).c_str(), -1, {float(b), 0, 0});
    strip(scene, 1999);
    const int vertices = scene.vertices.count();
    ASSERT_EQ(vertices, 4000);
    for (int v = 0; v < vertices; ++v) {
        addWeight(scene.vertices[v], (v * 7) % kBones, 0.5f);
        addWeight(scene.vertices[v], (v * 7 + 1) % kBones, 0.5f);
    }
    ASSERT_TRUE(importBuild(scene));
    const auto clusters = nodesOfType(MFn::kSkinClusterFilter);
    ASSERT_EQ(clusters.size(), 1u);
    const WeightTable weights = skinWeights(clusters[0], meshShape("|qvxTransform|QVXMesh0"));
    ASSERT_EQ(weights.size(), std::size_t(vertices));
    for (int v = 0; v < vertices; v += 97) {
        const std::string a = "|qvxTransform|j" + std::to_string((v * 7) % kBones);
        const std::string b = "|qvxTransform|j" + std::to_string((v * 7 + 1) % kBones);
        EXPECT_EQ(weights[std::size_t(v)].size(), 2u) << v;
        EXPECT_NEAR(weights[std::size_t(v)].at(a), 0.5, 1e-6) << v;
        EXPECT_NEAR(weights[std::size_t(v)].at(b), 0.5, 1e-6) << v;
    }
}

TEST_F(MeshBuild, AnimatedSceneTakesThePoseAtTimeZero) {
    Scene scene;
    addBone(scene, "hip", -1);
    strip(scene, 1);
    for (int v = 0; v < 4; ++v) addWeight(scene.vertices[v], 0, 1.0f);
    Animation& animation = *scene.animations.append();
    ASSERT_EQ(animation.tracks.allocate(1), 1);
    ASSERT_EQ(animation.tracks[0].positionKeys.allocate(1), 1);
    animation.tracks[0].positionKeys[0] = {0.0f, {0, 0, 10}};
    ASSERT_TRUE(importBuild(scene));
    MFloatPointArray points;
    MFnMesh(meshShape("|qvxTransform|QVXMesh0")).getPoints(points);
    EXPECT_NEAR(points[0].z, 10.0f, 1e-5);
}

}  // namespace
