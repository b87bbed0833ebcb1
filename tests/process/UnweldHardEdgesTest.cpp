#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
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

// ---------------------------------------------------------------------------------------
// The pass against a literal transcription of the procedure (chained buckets, pairwise
// group joining, a copy for every vertex, then removal of unused vertices), on random
// meshes with flipped and non-manifold faces.

struct Reference {
    std::vector<std::int32_t> sourceOfVertex;
    Polys corners;
};

Reference referenceUnweld(const std::vector<Vec3>& positions, const Polys& polys, const Flags& cornerFlags) {
    struct Edge {
        std::int32_t a, b, face0 = -1, face1 = -1;
        std::uint32_t flags = 0;
        float length = 0;
    };
    const auto V = std::int32_t(positions.size());
    const auto P = std::int32_t(polys.size());
    std::vector<Edge> created;
    Polys bucket(V);
    auto find = [&](std::int32_t a, std::int32_t b) {
        for (std::int32_t id : bucket[a])
            if (created[id].b == b) return id;
        for (std::int32_t id : bucket[b])
            if (created[id].b == a) return id;
        return -1;
    };
    auto next = [&](std::int32_t p, std::size_t k) { return polys[p][(k + 1) % polys[p].size()]; };
    for (std::int32_t p = 0; p < P; ++p)
        for (std::size_t k = 0; k < polys[p].size(); ++k) {
            const std::int32_t a = polys[p][k], b = next(p, k);
            if (find(a, b) >= 0) continue;
            created.push_back({a, b});
            bucket[a].insert(bucket[a].begin(), std::int32_t(created.size() - 1));
        }
    std::vector<std::int32_t> order;
    for (const auto& ids : bucket) order.insert(order.end(), ids.begin(), ids.end());
    for (Edge& e : created) e.length = vecDistance(positions[e.a], positions[e.b]);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::int32_t x, std::int32_t y) { return created[x].length < created[y].length; });
    std::vector<std::int32_t> position(created.size());
    std::vector<Edge> table;
    for (std::size_t i = 0; i < order.size(); ++i) {
        position[order[i]] = std::int32_t(i);
        table.push_back(created[order[i]]);
    }
    Polys cornerEdge(P);
    for (std::int32_t p = 0; p < P; ++p)
        for (std::size_t k = 0; k < polys[p].size(); ++k) {
            const std::int32_t a = polys[p][k], b = next(p, k), e = position[find(a, b)];
            cornerEdge[p].push_back(e);
            Edge& edge = table[e];
            (edge.a == a && edge.b == b ? edge.face0 : edge.face1) = p;
            edge.flags |= cornerFlags[p][k];
        }
    std::vector<bool> marked(V, false);
    for (Edge& e : table) {
        e.flags &= ~0x10u;
        if ((e.flags & kHard) && e.face0 >= 0 && e.face1 >= 0) {
            marked[e.a] = marked[e.b] = true;
            e.flags |= 0x10u;
        }
    }
    auto addOnce = [](std::vector<std::int32_t>& list, std::int32_t p) {
        if (p >= 0 && std::find(list.begin(), list.end(), p) == list.end()) list.push_back(p);
    };
    Polys around(V);
    for (const Edge& e : table)
        for (std::int32_t v : {e.a, e.b}) {
            addOnce(around[v], e.face0);
            addOnce(around[v], e.face1);
        }
    auto joins = [&](const std::vector<std::int32_t>& gi, const std::vector<std::int32_t>& gj) {
        for (std::int32_t p : gi)
            for (std::int32_t q : gj)
                for (std::int32_t e : cornerEdge[p])
                    if (p != q && !(table[e].flags & 0x10u) && (table[e].face0 == q || table[e].face1 == q))
                        return true;
        return false;
    };
    std::vector<Polys> groups(V);
    Polys copyOf(V);
    Reference out;
    for (std::int32_t v = 0; v < V; ++v) out.sourceOfVertex.push_back(v);
    for (std::int32_t v = 0; v < V; ++v) {
        auto& g = groups[v];
        for (std::int32_t p : around[v]) g.push_back({p});
        for (bool joined = true; joined;) {
            joined = false;
            for (std::size_t i = 0; i < g.size(); ++i)
                for (std::size_t j = i + 1; j < g.size(); ++j) {
                    if (g[i].empty() || g[j].empty() || !joins(g[i], g[j])) continue;
                    for (std::int32_t p : g[j]) addOnce(g[i], p);
                    g[j].clear();
                    joined = true;
                }
        }
        for (auto& group : g) {
            copyOf[v].push_back(group.empty() ? -1 : std::int32_t(out.sourceOfVertex.size()));
            if (!group.empty()) out.sourceOfVertex.push_back(v);
        }
    }
    out.corners = polys;
    for (std::int32_t p = 0; p < P; ++p)
        for (std::int32_t& c : out.corners[p]) {
            if (!marked[c]) continue;
            std::int32_t found = -1;
            for (std::size_t gi = 0; gi < groups[c].size(); ++gi)
                if (std::find(groups[c][gi].begin(), groups[c][gi].end(), p) != groups[c][gi].end())
                    found = copyOf[c][gi];
            if (found < 0) break;
            c = found;
        }
    std::vector<std::int32_t> newIndex(out.sourceOfVertex.size(), -1), kept;
    for (const auto& poly : out.corners)
        for (std::int32_t c : poly) newIndex[c] = 0;
    for (std::size_t i = 0; i < newIndex.size(); ++i)
        if (newIndex[i] >= 0) {
            newIndex[i] = std::int32_t(kept.size());
            kept.push_back(out.sourceOfVertex[i]);
        }
    out.sourceOfVertex = kept;
    for (auto& poly : out.corners)
        for (std::int32_t& c : poly) c = newIndex[c];
    return out;
}

// Runs the pass on the mesh and compares which old vertex each vertex came from and every corner.
void expectSameAsReference(Scene& scene, const std::vector<Vec3>& positions, const Polys& polys,
                           const Flags& flags) {
    const Reference expected = referenceUnweld(positions, polys, flags);
    buildMesh(scene, positions, polys, flags);
    ASSERT_EQ(unweldHardEdges(scene), 1);
    EXPECT_EQ(sources(scene), expected.sourceOfVertex);
    for (std::size_t p = 0; p < polys.size(); ++p)
        EXPECT_EQ(cornersOf(scene, 0, std::int32_t(p)), expected.corners[p]) << p;
}

class UnweldAgainstReferenceTest : public ::testing::TestWithParam<int> {};

TEST_P(UnweldAgainstReferenceTest, GivesTheSameVerticesAndCorners) {
    std::mt19937 random(static_cast<std::uint32_t>(GetParam()));
    auto pick = [&](int n) { return std::int32_t(random() % std::uint32_t(n)); };
    const std::int32_t V = 6 + pick(8);
    const bool grid = GetParam() % 2 == 0;  // integer positions give many equal lengths
    std::vector<Vec3> positions;
    for (std::int32_t i = 0; i < V; ++i)
        positions.push_back(grid ? Vec3{float(pick(3)), float(pick(3)), 0}
                                 : Vec3{pick(1000) / 97.0f, pick(1000) / 89.0f, pick(1000) / 83.0f});
    Polys polys;
    Flags flags;
    for (std::int32_t p = 0, P = 3 + pick(12); p < P; ++p) {
        std::vector<std::int32_t> corners;
        std::vector<std::uint32_t> f;
        for (const std::int32_t n = 3 + pick(3); std::int32_t(corners.size()) < n;) {
            const std::int32_t v = pick(V);
            if (std::find(corners.begin(), corners.end(), v) != corners.end()) continue;
            corners.push_back(v);
            f.push_back(pick(5) < 2 ? kHard : kSmooth);
        }
        polys.push_back(corners);
        flags.push_back(f);
    }
    Scene scene;
    expectSameAsReference(scene, positions, polys, flags);
}

INSTANTIATE_TEST_SUITE_P(RandomMeshes, UnweldAgainstReferenceTest, ::testing::Range(0, 300));

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
    expectSameAsReference(scene, positions, polys, flags);
    EXPECT_EQ(scene.vertices.count(), kRim - 6 + 6 + 6 * 2);
    std::set<std::int32_t> centres;
    for (const Polygon& polygon : scene.meshes[0].polygons) centres.insert(polygon.vertexIndices()[0]);
    EXPECT_EQ(centres.size(), 6u);
}

}  // namespace
