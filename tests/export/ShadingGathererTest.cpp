#include <gtest/gtest.h>
#include <maya/MColor.h>
#include <maya/MDGModifier.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnLambertShader.h>
#include <maya/MFnPhongShader.h>
#include <maya/MFnSet.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>

#include <string>

#include "ExportTestSupport.h"
#include "export/SceneWalk.h"
#include "fixtures/SceneFixtures.h"

namespace {

using namespace qvx::exporttest;
using namespace qvx::fixtures;

using ShadingGatherer = HostSceneTest;

constexpr std::uint32_t kCreated = 0x10000;

TEST_F(ShadingGatherer, DefaultLambertGivesColourTimesDiffuse) {
    CubeScene cube;
    ASSERT_TRUE(cubeUnderGroup(cube));
    const Mesh& mesh = gatherOnlyMesh();
    ASSERT_EQ(mesh.materials.count(), 1);
    const Material& material = mesh.materials[0];
    EXPECT_STREQ(material.name.narrow, "lambert1");
    // Maya's lambert1: colour 0.5 grey, diffuse 0.8, no ambient.
    EXPECT_NEAR(material.diffuse.r, 0.4f, 1e-6);
    EXPECT_NEAR(material.diffuse.b, 0.4f, 1e-6);
    EXPECT_FLOAT_EQ(material.diffuse.a, 1.0f);
    EXPECT_FLOAT_EQ(material.ambient.r, 0.0f);
    EXPECT_FLOAT_EQ(material.ambient.a, 1.0f);
    EXPECT_FLOAT_EQ(material.shininess, 128.0f);
    EXPECT_FLOAT_EQ(material.opacity, 1.0f);
    EXPECT_EQ(material.layerCount(), 0);
    for (const Polygon& polygon : mesh.polygons) EXPECT_EQ(polygon.materialIndex, 0);
}

TEST_F(ShadingGatherer, PhongWithPlacedFileTexture) {
    ShadedScene shaded;
    ASSERT_TRUE(phongWithFileTexture(shaded));
    const Mesh& mesh = gatherOnlyMesh();
    ASSERT_EQ(mesh.materials.count(), 1);
    const Material& material = mesh.materials[0];
    EXPECT_STREQ(material.name.narrow, "woodPhong");
    EXPECT_FLOAT_EQ(material.diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(material.shininess, 30.0f);
    ASSERT_EQ(material.layerCount(), 1);
    const MaterialLayer* layer = material.layers[0].get();
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->channel, 0);
    EXPECT_EQ(layer->kind, 1);
    EXPECT_STREQ(layer->path.narrow, "wood.png");
    // Texture present and wrapping in U only (the placement turns V off).
    EXPECT_EQ(layer->flags, kCreated | MaterialLayer::kFlagWrapU | MaterialLayer::kFlagTexture);
    EXPECT_FLOAT_EQ(layer->offset.x, 0.25f);
    EXPECT_FLOAT_EQ(layer->offset.y, 0.5f);
    EXPECT_FLOAT_EQ(layer->offset.z, 0.0f);
    EXPECT_FLOAT_EQ(layer->repeat.x, 2.0f);
    EXPECT_FLOAT_EQ(layer->repeat.y, 3.0f);
    EXPECT_FLOAT_EQ(layer->repeat.z, 1.0f);
    EXPECT_NEAR(layer->rotation.z, 90.0f, 1e-4);
}

TEST_F(ShadingGatherer, BumpMappedBlinnGetsColourAndBumpLayers) {
    ShadedScene shaded;
    ASSERT_TRUE(bumpMappedBlinn(shaded));
    const Material& material = gatherOnlyMesh().materials[0];
    EXPECT_FLOAT_EQ(material.shininess, 0.5f);  // the specular roll-off
    ASSERT_EQ(material.layerCount(), 2);
    const MaterialLayer* color = material.layers[0].get();
    const MaterialLayer* bump = material.layers[1].get();
    ASSERT_NE(color, nullptr);
    ASSERT_NE(bump, nullptr);
    EXPECT_EQ(color->channel, 0);
    EXPECT_STREQ(color->path.narrow, "stone_color.tga");
    EXPECT_EQ(color->flags & MaterialLayer::kFlagNormalMap, 0u);
    EXPECT_EQ(bump->channel, 2);
    EXPECT_EQ(bump->kind, 1);
    EXPECT_STREQ(bump->path.narrow, "stone_normal.tga");
    EXPECT_EQ(bump->flags & (MaterialLayer::kFlagTexture | MaterialLayer::kFlagNormalMap),
              MaterialLayer::kFlagTexture | MaterialLayer::kFlagNormalMap);
}

TEST_F(ShadingGatherer, LayeredTextureNamesBothInputsAndTheirUVSets) {
    ShadedScene shaded;
    ASSERT_TRUE(layeredTextureWithSecondUVSet(shaded));
    const Material& material = gatherOnlyMesh().materials[0];
    EXPECT_STREQ(material.name.narrow, "layeredLambert");
    EXPECT_FLOAT_EQ(material.diffuse.r, 1.0f);
    ASSERT_EQ(material.layerCount(), 1);
    const MaterialLayer* layer = material.layers[0].get();
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->kind, 4);
    EXPECT_EQ(layer->channel, 0);
    EXPECT_EQ(layer->flags & 3u, 3u);
    ASSERT_EQ(layer->subEntryCount(), 3);
    EXPECT_STREQ(layer->subEntries[0].path.narrow, "base.png");
    EXPECT_EQ(layer->subEntries[0].value1, 0);
    EXPECT_STREQ(layer->subEntries[1].path.narrow, "detail.png");
    EXPECT_EQ(layer->subEntries[1].value1, 1);
    EXPECT_EQ(layer->subEntries[1].value2, 0u);
    EXPECT_STREQ(layer->subEntries[2].path.narrow, "");
    EXPECT_FLOAT_EQ(layer->subEntries[2].value3, 1.0f);
}

TEST_F(ShadingGatherer, GroupWithoutShaderIsNamedNoneWithDefaults) {
    MeshBuild plane;
    ASSERT_TRUE(buildPlane("bare", plane));
    MSelectionList members;
    ASSERT_TRUE(members.add(plane.shapePath));
    MFnSet set;
    MStatus status;
    set.create(members, MFnSet::kRenderableOnly, false, &status);
    ASSERT_TRUE(status);
    const Mesh& mesh = gatherOnlyMesh();
    ASSERT_EQ(mesh.materials.count(), 1);
    const Material& material = mesh.materials[0];
    EXPECT_STREQ(material.name.narrow, "none");
    EXPECT_FLOAT_EQ(material.diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(material.shininess, 128.0f);
    EXPECT_FLOAT_EQ(material.opacity, 1.0f);
    EXPECT_FLOAT_EQ(material.specular.a, 1.0f);
    EXPECT_EQ(mesh.polygons[0].materialIndex, 0);
}

TEST_F(ShadingGatherer, TransparencySumsChannelsAndCosinePowerIsClamped) {
    MeshBuild plane;
    ASSERT_TRUE(buildPlane("glass", plane));
    MFnPhongShader phong;
    MObject shader = phong.create(true);
    phong.setName("glassPhong");
    ASSERT_TRUE(phong.setTransparency(MColor(0.5f, 0.5f, 0.5f)));
    ASSERT_TRUE(phong.setCosPower(200.0f));
    MObject group;
    ASSERT_TRUE(assignShader(shader, plane.shapePath, group));
    const Material& material = gatherOnlyMesh().materials[0];
    EXPECT_FLOAT_EQ(material.opacity, 0.0f);  // 1 - 1.5, clamped
    EXPECT_FLOAT_EQ(material.shininess, 128.0f);
}

TEST_F(ShadingGatherer, PartlyTransparentLambertKeepsItsOpacity) {
    MeshBuild plane;
    ASSERT_TRUE(buildPlane("tinted", plane));
    MFnLambertShader lambert;
    MObject shader = lambert.create(true);
    ASSERT_TRUE(lambert.setTransparency(MColor(0.1f, 0.2f, 0.3f)));
    ASSERT_TRUE(lambert.setAmbientColor(MColor(0.1f, 0.2f, 0.3f)));
    MObject group;
    ASSERT_TRUE(assignShader(shader, plane.shapePath, group));
    const Material& material = gatherOnlyMesh().materials[0];
    EXPECT_NEAR(material.opacity, 0.4f, 1e-6);
    EXPECT_FLOAT_EQ(material.ambient.g, 0.2f);
    EXPECT_FLOAT_EQ(material.shininess, 128.0f);
}

TEST_F(ShadingGatherer, OtherSurfaceShaderIsOpaqueWithFullShininess) {
    MeshBuild plane;
    ASSERT_TRUE(buildPlane("flat", plane));
    MFnDependencyNode fn;
    MObject file = fn.create("file", "flatFile");
    MSelectionList members;
    ASSERT_TRUE(members.add(plane.shapePath));
    MFnSet set;
    MObject group = set.create(members, MFnSet::kRenderableOnly, false);
    MDGModifier modifier;
    ASSERT_TRUE(
        modifier.connect(fn.findPlug("outColor"), MFnDependencyNode(group).findPlug("surfaceShader")));
    ASSERT_TRUE(modifier.doIt());
    const Material& material = gatherOnlyMesh().materials[0];
    EXPECT_STREQ(material.name.narrow, "flatFile");
    EXPECT_FLOAT_EQ(material.shininess, 128.0f);
    EXPECT_FLOAT_EQ(material.opacity, 1.0f);
    EXPECT_EQ(material.layerCount(), 0);
}

TEST_F(ShadingGatherer, FaceAssignmentsGiveEachPolygonItsGroupsMaterial) {
    MeshBuild strip;
    ASSERT_TRUE(buildMesh({0, 0, 0, 1, 0, 0, 2, 0, 0, 0, 0, -1, 1, 0, -1, 2, 0, -1}, {4, 4},
                          {0, 1, 4, 3, 1, 2, 5, 4}, "twoTone", "twoToneShape", strip));
    const char* shaders[2] = {"leftLambert", "rightLambert"};
    for (int face = 0; face < 2; ++face) {
        MFnLambertShader lambert;
        MObject shader = lambert.create(true);
        lambert.setName(shaders[face]);
        MSelectionList faces;
        ASSERT_TRUE(faces.add(MString("twoToneShape.f[") + face + "]"));
        MFnSet set;
        MStatus status;
        MObject group = set.create(faces, MFnSet::kRenderableOnly, false, &status);
        ASSERT_TRUE(status);
        MDGModifier modifier;
        ASSERT_TRUE(modifier.connect(lambert.findPlug("outColor"),
                                     MFnDependencyNode(group).findPlug("surfaceShader")));
        ASSERT_TRUE(modifier.doIt());
    }
    const Mesh& mesh = gatherOnlyMesh();
    ASSERT_EQ(mesh.materials.count(), 2);
    for (int face = 0; face < 2; ++face) {
        const int material = mesh.polygons[face].materialIndex;
        ASSERT_TRUE(mesh.materials.validIndex(material));
        EXPECT_STREQ(mesh.materials[material].name.narrow, shaders[face]);
    }
}

}  // namespace
