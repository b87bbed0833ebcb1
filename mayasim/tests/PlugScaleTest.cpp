// Array elements, connections, shading-group faces and default skin weights at sizes where a
// scan per access would show, checked against what the host's rules say they must be.
#include <maya/MDGModifier.h>
#include <maya/MDagPath.h>
#include <maya/MDoubleArray.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFnIkJoint.h>
#include <maya/MFnMesh.h>
#include <maya/MFnSet.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MFnSkinCluster.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MObjectArray.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>
#include <maya/MVector.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "SceneFixture.h"

namespace {

class PlugScale : public SceneTest {
  protected:
    static MPlug plugOf(const MObject& node, const char* name) {
        MStatus status;
        MPlug p = MFnDependencyNode(node).findPlug(MString(name), &status);
        EXPECT_TRUE(status) << name;
        return p;
    }
    static unsigned logicalAt(const MPlug& array, unsigned physical) {
        MStatus status;
        const MPlug e = array.elementByPhysicalIndex(physical, &status);
        EXPECT_TRUE(status) << physical;
        return e.logicalIndex();
    }
};

TEST_F(PlugScale, SparseElementsComeInLogicalOrderWhateverOrderTheyWereMade) {
    MObject skin = dgNode("skinCluster");
    MPlug dropoff = plugOf(skin, "dropoff");
    const unsigned made[] = {7, 3, 1000, 0, 500};
    for (unsigned i : made) ASSERT_TRUE(dropoff.elementByLogicalIndex(i).setValue(double(i) + 0.5));
    ASSERT_EQ(dropoff.numElements(), 5u);
    const unsigned order[] = {0, 3, 7, 500, 1000};
    for (unsigned p = 0; p < 5; ++p) {
        EXPECT_EQ(logicalAt(dropoff, p), order[p]);
        double v = 0;
        ASSERT_TRUE(dropoff.elementByPhysicalIndex(p).getValue(v));
        EXPECT_EQ(v, double(order[p]) + 0.5);
    }
    MStatus status;
    EXPECT_TRUE(dropoff.elementByPhysicalIndex(5, &status).isNull());
    EXPECT_FALSE(status);

    // Many elements made from the top down: counts and both ends of the physical order hold.
    MPlug locks = plugOf(skin, "lockWeights");
    const unsigned count = 20000;
    for (unsigned i = count; i-- > 0;) locks.elementByLogicalIndex(2 * i + 1);
    EXPECT_EQ(locks.numElements(), count);
    EXPECT_EQ(logicalAt(locks, 0), 1u);
    EXPECT_EQ(logicalAt(locks, count / 2 - 1), count - 1);
    EXPECT_EQ(logicalAt(locks, count / 2), count + 1);
    EXPECT_EQ(logicalAt(locks, count - 1), 2 * count - 1);
    EXPECT_TRUE(locks.elementByPhysicalIndex(count).isNull());
    // Asking for an element by logical index makes it, as in the host; it reads the default.
    double v = -1;
    plugOf(skin, "dropoff").elementByLogicalIndex(4);
    EXPECT_EQ(plugOf(skin, "dropoff").numElements(), 6u);
    ASSERT_TRUE(plugOf(skin, "dropoff").elementByLogicalIndex(4).getValue(v));
    EXPECT_EQ(v, 4.0);  // the attribute's default
}

TEST_F(PlugScale, EachDestinationFindsItsSourceThroughConnectsDisconnectsAndDeletes) {
    MObject skin = dgNode("skinCluster");
    MPlug dropoff = plugOf(skin, "dropoff");
    const int n = 300;
    std::vector<MObject> sources;
    MDGModifier connect;
    for (int i = 0; i < n; ++i) {
        sources.push_back(dagNode("transform", ("t" + std::to_string(i)).c_str()));
        plugOf(sources.back(), "translateX").setValue(double(i));
        ASSERT_TRUE(connect.connect(plugOf(sources.back(), "translateX"),
                                    dropoff.elementByLogicalIndex(static_cast<unsigned>(i))));
    }
    ASSERT_TRUE(connect.doIt());
    auto sourceName = [&](int i) {
        MPlugArray from;
        dropoff.elementByLogicalIndex(static_cast<unsigned>(i)).connectedTo(from, true, false);
        return from.length() == 1 ? std::string(from[0].name().asChar()) : std::string();
    };
    EXPECT_EQ(sourceName(0), "t0.translateX");
    EXPECT_EQ(sourceName(299), "t299.translateX");
    double v = 0;
    ASSERT_TRUE(dropoff.elementByLogicalIndex(123).getValue(v));
    EXPECT_EQ(v, 123.0);

    // A fed destination refuses a second source; once freed it takes a new one.
    MDGModifier again;
    again.connect(plugOf(sources[1], "translateX"), dropoff.elementByLogicalIndex(5));
    EXPECT_FALSE(again.doIt());
    MDGModifier swap;
    swap.disconnect(plugOf(sources[5], "translateX"), dropoff.elementByLogicalIndex(5));
    swap.connect(plugOf(sources[7], "translateY"), dropoff.elementByLogicalIndex(5));
    ASSERT_TRUE(swap.doIt());
    EXPECT_EQ(sourceName(5), "t7.translateY");

    // A deleted source leaves its destination unfed, reading its own value again.
    dropoff.elementByLogicalIndex(9).setValue(2.5);  // stored beneath the connection
    MDGModifier remove;
    remove.deleteNode(sources[9]);
    ASSERT_TRUE(remove.doIt());
    EXPECT_EQ(sourceName(9), "");
    EXPECT_FALSE(dropoff.elementByLogicalIndex(9).isConnected());
    EXPECT_EQ(sourceName(10), "t10.translateX");
}

// A row of quads with many shading groups: which group holds each face, as the faces move.
class ManyShadingGroups : public PlugScale {
  protected:
    static constexpr int kFaces = 600;

    void SetUp() override {
        SceneTest::SetUp();
        MFloatPointArray pts;
        for (int i = 0; i <= kFaces; ++i) {
            pts.append(static_cast<float>(i), 0, 0);
            pts.append(static_cast<float>(i), 1, 0);
        }
        MIntArray counts, connects;
        for (int q = 0; q < kFaces; ++q) {
            counts.append(4);
            for (int c : {2 * q, 2 * q + 2, 2 * q + 3, 2 * q + 1}) connects.append(c);
        }
        MFnMesh fn;
        MStatus status;
        fn.create(2 * (kFaces + 1), kFaces, pts, counts, connects, MObject::kNullObj, &status);
        ASSERT_TRUE(status);
        shape = fn.object();
        MDagPath::getAPathTo(shape, path);
        expected.assign(kFaces, -1);
    }

    // A new shading group holding `faces`; the test's own record of who holds what follows.
    int group(const std::vector<int>& faces) {
        MFnSingleIndexedComponent comp;
        MObject c = comp.create(MFn::kMeshPolygonComponent);
        for (int f : faces) comp.addElement(f);
        MSelectionList members;
        members.add(path, c);
        MFnSet set;
        MStatus status;
        groups.push_back(set.create(members, MFnSet::kRenderableOnly, false, &status));
        EXPECT_TRUE(status);
        for (int f : faces) expected[std::size_t(f)] = static_cast<int>(groups.size()) - 1;
        return static_cast<int>(groups.size()) - 1;
    }
    void add(int g, const std::vector<int>& faces) {
        MFnSingleIndexedComponent comp;
        MObject c = comp.create(MFn::kMeshPolygonComponent);
        for (int f : faces) comp.addElement(f);
        ASSERT_TRUE(MFnSet(groups[std::size_t(g)]).addMember(path, c));
        for (int f : faces) expected[std::size_t(f)] = g;
    }
    // Per face, the test's group number of the host's group holding it (-1 for none).
    std::vector<int> held() {
        MObjectArray sets;
        MIntArray indices;
        EXPECT_TRUE(MFnMesh(shape).getConnectedShaders(0, sets, indices));
        std::vector<int> out;
        for (unsigned f = 0; f < indices.length(); ++f) {
            int g = -1;
            if (indices[f] >= 0)
                for (std::size_t k = 0; k < groups.size(); ++k)
                    if (groups[k] == sets[static_cast<unsigned>(indices[f])]) g = static_cast<int>(k);
            out.push_back(g);
        }
        return out;
    }
    // The faces a group's members name, in order.
    std::vector<int> facesIn(int g) {
        MSelectionList back;
        EXPECT_TRUE(MFnSet(groups[std::size_t(g)]).getMembers(back, false));
        std::vector<int> out;
        for (unsigned i = 0; i < back.length(); ++i) {
            MDagPath p;
            MObject component;
            back.getDagPath(i, p, component);
            MIntArray ids;
            MFnSingleIndexedComponent(component).getElements(ids);
            for (unsigned k = 0; k < ids.length(); ++k) out.push_back(ids[k]);
        }
        std::sort(out.begin(), out.end());
        return out;
    }
    int memberCount(int g) {
        MSelectionList back;
        EXPECT_TRUE(MFnSet(groups[std::size_t(g)]).getMembers(back, false));
        return static_cast<int>(back.length());
    }

    MObject shape;
    MDagPath path;
    std::vector<MObject> groups;
    std::vector<int> expected;
};

TEST_F(ManyShadingGroups, FacesMoveBetweenGroupsAndEachFaceStaysInOne) {
    const int kGroups = 100;
    for (int g = 0; g < kGroups; ++g) {
        std::vector<int> faces;
        for (int f = g; f < kFaces; f += kGroups) faces.push_back(f);
        group(faces);
    }
    ASSERT_EQ(held(), expected);

    // A new group takes one face of each of the first ten groups, and one group's faces
    // are moved to another that already has faces of its own.
    std::vector<int> stolen;
    for (int g = 0; g < 10; ++g) stolen.push_back(g + kGroups);
    const int thief = group(stolen);
    std::vector<int> of42;
    for (int f = 42; f < kFaces; f += kGroups) of42.push_back(f);
    add(7, of42);
    EXPECT_EQ(held(), expected);
    EXPECT_EQ(memberCount(42), 0);  // its last face gone, the group holds nothing
    EXPECT_EQ(memberCount(7), 1);   // one object group holds old and new faces

    // Faces taken back and forth keep their places.
    add(thief, {0, 1, 2});
    add(3, {100, 0});
    group({5, 6, 7, 599});
    EXPECT_EQ(held(), expected);
    // No face is named by two groups.
    std::vector<int> times(kFaces, 0);
    for (std::size_t g = 0; g < groups.size(); ++g)
        for (int f : facesIn(static_cast<int>(g))) ++times[std::size_t(f)];
    for (int f = 0; f < kFaces; ++f)
        EXPECT_EQ(times[std::size_t(f)], expected[std::size_t(f)] >= 0 ? 1 : 0) << f;
}

TEST_F(ManyShadingGroups, AFaceListChangedThroughItsPlugIsHonoured) {
    const int a = group({0, 1, 2, 3});
    const int b = group({4, 5});
    // The first group's object group is given other faces directly, as a scene file would.
    MPlug groupsPlug = plugOf(shape, "instObjGroups").elementByLogicalIndex(0).child(0);
    MPlug list = groupsPlug.elementByPhysicalIndex(0).child(0);
    ASSERT_EQ(std::string(list.partialName().asChar()), "iog[0].og[0].gcl");
    MFnSingleIndexedComponent comp;
    MObject faces = comp.create(MFn::kMeshPolygonComponent);
    for (int f : {10, 11}) comp.addElement(f);
    ASSERT_TRUE(list.setValue(faces));
    for (int f : {0, 1, 2, 3}) expected[std::size_t(f)] = -1;
    for (int f : {10, 11}) expected[std::size_t(f)] = a;
    EXPECT_EQ(held(), expected);

    // The next assignment sees the new faces: face 10 leaves the first group.
    const int c = group({10, 4});
    EXPECT_EQ(held(), expected);
    EXPECT_EQ(facesIn(a), (std::vector<int>{11}));
    EXPECT_EQ(facesIn(b), (std::vector<int>{5}));
    EXPECT_EQ(facesIn(c), (std::vector<int>{4, 10}));
}

class DefaultBind : public PlugScale {
  protected:
    static MObject joint(const char* name, MObject parent, double x) {
        MFnIkJoint fn;
        MObject j = fn.create(parent);
        fn.setName(MString(name));
        fn.setTranslation(MVector(x, 0, 0), MSpace::kTransform);
        return j;
    }
    // A triangle near (0.5, 0.1), named `name`.
    static MObject triangle(const char* name) {
        MFloatPointArray pts;
        pts.append(0.5f, 0.1f, 0);
        pts.append(0.5f, 0.1f, 0.01f);
        pts.append(0.5f, 0.1f, -0.01f);
        MIntArray counts, connects;
        counts.append(3);
        for (int c : {0, 1, 2}) connects.append(c);
        MFnMesh fn;
        MObject mesh = fn.create(3, 1, pts, counts, connects);
        MFnDependencyNode(mesh).setName(MString(name));
        return mesh;
    }
    // The weights of the mesh's first point, per influence.
    static std::vector<double> firstPointWeights(const MStringArray& result, const MObject& mesh) {
        MSelectionList list;
        MObject skin;
        EXPECT_TRUE(list.add(result[0]) && list.getDependNode(0, skin));
        MDagPath shape;
        MDagPath::getAPathTo(mesh, shape);
        shape.extendToShape();
        MDoubleArray weights;
        unsigned influences = 0;
        EXPECT_TRUE(MFnSkinCluster(skin).getWeights(shape, MObject::kNullObj, weights, influences));
        std::vector<double> out;
        for (unsigned j = 0; j < influences; ++j) out.push_back(weights[j]);
        return out;
    }
};

// Two chains lying on each other: their first bones coincide, so a point is equally near both.
TEST_F(DefaultBind, CoincidentBonesTieAndTheEarlierInfluenceWinsATie) {
    MObject a0 = joint("a0", MObject::kNullObj, 0);
    joint("a1", a0, 1);
    MObject b0 = joint("b0", MObject::kNullObj, 0);
    joint("b1", b0, 1);
    MObject one = triangle("one");
    MObject two = triangle("two");
    MStringArray result;
    // Influences in command order: b0 0, a0 1, a1 2, b1 3.
    ASSERT_TRUE(MGlobal::executeCommand("skinCluster -tsb -mi 1 b0 a0 a1 b1 one", result, false, false));
    EXPECT_EQ(firstPointWeights(result, one), (std::vector<double>{1, 0, 0, 0}));
    ASSERT_TRUE(MGlobal::executeCommand("skinCluster -tsb -mi 2 b0 a0 a1 b1 two", result, false, false));
    EXPECT_EQ(firstPointWeights(result, two), (std::vector<double>{0.5, 0.5, 0, 0}));
}

// Eight joints one unit apart along X and points along the row; at most three influences each.
TEST_F(DefaultBind, EachPointKeepsItsNearestInfluencesWithFallingWeights) {
    std::string command = "skinCluster -tsb -mi 3 ";
    MObject parent;
    for (int j = 0; j < 8; ++j) {
        MFnIkJoint fn;
        MObject joint = fn.create(parent);
        fn.setName(MString(("j" + std::to_string(j)).c_str()));
        fn.setTranslation(MVector(j == 0 ? 0.0 : 1.0, 0, 0), MSpace::kTransform);
        command += "j" + std::to_string(j) + " ";
        parent = joint;
    }
    MFloatPointArray pts;
    const float xs[] = {0.1f, 2.5f, 3.3f, 6.9f, 7.6f, 4.0f};
    for (float x : xs) {
        pts.append(x, 0.2f, 0);
        pts.append(x, -0.2f, 0);
    }
    MIntArray counts, connects;
    for (int q = 0; q < 6; ++q) {
        counts.append(3);
        for (int c : {2 * q, 2 * q + 1, (2 * q + 2) % 12}) connects.append(c);
    }
    MFnMesh meshFn;
    MObject mesh = meshFn.create(12, 6, pts, counts, connects);
    MFnDependencyNode(mesh).setName("row");
    MStringArray result;
    ASSERT_TRUE(MGlobal::executeCommand(MString((command + "row").c_str()), result, false, false));

    MSelectionList list;
    MObject skin;
    ASSERT_TRUE(list.add(result[0]) && list.getDependNode(0, skin));
    MFnSkinCluster skinFn(skin);
    MDagPath shape;
    MDagPath::getAPathTo(mesh, shape);
    shape.extendToShape();
    MDoubleArray weights;
    unsigned influences = 0;
    ASSERT_TRUE(skinFn.getWeights(shape, MObject::kNullObj, weights, influences));
    ASSERT_EQ(influences, 8u);
    for (unsigned v = 0; v < 12; ++v) {
        // Each joint's bone runs to the next joint; the last joint is a point.
        const double x = xs[v / 2];
        auto distance = [&](unsigned j) {
            const double start = double(j);
            const double end = j < 7 ? double(j) + 1.0 : double(j);
            const double along = std::min(std::max(x, start), end);
            return std::sqrt((x - along) * (x - along) + 0.04);
        };
        double sum = 0;
        unsigned used = 0;
        for (unsigned j = 0; j < 8; ++j) {
            const double w = weights[v * 8 + j];
            sum += w;
            if (w == 0) continue;
            ++used;
            // Every weighted influence is at least as near as every unweighted one.
            for (unsigned k = 0; k < 8; ++k) {
                if (weights[v * 8 + k] == 0) {
                    EXPECT_LE(distance(j), distance(k)) << v << " " << j << " " << k;
                }
            }
            // And the nearer weighs more.
            for (unsigned k = 0; k < 8; ++k) {
                if (weights[v * 8 + k] != 0 && distance(j) < distance(k)) {
                    EXPECT_GT(w, weights[v * 8 + k]);
                }
            }
        }
        EXPECT_GE(used, 1u);
        EXPECT_LE(used, 3u);
        EXPECT_NEAR(sum, 1.0, 1e-9);
    }
}

}  // namespace
