#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "process/SceneBuilders.h"
#include "process/UnweldHardEdges.h"

using namespace process_test;
using ::testing::ElementsAre;

namespace {

constexpr std::uint32_t kHard = Polygon::kEdgeHard;
constexpr std::uint32_t kSmooth = Polygon::kEdgeSmooth;
using Polys = std::vector<std::vector<std::int32_t>>;
using Flags = std::vector<std::vector<std::uint32_t>>;

// Unit cube: vertex i sits at (i & 1, i >> 1 & 1, i >> 2 & 1); faces wound outwards.
const Polys kCubeFaces = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};

// One mesh over the given vertices; every vertex remembers its index in its colour's red channel.
void buildMesh(Scene& scene, const std::vector<Vec3>& positions, const Polys& polys, const Flags& flags) {
    ASSERT_EQ(scene.meshes.allocate(1), 1);
    ASSERT_EQ(scene.vertices.allocate(std::int32_t(positions.size())), 1);
    for (std::size_t i = 0; i < positions.size(); ++i) {
        scene.vertices[std::int32_t(i)].position = positions[i];
        scene.vertices[std::int32_t(i)].color.r = float(i);
    }
    for (std::size_t p = 0; p < polys.size(); ++p) {
        Polygon* polygon = scene.meshes[0].polygons.append();
        ASSERT_EQ(polygon->createCorners(std::int32_t(polys[p].size())), 1);
        for (std::size_t k = 0; k < polys[p].size(); ++k) {
            polygon->vertexIndices()[k] = polys[p][k];
            polygon->edgeFlags()[k] = flags[p][k];
        }
    }
}

std::vector<std::int32_t> sources(const Scene& scene) {
    std::vector<std::int32_t> out;
    for (const Vertex& vertex : scene.vertices) out.push_back(std::int32_t(vertex.color.r));
    return out;
}

class UnweldHardEdgesTest : public ::testing::Test {
  protected:
    Mesh& mesh() { return scene.meshes[0]; }
    void makeCube(std::uint32_t edgeFlag) {
        std::vector<Vec3> positions;
        for (int i = 0; i < 8; ++i) positions.push_back({float(i & 1), float(i >> 1 & 1), float(i >> 2 & 1)});
        buildMesh(scene, positions, kCubeFaces, Flags(6, std::vector<std::uint32_t>(4, edgeFlag)));
    }
    // Two unit quads side by side: 0 1 2 along x at y 0, 3 4 5 at y 1; the edge 1-4
    // between them is hard, every other edge smooth.
    void makeTwoQuads() {
        buildMesh(scene, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}},
                  {{0, 1, 4, 3}, {1, 2, 5, 4}},
                  {{kSmooth, kHard, kSmooth, kSmooth}, {kSmooth, kSmooth, kSmooth, kHard}});
    }
    bool bordersHard(std::int32_t p) { return (mesh().polygons[p].flags & kPolygonBordersHardEdge) != 0; }
    Scene scene;
};

TEST_F(UnweldHardEdgesTest, CubeWithAllEdgesHardGetsSeparateSides) {
    makeCube(kHard);
    EXPECT_EQ(unweldHardEdges(scene), 1);
    ASSERT_EQ(scene.vertices.count(), 24);
    const auto from = sources(scene);
    std::set<std::int32_t> seen;
    for (std::int32_t p = 0; p < 6; ++p) {
        for (std::int32_t k = 0; k < 4; ++k) {
            const std::int32_t v = mesh().polygons[p].vertexIndices()[k];
            EXPECT_TRUE(seen.insert(v).second) << "vertex " << v << " shared";
            EXPECT_EQ(from[v], kCubeFaces[p][k]);
        }
    }
    // Copies come vertex by vertex: three per cube corner.
    for (std::int32_t i = 0; i < 24; ++i) EXPECT_EQ(from[i], i / 3);
}

TEST_F(UnweldHardEdgesTest, CubeWithAllEdgesSmoothKeepsItsVerticesAndNamesEachEdgeTwice) {
    makeCube(kSmooth);
    scene.vertices[3].normal = {0, 0, 1};
    Vertex* unused = scene.vertices.append();  // no corner uses it: removed
    ASSERT_NE(unused, nullptr);
    unused->color.r = 99.0f;
    EXPECT_EQ(unweldHardEdges(scene), 1);
    EXPECT_EQ(sources(scene), (std::vector<std::int32_t>{0, 1, 2, 3, 4, 5, 6, 7}));
    std::vector<int> uses(12, 0);
    for (std::int32_t p = 0; p < 6; ++p) {
        EXPECT_EQ(cornersOf(scene, 0, p), kCubeFaces[p]);
        EXPECT_FALSE(bordersHard(p));
        // Normal indices name the edge leaving each corner; each edge has two faces.
        for (std::int32_t k = 0; k < 4; ++k) {
            const std::int32_t e = mesh().polygons[p].normalIndices()[k];
            ASSERT_TRUE(e >= 0 && e < 12) << e;
            ++uses[e];
        }
    }
    for (int u : uses) EXPECT_EQ(u, 2);
    // Only position, colour and weights survive the rebuild of the vertex array.
    EXPECT_EQ(scene.vertices[3].normal.z, 0.0f);
}

TEST_F(UnweldHardEdgesTest, HardEdgeAcrossTwoQuadsSplitsOnlyItsVertices) {
    makeTwoQuads();
    addWeight(scene.vertices[1], 0, 1.0f);
    scene.vertices[1].color.g = 0.5f;
    ASSERT_EQ(scene.triangles.allocate(3), 1);
    EXPECT_EQ(unweldHardEdges(scene), 1);
    EXPECT_EQ(sources(scene), (std::vector<std::int32_t>{0, 2, 3, 5, 1, 1, 4, 4}));
    EXPECT_THAT(cornersOf(scene, 0, 0), ElementsAre(0, 4, 6, 2));
    EXPECT_THAT(cornersOf(scene, 0, 1), ElementsAre(5, 1, 3, 7));
    for (std::int32_t copy : {4, 5}) {
        ASSERT_EQ(scene.vertices[copy].weightCount(), 1);
        EXPECT_EQ(scene.vertices[copy].weights[0].boneIndex, 0);
        EXPECT_EQ(scene.vertices[copy].color.g, 0.5f);
        EXPECT_EQ(scene.vertices[copy].position.x, 1.0f);
    }
    EXPECT_TRUE(bordersHard(0));
    EXPECT_TRUE(bordersHard(1));
    EXPECT_TRUE(scene.triangles.absent());  // the flat triangles no longer match
}

TEST_F(UnweldHardEdgesTest, HardBorderSplitsNothing) {
    buildMesh(scene, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{0, 1, 2, 3}},
              {{kHard, kHard, kHard, kHard}});
    EXPECT_EQ(unweldHardEdges(scene), 1);
    ASSERT_EQ(scene.vertices.count(), 4);
    EXPECT_THAT(cornersOf(scene, 0, 0), ElementsAre(0, 1, 2, 3));
    EXPECT_FALSE(bordersHard(0));
}

TEST_F(UnweldHardEdgesTest, CornerNamingNoVertexEndsAsNone) {
    makeTwoQuads();
    addPolygon(mesh(), {0, 3, 6, 7, -1});
    EXPECT_EQ(unweldHardEdges(scene), 1);
    EXPECT_EQ(scene.vertices.count(), 8);
    EXPECT_THAT(cornersOf(scene, 0, 2), ElementsAre(0, 2, -1, -1, -1));
    EXPECT_EQ(mesh().polygons[2].normalIndices()[1], -1);
}

TEST_F(UnweldHardEdgesTest, RefusesSceneWithoutVerticesOrWithTwoMeshes) {
    ASSERT_EQ(scene.meshes.allocate(1), 1);
    EXPECT_EQ(unweldHardEdges(scene), 0);
    Scene two;
    buildMesh(two, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}, {{0, 1, 2}}, {{kHard, kHard, kHard}});
    ASSERT_NE(two.meshes.append(), nullptr);
    EXPECT_EQ(unweldHardEdges(two), 0);
    EXPECT_EQ(two.vertices.count(), 3);
}

TEST_F(UnweldHardEdgesTest, MeshWithoutCornersKeepsItsVertices) {
    buildMesh(scene, {{0, 0, 0}, {1, 0, 0}}, {}, {});
    EXPECT_EQ(unweldHardEdges(scene), 1);
    EXPECT_EQ(scene.vertices.count(), 2);
}

// Faces that meet badly. The expected vertices come from a literal transcription of the
// procedure (chained edge buckets, pairwise group joining, a copy per group, then removal of
// unused vertices): an edge keeps two faces, so a flipped neighbour or a third face is a border.

TEST_F(UnweldHardEdgesTest, HardEdgeBetweenFacesOfTheSameWindingCountsAsABorder) {
    // The second quad runs along 1->4 in the same direction as the first.
    buildMesh(scene, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}},
              {{0, 1, 4, 3}, {1, 4, 5, 2}},
              {{kSmooth, kHard, kSmooth, kSmooth}, {kHard, kSmooth, kSmooth, kSmooth}});
    ASSERT_EQ(unweldHardEdges(scene), 1);
    EXPECT_EQ(sources(scene), (std::vector<std::int32_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_THAT(cornersOf(scene, 0, 1), ElementsAre(1, 4, 5, 2));
}

TEST_F(UnweldHardEdgesTest, ThreeFacesOnOneHardEdgeEachGetTheirOwnCopies) {
    buildMesh(scene, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}},
              {{0, 1, 2}, {1, 0, 3}, {0, 1, 4}},
              {{kSmooth, kSmooth, kSmooth}, {kHard, kSmooth, kSmooth}, {kSmooth, kSmooth, kSmooth}});
    ASSERT_EQ(unweldHardEdges(scene), 1);
    EXPECT_EQ(sources(scene), (std::vector<std::int32_t>{2, 3, 4, 0, 0, 0, 1, 1, 1}));
    EXPECT_THAT(cornersOf(scene, 0, 0), ElementsAre(5, 8, 0));
    EXPECT_THAT(cornersOf(scene, 0, 1), ElementsAre(7, 3, 1));
    EXPECT_THAT(cornersOf(scene, 0, 2), ElementsAre(4, 6, 2));
}

TEST(UnweldFanTest, CentreOfAFanSplitsIntoOneVertexPerSector) {
    // 60 triangles around vertex 0; every tenth spoke is hard, so the centre becomes six
    // vertices and each hard spoke's rim vertex two.
    constexpr std::int32_t kRim = 60;
    std::vector<Vec3> positions = {{0, 0, 0}};
    Polys polys;
    Flags flags;
    for (std::int32_t i = 0; i < kRim; ++i) {
        const float angle = 6.2831853f * float(i) / float(kRim);
        positions.push_back({std::cos(angle), std::sin(angle), 0});
        polys.push_back({0, 1 + i, 1 + (i + 1) % kRim});
        // corner 0 leaves along the spoke 0-a, corner 2 along the spoke b-0
        flags.push_back({i % 10 == 0 ? kHard : kSmooth, kSmooth, (i + 1) % 10 == 0 ? kHard : kSmooth});
    }
    Scene scene;
    buildMesh(scene, positions, polys, flags);
    ASSERT_EQ(unweldHardEdges(scene), 1);
    EXPECT_EQ(scene.vertices.count(), kRim - 6 + 6 + 6 * 2);
    std::set<std::int32_t> centres;
    for (const Polygon& polygon : scene.meshes[0].polygons) centres.insert(polygon.vertexIndices()[0]);
    EXPECT_EQ(centres.size(), 6u);
}

}  // namespace
