// Write then read: a scene with every record kind goes through the version-31 and the
// version-9 writers, plain and inside the compressed wrapper, and reads back field for field.

#include <gtest/gtest.h>

#include <string>

#include "format/Compressor.h"
#include "format/ExportFile.h"
#include "format/Loader.h"
#include "format/ReaderTestSupport.h"
#include "format/SampleScene.h"

namespace {

using samples::fillScene;
using samples::kLayerKinds;

// UV coordinate of corner k of a source polygon in source UV set `set`.
UVCoord sourceUV(const Scene& source, int mesh, int polygon, int set, int k) {
    const Mesh& m = source.meshes[mesh];
    return m.uvSets[set].coords[m.polygons[polygon].uvs(set).uvIndices[k]];
}

class RoundTrip : public ::testing::TestWithParam<std::tuple<bool, bool>> {
  protected:
    void SetUp() override {
        v9 = std::get<0>(GetParam());
        compressed = std::get<1>(GetParam());
        fillScene(source);
        WriteOptions options;
        options.export_as_qvx_v2x = v9;
        options.dateText = "Sun Dec  6 12:00:00 2026";
        std::vector<unsigned char> inner;
        QvxHeader header;
        std::string error;
        ASSERT_TRUE(writeSceneBody(source, options, inner, header, error)) << error;
        std::vector<unsigned char> file = inner;
        if (compressed) {
            ASSERT_TRUE(buildCompressedWrapper(inner.data(), inner.size(), file, error)) << error;
        }
        const Parsed p = parseBytes(file, read, "/scene/");
        ASSERT_EQ(p.result, QVX_RESULT_OK) << p.report.reason();
        EXPECT_EQ(p.report.compressed, compressed);
        EXPECT_EQ(p.report.innerBytes, inner.size());
    }

    bool v9 = false;
    bool compressed = false;
    Scene source;
    Scene read;
};

TEST_P(RoundTrip, KeepsTheCounts) {
    EXPECT_EQ(read.fileVersion, v9 ? 9u : 31u);
    EXPECT_EQ(read.lights.count(), v9 ? 0 : 1);
    EXPECT_EQ(read.cameras.count(), v9 ? 0 : 1);
    EXPECT_EQ(read.materials.count(), 2);
    EXPECT_EQ(read.groups.count(), 2);
    EXPECT_EQ(read.vertices.count(), 6);
    EXPECT_EQ(read.uvSets.count(), 2);
    EXPECT_EQ(read.meshes.count(), 2);
    EXPECT_EQ(read.bones.count(), 3);
    EXPECT_EQ(read.animations.count(), 1);
    EXPECT_EQ(read.counts.infoStrings, 3u);
}

TEST_P(RoundTrip, KeepsLightsAndCameras) {
    if (v9) GTEST_SKIP() << "version 9 stores no lights or cameras";
    const Light& l = read.lights[0];
    EXPECT_STREQ(l.name.narrow, "Sun");
    EXPECT_EQ(l.tag, 1600u);
    EXPECT_EQ(l.kind, 2u);
    EXPECT_FLOAT_EQ(l.transform.translation.z, 3);
    EXPECT_FLOAT_EQ(l.param0, 11);
    EXPECT_FLOAT_EQ(l.coneAngle, 35);
    EXPECT_FLOAT_EQ(l.param2, 0);
    EXPECT_FLOAT_EQ(l.param3, 1);
    EXPECT_FLOAT_EQ(l.intensity, 3);
    EXPECT_FLOAT_EQ(l.color.b, 0.25f);
    EXPECT_FLOAT_EQ(l.param4, 2.5f);
    EXPECT_FLOAT_EQ(l.param5, 9);
    const Camera& c = read.cameras[0];
    EXPECT_STREQ(c.name.narrow, "Persp");
    EXPECT_EQ(c.kind, 1u);
    EXPECT_FLOAT_EQ(c.transform.translation.y, 5);
    EXPECT_FLOAT_EQ(c.fieldOfView, 50);
    EXPECT_FLOAT_EQ(c.nearClip, 0.1f);
    EXPECT_FLOAT_EQ(c.farClip, 900);
}

TEST_P(RoundTrip, KeepsMaterialValues) {
    for (int i = 0; i < 2; ++i) {
        const Material& m = read.materials[i];
        EXPECT_STREQ(m.name.narrow, source.materials[i].name.narrow);
        EXPECT_EQ(m.flags, 3u);
        EXPECT_FLOAT_EQ(m.diffuse.r, 0.9f);
        EXPECT_FLOAT_EQ(m.specular.g, 0.3f);
        EXPECT_FLOAT_EQ(m.shininess, 40);
        EXPECT_FLOAT_EQ(m.opacity, 0.5f);
    }
    EXPECT_EQ(read.materials[1].layerCount(), 0);
}

TEST_P(RoundTrip, KeepsEveryLayerKind) {
    const Material& m = read.materials[0];
    ASSERT_EQ(m.layerCount(), kLayerKinds);
    for (int kind = 1; kind <= kLayerKinds; ++kind) {
        SCOPED_TRACE("kind " + std::to_string(kind));
        const MaterialLayer* l = m.findLayer(10 + kind);
        ASSERT_NE(l, nullptr);
        EXPECT_EQ(l->kind, kind);
        if (!v9) {
            EXPECT_EQ(l->flags, 0x310001u + static_cast<uint32_t>(kind));
            EXPECT_FLOAT_EQ(l->offset.y, 0.25f);
            EXPECT_FLOAT_EQ(l->repeat.y, 4);
            EXPECT_FLOAT_EQ(l->rotation.z, 30);
        }
        const std::string path = "/scene/k" + std::to_string(kind) + ".png";
        switch (kind) {
            case 4:
                ASSERT_EQ(l->subEntryCount(), v9 ? 3 : 2);
                EXPECT_STREQ(l->subEntries[1].path.narrow, "/scene/sub1.png");
                EXPECT_EQ(l->subEntries[1].value1, 1);
                EXPECT_EQ(l->subEntries[1].value2, 21u);
                EXPECT_FLOAT_EQ(l->subEntries[1].value3, 1.5f);
                if (v9) {
                    // The missing third input comes back as the writer's filler.
                    EXPECT_STREQ(l->subEntries[2].path.narrow, "");
                    EXPECT_FLOAT_EQ(l->subEntries[2].value3, 1.0f);
                    EXPECT_EQ(l->flags, 0x3u);  // the mask of present inputs
                }
                break;
            case 5:
                ASSERT_EQ(l->paths.size(), 6u);
                EXPECT_STREQ(l->paths[4].narrow, "/scene/face4.png");
                if (v9) {
                    EXPECT_EQ(l->flags, 0x3Fu);
                }
                break;
            default:
                EXPECT_EQ(std::string(l->path.narrow), path);
                EXPECT_EQ(l->value1, 100u + static_cast<uint32_t>(kind));
                if (v9) {
                    EXPECT_EQ(l->flags, 1u);
                }
                if (kind <= 3) {
                    EXPECT_FLOAT_EQ(l->value2, 1.5f);
                    EXPECT_FLOAT_EQ(l->value3, 0.25f);
                }
                if (kind == 2) {
                    EXPECT_FLOAT_EQ(l->value5, 7);
                    EXPECT_EQ(l->packedColor, 0x123456u);
                }
                if (kind == 2 || kind == 3) {
                    EXPECT_EQ(l->extraWord, 77u);
                }
                break;
        }
    }
}

TEST_P(RoundTrip, KeepsVerticesAndWeights) {
    for (int i = 0; i < 6; ++i) {
        const Vertex& a = source.vertices[i];
        const Vertex& b = read.vertices[i];
        EXPECT_FLOAT_EQ(b.position.y, a.position.y);
        EXPECT_FLOAT_EQ(b.color.r, a.color.r);
        ASSERT_EQ(b.weightCount(), a.weightCount());
        for (int w = 0; w < a.weightCount(); ++w) {
            EXPECT_EQ(b.weights[w].boneIndex, a.weights[w].boneIndex);
            EXPECT_FLOAT_EQ(b.weights[w].weight, a.weights[w].weight);
        }
    }
    // Sized once by the counting pass: every weight in one block, used up exactly.
    EXPECT_EQ(read.weightPool.blockCount(), 1u);
    EXPECT_EQ(read.weightPool.available(), 0u);
    EXPECT_EQ(read.vertices[1].weights.data(),
              read.vertices[0].weights.data() + read.vertices[0].weightCount());
}

TEST_P(RoundTrip, KeepsPolygonsAndTheirUVs) {
    int base = 0;
    for (int m = 0; m < 2; ++m) {
        // Version 9 regroups polygons by group; each source mesh is one group here.
        const Mesh& back = read.meshes[m];
        // Sized once by the counting pass: the mesh's corners in one block, used up exactly.
        EXPECT_EQ(back.cornerPool.blockCount(), 1u);
        EXPECT_EQ(back.cornerPool.available(), 0u);
        ASSERT_EQ(back.polygons.count(), source.meshes[m].polygons.count());
        for (int p = 0; p < back.polygons.count(); ++p) {
            const Polygon& a = source.meshes[m].polygons[p];
            const Polygon& b = back.polygons[p];
            ASSERT_EQ(b.cornerCount(), a.cornerCount());
            EXPECT_EQ(b.groupIndex, a.groupIndex);
            EXPECT_EQ(b.materialIndex, a.materialIndex);
            EXPECT_EQ(b.fourthField, a.fourthField);
            for (int k = 0; k < a.cornerCount(); ++k) {
                EXPECT_EQ(b.vertexIndices()[k], a.vertexIndices()[k]);
                for (int set = 0; set < 2; ++set) {
                    const int32_t index = b.uvs(set).uvIndices[k];
                    EXPECT_EQ(index, base + k);
                    ASSERT_TRUE(read.uvSets[set].coords.validIndex(index));
                    const UVCoord expected = sourceUV(source, m, p, set, k);
                    EXPECT_FLOAT_EQ(read.uvSets[set].coords[index].u, expected.u);
                    EXPECT_FLOAT_EQ(read.uvSets[set].coords[index].v, expected.v);
                }
            }
            base += a.cornerCount();
        }
    }
}

TEST_P(RoundTrip, KeepsBones) {
    for (int i = 0; i < 3; ++i) {
        const Bone& a = source.bones[i];
        const Bone& b = read.bones[i];
        EXPECT_STREQ(b.name.narrow, a.name.narrow);
        EXPECT_EQ(b.parentIndex, a.parentIndex);
        EXPECT_FLOAT_EQ(b.position.y, a.position.y);
        EXPECT_FLOAT_EQ(b.scale.y, a.scale.y);
        EXPECT_FLOAT_EQ(b.rotation.y, a.rotation.y);
        EXPECT_FLOAT_EQ(b.rotation.w, a.rotation.w);
        EXPECT_FLOAT_EQ(b.color.b, a.color.b);
        // Version 31 stores the whole block: identity rest matrices come back.
        EXPECT_FLOAT_EQ(b.restMatrix[0], v9 ? 0.0f : 1.0f);
    }
}

TEST_P(RoundTrip, KeepsAnimationKeys) {
    const Animation& a = read.animations[0];
    EXPECT_STREQ(a.name.narrow, "Take");
    EXPECT_EQ(a.flags, 1u);
    EXPECT_FLOAT_EQ(a.startTick, 2);
    EXPECT_FLOAT_EQ(a.tickCount, 60);
    EXPECT_FLOAT_EQ(a.fps, 24);
    ASSERT_EQ(a.trackCount(), 3);
    const BoneTrack& t = a.tracks[2];
    ASSERT_EQ(t.positionKeys.count(), 3);
    EXPECT_FLOAT_EQ(t.positionKeys[2].time, 1.0f);
    EXPECT_FLOAT_EQ(t.positionKeys[2].value.y, 2.0f);
    ASSERT_EQ(t.rotationKeys.count(), 2);
    EXPECT_FLOAT_EQ(t.rotationKeys[1].value.x, 0.6f);
    EXPECT_FLOAT_EQ(t.rotationKeys[1].value.w, 0.8f);
    ASSERT_EQ(t.scaleKeys.count(), 1);
    EXPECT_FLOAT_EQ(t.scaleKeys[0].value.z, 2);
}

std::string roundTripName(const ::testing::TestParamInfo<std::tuple<bool, bool>>& info) {
    return std::string(std::get<0>(info.param) ? "Version9" : "Version31") +
           (std::get<1>(info.param) ? "Compressed" : "Plain");
}

INSTANTIATE_TEST_SUITE_P(Writers, RoundTrip, ::testing::Combine(::testing::Bool(), ::testing::Bool()),
                         roundTripName);

TEST(RoundTripFile, ExportedFileLoadsBackThroughTheLoader) {
    ScratchFolder folder;
    Scene source;
    fillScene(source);
    const ExportResult written = exportSceneFile(source, WriteOptions(), folder.file("scene.qvx"));
    ASSERT_TRUE(written.written) << written.error;
    Scene read;
    LoadOptions options;
    options.prepare = false;
    LoadReport report;
    ASSERT_EQ(loadSceneFile(folder.file("scene.qvx"), read, options, &report), QVX_RESULT_OK)
        << report.reason;
    EXPECT_TRUE(report.parse.compressed);
    EXPECT_EQ(report.parse.outer.version(), 8u);
    EXPECT_EQ(report.parse.inner.version(), 31u);
    EXPECT_EQ(read.vertices.count(), 6);
    EXPECT_EQ(std::string(read.materials[0].findLayer(11)->path.narrow), folder.file("k1.png"));
}

}  // namespace
