#include <gtest/gtest.h>
#include <maya/MColor.h>
#include <maya/MColorArray.h>
#include <maya/MFnMesh.h>
#include <maya/MIntArray.h>
#include <maya/MString.h>

#include <cmath>
#include <string>
#include <vector>

#include "ExportTestSupport.h"
#include "export/MeshGatherer.h"
#include "export/SceneWalk.h"
#include "fixtures/SceneFixtures.h"

namespace {

using namespace qvx::exporttest;
using namespace qvx::fixtures;

using MeshGatherer = HostSceneTest;

std::vector<int> corners(const std::int32_t* values, int count) {
    return std::vector<int>(values, values + count);
}

TEST_F(MeshGatherer, CubePointsAreInWorldSpace) {
    CubeScene cube;
    ASSERT_TRUE(cubeUnderGroup(cube));
    const Mesh& mesh = gatherOnlyMesh();
    ASSERT_EQ(mesh.vertices.count(), 8);
    // (-0.5, -0.5, 0.5) turned 45 degrees about Y, moved by (2, 0, 0) and the group's (0, 1, 0).
    const Vec3& p = mesh.vertices[0].position;
    EXPECT_NEAR(p.x, 2.0f, 1e-5);
    EXPECT_NEAR(p.y, 0.5f, 1e-5);
    EXPECT_NEAR(p.z, std::sqrt(0.5f), 1e-5);
    ASSERT_EQ(mesh.polygons.count(), 6);
    for (const Polygon& polygon : mesh.polygons) EXPECT_EQ(polygon.cornerCount(), 4);
    EXPECT_EQ(corners(mesh.polygons[0].vertexIndices(), 4), (std::vector<int>{0, 1, 3, 2}));
}

TEST_F(MeshGatherer, CubeUVsAreFlippedInV) {
    CubeScene cube;
    ASSERT_TRUE(cubeUnderGroup(cube));
    const Mesh& mesh = gatherOnlyMesh();
    ASSERT_EQ(mesh.uvSets.count(), 2);
    ASSERT_EQ(mesh.uvSets[0].coordCount(), 14);
    EXPECT_EQ(mesh.uvSets[1].coordCount(), 0);
    EXPECT_FLOAT_EQ(mesh.uvSets[0].coords[2].u, 0.375f);
    EXPECT_FLOAT_EQ(mesh.uvSets[0].coords[2].v, 0.75f);  // host v 0.25
    EXPECT_EQ(corners(mesh.polygons[3].uvs(0).uvIndices, 4), (std::vector<int>{6, 7, 9, 8}));
    EXPECT_EQ(corners(mesh.polygons[3].uvs(1).uvIndices, 4), (std::vector<int>{-1, -1, -1, -1}));
}

TEST_F(MeshGatherer, EdgeFlagsDescribeTheEdgeLeavingEachCorner) {
    CubeScene cube;
    ASSERT_TRUE(cubeUnderGroup(cube));
    const Mesh& mesh = gatherOnlyMesh();
    // Face 0 runs 0, 1, 3, 2: the edges 1-3 and 2-0 are vertical (smooth), the others hard.
    const std::uint32_t* flags = mesh.polygons[0].edgeFlags();
    EXPECT_EQ(flags[0], Polygon::kEdgeHard);
    EXPECT_EQ(flags[1], Polygon::kEdgeSmooth);
    EXPECT_EQ(flags[2], Polygon::kEdgeHard);
    EXPECT_EQ(flags[3], Polygon::kEdgeSmooth);
}

TEST_F(MeshGatherer, InstancesGiveOneMeshPerPathWithItsOwnPlacement) {
    InstancedScene instanced;
    ASSERT_TRUE(instancedMesh(instanced));
    ASSERT_TRUE(gatherScene(scene_, true));
    ASSERT_EQ(scene_.meshes.count(), 2);
    EXPECT_EQ(std::string(scene_.meshes[0].path.c_str()), instanced.mesh.shapePath.fullPathName().asChar());
    EXPECT_EQ(std::string(scene_.meshes[1].path.c_str()), instanced.secondPath.fullPathName().asChar());
    // Point 0 of the strip is the origin: x 5 under the first transform, z -5 under the second.
    EXPECT_NEAR(scene_.meshes[0].vertices[0].position.x, 5.0f, 1e-6);
    EXPECT_NEAR(scene_.meshes[0].vertices[0].position.z, 0.0f, 1e-6);
    EXPECT_NEAR(scene_.meshes[1].vertices[0].position.x, 0.0f, 1e-6);
    EXPECT_NEAR(scene_.meshes[1].vertices[0].position.z, -5.0f, 1e-6);
}

TEST_F(MeshGatherer, KeepsTheFirstTwoUVSetsAndTheFirstColourSet) {
    MeshBuild mesh;
    ASSERT_TRUE(meshWithUVAndColorSets(mesh));
    const Mesh& gathered = gatherOnlyMesh();
    ASSERT_EQ(gathered.uvSets.count(), 2);
    ASSERT_EQ(gathered.uvSets[1].coordCount(), 6);
    // uvSet1: u = 0.1 + 0.25 (i % 3), v = 0.2 + 0.5 (i / 3), v flipped.
    EXPECT_NEAR(gathered.uvSets[1].coords[4].u, 0.35f, 1e-6);
    EXPECT_NEAR(gathered.uvSets[1].coords[4].v, 1.0f - 0.7f, 1e-6);
    EXPECT_GE(gathered.polygons[0].uvs(1).uvIndices[0], 0);
    // colorSet1 holds (i / 5, 1 - i / 5, 0, 1) per vertex; colorSet2 is grey.
    ASSERT_GT(gathered.colors.count(), 0);
    for (const Color& c : gathered.colors) EXPECT_NE(c.r, 0.5f);
    for (int v = 0; v < gathered.vertices.count(); ++v) {
        EXPECT_NEAR(gathered.vertices[v].color.r, v / 5.0f, 1e-6) << v;
        EXPECT_NEAR(gathered.vertices[v].color.g, 1.0f - v / 5.0f, 1e-6) << v;
    }
}

TEST_F(MeshGatherer, PerFaceColoursGiveSharedVerticesTheFirstFacesColour) {
    MeshBuild strip;
    ASSERT_TRUE(buildMesh({0, 0, 0, 1, 0, 0, 2, 0, 0, 0, 0, -1, 1, 0, -1, 2, 0, -1}, {4, 4},
                          {0, 1, 4, 3, 1, 2, 5, 4}, "strip", "stripShape", strip));
    MFnMesh fn(strip.shapePath);
    MString set("colorSet1");
    ASSERT_TRUE(fn.createColorSet(set));
    ASSERT_TRUE(fn.setCurrentColorSetName(set));
    MColorArray colors;
    colors.append(1.0f, 0.0f, 0.0f, 1.0f);
    colors.append(0.0f, 0.0f, 1.0f, 0.5f);
    ASSERT_TRUE(fn.setColors(colors, &set));
    MIntArray ids;
    for (int id : {0, 0, 0, 0, 1, 1, 1, 1}) ids.append(id);
    ASSERT_TRUE(fn.assignColors(ids, &set));

    const Mesh& mesh = gatherOnlyMesh();
    ASSERT_EQ(mesh.colors.count(), 2);
    const Color red = {1.0f, 0.0f, 0.0f, 1.0f};
    const Color blue = {0.0f, 0.0f, 1.0f, 0.5f};
    auto same = [](const Color& a, const Color& b) {
        return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
    };
    // Points 1 and 4 lie on both faces and keep the first face's colour.
    for (int v : {0, 1, 3, 4}) EXPECT_TRUE(same(mesh.vertices[v].color, red)) << v;
    for (int v : {2, 5}) EXPECT_TRUE(same(mesh.vertices[v].color, blue)) << v;
}

TEST_F(MeshGatherer, UncolouredMeshKeepsWhiteVertices) {
    MeshBuild plane;
    ASSERT_TRUE(buildPlane("plane", plane));
    const Mesh& mesh = gatherOnlyMesh();
    EXPECT_EQ(mesh.colors.count(), 0);
    for (const Vertex& v : mesh.vertices) EXPECT_EQ(v.color.r, 1.0f);
    EXPECT_EQ(corners(mesh.polygons[0].colorIndices(), 4), (std::vector<int>{-1, -1, -1, -1}));
}

TEST_F(MeshGatherer, ConcavePolygonIsNotTurnedAround) {
    // An L-shaped hexagon in the XZ plane whose first corner is its reflex corner: the
    // first, second and last corners alone would suggest the opposite facing.
    MeshBuild shape;
    ASSERT_TRUE(buildMesh({1, 0, -1, 1, 0, -2, 0, 0, -2, 0, 0, 0, 2, 0, 0, 2, 0, -1}, {6}, {0, 1, 2, 3, 4, 5},
                          "ell", "ellShape", shape));
    const Mesh& mesh = gatherOnlyMesh(true);
    EXPECT_EQ(corners(mesh.polygons[0].vertexIndices(), 6), (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

// Polygons built by hand: what the flipped-face fix does with a polygon and a host normal.
class FlippedFaces : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(vertices_.allocate(4));
        const Vec3 square[4] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};  // faces +Z
        for (int i = 0; i < 4; ++i) vertices_[i].position = square[i];
        ASSERT_TRUE(polygon_.createCorners(4));
        for (int k = 0; k < 4; ++k) {
            polygon_.vertexIndices()[k] = k;
            polygon_.colorIndices()[k] = 10 + k;
            polygon_.uvs(0).uvIndices[k] = 20 + k;
            polygon_.uvs(1).uvIndices[k] = 30 + k;
        }
        // Edge 0-1 hard, the others smooth.
        polygon_.edgeFlags()[0] = Polygon::kEdgeHard;
        for (int k = 1; k < 4; ++k) polygon_.edgeFlags()[k] = Polygon::kEdgeSmooth;
    }
    VertexArray vertices_;
    Polygon polygon_;
};

TEST_F(FlippedFaces, PolygonFacingAwayFromTheHostNormalIsReversedWhole) {
    EXPECT_TRUE(fixFlippedPolygon(polygon_, vertices_, {0.0f, 0.0f, -1.0f}));
    EXPECT_EQ(corners(polygon_.vertexIndices(), 4), (std::vector<int>{3, 2, 1, 0}));
    EXPECT_EQ(corners(polygon_.colorIndices(), 4), (std::vector<int>{13, 12, 11, 10}));
    EXPECT_EQ(corners(polygon_.uvs(0).uvIndices, 4), (std::vector<int>{23, 22, 21, 20}));
    EXPECT_EQ(corners(polygon_.uvs(1).uvIndices, 4), (std::vector<int>{33, 32, 31, 30}));
    // The hard edge 0-1 now leaves the corner of vertex 1 (corner 2).
    const std::uint32_t* flags = polygon_.edgeFlags();
    EXPECT_EQ(flags[2], Polygon::kEdgeHard);
    EXPECT_EQ(flags[0], Polygon::kEdgeSmooth);
    EXPECT_EQ(flags[1], Polygon::kEdgeSmooth);
    EXPECT_EQ(flags[3], Polygon::kEdgeSmooth);
}

TEST_F(FlippedFaces, PolygonFacingTheHostNormalStays) {
    EXPECT_FALSE(fixFlippedPolygon(polygon_, vertices_, {0.0f, 0.0f, 1.0f}));
    EXPECT_EQ(corners(polygon_.vertexIndices(), 4), (std::vector<int>{0, 1, 2, 3}));
}

TEST_F(FlippedFaces, TwoCornerPolygonHasNoWindingAndStays) {
    Polygon line;
    ASSERT_TRUE(line.createCorners(2));
    ASSERT_EQ(line.cornerCount(), 3);
    line.vertexIndices()[0] = 0;
    line.vertexIndices()[1] = 1;
    const Vec3 n = windingNormal(line, vertices_);
    EXPECT_EQ(n.x, 0.0f);
    EXPECT_EQ(n.z, 0.0f);
    EXPECT_FALSE(fixFlippedPolygon(line, vertices_, {0.0f, 0.0f, -1.0f}));
    EXPECT_EQ(corners(line.vertexIndices(), 3), (std::vector<int>{0, 1, -1}));
}

TEST_F(FlippedFaces, DegeneratePositionsGiveNoNumbers) {
    const float nan = std::nanf("");
    vertices_[2].position = {nan, nan, nan};
    const Vec3 n = windingNormal(polygon_, vertices_);
    EXPECT_FALSE(std::isnan(n.x) || std::isnan(n.y) || std::isnan(n.z));
}

}  // namespace
