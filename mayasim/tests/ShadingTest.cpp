#include <maya/MColor.h>
#include <maya/MDGModifier.h>
#include <maya/MDagPath.h>
#include <maya/MDagPathArray.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFnBlinnShader.h>
#include <maya/MFnLambertShader.h>
#include <maya/MFnMesh.h>
#include <maya/MFnPhongShader.h>
#include <maya/MFnSet.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MIntArray.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MObjectArray.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MSelectionList.h>

#include <string>
#include <vector>

#include "SceneFixture.h"

namespace {

class Shading : public SceneTest {
  protected:
    // A strip of three triangles, instanced under a second transform.
    void SetUp() override {
        SceneTest::SetUp();
        MFloatPointArray pts;
        for (int i = 0; i < 5; ++i) pts.append(static_cast<float>(i), static_cast<float>(i % 2), 0);
        MIntArray counts, connects;
        for (int p = 0; p < 3; ++p) {
            counts.append(3);
            connects.append(p);
            connects.append(p + 1);
            connects.append(p + 2);
        }
        MFnMesh fn;
        MStatus status;
        fn.create(5, 3, pts, counts, connects, MObject::kNullObj, &status);
        ASSERT_TRUE(status);
        shape = fn.object();
        MObject other = dagNode("transform", "other");
        ASSERT_TRUE(MFnDagNode(other).addChild(shape, MFnDagNode::kNextPos, true));
        MDagPathArray paths;
        fn.getAllPaths(paths);
        first = paths[0];
        second = paths[1];
    }

    static MObject faces(std::initializer_list<int> ids) {
        MFnSingleIndexedComponent comp;
        MObject c = comp.create(MFn::kMeshPolygonComponent);
        for (int id : ids) comp.addElement(id);
        return c;
    }
    static MObject shadingGroup(MSelectionList& members) {
        MFnSet set;
        MStatus status;
        MObject sg = set.create(members, MFnSet::kRenderableOnly, false, &status);
        EXPECT_TRUE(status);
        return sg;
    }
    std::vector<int> assignment(unsigned instance, MObjectArray& groups) {
        MIntArray indices;
        EXPECT_TRUE(MFnMesh(shape).getConnectedShaders(instance, groups, indices));
        std::vector<int> out;
        for (unsigned i = 0; i < indices.length(); ++i) out.push_back(indices[i]);
        return out;
    }

    MObject shape;
    MDagPath first, second;
};

TEST_F(Shading, NewMeshHasNoShadingGroup) {
    MObjectArray groups;
    EXPECT_EQ(assignment(0, groups), (std::vector<int>{-1, -1, -1}));
    EXPECT_EQ(groups.length(), 0u);
}

TEST_F(Shading, FacesOfOneInstanceGoToTheirShadingGroupOnly) {
    MSelectionList members;
    ASSERT_TRUE(members.add(first, faces({1, 2})));
    MObject sg = shadingGroup(members);
    EXPECT_TRUE(sg.hasFn(MFn::kShadingEngine));
    EXPECT_TRUE(sg.hasFn(MFn::kSet));

    MObjectArray groups;
    EXPECT_EQ(assignment(0, groups), (std::vector<int>{-1, 0, 0}));
    ASSERT_EQ(groups.length(), 1u);
    EXPECT_TRUE(groups[0] == sg);
    EXPECT_EQ(assignment(1, groups), (std::vector<int>{-1, -1, -1}));
    EXPECT_EQ(groups.length(), 0u);
}

TEST_F(Shading, OneFaceItemsOfAListJoinTheGroupTogether) {
    MSelectionList members;
    ASSERT_TRUE(members.add(first, faces({0}), false));
    ASSERT_TRUE(members.add(first, faces({2}), false));
    ASSERT_TRUE(members.add(first, faces({0}), false));
    MObject sg = shadingGroup(members);
    MObjectArray groups;
    EXPECT_EQ(assignment(0, groups), (std::vector<int>{0, -1, 0}));
    MSelectionList back;
    ASSERT_TRUE(MFnSet(sg).getMembers(back, false));
    EXPECT_EQ(back.length(), 1u);  // one object group holds both faces
}

TEST_F(Shading, AFaceLeavesItsGroupWhenAddedToAnother) {
    MSelectionList whole;
    ASSERT_TRUE(whole.add(second));
    MObject all = shadingGroup(whole);
    MSelectionList one;
    ASSERT_TRUE(one.add(second, faces({0})));
    MObject red = shadingGroup(one);

    MObjectArray groups;
    EXPECT_EQ(assignment(1, groups), (std::vector<int>{1, 0, 0}));
    ASSERT_EQ(groups.length(), 2u);
    EXPECT_TRUE(groups[0] == all);
    EXPECT_TRUE(groups[1] == red);
    EXPECT_TRUE(MFnSet(red).isMember(second, faces({0})));
    EXPECT_FALSE(MFnSet(all).isMember(second, faces({0})));
}

TEST_F(Shading, ASetRefusesPlugsAndTheRenderableSetRefusesPlainNodes) {
    MSelectionList plugs;
    ASSERT_TRUE(plugs.add(MString("lambert1.color")));
    MFnSet set;
    MStatus status;
    set.create(plugs, MFnSet::kRenderableOnly, false, &status);
    EXPECT_FALSE(status);
    MSelectionList nodes;
    ASSERT_TRUE(nodes.add(MString("lambert1")));
    set.create(nodes, MFnSet::kRenderableOnly, false, &status);
    EXPECT_FALSE(status);
    set.create(nodes, MFnSet::kNone, false, &status);
    EXPECT_TRUE(status);
}

TEST_F(Shading, SelectionListFindsNodesAndPathsByName) {
    MSelectionList list;
    EXPECT_FALSE(list.add(MString("noSuchNode")));
    ASSERT_TRUE(list.add(MString("initialShadingGroup")));
    ASSERT_TRUE(list.add(MString("other|polySurfaceShape1")));
    ASSERT_EQ(list.length(), 2u);
    MObject node;
    ASSERT_TRUE(list.getDependNode(0, node));
    EXPECT_EQ(nameOf(node), "initialShadingGroup");
    MDagPath path;
    EXPECT_FALSE(list.getDagPath(0, path));
    ASSERT_TRUE(list.getDagPath(1, path));
    EXPECT_EQ(std::string(path.fullPathName().asChar()), "|other|polySurfaceShape1");
}

TEST_F(Shading, SelectionListTakesFaceRangesByNameWithinTheMesh) {
    MSelectionList list;
    ASSERT_TRUE(list.add(MString("polySurface1.f[1:2000000000]")));
    EXPECT_FALSE(list.add(MString("polySurface1.f[7]")));
    EXPECT_FALSE(list.add(MString("polySurface1.f[x]")));
    MDagPath path;
    MObject comp;
    ASSERT_TRUE(list.getDagPath(0, path, comp));
    EXPECT_EQ(std::string(path.fullPathName().asChar()), "|polySurface1|polySurfaceShape1");
    MFnSingleIndexedComponent faces(comp);
    EXPECT_EQ(faces.elementCount(), 2);
    EXPECT_EQ(faces.element(0), 1);
    MObject sg = shadingGroup(list);
    MObjectArray groups;
    EXPECT_EQ(assignment(0, groups), (std::vector<int>{-1, 0, 0}));
    (void)sg;
}

TEST_F(Shading, ShaderSettersReadBack) {
    MFnLambertShader lambert;
    MObject l = lambert.create(true);
    EXPECT_EQ(nameOf(l), "lambert2");
    EXPECT_FLOAT_EQ(lambert.color().r, 0.5f);
    lambert.setColor(MColor(0.1f, 0.2f, 0.3f));
    lambert.setTransparency(MColor(0.5f, 0.5f, 0.5f));
    lambert.setAmbientColor(MColor(0.25f, 0, 0));
    EXPECT_FLOAT_EQ(lambert.color().b, 0.3f);
    EXPECT_FLOAT_EQ(lambert.transparency().g, 0.5f);
    EXPECT_FLOAT_EQ(lambert.ambientColor().r, 0.25f);
    float green = 0;
    ASSERT_TRUE(lambert.findPlug("colorG").getValue(green));
    EXPECT_FLOAT_EQ(green, 0.2f);

    MFnPhongShader phong;
    MObject p = phong.create(true);
    phong.setCosPower(64.0f);
    phong.setSpecularColor(MColor(0.25f, 0.25f, 0.25f));
    EXPECT_FLOAT_EQ(phong.cosPower(), 64.0f);
    EXPECT_FLOAT_EQ(phong.specularColor().g, 0.25f);
    MFnLambertShader asLambert(p);
    EXPECT_FLOAT_EQ(asLambert.color().r, 0.5f);

    MFnBlinnShader blinn;
    MObject b = blinn.create(true);
    EXPECT_FLOAT_EQ(blinn.specularRollOff(), 0.7f);
    blinn.setSpecularRollOff(0.4f);
    EXPECT_FLOAT_EQ(blinn.specularRollOff(), 0.4f);
    MStatus status;
    MFnPhongShader wrong(b, &status);
    EXPECT_FALSE(status);
}

TEST_F(Shading, FileTexturePlacementAndChooserConnect) {
    MFnDependencyNode file, place, chooser;
    file.create("file", "tex");
    place.create("place2dTexture", "place2dTexture");
    chooser.create("uvChooser", "uvChooser");
    MDGModifier mod;
    // clang-format off
    const char* pairs[][2] = {
        {"coverage", "coverage"}, {"mirrorU", "mirrorU"}, {"mirrorV", "mirrorV"}, {"noiseUV", "noiseUV"},
        {"offset", "offset"}, {"outUV", "uvCoord"}, {"outUvFilterSize", "uvFilterSize"},
        {"repeatUV", "repeatUV"}, {"rotateFrame", "rotateFrame"}, {"rotateUV", "rotateUV"},
        {"stagger", "stagger"}, {"translateFrame", "translateFrame"}, {"vertexCameraOne", "vertexCameraOne"},
        {"vertexUvOne", "vertexUvOne"}, {"vertexUvTwo", "vertexUvTwo"}, {"vertexUvThree", "vertexUvThree"},
        {"wrapU", "wrapU"}, {"wrapV", "wrapV"}};
    // clang-format on
    for (auto& p : pairs) ASSERT_TRUE(mod.connect(place.findPlug(p[0]), file.findPlug(p[1]))) << p[0];
    ASSERT_TRUE(mod.doIt());

    MString second("second");
    MFnMesh(shape).createUVSet(second);
    MPlug setName = MFnMesh(shape).findPlug("uvSet").elementByLogicalIndex(1).child(0);
    MString name;
    ASSERT_TRUE(setName.getValue(name));
    EXPECT_EQ(name, "second");
    ASSERT_TRUE(mod.connect(setName, chooser.findPlug("uvSets").elementByLogicalIndex(0)));
    // clang-format off
    const char* chooserPairs[][2] = {{"outUv", "uvCoord"}, {"outVertexCameraOne", "vertexCameraOne"},
        {"outVertexUvOne", "vertexUvOne"}, {"outVertexUvTwo", "vertexUvTwo"},
        {"outVertexUvThree", "vertexUvThree"}};
    // clang-format on
    for (auto& p : chooserPairs)
        ASSERT_TRUE(mod.connect(chooser.findPlug(p[0]), place.findPlug(p[1]))) << p[0];
    ASSERT_TRUE(mod.doIt());

    ASSERT_TRUE(file.findPlug("ftn").setValue("/maps/wood.png"));
    MString ftn;
    file.findPlug("fileTextureName").getValue(ftn);
    EXPECT_EQ(ftn, "/maps/wood.png");
    MPlugArray src;
    ASSERT_TRUE(file.findPlug("uvCoord").connectedTo(src, true, false));
    EXPECT_TRUE(src[0].node() == place.object());
}

TEST_F(Shading, LayeredAndBumpNodesHaveTheirInputsAndOutputs) {
    MFnDependencyNode layered, file, bump, lambert;
    layered.create("layeredTexture", "layeredTexture");
    file.create("file");
    bump.create("bump2d");
    MObject l = MFnLambertShader().create(true);
    lambert.setObject(l);
    MPlug element = layered.findPlug("inputs").elementByLogicalIndex(1);
    MObject bmAttr = layered.attribute("bm");
    MObject cAttr = layered.attribute("c");
    ASSERT_FALSE(bmAttr.isNull());
    ASSERT_TRUE(element.child(bmAttr).setValue(6));
    int mode = 0;
    element.child(bmAttr).getValue(mode);
    EXPECT_EQ(mode, 6);

    MDGModifier mod;
    ASSERT_TRUE(mod.connect(file.findPlug("outColor"), element.child(cAttr)));
    ASSERT_TRUE(mod.connect(file.findPlug("outAlpha"), bump.findPlug("bumpValue")));
    ASSERT_TRUE(mod.connect(bump.findPlug("outNormal"), lambert.findPlug("normalCamera")));
    ASSERT_TRUE(mod.connect(layered.findPlug("outColor"), lambert.findPlug("color")));
    ASSERT_TRUE(mod.doIt());
    EXPECT_EQ(bump.object().apiType(), MFn::kBump);
    EXPECT_TRUE(file.object().hasFn(MFn::kTexture2d));
    EXPECT_FALSE(file.object().hasFn(MFn::kTexture3d));
    MFnDependencyNode solid;
    MObject s = solid.create("solidFractal");
    EXPECT_TRUE(s.hasFn(MFn::kTexture3d));
    EXPECT_TRUE(bump.findPlug("bumpInterp").setValue(1));
    float depth = 0;
    bump.findPlug("bumpDepth").getValue(depth);
    EXPECT_FLOAT_EQ(depth, 1.0f);
}

}  // namespace
