#include <maya/MDGModifier.h>
#include <maya/MFnAttribute.h>
#include <maya/MItDependencyGraph.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>

#include "SceneFixture.h"

namespace {

class Plugs : public SceneTest {
  protected:
    static MPlug plug(const MObject& node, const char* name) {
        MStatus status;
        MPlug p = MFnDependencyNode(node).findPlug(name, &status);
        EXPECT_TRUE(status) << name;
        return p;
    }
    static MStatus connect(const MPlug& src, const MPlug& dst) {
        MDGModifier mod;
        MStatus queued = mod.connect(src, dst);
        return queued ? mod.doIt() : queued;
    }
};

TEST_F(Plugs, NewTransformHasMayaDefaults) {
    MObject xf = dagNode("transform", "t");
    double sx = 0, tx = 5;
    bool visible = false;
    int order = -1;
    ASSERT_TRUE(plug(xf, "scaleX").getValue(sx));
    ASSERT_TRUE(plug(xf, "tx").getValue(tx));
    ASSERT_TRUE(plug(xf, "visibility").getValue(visible));
    ASSERT_TRUE(plug(xf, "rotateOrder").getValue(order));
    EXPECT_EQ(sx, 1.0);
    EXPECT_EQ(tx, 0.0);
    EXPECT_TRUE(visible);
    EXPECT_EQ(order, 0);
}

TEST_F(Plugs, FindPlugAndAttributeFailForUnknownNames) {
    MStatus status;
    MFnDependencyNode fn(dagNode("transform", "t"));
    MPlug p = fn.findPlug("noSuchAttr", &status);
    EXPECT_FALSE(status);
    EXPECT_TRUE(p.isNull());
    fn.attribute("noSuchAttr", &status);
    EXPECT_FALSE(status);
}

TEST_F(Plugs, ValuesRoundTripAndWrongTypesFail) {
    MObject node = dgNode("objectSet", "set");
    MPlug text = plug(node, "annotation");
    ASSERT_TRUE(text.setValue(MString("hello")));
    MString got;
    ASSERT_TRUE(text.getValue(got));
    EXPECT_EQ(got, "hello");
    double unchanged = 7;
    EXPECT_FALSE(text.getValue(unchanged));
    EXPECT_EQ(unchanged, 7);
    EXPECT_FALSE(plug(node, "isLayer").setValue(MString("x")));
}

TEST_F(Plugs, CompoundChildrenAndAttributeNames) {
    MPlug translate = plug(dagNode("transform", "t"), "translate");
    ASSERT_EQ(translate.numChildren(), 3u);
    MPlug ty = translate.child(1);
    MFnAttribute attr(ty.attribute());
    EXPECT_EQ(attr.name(), "translateY");
    EXPECT_EQ(attr.shortName(), "ty");
    EXPECT_EQ(ty.parent(), translate);
    EXPECT_EQ(ty.name(), "t.translateY");
}

TEST_F(Plugs, ArraysKeepSparseLogicalIndices) {
    MPlug textures = plug(dgNode("textureList", "list"), "textures");
    EXPECT_TRUE(textures.isArray());
    EXPECT_EQ(textures.numElements(), 0u);
    MPlug e5 = textures.elementByLogicalIndex(5);
    MPlug e2 = textures.elementByLogicalIndex(2);
    EXPECT_EQ(textures.numElements(), 2u);
    EXPECT_EQ(textures.elementByPhysicalIndex(0).logicalIndex(), 2u);
    EXPECT_EQ(textures.elementByPhysicalIndex(1).logicalIndex(), 5u);
    MStatus status;
    textures.elementByPhysicalIndex(2, &status);
    EXPECT_FALSE(status);
    EXPECT_EQ(e5.array(), textures);
    EXPECT_TRUE(e2.isElement());
    // Brackets take a physical index and create nothing; logical access creates the element.
    EXPECT_EQ(textures[1].logicalIndex(), 5u);
    EXPECT_TRUE(textures[2].isNull());
    EXPECT_EQ(textures.numElements(), 2u);
    EXPECT_EQ(textures.elementByLogicalIndex(3).logicalIndex(), 3u);
    EXPECT_EQ(textures.numElements(), 3u);
    EXPECT_EQ(textures[1].logicalIndex(), 3u);
}

TEST_F(Plugs, ConnectionIsQueuedUntilDoIt) {
    MObject a = dagNode("transform", "a");
    MObject b = dagNode("transform", "b");
    MDGModifier mod;
    ASSERT_TRUE(mod.connect(plug(a, "translateX"), plug(b, "translateY")));
    EXPECT_FALSE(plug(b, "translateY").isConnected());
    ASSERT_TRUE(mod.doIt());
    EXPECT_TRUE(plug(b, "translateY").isConnected());
    plug(a, "translateX").setValue(4.0);
    double v = 0;
    plug(b, "translateY").getValue(v);
    EXPECT_EQ(v, 4.0);
    ASSERT_TRUE(mod.undoIt());
    EXPECT_FALSE(plug(b, "translateY").isConnected());
}

TEST_F(Plugs, ConnectedToGivesSourceAndDestinations) {
    MObject a = dagNode("transform", "a");
    MObject b = dagNode("transform", "b");
    MObject c = dagNode("transform", "c");
    ASSERT_TRUE(connect(plug(a, "tx"), plug(b, "tx")));
    ASSERT_TRUE(connect(plug(a, "tx"), plug(c, "ty")));
    MPlugArray plugs;
    EXPECT_TRUE(plug(b, "tx").connectedTo(plugs, true, false));
    ASSERT_EQ(plugs.length(), 1u);
    EXPECT_EQ(plugs[0], plug(a, "tx"));
    EXPECT_TRUE(plug(a, "tx").connectedTo(plugs, false, true));
    ASSERT_EQ(plugs.length(), 2u);
    EXPECT_EQ(plugs[1].name(), "c.translateY");
    EXPECT_FALSE(plug(a, "tx").connectedTo(plugs, true, false));
    MPlugArray connected;
    ASSERT_TRUE(MFnDependencyNode(a).getConnections(connected));
    EXPECT_EQ(connected.length(), 1u);
}

TEST_F(Plugs, DestinationAlreadyConnectedIsRefused) {
    MObject a = dagNode("transform", "a");
    MObject b = dagNode("transform", "b");
    MObject c = dagNode("transform", "c");
    ASSERT_TRUE(connect(plug(a, "tx"), plug(c, "tx")));
    EXPECT_FALSE(connect(plug(b, "tx"), plug(c, "tx")));
    MPlugArray src;
    plug(c, "tx").connectedTo(src, true, false);
    ASSERT_EQ(src.length(), 1u);
    EXPECT_EQ(src[0], plug(a, "tx"));
}

TEST_F(Plugs, IncompatibleOrMissingPlugsAreRefused) {
    MObject xf = dagNode("transform", "a");
    MObject set = dgNode("objectSet", "s");
    EXPECT_FALSE(connect(plug(set, "annotation"), plug(xf, "tx")));
    EXPECT_FALSE(connect(plug(xf, "tx"), MPlug()));
    EXPECT_FALSE(connect(plug(xf, "tx"), plug(xf, "worldMatrix").elementByLogicalIndex(0)));
}

TEST_F(Plugs, DoItStopsAtTheFirstImpossibleConnection) {
    MObject a = dagNode("transform", "a");
    MObject b = dagNode("transform", "b");
    MDGModifier mod;
    mod.connect(plug(a, "tx"), plug(b, "tx"));
    mod.connect(plug(a, "ty"), plug(b, "tx"));
    mod.connect(plug(a, "tz"), plug(b, "tz"));
    EXPECT_FALSE(mod.doIt());
    EXPECT_TRUE(plug(b, "tx").isConnected());
    EXPECT_FALSE(plug(b, "tz").isConnected());
}

TEST_F(Plugs, MessageConnectsToArrayElement) {
    MObject list = dgNode("textureList", "list");
    MObject place = dgNode("place2dTexture");
    MPlug element = plug(list, "textures").elementByLogicalIndex(0);
    ASSERT_TRUE(connect(plug(place, "message"), element));
    EXPECT_TRUE(element.isConnected());
    EXPECT_FALSE(plug(list, "textures").elementByLogicalIndex(1).isConnected());
}

TEST_F(Plugs, DependencyGraphIteratorFollowsConnections) {
    MObject a = dagNode("transform", "a");
    MObject b = dagNode("joint", "b");
    MObject c = dagNode("transform", "c");
    connect(plug(a, "tx"), plug(b, "tx"));
    connect(plug(b, "ty"), plug(c, "ty"));
    std::vector<std::string> down;
    for (MItDependencyGraph it(a); !it.isDone(); it.next()) down.push_back(nameOf(it.currentItem()));
    EXPECT_EQ(down, (std::vector<std::string>{"a", "b", "c"}));
    std::vector<std::string> up;
    for (MItDependencyGraph it(c, MFn::kJoint, MItDependencyGraph::kUpstream); !it.isDone(); it.next())
        up.push_back(nameOf(it.currentItem()));
    EXPECT_EQ(up, (std::vector<std::string>{"b"}));
    // From a plug, the first step follows that plug only.
    connect(plug(a, "ty"), plug(dagNode("transform", "d"), "ty"));
    std::vector<std::string> fromPlug;
    MPlug ax = plug(a, "tx");
    for (MItDependencyGraph it(ax); !it.isDone(); it.next()) fromPlug.push_back(nameOf(it.thisNode()));
    EXPECT_EQ(fromPlug, (std::vector<std::string>{"a", "b", "c"}));
}

using DependencyNodes = SceneTest;

TEST_F(DependencyNodes, IterationIsInCreationOrderWithFilter) {
    dgNode("place2dTexture", "p1");
    dgNode("lambert", "l2");
    dgNode("place2dTexture", "p2");
    std::vector<std::string> names;
    for (MItDependencyNodes it(MFn::kPlace2dTexture); !it.isDone(); it.next())
        names.push_back(nameOf(it.item()));
    EXPECT_EQ(names, (std::vector<std::string>{"p1", "p2"}));
}

TEST_F(DependencyNodes, NewSceneHasTheDefaultNodes) {
    MItDependencyNodes lists(MFn::kTextureList);
    ASSERT_FALSE(lists.isDone());
    EXPECT_EQ(nameOf(lists.item()), "defaultTextureList1");
    std::vector<std::string> lamberts;
    for (MItDependencyNodes it(MFn::kLambert); !it.isDone(); it.next()) lamberts.push_back(nameOf(it.item()));
    EXPECT_EQ(lamberts, (std::vector<std::string>{"lambert1"}));
    MItDependencyNodes groups(MFn::kShadingEngine);
    ASSERT_FALSE(groups.isDone());
    EXPECT_EQ(nameOf(groups.item()), "initialShadingGroup");
    MPlugArray src;
    ASSERT_TRUE(MFnDependencyNode(groups.item()).findPlug("surfaceShader").connectedTo(src, true, false));
    EXPECT_EQ(nameOf(src[0].node()), "lambert1");
    EXPECT_FALSE(MFnDependencyNode(lists.item()).findPlug("textures").isNull());
}

TEST_F(DependencyNodes, PhongIsAlsoReflectAndLambert) {
    MObject phong = dgNode("phong");
    EXPECT_EQ(phong.apiType(), MFn::kPhong);
    EXPECT_TRUE(phong.hasFn(MFn::kReflect));
    EXPECT_TRUE(phong.hasFn(MFn::kLambert));
    EXPECT_FALSE(phong.hasFn(MFn::kBlinn));
    EXPECT_STREQ(phong.apiTypeStr(), "kPhong");
}

TEST_F(DependencyNodes, DagTypesAreNotMadeByTheDependencySet) {
    MFnDependencyNode fn;
    MStatus status;
    fn.create("transform", &status);
    EXPECT_FALSE(status);
    fn.create("noSuchType", &status);
    EXPECT_FALSE(status);
}

TEST_F(DependencyNodes, JointIsATransformAndLightsAreLights) {
    MObject joint = dagNode("joint", "j");
    EXPECT_TRUE(joint.hasFn(MFn::kTransform));
    EXPECT_TRUE(joint.hasFn(MFn::kDagNode));
    MFnDagNode fn;
    MObject lightXf = fn.create("volumeLight", MObject::kNullObj);
    MObject shape = MFnDagNode(lightXf).child(0);
    EXPECT_TRUE(shape.hasFn(MFn::kPointLight));
    EXPECT_TRUE(shape.hasFn(MFn::kLight));
    EXPECT_FALSE(lightXf.hasFn(MFn::kLight));
}

}  // namespace

namespace {

using FunctionSets = SceneTest;

TEST_F(FunctionSets, HasObjFollowsTypeCompatibility) {
    MFnDagNode dag;
    EXPECT_TRUE(dag.hasObj(MFn::kJoint));
    EXPECT_TRUE(dag.hasObj(MFn::kMesh));
    EXPECT_FALSE(dag.hasObj(MFn::kLambert));
}

TEST_F(FunctionSets, RefuseIncompatibleOrDeletedObjects) {
    MObject lambert = dgNode("lambert", "l");
    MStatus status;
    MFnDagNode dag(lambert, &status);
    EXPECT_FALSE(status);
    EXPECT_FALSE(dag.name(&status).length());
    EXPECT_FALSE(status);
    MObject xf = dagNode("transform", "t");
    mayasim::newScene();
    MFnDependencyNode stale(xf, &status);
    EXPECT_FALSE(status);
}

}  // namespace
