#include <maya/MDagPath.h>
#include <maya/MDagPathArray.h>
#include <maya/MDoubleArray.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFnIkJoint.h>
#include <maya/MFnMesh.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MFnSkinCluster.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MItGeometry.h>
#include <maya/MStringArray.h>
#include <maya/MVector.h>

#include <string>
#include <vector>

#include "SceneFixture.h"

namespace {

class SkinCluster : public SceneTest {
  protected:
    // A chain hip (y 0) > spine (y 2) > head (y 4) and a column of six points at y 0, 2 and 4.
    void SetUp() override {
        SceneTest::SetUp();
        hip = joint("hip", MObject::kNullObj, 0);
        spine = joint("spine", hip, 2);
        head = joint("head", spine, 2);
        mesh = column("body");
    }

    static MObject joint(const char* name, MObject parent, double y) {
        MFnIkJoint fn;
        MObject j = fn.create(parent);
        fn.setName(name);
        fn.setTranslation(MVector(0, y, 0), MSpace::kTransform);
        return j;
    }
    static MObject column(const char* name) {
        MFloatPointArray pts;
        for (int row = 0; row < 3; ++row) {
            pts.append(0, 2.0f * static_cast<float>(row), 0);
            pts.append(1, 2.0f * static_cast<float>(row), 0);
        }
        MIntArray counts, connects;
        for (int q = 0; q < 2; ++q) {
            counts.append(4);
            connects.append(2 * q);
            connects.append(2 * q + 1);
            connects.append(2 * q + 3);
            connects.append(2 * q + 2);
        }
        MFnMesh fn;
        MObject xf = fn.create(6, 2, pts, counts, connects);
        MFnDependencyNode(xf).setName(name);
        return xf;
    }
    static MStatus run(const std::string& command, MStringArray& result) {
        return MGlobal::executeCommand(MString(command.c_str()), result, false, false);
    }
    // Runs a skinCluster command and answers the cluster it made (null when it failed).
    static MObject bind(const std::string& command) {
        MStringArray result;
        EXPECT_TRUE(run(command, result)) << command;
        return result.length() == 1 ? node(result[0].asChar()) : MObject();
    }
    MDagPath bodyShape() const {
        MDagPath p;
        MDagPath::getAPathTo(mesh, p);
        p.extendToShape();
        return p;
    }
    static int countClusters() {
        int n = 0;
        for (MItDependencyNodes it(MFn::kSkinClusterFilter); !it.isDone(); it.next()) ++n;
        return n;
    }

    MObject hip, spine, head, mesh;
};

TEST_F(SkinCluster, CommandBindsAndAnswersTheNewNodesName) {
    MStringArray result;
    ASSERT_TRUE(run("skinCluster -tsb hip spine head body", result));
    ASSERT_EQ(result.length(), 1u);
    EXPECT_EQ(result[0], "skinCluster1");
    MObject other = column("other");
    ASSERT_TRUE(run("skinCluster -tsb hip other", result));
    EXPECT_EQ(result[0], "skinCluster2");
    EXPECT_EQ(countClusters(), 2);
    (void)other;
}

TEST_F(SkinCluster, InfluencesAreTheNamedJointsInCommandOrder) {
    MFnSkinCluster skin(bind("skinCluster -tsb head hip body"));
    MDagPathArray paths;
    EXPECT_EQ(skin.influenceObjects(paths), 2u);
    ASSERT_EQ(paths.length(), 2u);
    EXPECT_EQ(std::string(paths[0].fullPathName().asChar()), "|hip|spine|head");
    EXPECT_EQ(std::string(paths[1].fullPathName().asChar()), "|hip");
    EXPECT_EQ(skin.indexForInfluenceObject(paths[1]), 1u);
    MDagPath spinePath;
    MDagPath::getAPathTo(spine, spinePath);
    MStatus status;
    skin.indexForInfluenceObject(spinePath, &status);
    EXPECT_FALSE(status);
}

TEST_F(SkinCluster, WithoutSelectedBonesTheJointsBelowAreBoundToo) {
    MFnSkinCluster skin(bind("skinCluster hip body"));
    MDagPathArray paths;
    EXPECT_EQ(skin.influenceObjects(paths), 3u);
}

TEST_F(SkinCluster, DefaultWeightsFallOffOverTheNearbyInfluences) {
    MFnSkinCluster skin(bind("skinCluster -tsb hip spine head body"));
    MDagPath shape = bodyShape();
    std::vector<std::vector<double>> rows;
    for (MItGeometry it(shape); !it.isDone(); it.next()) {
        MDoubleArray w;
        unsigned count = 0;
        ASSERT_TRUE(skin.getWeights(shape, it.component(), w, count));
        ASSERT_EQ(count, 3u);
        rows.push_back({w[0], w[1], w[2]});
        EXPECT_NEAR(w[0] + w[1] + w[2], 1.0, 1e-12);
    }
    ASSERT_EQ(rows.size(), 6u);
    // A point on the hip's bone belongs to it alone.
    EXPECT_EQ(rows[0], (std::vector<double>{1, 0, 0}));
    // (1,2,0) lies 1 from the hip's and the spine's bones and sqrt 5 from the head: with 1 / d^4,
    // 1 : 1 : 1/25, that is 25/51, 25/51, 1/51.
    EXPECT_NEAR(rows[3][0], 25.0 / 51.0, 1e-12);
    EXPECT_NEAR(rows[3][1], 25.0 / 51.0, 1e-12);
    EXPECT_NEAR(rows[3][2], 1.0 / 51.0, 1e-12);
    EXPECT_NEAR(rows[5][0], 1.0 / 51.0, 1e-12);
    EXPECT_NEAR(rows[5][2], 25.0 / 51.0, 1e-12);
}

TEST_F(SkinCluster, WeightsSetForListedInfluencesReadBackNormalised) {
    MFnSkinCluster skin(bind("skinCluster -tsb hip spine head body"));
    MDagPath shape = bodyShape();
    MFnSingleIndexedComponent comp;
    MObject points = comp.create(MFn::kMeshVertComponent);
    comp.addElement(0);
    comp.addElement(4);
    MIntArray influences;
    influences.append(0);
    influences.append(1);
    MDoubleArray values;
    for (double v : {0.6, 0.4, 0.3, 0.2}) values.append(v);
    MDoubleArray old;
    ASSERT_TRUE(skin.setWeights(shape, points, influences, values, true, &old));
    ASSERT_EQ(old.length(), 4u);
    EXPECT_DOUBLE_EQ(old[0], 1.0);  // point 0 was on hip
    EXPECT_DOUBLE_EQ(old[2], 0.0);

    MDoubleArray w;
    unsigned count = 0;
    ASSERT_TRUE(skin.getWeights(shape, points, w, count));
    ASSERT_EQ(w.length(), 6u);
    EXPECT_DOUBLE_EQ(w[0], 0.6);
    EXPECT_DOUBLE_EQ(w[1], 0.4);
    EXPECT_DOUBLE_EQ(w[2], 0.0);
    EXPECT_DOUBLE_EQ(w[3], 0.3);  // point 4 keeps the listed values; head takes what is left
    EXPECT_DOUBLE_EQ(w[4], 0.2);
    EXPECT_DOUBLE_EQ(w[5], 0.5);

    MDoubleArray tooFew;
    tooFew.append(1.0);
    EXPECT_FALSE(skin.setWeights(shape, points, influences, tooFew, true));
    MIntArray unknown;
    unknown.append(7);
    MDoubleArray two(2, 1.0);
    EXPECT_FALSE(skin.setWeights(shape, points, unknown, two, false));
}

TEST_F(SkinCluster, UnnormalisedWeightsAreStoredAsGiven) {
    MFnSkinCluster skin(bind("skinCluster -tsb hip spine head body"));
    MDagPath shape = bodyShape();
    MFnSingleIndexedComponent comp;
    MObject point = comp.create(MFn::kMeshVertComponent);
    comp.addElement(1);
    MIntArray all;
    for (int i = 0; i < 3; ++i) all.append(i);
    MDoubleArray values;
    for (double v : {0.6, 0.4, 0.0005}) values.append(v);
    ASSERT_TRUE(skin.setWeights(shape, point, all, values, false));
    MDoubleArray w;
    unsigned count = 0;
    skin.getWeights(shape, point, w, count);
    EXPECT_DOUBLE_EQ(w[2], 0.0005);
}

TEST_F(SkinCluster, OutputShapeAndPathAreTheBoundMesh) {
    MStringArray result;
    ASSERT_TRUE(run("skinCluster -tsb hip body", result));
    MItDependencyNodes it(MFn::kSkinClusterFilter);
    ASSERT_FALSE(it.isDone());
    MFnSkinCluster skin(it.item());
    EXPECT_EQ(std::string(skin.name().asChar()), "skinCluster1");
    ASSERT_EQ(skin.numOutputConnections(), 1u);
    const unsigned index = skin.indexForOutputConnection(0);
    MDagPath path;
    ASSERT_TRUE(skin.getPathAtIndex(index, path));
    EXPECT_EQ(std::string(path.fullPathName().asChar()), "|body|polySurfaceShape1");
    EXPECT_TRUE(skin.outputShapeAtIndex(index) == path.node());
    MStatus status;
    skin.indexForOutputConnection(1, &status);
    EXPECT_FALSE(status);

    // The original geometry stays behind as an intermediate shape.
    MFnDagNode orig(node("polySurfaceShape1Orig"));
    EXPECT_TRUE(orig.isIntermediateObject());
}

TEST_F(SkinCluster, FailsWhenANameMatchesNoNodeOrSeveral) {
    MStringArray result;
    EXPECT_FALSE(run("skinCluster -tsb hip nobody body", result));
    EXPECT_EQ(result.length(), 0u);
    joint("hip", head, 1);  // a second "hip" under head
    EXPECT_FALSE(run("skinCluster -tsb hip body", result));
    EXPECT_EQ(countClusters(), 0);
    bool reported = false;
    for (const auto& line : mayasim::messages())
        reported =
            reported || (line.severity == mayasim::Severity::kError &&
                         line.text.find("More than one object matches name: hip") != std::string::npos);
    EXPECT_TRUE(reported);
    EXPECT_TRUE(run("skinCluster -tsb |hip spine body", result));
}

TEST_F(SkinCluster, BindsAChainOfUnnamedJointsByTheirGeneratedNames) {
    MFnIkJoint fn;
    MObject first = fn.create();
    MObject second = fn.create(first);
    MObject third = fn.create(second);
    EXPECT_EQ(nameOf(first), "joint1");
    EXPECT_EQ(nameOf(second), "joint2");
    EXPECT_EQ(nameOf(third), "joint3");
    MStringArray result;
    EXPECT_TRUE(run("skinCluster -tsb joint1 joint2 joint3 body", result));
    EXPECT_EQ(countClusters(), 1);
}

TEST_F(SkinCluster, FailsForAMeshAlreadyBoundAndWithoutInfluences) {
    MStringArray result;
    ASSERT_TRUE(run("skinCluster -tsb hip body", result));
    EXPECT_FALSE(run("skinCluster -tsb spine body", result));
    MObject other = column("other");
    EXPECT_FALSE(run("skinCluster -tsb other", result));
    EXPECT_EQ(countClusters(), 1);
    (void)other;
}

}  // namespace
