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

// Unit cube: vertex i sits at (i & 1, i >> 1 & 1, i >> 2 & 1); faces wound outwards.
const std::vector<std::vector<std::int32_t>> kCubeFaces = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                                           {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};

class UnweldHardEdgesTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(scene.meshes.allocate(1), 1); }
    Mesh& mesh() { return scene.meshes[0]; }

    // Every vertex remembers where it came from in its colour's red channel.
    void tagVertices() {
        for (std::int32_t i = 0; i < scene.vertices.count(); ++i) scene.vertices[i].color.r = float(i);
    }
    std::int32_t sourceOf(std::int32_t vertex) { return std::int32_t(scene.vertices[vertex].color.r); }

    void makeCube(std::uint32_t edgeFlag) {
        ASSERT_EQ(scene.vertices.allocate(8), 1);
        for (int i = 0; i < 8; ++i)
            scene.vertices[i].position = {float(i & 1), float(i >> 1 & 1), float(i >> 2 & 1)};
        tagVertices();
        for (const auto& face : kCubeFaces) {
            Polygon* polygon = mesh().polygons.append();
            ASSERT_EQ(polygon->createCorners(4), 1);
            for (int k = 0; k < 4; ++k) {
                polygon->vertexIndices()[k] = face[std::size_t(k)];
                polygon->edgeFlags()[k] = edgeFlag;
            }
        }
    }

    // Two unit quads side by side: 0 1 2 along x at y 0, 3 4 5 at y 1; the edge 1-4
    // between them is hard, every other edge smooth.
    void makeTwoQuads() {
        setPositions(scene.vertices, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}});
        tagVertices();
        addPolygon(mesh(), {0, 1, 4, 3}, kSmooth).edgeFlags()[1] = kHard;
        addPolygon(mesh(), {1, 2, 5, 4}, kSmooth).edgeFlags()[3] = kHard;
    }

    Scene scene;
};

TEST_F(UnweldHardEdgesTest, CubeWithAllEdgesHardGetsSeparateSides) {
    makeCube(kHard);
    EXPECT_EQ(unweldHardEdges(scene), 1);
    ASSERT_EQ(scene.vertices.count(), 24);
    std::set<std::int32_t> seen;
    for (std::int32_t p = 0; p < 6; ++p) {
        for (std::int32_t k = 0; k < 4; ++k) {
            const std::int32_t v = mesh().polygons[p].vertexIndices()[k];
            EXPECT_TRUE(seen.insert(v).second) << "vertex " << v << " shared";
            EXPECT_EQ(sourceOf(v), kCubeFaces[std::size_t(p)][std::size_t(k)]);
        }
    }
    // Copies come vertex by vertex: three per cube corner.
    for (std::int32_t i = 0; i < 24; ++i) EXPECT_EQ(sourceOf(i), i / 3);
}

TEST_F(UnweldHardEdgesTest, CubeWithAllEdgesSmoothKeepsItsVertices) {
    makeCube(kSmooth);
    scene.vertices[3].normal = {0, 0, 1};
    EXPECT_EQ(unweldHardEdges(scene), 1);
    ASSERT_EQ(scene.vertices.count(), 8);
    for (std::int32_t i = 0; i < 8; ++i) EXPECT_EQ(sourceOf(i), i);
    for (std::int32_t p = 0; p < 6; ++p) {
        EXPECT_EQ(cornersOf(scene, 0, p), kCubeFaces[std::size_t(p)]);
        EXPECT_EQ(mesh().polygons[p].flags & kPolygonBordersHardEdge, 0u);
    }
    // Only position, colour and weights survive the rebuild of the vertex array.
    EXPECT_EQ(scene.vertices[3].normal.z, 0.0f);
}

TEST_F(UnweldHardEdgesTest, HardEdgeAcrossTwoQuadsSplitsOnlyItsVertices) {
    makeTwoQuads();
    addWeight(scene.vertices[1], 0, 1.0f);
    scene.vertices[1].color.g = 0.5f;
    EXPECT_EQ(unweldHardEdges(scene), 1);
    ASSERT_EQ(scene.vertices.count(), 8);
    const std::vector<std::int32_t> sources = {0, 2, 3, 5, 1, 1, 4, 4};
    for (std::int32_t i = 0; i < 8; ++i) EXPECT_EQ(sourceOf(i), sources[std::size_t(i)]) << i;
    EXPECT_THAT(cornersOf(scene, 0, 0), ElementsAre(0, 4, 6, 2));
    EXPECT_THAT(cornersOf(scene, 0, 1), ElementsAre(5, 1, 3, 7));
    for (std::int32_t copy : {4, 5}) {
        ASSERT_EQ(scene.vertices[copy].weightCount(), 1);
        EXPECT_EQ(scene.vertices[copy].weights[0].boneIndex, 0);
        EXPECT_EQ(scene.vertices[copy].color.g, 0.5f);
        EXPECT_EQ(scene.vertices[copy].position.x, 1.0f);
    }
    EXPECT_NE(mesh().polygons[0].flags & kPolygonBordersHardEdge, 0u);
    EXPECT_NE(mesh().polygons[1].flags & kPolygonBordersHardEdge, 0u);
}

TEST_F(UnweldHardEdgesTest, HardBorderSplitsNothing) {
    setPositions(scene.vertices, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
    tagVertices();
    addPolygon(mesh(), {0, 1, 2, 3}, kHard);
    EXPECT_EQ(unweldHardEdges(scene), 1);
    ASSERT_EQ(scene.vertices.count(), 4);
    EXPECT_THAT(cornersOf(scene, 0, 0), ElementsAre(0, 1, 2, 3));
    EXPECT_EQ(mesh().polygons[0].flags & kPolygonBordersHardEdge, 0u);
}

TEST_F(UnweldHardEdgesTest, NormalIndicesNameTheEdgeLeavingEachCorner) {
    makeCube(kSmooth);
    unweldHardEdges(scene);
    std::vector<int> uses(12, 0);
    for (const Polygon& polygon : mesh().polygons) {
        for (std::int32_t k = 0; k < 4; ++k) {
            const std::int32_t e = polygon.normalIndices()[k];
            ASSERT_GE(e, 0);
            ASSERT_LT(e, 12);
            ++uses[std::size_t(e)];
        }
    }
    for (int u : uses) EXPECT_EQ(u, 2);
}

TEST_F(UnweldHardEdgesTest, RemovesVerticesNoCornerUses) {
    makeCube(kSmooth);
    Vertex* extra = scene.vertices.append();
    ASSERT_NE(extra, nullptr);
    extra->color.r = 99.0f;
    EXPECT_EQ(unweldHardEdges(scene), 1);
    EXPECT_EQ(scene.vertices.count(), 8);
}

TEST_F(UnweldHardEdgesTest, CornerNamingNoVertexEndsAsNone) {
    makeTwoQuads();
    addPolygon(mesh(), {0, 3, 6, 7, -1});
    EXPECT_EQ(unweldHardEdges(scene), 1);
    EXPECT_EQ(scene.vertices.count(), 8);
    EXPECT_THAT(cornersOf(scene, 0, 2), ElementsAre(0, 2, -1, -1, -1));
    EXPECT_EQ(mesh().polygons[2].normalIndices()[1], -1);
}

TEST_F(UnweldHardEdgesTest, DropsTheFlatTriangles) {
    makeTwoQuads();
    ASSERT_EQ(scene.triangles.allocate(3), 1);
    unweldHardEdges(scene);
    EXPECT_TRUE(scene.triangles.absent());
}

TEST_F(UnweldHardEdgesTest, RefusesSceneWithoutVerticesOrWithTwoMeshes) {
    EXPECT_EQ(unweldHardEdges(scene), 0);
    makeTwoQuads();
    ASSERT_NE(scene.meshes.append(), nullptr);
    EXPECT_EQ(unweldHardEdges(scene), 0);
    EXPECT_EQ(scene.vertices.count(), 6);
}

TEST_F(UnweldHardEdgesTest, MeshWithoutCornersKeepsItsVertices) {
    setPositions(scene.vertices, {{0, 0, 0}, {1, 0, 0}});
    EXPECT_EQ(unweldHardEdges(scene), 1);
    EXPECT_EQ(scene.vertices.count(), 2);
}

// ---------------------------------------------------------------------------------------
// The pass against a literal transcription of the procedure (chained buckets, pairwise
// group joining, a copy for every vertex, then removal of unused vertices), on random
// meshes with flipped and non-manifold faces.

struct Reference {
    std::vector<std::int32_t> sourceOfVertex;
    std::vector<std::vector<std::int32_t>> corners;
};

Reference referenceUnweld(const std::vector<Vec3>& positions,
                          const std::vector<std::vector<std::int32_t>>& polys,
                          const std::vector<std::vector<std::uint32_t>>& cornerFlags) {
    struct Edge {
        std::int32_t a, b, face0 = -1, face1 = -1;
        std::uint32_t flags = 0;
        float length = 0;
    };
    const auto V = std::int32_t(positions.size());
    const auto P = std::int32_t(polys.size());
    std::vector<Edge> created;
    std::vector<std::vector<std::int32_t>> bucket(static_cast<std::size_t>(V));
    auto find = [&](std::int32_t a, std::int32_t b) {
        for (std::int32_t id : bucket[std::size_t(a)])
            if (created[std::size_t(id)].b == b) return id;
        for (std::int32_t id : bucket[std::size_t(b)])
            if (created[std::size_t(id)].b == a) return id;
        return -1;
    };
    auto next = [&](std::int32_t p, std::size_t k) {
        return polys[std::size_t(p)][(k + 1) % polys[std::size_t(p)].size()];
    };
    for (std::int32_t p = 0; p < P; ++p) {
        for (std::size_t k = 0; k < polys[std::size_t(p)].size(); ++k) {
            const std::int32_t a = polys[std::size_t(p)][k], b = next(p, k);
            if (find(a, b) >= 0) continue;
            Edge e;
            e.a = a;
            e.b = b;
            created.push_back(e);
            bucket[std::size_t(a)].insert(bucket[std::size_t(a)].begin(), std::int32_t(created.size() - 1));
        }
    }
    std::vector<std::int32_t> order;
    for (std::int32_t v = 0; v < V; ++v)
        for (std::int32_t id : bucket[std::size_t(v)]) order.push_back(id);
    for (Edge& e : created) e.length = vecDistance(positions[std::size_t(e.a)], positions[std::size_t(e.b)]);
    std::stable_sort(order.begin(), order.end(), [&](std::int32_t x, std::int32_t y) {
        return created[std::size_t(x)].length < created[std::size_t(y)].length;
    });
    std::vector<std::int32_t> position(created.size());
    std::vector<Edge> table;
    for (std::size_t i = 0; i < order.size(); ++i) {
        position[std::size_t(order[i])] = std::int32_t(i);
        table.push_back(created[std::size_t(order[i])]);
    }
    std::vector<std::vector<std::int32_t>> cornerEdge(static_cast<std::size_t>(P));
    for (std::int32_t p = 0; p < P; ++p) {
        for (std::size_t k = 0; k < polys[std::size_t(p)].size(); ++k) {
            const std::int32_t a = polys[std::size_t(p)][k], b = next(p, k);
            const std::int32_t e = position[std::size_t(find(a, b))];
            cornerEdge[std::size_t(p)].push_back(e);
            Edge& edge = table[std::size_t(e)];
            (edge.a == a && edge.b == b ? edge.face0 : edge.face1) = p;
            edge.flags |= cornerFlags[std::size_t(p)][k];
        }
    }
    std::vector<bool> marked(std::size_t(V), false);
    for (Edge& e : table) {
        e.flags &= ~0x10u;
        if ((e.flags & kHard) && e.face0 >= 0 && e.face1 >= 0) {
            marked[std::size_t(e.a)] = marked[std::size_t(e.b)] = true;
            e.flags |= 0x10u;
        }
    }
    std::vector<std::vector<std::int32_t>> around(static_cast<std::size_t>(V));
    auto addOnce = [](std::vector<std::int32_t>& list, std::int32_t p) {
        if (p >= 0 && std::find(list.begin(), list.end(), p) == list.end()) list.push_back(p);
    };
    for (const Edge& e : table) {
        for (std::int32_t v : {e.a, e.b}) {
            addOnce(around[std::size_t(v)], e.face0);
            addOnce(around[std::size_t(v)], e.face1);
        }
    }
    auto joins = [&](const std::vector<std::int32_t>& gi, const std::vector<std::int32_t>& gj) {
        for (std::int32_t p : gi)
            for (std::int32_t q : gj) {
                if (p == q) continue;
                for (std::int32_t e : cornerEdge[std::size_t(p)]) {
                    const Edge& edge = table[std::size_t(e)];
                    if (!(edge.flags & 0x10u) && (edge.face0 == q || edge.face1 == q)) return true;
                }
            }
        return false;
    };
    std::vector<std::vector<std::vector<std::int32_t>>> groups(static_cast<std::size_t>(V));
    std::vector<std::vector<std::int32_t>> copyOf(static_cast<std::size_t>(V));
    Reference out;
    for (std::int32_t v = 0; v < V; ++v) out.sourceOfVertex.push_back(v);
    for (std::int32_t v = 0; v < V; ++v) {
        auto& g = groups[std::size_t(v)];
        for (std::int32_t p : around[std::size_t(v)]) g.push_back({p});
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
            copyOf[std::size_t(v)].push_back(group.empty() ? -1 : std::int32_t(out.sourceOfVertex.size()));
            if (!group.empty()) out.sourceOfVertex.push_back(v);
        }
    }
    out.corners = polys;
    for (std::int32_t p = 0; p < P; ++p) {
        for (std::int32_t& c : out.corners[std::size_t(p)]) {
            const std::int32_t v = c;
            if (!marked[std::size_t(v)]) continue;
            std::int32_t found = -1;
            for (std::size_t gi = 0; gi < groups[std::size_t(v)].size(); ++gi) {
                const auto& group = groups[std::size_t(v)][gi];
                if (std::find(group.begin(), group.end(), p) != group.end())
                    found = copyOf[std::size_t(v)][gi];
            }
            if (found < 0) break;
            c = found;
        }
    }
    std::vector<std::int32_t> newIndex(out.sourceOfVertex.size(), -1);
    for (const auto& poly : out.corners)
        for (std::int32_t c : poly) newIndex[std::size_t(c)] = 0;
    std::vector<std::int32_t> kept;
    for (std::size_t i = 0; i < newIndex.size(); ++i) {
        if (newIndex[i] < 0) continue;
        newIndex[i] = std::int32_t(kept.size());
        kept.push_back(out.sourceOfVertex[i]);
    }
    out.sourceOfVertex = kept;
    for (auto& poly : out.corners)
        for (std::int32_t& c : poly) c = newIndex[std::size_t(c)];
    return out;
}

// Runs the pass on the mesh and compares with the reference: which old vertex each
// vertex came from (tracked through the colour) and every corner.
void expectSameAsReference(const std::vector<Vec3>& positions,
                           const std::vector<std::vector<std::int32_t>>& polys,
                           const std::vector<std::vector<std::uint32_t>>& flags) {
    const Reference expected = referenceUnweld(positions, polys, flags);
    const auto V = std::int32_t(positions.size());
    const auto P = std::int32_t(polys.size());
    Scene scene;
    ASSERT_EQ(scene.meshes.allocate(1), 1);
    ASSERT_EQ(scene.vertices.allocate(V), 1);
    for (std::int32_t i = 0; i < V; ++i) {
        scene.vertices[i].position = positions[std::size_t(i)];
        scene.vertices[i].color.r = float(i);
    }
    for (std::int32_t p = 0; p < P; ++p) {
        Polygon* polygon = scene.meshes[0].polygons.append();
        ASSERT_EQ(polygon->createCorners(std::int32_t(polys[std::size_t(p)].size())), 1);
        for (std::size_t k = 0; k < polys[std::size_t(p)].size(); ++k) {
            polygon->vertexIndices()[k] = polys[std::size_t(p)][k];
            polygon->edgeFlags()[k] = flags[std::size_t(p)][k];
        }
    }
    ASSERT_EQ(unweldHardEdges(scene), 1);
    std::vector<std::int32_t> sources;
    for (const Vertex& vertex : scene.vertices) sources.push_back(std::int32_t(vertex.color.r));
    EXPECT_EQ(sources, expected.sourceOfVertex);
    for (std::int32_t p = 0; p < P; ++p)
        EXPECT_EQ(cornersOf(scene, 0, p), expected.corners[std::size_t(p)]) << p;
}

class UnweldAgainstReferenceTest : public ::testing::TestWithParam<int> {};

TEST_P(UnweldAgainstReferenceTest, GivesTheSameVerticesAndCorners) {
    std::mt19937 random(static_cast<std::uint32_t>(GetParam()));
    auto pick = [&](int n) { return std::int32_t(random() % std::uint32_t(n)); };
    const std::int32_t V = 6 + pick(8);
    const bool grid = GetParam() % 2 == 0;  // integer positions give many equal lengths
    std::vector<Vec3> positions;
    for (std::int32_t i = 0; i < V; ++i) {
        if (grid) {
            positions.push_back({float(pick(3)), float(pick(3)), 0});
        } else {
            positions.push_back(
                {float(pick(1000)) / 97.0f, float(pick(1000)) / 89.0f, float(pick(1000)) / 83.0f});
        }
    }
    std::vector<std::vector<std::int32_t>> polys;
    std::vector<std::vector<std::uint32_t>> flags;
    const std::int32_t P = 3 + pick(12);
    for (std::int32_t p = 0; p < P; ++p) {
        std::vector<std::int32_t> corners;
        const std::int32_t n = 3 + pick(3);
        while (std::int32_t(corners.size()) < n) {
            const std::int32_t v = pick(V);
            if (std::find(corners.begin(), corners.end(), v) == corners.end()) corners.push_back(v);
        }
        polys.push_back(corners);
        std::vector<std::uint32_t> f;
        for (std::int32_t k = 0; k < n; ++k) f.push_back(pick(5) < 2 ? kHard : kSmooth);
        flags.push_back(f);
    }
    expectSameAsReference(positions, polys, flags);
}

INSTANTIATE_TEST_SUITE_P(RandomMeshes, UnweldAgainstReferenceTest, ::testing::Range(0, 300));

TEST(UnweldFanTest, CentreOfAFanSplitsIntoOneVertexPerSector) {
    // 60 triangles around vertex 0; every tenth spoke is hard, so the centre becomes six
    // vertices and each hard spoke's rim vertex two.
    constexpr std::int32_t kRim = 60;
    std::vector<Vec3> positions = {{0, 0, 0}};
    std::vector<std::vector<std::int32_t>> polys;
    std::vector<std::vector<std::uint32_t>> flags;
    for (std::int32_t i = 0; i < kRim; ++i) {
        const float angle = 6.2831853f * float(i) / float(kRim);
        positions.push_back({std::cos(angle), std::sin(angle), 0});
    }
    for (std::int32_t i = 0; i < kRim; ++i) {
        const std::int32_t a = 1 + i, b = 1 + (i + 1) % kRim;
        polys.push_back({0, a, b});
        // corner 0 leaves along the spoke 0-a, corner 2 along the spoke b-0
        flags.push_back({i % 10 == 0 ? kHard : kSmooth, kSmooth, (i + 1) % 10 == 0 ? kHard : kSmooth});
    }
    expectSameAsReference(positions, polys, flags);

    Scene scene;
    ASSERT_EQ(scene.meshes.allocate(1), 1);
    ASSERT_EQ(scene.vertices.allocate(kRim + 1), 1);
    for (std::int32_t p = 0; p < kRim; ++p) {
        Polygon* polygon = scene.meshes[0].polygons.append();
        ASSERT_EQ(polygon->createCorners(3), 1);
        for (std::int32_t k = 0; k < 3; ++k) {
            polygon->vertexIndices()[k] = polys[std::size_t(p)][std::size_t(k)];
            polygon->edgeFlags()[k] = flags[std::size_t(p)][std::size_t(k)];
        }
    }
    ASSERT_EQ(unweldHardEdges(scene), 1);
    EXPECT_EQ(scene.vertices.count(), kRim - 6 + 6 + 6 * 2);
    std::set<std::int32_t> centres;
    for (const Polygon& polygon : scene.meshes[0].polygons) centres.insert(polygon.vertexIndices()[0]);
    EXPECT_EQ(centres.size(), 6u);
}

}  // namespace
