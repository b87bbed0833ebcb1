// The chunked family (version 34): content chunks, skipping, bounded stores, compression
// and the embedded texture files.

#include <gtest/gtest.h>

#include <string>

#include "format/ByteBuilder.h"
#include "format/ChunkedReader.h"
#include "format/ReaderTestSupport.h"
#include "format/SampleFiles.h"

namespace {

// The header and directory of a chunked file; callers add chunks and call finish().
ByteBuilder chunkedStart(uint32_t flags = samples::kFlagColors | samples::kChunkedFlagWeights) {
    ByteBuilder b;
    b.text("QVXH").u32(34).u32(flags).u32(0).u32(0).zeros(28);
    const std::size_t at = b.beginChunk(kChunkDirectory);
    b.u32(kChunkLights).u32(1);
    b.endChunk(at);
    return b;
}

std::vector<unsigned char> finish(ByteBuilder& b) {
    b.patchU32(12, static_cast<uint32_t>(b.size()));
    return b.bytes();
}

void cameraChunk(ByteBuilder& b, std::size_t padding = 0) {
    const std::size_t at = b.beginChunk(kChunkCameras);
    b.u32(1).str16(u"Cam").u32(0).u32(0).transform().f32(45).f32(1).f32(100);
    b.zeros(padding);
    b.endChunk(at);
}

class ChunkedReader : public ::testing::TestWithParam<bool> {
  protected:
    Parsed parse(const std::vector<unsigned char>& bytes, const std::string& folder = "",
                 bool extract = false) {
        return parseBytes(bytes, scene, folder, extract);
    }
    Scene scene;
};

TEST_P(ChunkedReader, ReadsEveryContentChunk) {
    const auto inner = samples::chunked();
    const Parsed p = parse(GetParam() ? wrapChunked(inner, 0x0A) : inner, "/scenes/");
    ASSERT_EQ(p.result, QVX_RESULT_OK) << p.report.reason();
    EXPECT_TRUE(p.report.chunked);
    EXPECT_EQ(p.report.compressed, GetParam());
    EXPECT_EQ(scene.fileVersion, 34u);
    EXPECT_EQ(scene.lights.count(), 1);
    EXPECT_EQ(scene.lights[0].name.wideView(), u"Key");
    EXPECT_FLOAT_EQ(scene.lights[0].intensity, 2.5f);
    EXPECT_FLOAT_EQ(scene.cameras[0].fieldOfView, 60.0f);
    ASSERT_EQ(scene.materials.count(), 1);
    EXPECT_STREQ(scene.materials[0].findLayer(0)->path.narrow, "/scenes/wood.png");
    EXPECT_EQ(scene.groups.count(), 2);
    ASSERT_EQ(scene.vertices.count(), 4);
    EXPECT_FLOAT_EQ(scene.vertices[2].position.x, samples::vertexX(2));
    EXPECT_FLOAT_EQ(scene.vertices[1].color.r, 0.25f);
    EXPECT_EQ(scene.vertices[0].weightCount(), 2);
    EXPECT_EQ(scene.triangles.count(), 1);
    EXPECT_EQ(scene.triangles[0].materialIndex, 0);
    ASSERT_EQ(scene.uvSets.count(), 2);
    EXPECT_STREQ(scene.uvSets[1].name.narrow, "Map1");
    EXPECT_FLOAT_EQ(scene.uvSets[1].coords[6].u, samples::uvU(6, 1));
    EXPECT_EQ(scene.uvSets[0].triangleCount(), 1);
    ASSERT_EQ(scene.meshes.count(), 2);
    EXPECT_EQ(scene.meshes[1].polygons[0].uvs(1).uvIndices[2], 6);
    EXPECT_EQ(scene.meshes[1].polygons[0].groupIndex, 1);
    EXPECT_FLOAT_EQ(scene.bones[1].position.x, 5.0f);
    ASSERT_EQ(scene.animations[0].trackCount(), 2);
    EXPECT_EQ(scene.animations[0].tracks[1].positionKeys.count(), 2);
    EXPECT_EQ(scene.counts.infoStrings, 2u);
}

INSTANTIATE_TEST_SUITE_P(PlainAndCompressed, ChunkedReader, ::testing::Bool());

class ChunkedLayout : public ChunkedReader {};

TEST_F(ChunkedLayout, ReadsPastNormalsAndExtraVectorsAndReadsNoWeightsWithoutTheirFlag) {
    const Parsed p = parse(samples::chunked(0x07));
    ASSERT_EQ(p.result, QVX_RESULT_OK) << p.report.reason();
    EXPECT_FLOAT_EQ(scene.vertices[3].color.r, 0.75f);
    EXPECT_EQ(scene.vertices[0].weightCount(), 0);
}

TEST_F(ChunkedLayout, FailsWhenTheFirstChunkIsNotTheDirectory) {
    ByteBuilder b;
    b.text("QVXH").u32(34).u32(0).u32(0).u32(0).zeros(28);
    cameraChunk(b);
    const Parsed p = parse(finish(b));
    EXPECT_EQ(p.result, QVX_RESULT_FAILED);
    EXPECT_EQ(p.report.failure.section, "directory chunk");
}

TEST_F(ChunkedLayout, SkipsUnknownChunksAndResumesAtTheDeclaredEndOfAShortRead) {
    ByteBuilder b = chunkedStart();
    std::size_t at = b.beginChunk(0xBBBB0005u);
    b.u32(1).u32(2).u32(3);
    b.endChunk(at);
    cameraChunk(b, 13);  // 13 bytes the camera reader does not read
    at = b.beginChunk(0x12345678u);
    b.zeros(5);
    b.endChunk(at);
    const Parsed p = parse(finish(b));
    ASSERT_EQ(p.result, QVX_RESULT_OK) << p.report.reason();
    EXPECT_EQ(scene.cameras.count(), 1);
    EXPECT_FLOAT_EQ(scene.cameras[0].farClip, 100.0f);
}

TEST_F(ChunkedLayout, FailsOnAChunkLongerThanTheFile) {
    ByteBuilder b = chunkedStart();
    cameraChunk(b);
    b.u32(kChunkLights).u32(1000).u32(0);
    EXPECT_EQ(parse(finish(b)).result, QVX_RESULT_FAILED);
}

TEST_F(ChunkedLayout, KeepsARecordInsideItsChunk) {
    // The camera chunk claims fewer bytes than its record: the reader must not run on into
    // the next chunk.
    ByteBuilder b = chunkedStart();
    const std::size_t at = b.beginChunk(kChunkCameras);
    b.u32(1).str16(u"Cam").u32(0).u32(0).transform().f32(45).f32(1).f32(100);
    b.endChunk(at);
    b.patchU32(at, b.readU32(at) - 8);
    const Parsed p = parse(finish(b));
    EXPECT_EQ(p.result, QVX_RESULT_FAILED);
    EXPECT_EQ(p.report.failure.section, "cameras chunk");
}

TEST_F(ChunkedLayout, BoundsVertexStoresOfSeveralMeshesByTheAllocatedCount) {
    // The first mesh declares 4 vertices, the second 2: the last count wins and the first
    // mesh's extra vertices are read past instead of stored beyond the array.
    ByteBuilder b = chunkedStart(0);
    const std::size_t meshes = b.beginChunk(kChunkMeshes);
    b.u32(2);
    for (int count : {4, 2}) {
        const std::size_t mesh = b.beginChunk(kChunkMesh);
        const std::size_t part = b.beginChunk(kChunkMeshVertices);
        b.u32(static_cast<uint32_t>(count));
        for (int i = 0; i < count; ++i) b.vec3(float(count), float(i), 0);
        b.endChunk(part);
        b.endChunk(mesh);
    }
    b.endChunk(meshes);
    const Parsed p = parse(finish(b));
    ASSERT_EQ(p.result, QVX_RESULT_OK) << p.report.reason();
    ASSERT_EQ(scene.vertices.count(), 2);
    EXPECT_FLOAT_EQ(scene.vertices[1].position.x, 2.0f);
    EXPECT_FLOAT_EQ(scene.vertices[1].position.y, 1.0f);
}

TEST_F(ChunkedLayout, ReadsNoTracksForAnAnimationWhoseTrackCountIsZero) {
    ByteBuilder b = chunkedStart();
    std::size_t at = b.beginChunk(kChunkBones);
    b.u32(1);
    samples::currentBone(b, "B", -1, 0, 34);
    b.endChunk(at);
    at = b.beginChunk(kChunkAnimations);
    b.u32(1).str16(u"A").u32(0).f32(0).f32(10).f32(30).i32(0);
    b.endChunk(at);
    const Parsed p = parse(finish(b));
    ASSERT_EQ(p.result, QVX_RESULT_OK) << p.report.reason();
    EXPECT_EQ(scene.animations[0].trackCount(), 1);
    EXPECT_EQ(scene.animations[0].tracks[0].positionKeys.count(), 0);
}

class ChunkedHeader : public ChunkedReader {};

TEST_F(ChunkedHeader, EachCauseGivesItsCode) {
    auto patched = [](std::size_t offset, uint32_t value) {
        ByteBuilder b;
        b.raw(samples::chunked());
        b.patchU32(offset, value);
        return b.bytes();
    };
    auto wrongMagic = samples::chunked();
    wrongMagic[3] = 'h';
    const auto size = static_cast<uint32_t>(samples::chunked().size());
    const struct {
        const char* cause;
        std::vector<unsigned char> bytes;
        int result;
    } cases[] = {{"version 35", patched(4, 35), QVX_RESULT_OLD_VERSION},
                 {"compressed inner version 33", wrapChunked(patched(4, 33), 0x0A), QVX_RESULT_OLD_VERSION},
                 {"size mismatch", patched(12, size - 1), QVX_RESULT_BAD_SIZE},
                 {"wrong magic", wrongMagic, QVX_RESULT_NOT_QVX},
                 {"a stream inside a stream", wrapChunked(wrapChunked(samples::chunked(), 0x0A), 0x0A),
                  QVX_RESULT_FAILED}};
    for (const auto& c : cases) EXPECT_EQ(parse(c.bytes).result, c.result) << c.cause;
}

TEST_F(ChunkedHeader, ReadsACompressedFileShorterThanASectionedHeader) {
    ByteBuilder b = chunkedStart();
    cameraChunk(b);
    const auto compressed = wrapChunked(finish(b), 0);
    ASSERT_LT(compressed.size(), 200u);
    EXPECT_EQ(parse(compressed).result, QVX_RESULT_OK);
}

// Embedded files.

class ChunkedEmbedded : public ChunkedReader {
  protected:
    Parsed load(const std::vector<samples::Embedded>& files, bool extract = true) {
        return parse(samples::chunked(0x0A, files), folder.folder(), extract);
    }
    ScratchFolder folder;
};

TEST_F(ChunkedEmbedded, WritesEmbeddedFilesBesideTheSceneButNeverOverwrites) {
    folder.write("old.png", {9});
    ASSERT_EQ(load({{"tex.png", {1, 2, 3}}, {"old.png", {4}}}).result, QVX_RESULT_OK);
    EXPECT_EQ(folder.read("tex.png"), (std::vector<unsigned char>{1, 2, 3}));
    EXPECT_EQ(folder.read("old.png"), (std::vector<unsigned char>{9}));
}

TEST_F(ChunkedEmbedded, ReducesStoredNamesToTheirLastComponentOnBothSeparators) {
    ASSERT_EQ(
        load({{"../../escape.png", {1}}, {"C:\\maps\\wood.png", {2}}, {"sub/dir\\leaf.png", {3}}}).result,
        QVX_RESULT_OK);
    EXPECT_TRUE(folder.exists("escape.png"));
    EXPECT_TRUE(folder.exists("wood.png"));
    EXPECT_TRUE(folder.exists("leaf.png"));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(folder.path()).parent_path() / "escape.png"));
}

TEST_F(ChunkedEmbedded, SkipsNamesThatAreNotPlainFileNames) {
    ASSERT_EQ(load({{"..", {1}}, {".", {2}}, {"", {3}}, {"dir/", {4}}, {"empty.png", {}}}).result,
              QVX_RESULT_OK);
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST_F(ChunkedEmbedded, WritesNothingWhenExtractionIsOff) {
    ASSERT_EQ(load({{"tex.png", {1, 2, 3}}}, false).result, QVX_RESULT_OK);
    EXPECT_FALSE(folder.exists("tex.png"));
}

TEST_F(ChunkedEmbedded, CreatesAtMostTheLimitOfFilesAndWarnsOnceWithTheCountOfTheRest) {
    EXPECT_EQ(ReadSettings().maxEmbeddedFiles, 4096u);
    // The same rule with a small limit, so that the test creates few files. A file that
    // exists already is not created and does not count.
    folder.write("t0.png", {9});
    std::vector<samples::Embedded> files;
    for (int i = 0; i < 8; ++i) files.push_back({"t" + std::to_string(i) + ".png", {1}});
    auto image = samples::chunked(0x0A, files);
    ReadSettings settings;
    settings.sceneFolder = folder.folder();
    settings.maxEmbeddedFiles = 3;
    ParseReport report;
    ASSERT_EQ(parseSceneImage(image, scene, settings, &report), QVX_RESULT_OK);
    EXPECT_EQ(folder.read("t0.png"), (std::vector<unsigned char>{9}));
    EXPECT_TRUE(folder.exists("t3.png"));
    EXPECT_FALSE(folder.exists("t4.png"));
    ASSERT_EQ(report.warnings.size(), 1u);
    EXPECT_EQ(report.warnings[0].rfind("4 embedded files were not written", 0), 0u) << report.warnings[0];
}

TEST_F(ChunkedEmbedded, FailsOnEmbeddedDataBeyondTheChunk) {
    ByteBuilder b = chunkedStart();
    cameraChunk(b);
    const std::size_t at = b.beginChunk(kChunkEmbeddedFiles);
    b.u32(1).str16(u"big.png").u32(0x7FFFFFFF).u32(0);
    b.endChunk(at);
    EXPECT_EQ(parse(finish(b), folder.folder(), true).result, QVX_RESULT_FAILED);
    EXPECT_FALSE(folder.exists("big.png"));
}

}  // namespace
