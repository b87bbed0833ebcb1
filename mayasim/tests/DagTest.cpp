#include <maya/MDagPathArray.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFnIkJoint.h>
#include <maya/MFnMesh.h>
#include <maya/MFnPointLight.h>
#include <maya/MFnTransform.h>
#include <maya/MItDag.h>
#include <maya/MMatrix.h>
#include <maya/MVector.h>

#include <vector>

#include "SceneFixture.h"

namespace {

class Dag : public SceneTest {
  protected:
    // |root|arm|hand, |root|leg, and |other with "hand" instanced under it.
    void SetUp() override {
        SceneTest::SetUp();
        root = dagNode("transform", "root");
        arm = dagNode("joint", "arm", root);
        hand = dagNode("joint", "hand", arm);
        leg = dagNode("joint", "leg", root);
        other = dagNode("transform", "other");
        MFnDagNode otherFn(other);
        ASSERT_TRUE(otherFn.addChild(hand, MFnDagNode::kNextPos, true));
    }

    static std::vector<std::string> walk(MItDag::TraversalType type, MFn::Type filter = MFn::kInvalid) {
        std::vector<std::string> out;
        MStatus status;
        MItDag it(type, filter, &status);
        EXPECT_TRUE(status);
        for (; !it.isDone(); it.next()) {
            MDagPath path;
            EXPECT_TRUE(it.getPath(path));
            out.push_back(path.fullPathName().asChar());
        }
        return out;
    }
    // Drops the default cameras from a walk.
    static std::vector<std::string> withoutCameras(std::vector<std::string> v) {
        std::vector<std::string> out;
        for (auto& s : v)
            if (s.rfind("|persp", 0) && s.rfind("|top", 0) && s.rfind("|front", 0) && s.rfind("|side", 0))
                out.push_back(s);
        return out;
    }

    MObject root, arm, hand, leg, other;
};

// Walks start at the world and visit each instance; the default cameras come before new nodes; a
// filter reports only compatible nodes.
TEST_F(Dag, WalksVisitEveryInstanceInTheirOrder) {
    EXPECT_EQ(withoutCameras(walk(MItDag::kBreadthFirst)),
              (std::vector<std::string>{"", "|root", "|other", "|root|arm", "|root|leg", "|other|hand",
                                        "|root|arm|hand"}));
    EXPECT_EQ(withoutCameras(walk(MItDag::kDepthFirst)),
              (std::vector<std::string>{"", "|root", "|root|arm", "|root|arm|hand", "|root|leg", "|other",
                                        "|other|hand"}));
    const std::vector<std::string> all = walk(MItDag::kBreadthFirst);
    ASSERT_GE(all.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(all.begin() + 1, all.begin() + 5),
              (std::vector<std::string>{"|persp", "|top", "|front", "|side"}));
    EXPECT_EQ(walk(MItDag::kBreadthFirst, MFn::kJoint),
              (std::vector<std::string>{"|root|arm", "|root|leg", "|other|hand", "|root|arm|hand"}));
}

TEST_F(Dag, PartialPathNameIsTheShortestUniqueName) {
    MDagPath path;
    MFnDagNode(leg).getPath(path);
    EXPECT_EQ(path.partialPathName(), "leg");
    MDagPathArray paths;
    MFnDagNode(hand).getAllPaths(paths);
    ASSERT_EQ(paths.length(), 2u);
    EXPECT_EQ(paths[0].fullPathName(), "|root|arm|hand");
    EXPECT_EQ(paths[0].partialPathName(), "arm|hand");
    EXPECT_EQ(paths[1].partialPathName(), "other|hand");
}

TEST_F(Dag, PopNamesTheParentAndTheWorldAfterTopLevel) {
    MDagPath path;
    MFnDagNode(hand).getPath(path);
    ASSERT_TRUE(path.pop());
    EXPECT_EQ(path.fullPathName(), "|root|arm");
    ASSERT_TRUE(path.pop(2));
    EXPECT_EQ(path.fullPathName(), "");
    EXPECT_EQ(path.length(), 0u);
    EXPECT_FALSE(path.pop());
}

TEST_F(Dag, InstanceCountsParentsAndTopLevelNodesHaveTheWorld) {
    MFnDagNode fn(hand);
    EXPECT_EQ(fn.parentCount(), 2u);
    EXPECT_EQ(nameOf(fn.parent(1)), "other");
    EXPECT_TRUE(fn.isInstanced());
    MFnDagNode top(root);
    ASSERT_EQ(top.parentCount(), 1u);
    EXPECT_EQ(top.parent(0).apiType(), MFn::kWorld);
}

TEST_F(Dag, AddChildMovesWithoutKeepingOldParent) {
    MFnDagNode otherFn(other);
    ASSERT_TRUE(otherFn.addChild(leg));
    EXPECT_EQ(fullPath(leg), "|other|leg");
    EXPECT_EQ(MFnDagNode(root).childCount(), 1u);
}

TEST_F(Dag, AddChildRefusesACycle) {
    MFnDagNode handFn(hand);
    EXPECT_FALSE(handFn.addChild(root));
}

TEST_F(Dag, ShapeMadeWithoutParentGetsATransformThatAnswersForIt) {
    MFnDagNode fn;
    MObject xf = fn.create("mesh", MObject::kNullObj);
    EXPECT_EQ(fullPath(MFnDagNode(xf).child(0)), "|polySurface1|polySurfaceShape1");
    MDagPath xfPath;
    MDagPath::getAPathTo(xf, xfPath);
    EXPECT_TRUE(xfPath.hasFn(MFn::kTransform));
    EXPECT_TRUE(xfPath.hasFn(MFn::kMesh));
    EXPECT_EQ(xfPath.apiType(), MFn::kTransform);
    MDagPath shapePath = xfPath;
    ASSERT_TRUE(shapePath.extendToShape());
    EXPECT_TRUE(shapePath.hasFn(MFn::kMesh));
    EXPECT_FALSE(shapePath.hasFn(MFn::kTransform));
    EXPECT_EQ(MObject(shapePath.transform()), xf);
}

TEST_F(Dag, IntermediateShapeDoesNotAnswerForItsTransform) {
    MFnDagNode fn;
    MObject xf = fn.create("mesh", MObject::kNullObj);
    MFnDagNode shape(MFnDagNode(xf).child(0));
    ASSERT_TRUE(shape.setIntermediateObject(true));
    EXPECT_TRUE(shape.isIntermediateObject());
    MDagPath xfPath;
    MDagPath::getAPathTo(xf, xfPath);
    EXPECT_FALSE(xfPath.hasFn(MFn::kMesh));
}

TEST_F(Dag, FunctionSetThroughTransformPathReachesTheShape) {
    MFnDagNode fn;
    MObject xf = fn.create("camera", MObject::kNullObj);
    MDagPath path;
    MDagPath::getAPathTo(xf, path);
    MStatus status;
    MFnDagNode dagFn(path, &status);
    EXPECT_EQ(dagFn.object().apiType(), MFn::kTransform);
}

TEST_F(Dag, InclusiveMatrixMultipliesDownThePath) {
    MFnTransform rootFn(root);
    rootFn.setTranslation(MVector(1, 2, 3), MSpace::kTransform);
    MFnTransform armFn(arm);
    armFn.setTranslation(MVector(0, 5, 0), MSpace::kTransform);
    MDagPath path;
    armFn.getPath(path);
    MMatrix m = path.inclusiveMatrix();
    EXPECT_DOUBLE_EQ(m(3, 0), 1);
    EXPECT_DOUBLE_EQ(m(3, 1), 7);
    EXPECT_DOUBLE_EQ(m(3, 2), 3);
    EXPECT_DOUBLE_EQ(path.exclusiveMatrix()(3, 1), 2);
}

// A set keeps answering for its node where the node is now, not where it was attached.
TEST_F(Dag, FunctionSetFollowsItsNodeAfterReparenting) {
    MFnTransform movedTo(other);
    movedTo.setTranslation(MVector(10, 0, 0), MSpace::kTransform);
    MFnIkJoint fn;
    MObject j = fn.create(root);
    fn.setTranslation(MVector(0, 1, 0), MSpace::kTransform);
    EXPECT_EQ(fn.fullPathName(), "|root|joint1");
    ASSERT_TRUE(movedTo.addChild(j));
    EXPECT_EQ(fn.fullPathName(), "|other|joint1");
    MDagPath path;
    ASSERT_TRUE(fn.getPath(path));
    EXPECT_EQ(path.fullPathName(), "|other|joint1");
    const MVector world = MFnTransform(path).getTranslation(MSpace::kWorld);
    EXPECT_DOUBLE_EQ(world.x, 10);
    EXPECT_DOUBLE_EQ(world.y, 1);
}

TEST_F(Dag, SetAttachedThroughAPathFollowsTheNodeOnceThePathIsGone) {
    MDagPath armPath;
    ASSERT_TRUE(MDagPath::getAPathTo(arm, armPath));
    MFnDagNode fn(armPath);
    MFnDagNode(other).addChild(arm);
    EXPECT_EQ(fn.fullPathName(), "|other|arm");
}

TEST_F(Dag, CreatedShapeIsReadInWorldSpaceThroughItsCurrentPath) {
    MFnTransform target(other);
    target.setTranslation(MVector(0, 0, 5), MSpace::kTransform);
    MFnMesh mesh;
    triangle(mesh, root);
    MObject shape = mesh.object();
    ASSERT_TRUE(target.addChild(shape));
    MFloatPointArray world;
    EXPECT_FALSE(mesh.getPoints(world, MSpace::kWorld));  // attached to the object, not a path
    MDagPath path;
    ASSERT_TRUE(mesh.getPath(path));
    ASSERT_TRUE(MFnMesh(path).getPoints(world, MSpace::kWorld));
    ASSERT_EQ(world.length(), 3u);
    EXPECT_FLOAT_EQ(world[1].x, 1);
    EXPECT_FLOAT_EQ(world[1].z, 5);
    EXPECT_EQ(mesh.fullPathName(), "|other|polySurfaceShape1");

    MFnPointLight light;
    MObject lightShape = light.create(root, true, false);
    ASSERT_TRUE(target.addChild(lightShape));
    EXPECT_EQ(light.fullPathName(), "|other|pointLightShape1");
}

}  // namespace
