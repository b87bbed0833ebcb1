// Hand-built files of every accepted sectioned version, plain and compressed, read back into
// the values they were built with.

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "format/ByteBuilder.h"
#include "format/ReaderTestSupport.h"
#include "format/SampleFiles.h"

namespace {

class ReaderVersion : public ::testing::TestWithParam<std::tuple<uint32_t, bool>> {
  protected:
    void SetUp() override {
        version = std::get<0>(GetParam());
        compressed = std::get<1>(GetParam());
        auto inner = samples::sectioned(version);
        parsed = parseBytes(compressed ? wrapSectioned(inner, version >= 30 ? 128 : 96) : inner, scene,
                            "/scenes/");
        ASSERT_EQ(parsed.result, QVX_RESULT_OK) << parsed.report.reason();
    }

    uint32_t version = 0;
    bool compressed = false;
    Scene scene;
    Parsed parsed;
};

TEST_P(ReaderVersion, ReadsTheDeclaredCounts) {
    EXPECT_EQ(scene.fileVersion, version);
    EXPECT_EQ(scene.lights.count(), 1);
    EXPECT_EQ(scene.cameras.count(), 1);
    EXPECT_EQ(scene.materials.count(), 1);
    EXPECT_EQ(scene.groups.count(), 2);
    EXPECT_EQ(scene.vertices.count(), 4);
    EXPECT_EQ(scene.triangles.count(), version >= 30 ? 1 : 0);
    EXPECT_EQ(scene.uvSets.count(), 2);
    EXPECT_EQ(scene.meshes.count(), 2);
    EXPECT_EQ(scene.bones.count(), 2);
    EXPECT_EQ(scene.animations.count(), 1);
    EXPECT_EQ(scene.counts.infoStrings, 3u);
    EXPECT_EQ(parsed.report.compressed, compressed);
}

TEST_P(ReaderVersion, ReadsNamesInBothForms) {
    EXPECT_STREQ(scene.lights[0].name.narrow, "Key");
    EXPECT_EQ(scene.lights[0].name.wideView(), u"Key");
    EXPECT_STREQ(scene.cameras[0].name.narrow, "Cam");
    EXPECT_STREQ(scene.materials[0].name.narrow, "Wood");
    EXPECT_STREQ(scene.groups[1].name.narrow, "G1");
    EXPECT_STREQ(scene.bones[1].name.narrow, "Child");
    EXPECT_STREQ(scene.animations[0].name.narrow, "Walk");
}

TEST_P(ReaderVersion, ReadsLightAndCamera) {
    const Light& l = scene.lights[0];
    EXPECT_EQ(l.kind, 2u);
    EXPECT_FLOAT_EQ(l.transform.translation.y, 2.0f);
    EXPECT_FLOAT_EQ(l.color.g, 0.5f);
    const Camera& c = scene.cameras[0];
    EXPECT_EQ(c.kind, 1u);
    EXPECT_FLOAT_EQ(c.transform.translation.z, 10.0f);
    EXPECT_FLOAT_EQ(c.fieldOfView, 60.0f);
    EXPECT_FLOAT_EQ(c.farClip, 500.0f);
    if (version >= 30) {
        EXPECT_EQ(l.tag, 1600u);
        EXPECT_FLOAT_EQ(l.coneAngle, 30.0f);
        EXPECT_FLOAT_EQ(l.intensity, 2.5f);
        EXPECT_FLOAT_EQ(l.param5, 8.0f);
        EXPECT_FLOAT_EQ(l.transform.matrix[3], 1.0f);
    } else {
        // Older lights store kind, position and colour only; the rest stays as allocated.
        EXPECT_FLOAT_EQ(l.intensity, 0.0f);
    }
}

TEST_P(ReaderVersion, ReadsVerticesWithColoursAndWeights) {
    for (int i = 0; i < 4; ++i) {
        const Vertex& v = scene.vertices[i];
        EXPECT_FLOAT_EQ(v.position.x, samples::vertexX(i));
        EXPECT_FLOAT_EQ(v.position.y, 2.0f * i);
        EXPECT_FLOAT_EQ(v.color.r, 0.25f * i);
    }
    ASSERT_EQ(scene.vertices[0].weightCount(), 2);
    EXPECT_EQ(scene.vertices[0].weights[1].boneIndex, 1);
    EXPECT_FLOAT_EQ(scene.vertices[0].weights[1].weight, 0.25f);
    EXPECT_EQ(scene.vertices[3].weightCount(), 0);
}

TEST_P(ReaderVersion, ReadsPolygonsWithUVsAtRunningCornerPositions) {
    const Polygon& quad = scene.meshes[0].polygons[0];
    const Polygon& tri = scene.meshes[1].polygons[0];
    ASSERT_EQ(quad.cornerCount(), 4);
    ASSERT_EQ(tri.cornerCount(), 3);
    EXPECT_EQ(quad.groupIndex, 0);
    EXPECT_EQ(tri.groupIndex, 1);
    EXPECT_EQ(quad.materialIndex, 0);
    EXPECT_EQ(tri.materialIndex, -1);
    EXPECT_EQ(quad.fourthField, 0xABu);
    EXPECT_EQ(tri.vertexIndices()[1], 2);
    for (int set = 0; set < 2; ++set) {
        for (int k = 0; k < 3; ++k) {
            const int32_t index = tri.uvs(set).uvIndices[k];
            EXPECT_EQ(index, 4 + k);
            ASSERT_TRUE(scene.uvSets[set].coords.validIndex(index));
            EXPECT_FLOAT_EQ(scene.uvSets[set].coords[index].u, samples::uvU(4 + k, set));
            EXPECT_FLOAT_EQ(scene.uvSets[set].coords[index].v, samples::uvV(4 + k));
        }
    }
    EXPECT_EQ(scene.uvSets[0].coordCount(), samples::kCorners);
    EXPECT_EQ(scene.legacyUVCount, uint32_t(samples::kCorners));
}

TEST_P(ReaderVersion, ReadsBones) {
    const Bone& child = scene.bones[1];
    EXPECT_EQ(child.parentIndex, 0);
    EXPECT_FLOAT_EQ(child.position.x, 5.0f);
    EXPECT_FLOAT_EQ(child.rotation.w, 0.7071068f);
    EXPECT_FLOAT_EQ(child.color.g, 0.0f);
    // Scale is stored from version 9 on.
    EXPECT_FLOAT_EQ(child.scale.y, version >= 9 ? 2.0f : 1.0f);
    // The rest fields come from the full transform of version 30 on.
    EXPECT_FLOAT_EQ(child.restMatrix[3], version >= 30 ? 5.0f : 0.0f);
    EXPECT_FLOAT_EQ(child.restEuler.z, version >= 30 ? 0.3f : 0.0f);
}

TEST_P(ReaderVersion, ReadsAnimationTracksPerBone) {
    const Animation& a = scene.animations[0];
    EXPECT_FLOAT_EQ(a.tickCount, 48.0f);
    EXPECT_FLOAT_EQ(a.fps, 24.0f);
    ASSERT_EQ(a.trackCount(), 2);
    const BoneTrack& t = a.tracks[1];
    ASSERT_EQ(t.positionKeys.count(), 2);
    EXPECT_FLOAT_EQ(t.positionKeys[1].time, 1.0f);
    EXPECT_FLOAT_EQ(t.positionKeys[1].value.x, 1.0f);
    EXPECT_FLOAT_EQ(t.positionKeys[1].value.y, 1.0f);
    ASSERT_EQ(t.rotationKeys.count(), 1);
    EXPECT_FLOAT_EQ(t.rotationKeys[0].value.w, 1.0f);
    ASSERT_EQ(t.scaleKeys.count(), 1);
    EXPECT_FLOAT_EQ(t.scaleKeys[0].time, 0.5f);
}

TEST_P(ReaderVersion, ReadsMaterialBlockAndRebasesTexturePaths) {
    const Material& m = scene.materials[0];
    EXPECT_EQ(m.flags, 7u);
    EXPECT_FLOAT_EQ(m.diffuse.g, 0.6f);
    EXPECT_FLOAT_EQ(m.shininess, 32.0f);
    EXPECT_FLOAT_EQ(m.opacity, 0.75f);
    ASSERT_EQ(m.layerCount(), 4);
    const MaterialLayer* first = m.findLayer(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->kind, 1);
    // A Windows path splits on backslashes and lands in the scene's folder.
    EXPECT_STREQ(first->path.narrow, "/scenes/wood.png");
    EXPECT_EQ(first->value1, 7u);
    EXPECT_FLOAT_EQ(first->value2, 2.5f);
    const MaterialLayer* layered = m.findLayer(1);
    ASSERT_NE(layered, nullptr);
    EXPECT_EQ(layered->kind, 4);
    ASSERT_GE(layered->subEntryCount(), 2);
    EXPECT_STREQ(layered->subEntries[1].path.narrow, "/scenes/b.png");
    EXPECT_EQ(layered->subEntries[1].value2, 12u);
    EXPECT_FLOAT_EQ(layered->subEntries[1].value3, 0.75f);
    const MaterialLayer* cube = m.findLayer(2);
    ASSERT_NE(cube, nullptr);
    ASSERT_EQ(cube->paths.size(), 6u);
    EXPECT_STREQ(cube->paths[5].narrow, "/scenes/face5.png");
}

INSTANTIATE_TEST_SUITE_P(EveryVersion, ReaderVersion,
                         ::testing::Combine(::testing::Values(6u, 8u, 9u, 10u, 29u, 30u, 31u, 32u, 33u),
                                            ::testing::Bool()));

}  // namespace
