// Materials, shading groups and texture networks made by the mesh build.

#include <gtest/gtest.h>
#include <maya/MColor.h>
#include <maya/MFnAttribute.h>
#include <maya/MFnLambertShader.h>
#include <maya/MFnMesh.h>
#include <maya/MFnPhongShader.h>
#include <maya/MFnSet.h>
#include <maya/MObjectArray.h>
#include <maya/MPlugArray.h>

#include <cmath>
#include <fstream>

#include "import/ImportBuild.h"
#include "import/ImportTestSupport.h"
#include "process/PostLoad.h"

namespace {

using namespace import_test;

// The node feeding `node.attribute`, or its name; empty when nothing does.
std::string sourceOf(const std::string& node, const char* attribute) {
    const MPlug plug = MFnDependencyNode(nodeNamed(node)).findPlug(MString(attribute));
    MPlugArray sources;
    if (!plug.connectedTo(sources, true, false) || sources.length() == 0) return "";
    return MFnDependencyNode(sources[0].node()).name().asChar();
}

// The plug feeding element `index` of the array `attribute`, or of its child `child`.
std::string sourcePlugOf(const std::string& node, const char* attribute, unsigned int index,
                         const char* child = nullptr) {
    MPlug plug = MFnDependencyNode(nodeNamed(node)).findPlug(MString(attribute)).elementByLogicalIndex(index);
    if (child) {
        for (unsigned int i = 0; i < plug.numChildren(); ++i) {
            if (MFnAttribute(plug.child(i).attribute()).name() == child) plug = plug.child(i);
        }
    }
    MPlugArray sources;
    if (!plug.connectedTo(sources, true, false) || sources.length() == 0) return "";
    return sources[0].name().asChar();
}

// Per host polygon, the name of the material of its shading group ("" when none).
std::vector<std::string> polygonMaterials(const MDagPath& mesh) {
    MObjectArray groups;
    MIntArray indices;
    MFnMesh(mesh).getConnectedShaders(0, groups, indices);
    std::vector<std::string> out;
    for (unsigned int p = 0; p < indices.length(); ++p) {
        if (indices[p] < 0) {
            out.push_back("");
            continue;
        }
        const std::string group = MFnDependencyNode(groups[unsigned(indices[p])]).name().asChar();
        out.push_back(sourceOf(group, "surfaceShader"));
    }
    return out;
}

class Shading : public HostTest {
  protected:
    MStatus build(Scene& scene, bool phong = true) {
        prepareLoadedScene(scene);
        BuildRequest request(scene);
        request.phongMaterials = phong;
        request.sceneFile.setFullName(MString(folder.file("scene.qvx").c_str()));
        return buildScene(request);
    }
    // Material `name` with a kind-1 layer on `channel` naming `path`.
    static Material& textured(Scene& scene, const char* name, std::int32_t channel, const char* path,
                              std::uint32_t flags = MaterialLayer::kCreationFlags |
                                                    MaterialLayer::kFlagTexture) {
        Material& m = addMaterial(scene, name);
        if (m.layers.absent()) m.layers.allocate(4);
        MaterialLayer* layer = m.addLayer(channel, channel, 1);
        layer->path.set(path);
        layer->flags = flags;
        return m;
    }
    TempFolder folder;
};

TEST_F(Shading, OneGroupPerMaterialAndUnassignedForPolygonsWithout) {
    Scene scene;
    addMaterial(scene, "Skin");
    addMaterial(scene, "Cloth");
    addQuad(scene, 1, 0);
    addQuad(scene, -1, 2);
    addQuad(scene, 0, 4);
    addQuad(scene, 5, 6);  // no such material: in no group
    addQuad(scene, 1, 8);
    ASSERT_TRUE(build(scene));
    EXPECT_EQ(polygonMaterials(meshShape("|qvxTransform|QVXMesh0")),
              (std::vector<std::string>{"Cloth", "Unassigned", "Skin", "", "Cloth"}));
    EXPECT_EQ(typeOf("Unassigned"), "phong");
    EXPECT_EQ(typeOf("shadingGroup"), "shadingEngine");
    EXPECT_EQ(sourceOf("shadingGroup", "surfaceShader"), "Unassigned");
    EXPECT_EQ(sourceOf("shadingGroup1", "surfaceShader"), "Skin");
    EXPECT_EQ(sourceOf("shadingGroup2", "surfaceShader"), "Cloth");
}

TEST_F(Shading, SceneWithoutMaterialsGetsNoShadingGroup) {
    Scene scene;
    addQuad(scene, -1);
    ASSERT_TRUE(build(scene));
    EXPECT_FALSE(exists("Unassigned"));
    EXPECT_FALSE(exists("shadingGroup"));
}

TEST_F(Shading, PhongTakesColoursTransparencySpecularAndCosinePower) {
    Scene scene;
    Material& m = addMaterial(scene, "Shiny");
    m.diffuse = {0.5f, 0.25f, 0.125f, 1};
    m.ambient = {0.1f, 0.2f, 0.3f, 1};
    m.specular = {1, 1, 1, 1};
    m.opacity = 0.25f;
    m.shininess = 64;
    addQuad(scene, 0);
    ASSERT_TRUE(build(scene));
    MFnPhongShader phong(nodeNamed("Shiny"));
    EXPECT_FLOAT_EQ(phong.color().g, 0.25f);
    EXPECT_FLOAT_EQ(phong.ambientColor().b, 0.3f);
    EXPECT_FLOAT_EQ(phong.specularColor().r, 0.25f);
    EXPECT_FLOAT_EQ(phong.transparency().r, 0.75f);
    EXPECT_FLOAT_EQ(phong.cosPower(), 50.0f);
    const MColor defaults = MFnPhongShader(nodeNamed("Unassigned")).color();
    EXPECT_FLOAT_EQ(defaults.r, 0.5f);  // the host's default colour
}

TEST_F(Shading, LambertTakesNoSpecular) {
    Scene scene;
    Material& m = addMaterial(scene, "Matte");
    m.diffuse = {0.5f, 0.25f, 0.125f, 1};
    m.opacity = 1;
    addQuad(scene, 0);
    ASSERT_TRUE(build(scene, false));
    EXPECT_EQ(typeOf("Matte"), "lambert");
    EXPECT_EQ(typeOf("Unassigned"), "lambert");
    MFnLambertShader lambert(nodeNamed("Matte"));
    EXPECT_FLOAT_EQ(lambert.color().r, 0.5f);
    EXPECT_FLOAT_EQ(lambert.transparency().r, 0.0f);
}

TEST_F(Shading, ColourTextureGetsFilePlacementAndTheTextureList) {
    Scene scene;
    Material& m =
        textured(scene, "Skin", 0, "D:\\art\\maps\\skin.png",
                 MaterialLayer::kFlagWrapU | MaterialLayer::kFlagWrapV | MaterialLayer::kFlagTexture);
    m.layers[0]->rotation = {0, 0, 90};
    m.layers[0]->offset = {0.5f, 0.25f, 0};
    m.layers[0]->repeat = {2, 3, 1};
    addQuad(scene, 0);
    ASSERT_TRUE(build(scene));
    EXPECT_EQ(typeOf("skin_png"), "file");
    EXPECT_EQ(stringValue("skin_png", "ftn"), "D:\\art\\maps\\skin.png");
    EXPECT_EQ(sourceOf("Skin", "color"), "skin_png");
    EXPECT_EQ(sourcePlugOf("defaultTextureList1", "textures", 0), "skin_png.message");
    const std::string placement = sourceOf("skin_png", "uvCoord");
    EXPECT_EQ(placement, "place2dTexture");
    EXPECT_EQ(typeOf(placement), "place2dTexture");
    EXPECT_EQ(intValue(placement, "wrapU"), 1);
    EXPECT_EQ(intValue(placement, "wrapV"), 1);
    EXPECT_NEAR(doubleValue(placement, "rotateUV"), 1.5707963, 1e-6);
    EXPECT_FLOAT_EQ(float(doubleValue(placement, "offsetU")), 0.5f);
    EXPECT_FLOAT_EQ(float(doubleValue(placement, "repeatV")), 3.0f);
    for (const char* attribute : {"coverage", "mirrorU", "offset", "repeatUV", "rotateFrame", "stagger",
                                  "vertexUvThree", "uvFilterSize", "wrapV"}) {
        EXPECT_EQ(sourceOf("skin_png", attribute), placement) << attribute;
    }
    EXPECT_EQ(hostLines(),
              std::vector<std::string>{"QVX: WARNING: Texture not found: \"D:\\art\\maps\\skin.png\""});
    EXPECT_EQ(stderrText(), "QVX: WARNING: Texture not found: \"D:\\art\\maps\\skin.png\"\n");
}

TEST_F(Shading, TextureBesideTheFileIsUsedByItsFullPath) {
    std::ofstream(folder.file("skin.png")) << "png";
    Scene scene;
    textured(scene, "Skin", 0, "D:\\art\\maps\\skin.png", MaterialLayer::kFlagTexture);
    addQuad(scene, 0);
    ASSERT_TRUE(build(scene));
    EXPECT_EQ(stringValue("skin_png", "ftn"), folder.file("skin.png"));
    EXPECT_TRUE(hostLines().empty());
    EXPECT_EQ(intValue(sourceOf("skin_png", "uvCoord"), "wrapU"), 0);
    std::remove(folder.file("skin.png").c_str());
}

TEST_F(Shading, BumpLayerFeedsTheNormalThroughABumpNode) {
    Scene scene;
    textured(scene, "Rough", 2, "normal.png",
             MaterialLayer::kFlagTexture | MaterialLayer::kFlagNormalMap | MaterialLayer::kCreationFlags);
    addMaterial(scene, "Plain");
    scene.materials[1].layers.allocate(1);
    scene.materials[1].addLayer(0, 2, 1)->path.set("height.png");
    scene.materials[1].layers[0]->flags = MaterialLayer::kFlagTexture;
    addQuad(scene, 0, 0);
    addQuad(scene, 1, 2);
    ASSERT_TRUE(build(scene));
    const std::string bump = sourceOf("Rough", "normalCamera");
    EXPECT_EQ(typeOf(bump), "bump2d");
    EXPECT_EQ(sourceOf(bump, "bumpValue"), "normal_png");
    EXPECT_EQ(doubleValue(bump, "bumpDepth"), 1.0);
    EXPECT_EQ(intValue(bump, "bumpInterp"), 1);
    EXPECT_EQ(intValue(sourceOf("Plain", "normalCamera"), "bumpInterp"), 0);
    EXPECT_EQ(sourceOf("Rough", "color"), "");
    EXPECT_EQ(sourcePlugOf("defaultTextureList1", "textures", 1), "height_png.message");
}

TEST_F(Shading, LayeredTextureMultipliesTwoFilesAndChoosesTheSecondUVSet) {
    Scene scene;
    Material& m = addMaterial(scene, "Mixed");
    m.layers.allocate(2);
    MaterialLayer* layered = m.addLayer(0, 0, 4);
    ASSERT_EQ(layered->subEntries.allocate(2), 1);
    layered->subEntries[0].path.set("base.png");
    layered->subEntries[0].value1 = 0;
    layered->subEntries[1].path.set("dirt.png");
    layered->subEntries[1].value1 = 1;
    m.addLayer(1, 2, 1)->path.set("bumps.png");
    addQuad(scene, 0);
    ASSERT_TRUE(build(scene));
    const std::string node = sourceOf("Mixed", "color");
    EXPECT_EQ(typeOf(node), "layeredTexture");
    EXPECT_EQ(sourcePlugOf(node, "inputs", 0, "color"), "base_png.outColor");
    EXPECT_EQ(sourcePlugOf(node, "inputs", 1, "color"), "dirt_png.outColor");
    const MPlug inputs = MFnDependencyNode(nodeNamed(node)).findPlug(MString("inputs"));
    int mode = -1;
    inputs.elementByLogicalIndex(0).child(2).getValue(mode);
    EXPECT_EQ(MFnAttribute(inputs.elementByLogicalIndex(0).child(2).attribute()).shortName(), "bm");
    EXPECT_EQ(mode, 6);
    inputs.elementByLogicalIndex(1).child(2).getValue(mode);
    EXPECT_EQ(mode, 0);
    // Only the second input's placement reads the second UV set through a chooser.
    EXPECT_EQ(typeOf(sourceOf(sourceOf("base_png", "uvCoord"), "uvCoord")), "");
    const std::string chooser = sourceOf(sourceOf("dirt_png", "uvCoord"), "uvCoord");
    EXPECT_EQ(typeOf(chooser), "uvChooser");
    MString setName;
    MPlug chosen = MFnDependencyNode(nodeNamed(chooser)).findPlug(MString("uvSets")).elementByLogicalIndex(0);
    MPlugArray from;
    ASSERT_TRUE(chosen.connectedTo(from, true, false));
    from[0].getValue(setName);
    EXPECT_EQ(setName, "uvSet2");
    EXPECT_EQ(typeOf(sourceOf("Mixed", "normalCamera")), "bump2d");
}

}  // namespace
