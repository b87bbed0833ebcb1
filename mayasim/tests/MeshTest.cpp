#include <maya/MColorArray.h>
#include <maya/MDagPath.h>
#include <maya/MDagPathArray.h>
#include <maya/MFloatArray.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFnMesh.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MFnTransform.h>
#include <maya/MIntArray.h>
#include <maya/MItGeometry.h>
#include <maya/MItMeshEdge.h>
#include <maya/MItMeshPolygon.h>
#include <maya/MPlug.h>
#include <maya/MPointArray.h>
#include <maya/MStringArray.h>
#include <maya/MVector.h>

#include <vector>

#include "SceneFixture.h"

namespace {

class Mesh : public SceneTest {
  protected:
    // Two unit quads side by side: vertices 0..5, polygons (0 1 4 3) and (1 2 5 4).
    MObject makeStrip(MFnMesh& fn, MObject parent = MObject::kNullObj) {
        MFloatPointArray pts;
        pts.append(0, 0, 0);
        pts.append(1, 0, 0);
        pts.append(2, 0, 0);
        pts.append(0, 1, 0);
        pts.append(1, 1, 0);
        pts.append(2, 1, 0);
        MIntArray counts = ints({4, 4});
        MIntArray connects = ints({0, 1, 4, 3, 1, 2, 5, 4});
        MStatus status;
        MObject o = fn.create(6, 2, pts, counts, connects, parent, &status);
        EXPECT_TRUE(status);
        return o;
    }
    static MDagPath shapePath(const MObject& transform) {
        MDagPath p;
        MDagPath::getAPathTo(transform, p);
        p.extendToShape();
        return p;
    }
};

TEST_F(Mesh, CreateWithoutParentMakesTransformAndAttachesToShape) {
    MFnMesh fn;
    MObject xf = makeStrip(fn);
    EXPECT_TRUE(xf.hasFn(MFn::kTransform));
    EXPECT_EQ(nameOf(xf), "polySurface1");
    EXPECT_EQ(std::string(fn.name().asChar()), "polySurfaceShape1");
    EXPECT_EQ(std::string(fn.fullPathName().asChar()), "|polySurface1|polySurfaceShape1");
    EXPECT_EQ(fn.numVertices(), 6);
    EXPECT_EQ(fn.numPolygons(), 2);
    EXPECT_EQ(fn.numEdges(), 7);
}

TEST_F(Mesh, CreateRejectsShortPolygonsAndVerticesOutOfRange) {
    MFloatPointArray pts(3);
    MStatus status;
    MFnMesh fn;
    MIntArray counts = ints({2});
    MIntArray connects = ints({0, 1});
    fn.create(3, 1, pts, counts, connects, MObject::kNullObj, &status);
    EXPECT_FALSE(status);
    MIntArray counts3 = ints({3});
    MIntArray bad = ints({0, 1, 3});
    fn.create(3, 1, pts, counts3, bad, MObject::kNullObj, &status);
    EXPECT_FALSE(status);
}

TEST_F(Mesh, WorldPointsOfEachInstanceApplyThatInstancesPath) {
    MFnMesh fn;
    MObject xf = makeStrip(fn);
    MFnTransform(xf).setTranslation(MVector(10, 0, 0), MSpace::kTransform);
    MObject other = dagNode("transform", "other");
    MFnTransform(other).setTranslation(MVector(0, 0, 5), MSpace::kTransform);
    MObject shape = fn.object();
    ASSERT_TRUE(MFnDagNode(other).addChild(shape, MFnDagNode::kNextPos, true));
    EXPECT_EQ(fn.parentCount(), 2u);

    MDagPathArray paths;
    ASSERT_TRUE(fn.getAllPaths(paths));
    ASSERT_EQ(paths.length(), 2u);
    MFnMesh first(paths[0]);
    MFnMesh second(paths[1]);
    MPointArray a, b, local;
    ASSERT_TRUE(first.getPoints(a, MSpace::kWorld));
    ASSERT_TRUE(second.getPoints(b, MSpace::kWorld));
    ASSERT_TRUE(second.getPoints(local));
    ASSERT_EQ(a.length(), 6u);
    EXPECT_DOUBLE_EQ(a[5].x, 12.0);
    EXPECT_DOUBLE_EQ(a[5].z, 0.0);
    EXPECT_DOUBLE_EQ(b[5].x, 2.0);
    EXPECT_DOUBLE_EQ(b[5].z, 5.0);
    EXPECT_DOUBLE_EQ(local[5].x, 2.0);
}

TEST_F(Mesh, EdgesAreNumberedAsThePolygonsFirstUseThem) {
    MFnMesh fn;
    makeStrip(fn);
    // Polygon 0 gives edges 0..3 (0-1, 1-4, 4-3, 3-0); polygon 1 reuses 1-4 and adds 4..6.
    const int expected[7][2] = {{0, 1}, {1, 4}, {4, 3}, {3, 0}, {1, 2}, {2, 5}, {5, 4}};
    for (int e = 0; e < 7; ++e) {
        int2 v;
        ASSERT_TRUE(fn.getEdgeVertices(e, v));
        EXPECT_EQ(v[0], expected[e][0]) << e;
        EXPECT_EQ(v[1], expected[e][1]) << e;
    }
    MDagPath path;
    fn.getPath(path);
    MItMeshPolygon it(path);
    std::vector<std::vector<int>> edges;
    for (; !it.isDone(); it.next()) {
        MIntArray e;
        ASSERT_TRUE(it.getEdges(e));
        edges.emplace_back();
        for (unsigned i = 0; i < e.length(); ++i) edges.back().push_back(e[i]);
    }
    EXPECT_EQ(edges, (std::vector<std::vector<int>>{{0, 1, 2, 3}, {4, 5, 6, 1}}));
}

TEST_F(Mesh, EdgeSmoothnessIsHardUntilSetAndReadsBackThroughTheIterator) {
    MFnMesh fn;
    makeStrip(fn);
    EXPECT_FALSE(fn.isEdgeSmooth(1));
    ASSERT_TRUE(fn.setEdgeSmoothing(1, true));
    EXPECT_FALSE(fn.setEdgeSmoothing(7, true));
    MDagPath path;
    fn.getPath(path);
    MItMeshEdge edges(path);
    int prev = 0;
    ASSERT_TRUE(edges.setIndex(1, prev));
    EXPECT_TRUE(edges.isSmooth());
    ASSERT_TRUE(edges.setIndex(4, prev));
    EXPECT_EQ(prev, 1);
    EXPECT_FALSE(edges.isSmooth());
    EXPECT_FALSE(edges.setIndex(9, prev));
    ASSERT_TRUE(edges.reset());
    EXPECT_EQ(edges.index(), 0);
}

TEST_F(Mesh, UVSetsStartWithAnEmptyMap1AndFollowCreateAndRename) {
    MFnMesh fn;
    makeStrip(fn);
    MStringArray names;
    ASSERT_TRUE(fn.getUVSetNames(names));
    ASSERT_EQ(names.length(), 1u);
    EXPECT_EQ(names[0], "map1");
    EXPECT_EQ(fn.currentUVSetName(), "map1");
    EXPECT_EQ(fn.numUVs(), 0);
    MString second("second");
    ASSERT_TRUE(fn.createUVSet(second));
    ASSERT_TRUE(fn.renameUVSet("map1", "uvSet1"));
    EXPECT_FALSE(fn.renameUVSet("missing", "x"));
    EXPECT_FALSE(fn.renameUVSet("second", "uvSet1"));
    MString again("second");
    ASSERT_TRUE(fn.createUVSet(again));
    EXPECT_EQ(again, "second1");  // a taken name is numbered and written back

    MPlug uvSet = fn.findPlug("uvSet");
    ASSERT_EQ(uvSet.numElements(), 3u);
    std::vector<std::string> plugNames;
    for (unsigned i = 0; i < uvSet.numElements(); ++i) {
        MString name;
        ASSERT_TRUE(uvSet.elementByPhysicalIndex(i).child(0).getValue(name));
        plugNames.push_back(name.asChar());
    }
    EXPECT_EQ(plugNames, (std::vector<std::string>{"uvSet1", "second", "second1"}));
    EXPECT_EQ(fn.currentUVSetName(), "uvSet1");
}

TEST_F(Mesh, UVIndicesArePerCornerAndUnmappedCornersHaveNone) {
    MFnMesh fn;
    makeStrip(fn);
    MFloatArray u, v;
    for (int i = 0; i < 4; ++i) {
        u.append(0.25f * static_cast<float>(i));
        v.append(0.5f);
    }
    ASSERT_TRUE(fn.setUVs(u, v));
    MIntArray counts = ints({4, 0});
    MIntArray ids = ints({3, 2, 1, 0});
    ASSERT_TRUE(fn.assignUVs(counts, ids));
    MIntArray wrongCounts = ints({3, 0});
    EXPECT_FALSE(fn.assignUVs(wrongCounts, ids));
    EXPECT_EQ(fn.numUVs(), 4);

    MDagPath path;
    fn.getPath(path);
    MItMeshPolygon it(path);
    int id = -1;
    ASSERT_TRUE(it.getUVIndex(1, id));
    EXPECT_EQ(id, 2);
    const MString map1("map1");
    ASSERT_TRUE(it.getUVIndex(3, id, &map1));
    EXPECT_EQ(id, 0);
    it.next();
    EXPECT_FALSE(it.getUVIndex(0, id));
    const MString missing("missing");
    it.reset();
    EXPECT_FALSE(it.getUVIndex(0, id, &missing));
}

TEST_F(Mesh, VertexColoursGiveEachCornerItsVertexColourIndex) {
    MFnMesh fn;
    makeStrip(fn);
    MString set("colorSet1");
    ASSERT_TRUE(fn.createColorSet(set));
    ASSERT_TRUE(fn.setCurrentColorSetName(set));
    MString other("paint");
    ASSERT_TRUE(fn.createColorSet(other));
    MColorArray colors;
    colors.append(1, 0, 0);
    colors.append(0, 1, 0);
    MIntArray verts = ints({4, 1});
    ASSERT_TRUE(fn.setVertexColors(colors, verts));

    MStringArray names;
    fn.getColorSetNames(names);
    ASSERT_EQ(names.length(), 2u);
    EXPECT_EQ(names[0], "colorSet1");
    EXPECT_EQ(fn.numColors(set), 2);
    EXPECT_EQ(fn.numColors(other), 0);
    MColorArray back;
    ASSERT_TRUE(fn.getColors(back, &set));
    EXPECT_FLOAT_EQ(back[1].g, 1.0f);

    MDagPath path;
    fn.getPath(path);
    MItMeshPolygon it(path);  // polygon 0 is (0 1 4 3)
    int idx = -1;
    EXPECT_FALSE(it.getColorIndex(0, idx, &set));
    ASSERT_TRUE(it.getColorIndex(1, idx, &set));
    EXPECT_EQ(idx, 1);
    ASSERT_TRUE(it.getColorIndex(2, idx, &set));
    EXPECT_EQ(idx, 0);
    EXPECT_FALSE(it.getColorIndex(2, idx, &other));
}

TEST_F(Mesh, PolygonIteratorGivesCornersAndWorldNormals) {
    MFnMesh fn;
    MObject xf = makeStrip(fn);
    MFnTransform t(xf);
    const double quarter[3] = {1.5707963267948966, 0, 0};
    t.setRotation(quarter, MTransformationMatrix::kXYZ);
    MDagPath path;
    fn.getPath(path);
    MItMeshPolygon it(path);
    EXPECT_EQ(it.count(), 2u);
    EXPECT_EQ(it.polygonVertexCount(), 4u);
    EXPECT_EQ(it.vertexIndex(2), 4u);
    MVector local, world;
    ASSERT_TRUE(it.getNormal(local));
    ASSERT_TRUE(it.getNormal(world, MSpace::kWorld));
    EXPECT_NEAR(local.z, 1.0, 1e-9);
    EXPECT_NEAR(world.y, -1.0, 1e-9);
    it.next();
    EXPECT_EQ(it.index(), 1u);
    MObject face = it.currentItem();
    EXPECT_TRUE(face.hasFn(MFn::kMeshPolygonComponent));
    it.next();
    EXPECT_TRUE(it.isDone());
}

TEST_F(Mesh, GeometryIteratorVisitsEveryPointWithOnePointComponents) {
    MFnMesh fn;
    makeStrip(fn);
    MDagPath path;
    fn.getPath(path);
    MItGeometry it(path);
    EXPECT_EQ(it.count(), 6);
    int visited = 0;
    for (; !it.isDone(); it.next(), ++visited) {
        MObject c = it.component();
        MFnSingleIndexedComponent comp(c);
        EXPECT_EQ(comp.elementCount(), 1);
        EXPECT_EQ(comp.element(0), visited);
    }
    EXPECT_EQ(visited, 6);
}

TEST_F(Mesh, AFaceComponentLimitsThePolygonIterator) {
    MFnMesh fn;
    makeStrip(fn);
    MFnSingleIndexedComponent comp;
    MObject faces = comp.create(MFn::kMeshPolygonComponent);
    comp.addElement(1);
    MDagPath path;
    fn.getPath(path);
    MItMeshPolygon it(path, faces);
    ASSERT_FALSE(it.isDone());
    EXPECT_EQ(it.index(), 1u);
    it.next();
    EXPECT_TRUE(it.isDone());
}

}  // namespace
