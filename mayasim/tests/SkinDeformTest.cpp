// Skinned shapes deform: their points are the weighted blend of the original points carried by each
// influence from its bind pose to its current world matrix, evaluated from the graph's plugs.
#include <maya/MAnimControl.h>
#include <maya/MDGModifier.h>
#include <maya/MDagPath.h>
#include <maya/MDoubleArray.h>
#include <maya/MEulerRotation.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MFnGeometryFilter.h>
#include <maya/MFnIkJoint.h>
#include <maya/MFnMesh.h>
#include <maya/MFnSet.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MFnSkinCluster.h>
#include <maya/MFnTransform.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MItGeometry.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MPointArray.h>
#include <maya/MStringArray.h>
#include <maya/MTime.h>
#include <maya/MVector.h>

#include <cmath>

#include "SceneFixture.h"

namespace {

constexpr double kHalfPi = 1.5707963267948966;

void expectPoint(const MPoint& p, double x, double y, double z) {
    EXPECT_NEAR(p.x, x, 1e-9);
    EXPECT_NEAR(p.y, y, 1e-9);
    EXPECT_NEAR(p.z, z, 1e-9);
}

// A quad (0,0,0) (2,0,0) (2,1,0) (0,1,0) under a transform at x 10, bound to a root joint at world
// (10,0,0) and its child "tip" at (12,0,0).
class SkinDeform : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        MFnIkJoint fn;
        root = fn.create();
        fn.setName("root");
        fn.setTranslation(MVector(10, 0, 0), MSpace::kTransform);
        tip = fn.create(root);
        fn.setName("tip");
        fn.setTranslation(MVector(2, 0, 0), MSpace::kTransform);

        MPointArray pts;
        pts.append(MPoint(0, 0, 0));
        pts.append(MPoint(2, 0, 0));
        pts.append(MPoint(2, 1, 0));
        pts.append(MPoint(0, 1, 0));
        MIntArray counts, connects;
        counts.append(4);
        for (int i = 0; i < 4; ++i) connects.append(i);
        MFnMesh mesh;
        xform = mesh.create(4, 1, pts, counts, connects);
        MFnDependencyNode(xform).setName("sheet");
        MFnTransform(xform).setTranslation(MVector(10, 0, 0), MSpace::kTransform);
        MDagPath::getAPathTo(xform, shape);
        shape.extendToShape();
    }

    MObject bind() {
        MStringArray result;
        EXPECT_TRUE(MGlobal::executeCommand("skinCluster -tsb root tip sheet", result, false, false));
        return result.length() ? node(result[0].asChar()) : MObject();
    }
    // Weights (root, tip) per point: 1/0, 0/1, 0.25/0.75, 0.5/0.5.
    void setKnownWeights(MFnSkinCluster& skin) {
        MIntArray both;
        both.append(0);
        both.append(1);
        MDoubleArray values;
        for (double v : {1.0, 0.0, 0.0, 1.0, 0.25, 0.75, 0.5, 0.5}) values.append(v);
        ASSERT_TRUE(skin.setWeights(shape, MObject::kNullObj, both, values, false));
    }
    MPointArray points(MSpace::Space space) const {
        MPointArray out;
        EXPECT_TRUE(MFnMesh(shape).getPoints(out, space));
        return out;
    }

    MObject root, tip, xform;
    MDagPath shape;
};

TEST_F(SkinDeform, BoundShapeKeepsItsPointsInTheBindPose) {
    bind();
    const MPointArray obj = points(MSpace::kObject);
    ASSERT_EQ(obj.length(), 4u);
    expectPoint(obj[2], 2, 1, 0);
    expectPoint(points(MSpace::kWorld)[2], 12, 1, 0);
    EXPECT_EQ(MFnMesh(shape).numVertices(), 4);
}

TEST_F(SkinDeform, MovingAJointMovesPointsByTheirWeights) {
    MFnSkinCluster skin(bind());
    setKnownWeights(skin);
    MFnIkJoint(tip).setTranslation(MVector(2, 0, 4), MSpace::kTransform);
    const MPointArray obj = points(MSpace::kObject);
    expectPoint(obj[0], 0, 0, 0);
    expectPoint(obj[1], 2, 0, 4);
    expectPoint(obj[2], 2, 1, 3);
    expectPoint(obj[3], 0, 1, 2);
    expectPoint(points(MSpace::kWorld)[3], 10, 1, 2);
    MPoint one;
    ASSERT_TRUE(MFnMesh(shape).getPoint(2, one, MSpace::kObject));
    expectPoint(one, 2, 1, 3);
    MItGeometry it(shape);
    it.next();
    expectPoint(it.position(MSpace::kWorld), 12, 0, 4);
}

TEST_F(SkinDeform, RotatingTheRootTurnsTheSkinAboutIt) {
    MFnSkinCluster skin(bind());
    setKnownWeights(skin);
    // 90 degrees about z at world (10,0,0): (x, y) relative to it becomes (-y, x).
    MFnIkJoint(root).setRotation(MEulerRotation(0, 0, kHalfPi));
    const MPointArray world = points(MSpace::kWorld);
    expectPoint(world[0], 10, 0, 0);
    expectPoint(world[1], 10, 2, 0);
    expectPoint(world[2], 9, 2, 0);
    expectPoint(world[3], 9, 0, 0);
    expectPoint(points(MSpace::kObject)[2], -1, 2, 0);
}

TEST_F(SkinDeform, AnimatedJointDeformsAtTheCurrentTime) {
    MFnSkinCluster skin(bind());
    setKnownWeights(skin);
    MFnAnimCurve curve;
    MStatus status;
    curve.create(MFnDependencyNode(tip).findPlug("translateZ"), MFnAnimCurve::kAnimCurveTL, NULL, &status);
    ASSERT_TRUE(status);
    curve.addKey(MTime(1, MTime::kFilm), 0, MFnAnimCurve::kTangentLinear, MFnAnimCurve::kTangentLinear);
    curve.addKey(MTime(9, MTime::kFilm), 8, MFnAnimCurve::kTangentLinear, MFnAnimCurve::kTangentLinear);
    MAnimControl::setCurrentTime(MTime(5, MTime::kFilm));
    expectPoint(points(MSpace::kObject)[2], 2, 1, 3);
    MAnimControl::setCurrentTime(MTime(1, MTime::kFilm));
    expectPoint(points(MSpace::kObject)[2], 2, 1, 0);
}

TEST_F(SkinDeform, DefaultWeightsFallOffWithDistanceOverSeveralJoints) {
    MFnSkinCluster skin(bind());
    MFnSingleIndexedComponent comp;
    MObject corner = comp.create(MFn::kMeshVertComponent);
    comp.addElement(3);
    MDoubleArray w;
    unsigned count = 0;
    ASSERT_TRUE(skin.getWeights(shape, corner, w, count));
    ASSERT_EQ(count, 2u);
    // World (10,1,0) lies 1 from the root's bone (10,0,0)-(12,0,0) and sqrt 5 from the tip:
    // 1 / d^4 normalised gives 25/26 and 1/26.
    EXPECT_NEAR(w[0], 25.0 / 26.0, 1e-9);
    EXPECT_NEAR(w[1], 1.0 / 26.0, 1e-9);
    // A point on the root's bone, 2 from the tip, belongs to the root alone (the tip's share,
    // below a thousandth, is dropped).
    MFnSingleIndexedComponent comp0;
    MObject start = comp0.create(MFn::kMeshVertComponent);
    comp0.addElement(0);
    ASSERT_TRUE(skin.getWeights(shape, start, w, count));
    EXPECT_DOUBLE_EQ(w[0], 1.0);
    EXPECT_DOUBLE_EQ(w[1], 0.0);
}

TEST_F(SkinDeform, CommandMakesTheBindPoseAndTheDeformerSet) {
    MFnSkinCluster skin(bind());
    MStatus status;
    MFnSet set(skin.deformerSet(&status));
    ASSERT_TRUE(status);
    EXPECT_EQ(std::string(set.name().asChar()), "skinCluster1Set");
    EXPECT_TRUE(set.isMember(shape));

    MObject pose = node("bindPose1");
    ASSERT_FALSE(pose.isNull());
    MFnDependencyNode poseFn(pose);
    EXPECT_EQ(std::string(poseFn.typeName().asChar()), "dagPose");
    MPlugArray from;
    ASSERT_TRUE(skin.findPlug("bindPose").connectedTo(from, true, false));
    ASSERT_EQ(from.length(), 1u);
    EXPECT_TRUE(from[0].node() == pose);
    MPlug members = poseFn.findPlug("members");
    ASSERT_TRUE(members.elementByLogicalIndex(1).connectedTo(from, true, false));
    EXPECT_TRUE(from[0].node() == tip);
    // The tip's parent in the pose is the root's member entry.
    ASSERT_TRUE(poseFn.findPlug("parents").elementByLogicalIndex(1).connectedTo(from, true, false));
    EXPECT_EQ(std::string(from[0].name().asChar()), "bindPose1.members[0]");
}

// A graph laid out as a scene file does: Orig (with its own tweak) -> tweak -> groupParts ->
// skinCluster -> a visible shape that holds no geometry of its own.
TEST_F(SkinDeform, HandBuiltChainDeformsFromPlugsAlone) {
    MFnDagNode dag;
    MObject visible = dag.create("mesh", "sheetShape", xform);
    MDagPath origPath = shape;
    MFnDagNode(origPath).findPlug("intermediateObject").setValue(true);

    MFnDependencyNode nodes;
    MObject tweak = nodes.create("tweak");
    MFnDependencyNode tweakFn(tweak);
    MObject parts = nodes.create("groupParts");
    MFnDependencyNode partsFn(parts);
    MObject skinNode = nodes.create("skinCluster");
    MFnDependencyNode skinFn(skinNode);

    MDGModifier mod;
    MFnDependencyNode origFn(origPath.node());
    mod.connect(origFn.findPlug("worldMesh").elementByLogicalIndex(0),
                tweakFn.findPlug("input").elementByLogicalIndex(0).child(0));
    mod.connect(tweakFn.findPlug("outputGeometry").elementByLogicalIndex(0),
                partsFn.findPlug("inputGeometry"));
    mod.connect(partsFn.findPlug("outputGeometry"),
                skinFn.findPlug("input").elementByLogicalIndex(0).child(0));
    mod.connect(skinFn.findPlug("outputGeometry").elementByLogicalIndex(0),
                MFnDependencyNode(visible).findPlug("inMesh"));
    mod.connect(MFnDependencyNode(root).findPlug("worldMatrix").elementByLogicalIndex(0),
                skinFn.findPlug("matrix").elementByLogicalIndex(0));
    ASSERT_TRUE(mod.doIt());

    // The original shape's own tweak lifts point 2 by 0.5 in z; the tweak node point 1 by 1 in y.
    origFn.findPlug("pnts").elementByLogicalIndex(2).child(2).setValue(0.5);
    tweakFn.findPlug("vlist").elementByLogicalIndex(0).child(0).elementByLogicalIndex(1).child(1).setValue(
        1.0);
    // Weights: all points half on the root, except point 0 fully.
    MPlug weightList = skinFn.findPlug("weightList");
    for (unsigned v = 0; v < 4; ++v)
        weightList.elementByLogicalIndex(v).child(0).elementByLogicalIndex(0).setValue(v == 0 ? 1.0 : 0.5);
    // Identity geomMatrix and bindPreMatrix: the root's world matrix (translate (10,0,0)) applies.
    MDagPath visiblePath;
    MDagPath::getAPathTo(visible, visiblePath);
    MFnMesh fn(visiblePath);
    EXPECT_EQ(fn.numVertices(), 4);
    EXPECT_EQ(fn.numPolygons(), 1);
    MPointArray obj;
    ASSERT_TRUE(fn.getPoints(obj, MSpace::kObject));
    ASSERT_EQ(obj.length(), 4u);
    expectPoint(obj[0], 10, 0, 0);
    expectPoint(obj[1], 0.5 * 2 + 5, 0.5 * 1, 0);       // (2,1,0) halfway moved: 0.5 (12,1,0)
    expectPoint(obj[2], 0.5 * 12, 0.5 * 1, 0.5 * 0.5);  // (2,1,0.5) -> 0.5 (12,1,0.5)
    expectPoint(obj[3], 5, 0.5, 0);

    // The envelope blends between the input and the skinned result.
    skinFn.findPlug("envelope").setValue(0.0);
    ASSERT_TRUE(fn.getPoints(obj, MSpace::kObject));
    expectPoint(obj[1], 2, 1, 0);
    expectPoint(obj[2], 2, 1, 0.5);
}

}  // namespace
