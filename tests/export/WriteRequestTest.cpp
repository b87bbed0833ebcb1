#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "ExportTestSupport.h"
#include "fixtures/SceneFixtures.h"

namespace {

using namespace qvx::exporttest;
using namespace qvx::fixtures;

// The reader resolves texture paths against the scene file's folder.
std::string fileNamePart(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash != nullptr ? slash + 1 : path;
}

// The gathered scene taken through preparation, the writer and the reader.
class WriteRequestFile : public HostSceneTest {};

TEST_F(WriteRequestFile, CubeKeepsItsEightVerticesUnlessHardEdgesAreUnwelded) {
    CubeScene cube;
    ASSERT_TRUE(cubeUnderGroup(cube));
    Scene welded;
    std::string error;
    ASSERT_TRUE(exportAndLoad(welded, WriteRequest(), false, &error)) << error;
    EXPECT_EQ(welded.vertices.count(), 8);

    // Each corner lies on the top or bottom face and on two sides joined by a smooth
    // vertical edge, and the hard rings split it in two.
    WriteRequest unweld;
    unweld.unweldHardEdges = true;
    Scene split;
    ASSERT_TRUE(exportAndLoad(split, unweld, false, &error)) << error;
    EXPECT_EQ(split.vertices.count(), 16);
    ASSERT_EQ(split.meshes.count(), 1);
    EXPECT_EQ(split.meshes[0].polygons.count(), 6);
}

TEST_F(WriteRequestFile, VersionNineBodyOnRequest) {
    CubeScene cube;
    ASSERT_TRUE(cubeUnderGroup(cube));
    WriteRequest request;
    request.options.export_as_qvx_v2x = true;
    Scene loaded;
    std::string error;
    ASSERT_TRUE(exportAndLoad(loaded, request, false, &error)) << error;
    EXPECT_EQ(loaded.fileVersion, 9u);
    EXPECT_EQ(loaded.vertices.count(), 8);

    Scene current;
    ASSERT_TRUE(exportAndLoad(current, WriteRequest(), false, &error)) << error;
    EXPECT_EQ(current.fileVersion, 31u);
}

TEST_F(WriteRequestFile, VertexColoursReachTheFile) {
    MeshBuild mesh;
    ASSERT_TRUE(meshWithUVAndColorSets(mesh));
    Scene loaded;
    std::string error;
    ASSERT_TRUE(exportAndLoad(loaded, WriteRequest(), false, &error)) << error;
    ASSERT_EQ(loaded.vertices.count(), 6);
    for (int v = 0; v < 6; ++v) {
        EXPECT_NEAR(loaded.vertices[v].color.r, v / 5.0f, 1e-6) << v;
        EXPECT_NEAR(loaded.vertices[v].color.g, 1.0f - v / 5.0f, 1e-6) << v;
        EXPECT_NEAR(loaded.vertices[v].color.b, 0.0f, 1e-6) << v;
    }
}

TEST_F(WriteRequestFile, MaterialsAndTextureFileNamesReachTheFile) {
    ShadedScene wood;
    ASSERT_TRUE(phongWithFileTexture(wood));
    ShadedScene stone;
    ASSERT_TRUE(bumpMappedBlinn(stone));
    Scene loaded;
    std::string error;
    ASSERT_TRUE(exportAndLoad(loaded, WriteRequest(), false, &error)) << error;
    const int phong = materialNamed(loaded, "woodPhong");
    const int blinn = materialNamed(loaded, "bumpyBlinn");
    ASSERT_GE(phong, 0);
    ASSERT_GE(blinn, 0);
    const MaterialLayer* texture = loaded.materials[phong].findLayer(0);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(fileNamePart(texture->path.narrow), "wood.png");
    EXPECT_NEAR(texture->rotation.z, 90.0f, 1e-4);
    const MaterialLayer* bump = loaded.materials[blinn].findLayer(2);
    ASSERT_NE(bump, nullptr);
    EXPECT_EQ(fileNamePart(bump->path.narrow), "stone_normal.tga");
    // Two meshes merged into one, each polygon naming its own material.
    ASSERT_EQ(loaded.meshes.count(), 1);
    ASSERT_EQ(loaded.meshes[0].polygons.count(), 2);
    EXPECT_EQ(loaded.meshes[0].polygons[0].materialIndex, phong);
    EXPECT_EQ(loaded.meshes[0].polygons[1].materialIndex, blinn);
}

TEST_F(WriteRequestFile, SkinWeightsNameJointsInTheFile) {
    SkinnedScene skinned;
    ASSERT_TRUE(skinnedCylinder(skinned));
    Scene loaded;
    std::string error;
    ASSERT_TRUE(exportAndLoad(loaded, WriteRequest(), false, &error)) << error;
    const int joint1 = boneNamed(loaded, "joint1");
    ASSERT_GE(joint1, 0);
    // The ring at y 1 lies halfway along joint1's bone: its largest share, the shares
    // summing to 1.
    int topRing = 0;
    for (const Vertex& vertex : loaded.vertices) {
        if (std::abs(vertex.position.y - 1.0f) > 1e-4f) continue;
        ++topRing;
        ASSERT_GE(vertex.weightCount(), 1);
        float sum = 0.0f;
        const VertexWeight* largest = &vertex.weights[0];
        for (const VertexWeight& weight : vertex.weights) {
            ASSERT_TRUE(loaded.bones.validIndex(weight.boneIndex));
            EXPECT_EQ(std::string(loaded.bones[weight.boneIndex].name.narrow).rfind("joint", 0), 0u);
            sum += weight.weight;
            if (weight.weight > largest->weight) largest = &weight;
        }
        EXPECT_NEAR(sum, 1.0f, 1e-5);
        EXPECT_EQ(largest->boneIndex, joint1);
    }
    EXPECT_EQ(topRing, 8);
    ASSERT_EQ(loaded.animations.count(), 1);
    EXPECT_EQ(loaded.animations[0].trackCount(), loaded.bones.count());
}

}  // namespace
