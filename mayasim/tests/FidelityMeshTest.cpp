// MFnMesh::create alters topologically incorrect data the way the API documents, and the counts
// and per-corner queries describe the altered mesh.
#include <maya/MColor.h>
#include <maya/MColorArray.h>
#include <maya/MFloatArray.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFnMesh.h>
#include <maya/MIntArray.h>
#include <maya/MPoint.h>

#include <initializer_list>
#include <vector>

#include "SceneFixture.h"

namespace {

std::vector<int> polygonOf(MFnMesh& fn, int polygon) {
    MIntArray v;
    EXPECT_TRUE(fn.getPolygonVertices(polygon, v));
    std::vector<int> out;
    for (unsigned i = 0; i < v.length(); ++i) out.push_back(v[i]);
    return out;
}

class MeshCreation : public SceneTest {
  protected:
    // Vertex i sits at (i, i * i, 0), so every vertex has its own position.
    MStatus make(int numVertices, std::initializer_list<int> counts, std::initializer_list<int> connects) {
        MFloatPointArray pts;
        for (int i = 0; i < numVertices; ++i) pts.append(static_cast<float>(i), static_cast<float>(i * i), 0);
        MStatus status;
        fn.create(numVertices, static_cast<int>(counts.size()), pts, ints(counts), ints(connects),
                  MObject::kNullObj, &status);
        return status;
    }
    void expectSamePoint(int a, int b) {
        MPoint pa, pb;
        ASSERT_TRUE(fn.getPoint(a, pa));
        ASSERT_TRUE(fn.getPoint(b, pb));
        EXPECT_DOUBLE_EQ(pa.x, pb.x);
        EXPECT_DOUBLE_EQ(pa.y, pb.y);
    }
    MFnMesh fn;
};

TEST_F(MeshCreation, EdgeFromAVertexToItselfIsRemoved) {
    ASSERT_TRUE(make(5, {5}, {1, 2, 2, 3, 4}));
    EXPECT_EQ(fn.numVertices(), 5);
    EXPECT_EQ(fn.numPolygons(), 1);
    EXPECT_EQ(polygonOf(fn, 0), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(fn.numFaceVertices(), 4);
    EXPECT_EQ(fn.numEdges(), 4);
}

TEST_F(MeshCreation, ClosingEdgeToTheFirstVertexIsRemovedToo) {
    ASSERT_TRUE(make(4, {5}, {0, 1, 2, 3, 0}));
    EXPECT_EQ(polygonOf(fn, 0), (std::vector<int>{0, 1, 2, 3}));
}

TEST_F(MeshCreation, VertexUsedTwiceInAPolygonIsCopiedForTheLaterUse) {
    ASSERT_TRUE(make(5, {5}, {1, 2, 3, 1, 4}));
    EXPECT_EQ(fn.numVertices(), 6);
    EXPECT_EQ(polygonOf(fn, 0), (std::vector<int>{1, 2, 3, 5, 4}));
    expectSamePoint(5, 1);
}

TEST_F(MeshCreation, EdgeBetweenPolygonsOfOppositeWindingIsDuplicated) {
    // Both triangles run 0 -> 1: their normals point opposite ways.
    ASSERT_TRUE(make(4, {3, 3}, {0, 1, 2, 0, 1, 3}));
    EXPECT_EQ(fn.numVertices(), 6);
    EXPECT_EQ(fn.numPolygons(), 2);
    EXPECT_EQ(polygonOf(fn, 0), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(polygonOf(fn, 1), (std::vector<int>{4, 5, 3}));
    expectSamePoint(4, 0);
    expectSamePoint(5, 1);
    EXPECT_EQ(fn.numEdges(), 6);
}

TEST_F(MeshCreation, ConsistentlyWoundMeshIsKept) {
    // A 30 x 30 grid of quads, all wound the same way.
    constexpr int kSide = 30;
    MFloatPointArray pts;
    for (int y = 0; y <= kSide; ++y)
        for (int x = 0; x <= kSide; ++x) pts.append(static_cast<float>(x), static_cast<float>(y), 0);
    MIntArray counts, connects;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const int v = y * (kSide + 1) + x;
            counts.append(4);
            for (int c : {v, v + 1, v + kSide + 2, v + kSide + 1}) connects.append(c);
        }
    MStatus status;
    fn.create(static_cast<int>(pts.length()), kSide * kSide, pts, counts, connects, MObject::kNullObj,
              &status);
    ASSERT_TRUE(status);
    EXPECT_EQ(fn.numVertices(), (kSide + 1) * (kSide + 1));
    EXPECT_EQ(fn.numPolygons(), kSide * kSide);
    EXPECT_EQ(fn.numEdges(), 2 * kSide * (kSide + 1));
    MIntArray gotCounts, gotConnects;
    ASSERT_TRUE(fn.getVertices(gotCounts, gotConnects));
    ASSERT_EQ(gotConnects.length(), connects.length());
    for (unsigned i = 0; i < connects.length(); ++i) ASSERT_EQ(gotConnects[i], connects[i]) << i;
}

TEST_F(MeshCreation, PolygonLeftWithTwoCornersIsDropped) {
    ASSERT_TRUE(make(4, {3, 3}, {0, 1, 2, 3, 3, 0}));
    EXPECT_EQ(fn.numPolygons(), 1);
    EXPECT_EQ(fn.numVertices(), 4);
}

TEST_F(MeshCreation, UVAndColourAssignmentsFollowTheAlteredCorners) {
    ASSERT_TRUE(make(5, {5}, {1, 2, 3, 1, 4}));
    MFloatArray u, v;
    for (int i = 0; i < 5; ++i) {
        u.append(0.1f * static_cast<float>(i));
        v.append(0.0f);
    }
    ASSERT_TRUE(fn.setUVs(u, v));
    ASSERT_TRUE(fn.assignUVs(ints({5}), ints({0, 1, 2, 3, 4})));
    int uvId = -1;
    ASSERT_TRUE(fn.getPolygonUVid(0, 3, uvId));
    EXPECT_EQ(uvId, 3);

    // Colouring vertex 1 reaches only the corner still on vertex 1, not the one moved to its copy.
    MColorArray colours;
    colours.append(MColor(1.0f, 0.0f, 0.0f));
    MIntArray vertices = ints({1});
    ASSERT_TRUE(fn.setVertexColors(colours, vertices));
    int first = -1, copied = -1;
    ASSERT_TRUE(fn.getFaceVertexColorIndex(0, 0, first));
    ASSERT_TRUE(fn.getFaceVertexColorIndex(0, 3, copied));
    EXPECT_GE(first, 0);
    EXPECT_EQ(copied, -1);

    // The degenerate corner is gone, so counts of the given data no longer fit.
    MFnMesh other;
    MFloatPointArray pts;
    for (int i = 0; i < 5; ++i) pts.append(static_cast<float>(i), 0, static_cast<float>(i * i));
    other.create(5, 1, pts, ints({5}), ints({1, 2, 2, 3, 4}));
    MFloatArray u4, v4;
    for (int i = 0; i < 5; ++i) {
        u4.append(0);
        v4.append(0);
    }
    ASSERT_TRUE(other.setUVs(u4, v4));
    EXPECT_FALSE(other.assignUVs(ints({5}), ints({0, 1, 2, 3, 4})));
    EXPECT_TRUE(other.assignUVs(ints({4}), ints({0, 1, 3, 4})));
}

}  // namespace
