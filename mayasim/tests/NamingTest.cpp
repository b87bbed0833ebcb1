#include <maya/MDGModifier.h>
#include <maya/MFnIkJoint.h>
#include <maya/MFnMesh.h>
#include <maya/MFnPointLight.h>
#include <maya/MFnTransform.h>

#include "SceneFixture.h"

namespace {

using NodeNaming = SceneTest;

// A taken name gets a number, a trailing number is increased, and an unnamed node takes its type's
// name and the first free number (lambert1 exists in every new scene).
TEST_F(NodeNaming, DependencyNodesAreNumberedInTurn) {
    struct Made {
        const char* type;
        const char* asked;
        const char* given;
    };
    // clang-format off
    const Made sequence[] = {
        {"shadingEngine", "shadingGroup", "shadingGroup"}, {"shadingEngine", "shadingGroup", "shadingGroup1"},
        {"shadingEngine", "shadingGroup", "shadingGroup2"},
        {"place2dTexture", "place2dTexture1", "place2dTexture1"},
        {"place2dTexture", "place2dTexture1", "place2dTexture2"}, {"place2dTexture", "", "place2dTexture3"},
        {"lambert", "", "lambert2"}};
    // clang-format on
    for (const Made& m : sequence)
        EXPECT_EQ(nameOf(dgNode(m.type, m.asked)), m.given) << m.type << " " << m.asked;
}

TEST_F(NodeNaming, DagNamesAreUniqueAmongSiblingsOnly) {
    MObject a = dagNode("transform", "a");
    MObject b = dagNode("transform", "b");
    MObject childOfA = dagNode("joint", "hand", a);
    MObject childOfB = dagNode("joint", "hand", b);
    EXPECT_EQ(nameOf(childOfA), "hand");
    EXPECT_EQ(nameOf(childOfB), "hand");
    EXPECT_EQ(nameOf(dagNode("joint", "hand", a)), "hand1");
    EXPECT_EQ(fullPath(childOfB), "|b|hand");
}

TEST_F(NodeNaming, GeneratedDagNamesAreUniqueInTheWholeScene) {
    MObject a = dagNode("transform", "a");
    MObject b = dagNode("transform", "b");
    MFnIkJoint joints;
    EXPECT_EQ(nameOf(joints.create(a)), "joint1");
    EXPECT_EQ(nameOf(joints.create(b)), "joint2");
    EXPECT_EQ(nameOf(joints.create()), "joint3");
    MFnTransform transforms;
    EXPECT_EQ(nameOf(transforms.create(a)), "transform1");
    EXPECT_EQ(nameOf(transforms.create(b)), "transform2");
}

TEST_F(NodeNaming, GeneratedNameSkipsAGivenNameUnderAnotherParent) {
    MObject a = dagNode("transform", "a");
    MObject b = dagNode("transform", "b");
    dagNode("joint", "joint1", a);
    MFnIkJoint joints;
    EXPECT_EQ(nameOf(joints.create(b)), "joint2");
}

TEST_F(NodeNaming, GeneratedShapeNamesAreUniqueInTheWholeScene) {
    MObject a = dagNode("transform", "a");
    MObject b = dagNode("transform", "b");
    MFnMesh meshes;
    EXPECT_EQ(nameOf(triangle(meshes, a)), "polySurfaceShape1");
    EXPECT_EQ(nameOf(triangle(meshes, b)), "polySurfaceShape2");
    MFnPointLight lights;
    EXPECT_EQ(nameOf(lights.create(a, true, false)), "pointLightShape1");
    EXPECT_EQ(nameOf(lights.create(b, true, false)), "pointLightShape2");
}

TEST_F(NodeNaming, FreedNumbersAreReused) {
    MFnIkJoint joints;
    MObject first = joints.create();
    MObject second = joints.create();
    joints.create();
    MDGModifier modifier;
    ASSERT_TRUE(modifier.deleteNode(second));
    ASSERT_TRUE(modifier.doIt());
    EXPECT_EQ(nameOf(joints.create()), "joint2");
    EXPECT_EQ(nameOf(joints.create()), "joint4");
    MFnDependencyNode(first).setName("hip");
    EXPECT_EQ(nameOf(joints.create()), "joint1");
    EXPECT_EQ(nameOf(dgNode("place2dTexture", "place2dTexture7")), "place2dTexture7");
    EXPECT_EQ(nameOf(dgNode("place2dTexture")), "place2dTexture1");
}

TEST_F(NodeNaming, ManyNodesOfOneBaseAreNumberedInTurn) {
    MFnIkJoint joints;
    MObject last;
    for (int i = 0; i < 3000; ++i) last = joints.create();
    EXPECT_EQ(nameOf(last), "joint3000");
    EXPECT_EQ(nameOf(dgNode("lambert")), "lambert2");
}

TEST_F(NodeNaming, DependencyNameMayNotRepeatADagName) {
    dagNode("transform", "thing");
    EXPECT_EQ(nameOf(dgNode("lambert", "thing")), "thing1");
}

TEST_F(NodeNaming, SetNameReturnsTheNameGiven) {
    MObject first = dagNode("joint", "root");
    MObject second = dagNode("joint", "other");
    MFnDependencyNode fn(second);
    MStatus status;
    EXPECT_EQ(fn.setName("root", &status), "root1");
    EXPECT_TRUE(status);
    EXPECT_EQ(fn.name(), "root1");
    EXPECT_EQ(nameOf(first), "root");
}

TEST_F(NodeNaming, IllegalCharactersBecomeUnderscores) {
    MFnDependencyNode fn(dgNode("lambert", "a b-c"));
    EXPECT_EQ(fn.name(), "a_b_c");
    MStatus status;
    fn.setName("1st", &status);
    EXPECT_EQ(fn.name(), "_1st");
}

TEST_F(NodeNaming, ReparentedNodeIsRenamedWhenItsNameIsTaken) {
    MObject a = dagNode("transform", "a");
    MObject hand = dagNode("joint", "hand", a);
    MObject loose = dagNode("joint", "hand");
    MFnDagNode parent(a);
    ASSERT_TRUE(parent.addChild(loose));
    EXPECT_EQ(nameOf(hand), "hand");
    EXPECT_EQ(nameOf(loose), "hand1");
}

TEST_F(NodeNaming, EmptyNameIsRefused) {
    MFnDependencyNode fn(dgNode("lambert", "keep"));
    MStatus status;
    fn.setName("", &status);
    EXPECT_FALSE(status);
    EXPECT_EQ(fn.name(), "keep");
}

}  // namespace
