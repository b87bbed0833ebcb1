// A scene written by the current-version writer, loaded and built: the host holds what the
// file holds.

#include <gtest/gtest.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFnMesh.h>
#include <maya/MFnPhongShader.h>
#include <maya/MIntArray.h>
#include <maya/MPlugArray.h>

#include "import/ImportBuild.h"
#include "import/ImportTestSupport.h"

namespace {

using namespace import_test;

class RoundTrip : public HostTest {
  protected:
    TempFolder folder;
};

TEST_F(RoundTrip, HostSceneEqualsTheFile) {
    Scene scene;
    addBone(scene, "hip", -1, {0, 1, 0});
    addBone(scene, "knee", 0, {0, -0.5f, 0});
    Material& skin = addMaterial(scene, "Skin");
    skin.diffuse = {0.8f, 0.6f, 0.5f, 1};
    skin.layers.allocate(1);
    skin.addLayer(0, 0, 1)->path.set("C:\\maps\\skin.tga");
    Material& cloth = addMaterial(scene, "Cloth");
    cloth.diffuse = {0.1f, 0.2f, 0.9f, 1};
    addMesh(scene);
    for (int c = 0; c < 3; ++c) {
        addVertex(scene, float(c), 0, 0.5f);
        addVertex(scene, float(c), 1, -0.5f);
    }
    addUVs(scene, {{0, 0}, {0.5f, 0}, {0.5f, 1}, {0, 1}, {1, 0}, {1, 1}});
    addPolygon(scene, 0, 0, {0, 2, 3, 1}, {0, 1, 2, 3});
    addPolygon(scene, 0, 1, {2, 4, 5, 3}, {1, 4, 5, 2});
    for (int v = 0; v < 6; ++v) {
        addWeight(scene.vertices[v], 0, v < 2 ? 1.0f : 0.5f);
        if (v >= 2) addWeight(scene.vertices[v], 1, 0.5f);
    }
    const std::string path = folder.file("character.qvx");
    writeScene(scene, path);

    Scene loaded;
    ASSERT_EQ(loadSceneFile(path, loaded), 1);
    BuildRequest request(loaded);
    request.sceneFile.setFullName(MString(path.c_str()));
    ASSERT_TRUE(buildScene(request));

    const MDagPath shape = meshShape("|qvxTransform|QVXMesh0");
    MFnMesh meshFn(shape);
    MFloatPointArray points;
    meshFn.getPoints(points, MSpace::kWorld);
    ASSERT_EQ(points.length(), 6u);
    for (unsigned int v = 0; v < 6; ++v) {
        EXPECT_FLOAT_EQ(points[v].x, scene.vertices[int(v)].position.x) << v;
        EXPECT_FLOAT_EQ(points[v].y, scene.vertices[int(v)].position.y) << v;
        EXPECT_FLOAT_EQ(points[v].z, scene.vertices[int(v)].position.z) << v;
    }
    MIntArray counts, connects;
    meshFn.getVertices(counts, connects);
    ASSERT_EQ(counts.length(), 2u);
    const int expectedConnects[] = {0, 2, 3, 1, 2, 4, 5, 3};
    for (unsigned int c = 0; c < 8; ++c) EXPECT_EQ(connects[c], expectedConnects[c]) << c;

    const auto uvs = cornerUVs(shape, "uvSet1");
    const int uvOfCorner[] = {0, 1, 2, 3, 1, 4, 5, 2};
    ASSERT_EQ(uvs.size(), 8u);
    for (int c = 0; c < 8; ++c) {
        const UVCoord& coord = scene.uvSets[0].coords[uvOfCorner[c]];
        EXPECT_FLOAT_EQ(uvs[std::size_t(c)].first, coord.u) << c;
        EXPECT_FLOAT_EQ(uvs[std::size_t(c)].second, 1.0f - coord.v) << c;
    }

    const auto clusters = nodesOfType(MFn::kSkinClusterFilter);
    ASSERT_EQ(clusters.size(), 1u);
    const WeightTable weights = skinWeights(clusters[0], shape);
    ASSERT_EQ(weights.size(), 6u);
    EXPECT_NEAR(weights[0].at("|qvxTransform|hip"), 1.0, 1e-6);
    EXPECT_EQ(weights[0].count("|qvxTransform|hip|knee"), 0u);
    EXPECT_NEAR(weights[4].at("|qvxTransform|hip"), 0.5, 1e-6);
    EXPECT_NEAR(weights[4].at("|qvxTransform|hip|knee"), 0.5, 1e-6);

    EXPECT_FLOAT_EQ(MFnPhongShader(nodeNamed("Cloth")).color().b, 0.9f);
    const MPlug color = MFnDependencyNode(nodeNamed("Skin")).findPlug(MString("color"));
    MPlugArray sources;
    ASSERT_TRUE(color.connectedTo(sources, true, false));
    const std::string file = MFnDependencyNode(sources[0].node()).name().asChar();
    EXPECT_EQ(file, "skin_tga");
    const std::string texture = stringValue(file, "ftn");
    EXPECT_EQ(texture.substr(texture.size() - 8), "skin.tga") << texture;
}

}  // namespace
