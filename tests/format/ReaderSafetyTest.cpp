// The reader's handling of hostile or unusual content: over-long strings, surplus UV
// channels, negative and oversized counts, duplicate layers, and the texture-path rules.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <string>

#include "format/ByteBuilder.h"
#include "format/ReaderTestSupport.h"

namespace {

using Body = std::function<void(ByteBuilder&)>;

// A sectioned file of `version`: header, then whatever `body` writes (every section's count
// word and records), with magic, version, flags and size set.
std::vector<unsigned char> fileOf(uint32_t version, const Body& body, uint32_t flags = 0) {
    ByteBuilder b;
    b.zeros(version >= 30 ? 128 : 96);
    body(b);
    b.patchU32(0, 0x48585651u);
    b.patchU32(4, version);
    b.patchU32(8, flags);
    b.patchU32(12, static_cast<uint32_t>(b.size()));
    return b.bytes();
}

// Empty sections for everything after the vertices of a version-30+ file.
void restEmpty(ByteBuilder& b) {
    b.u32(0).u32(0).u32(0).u32(0).u32(0);
}

// One vertex whose weight count is `weights` (its pairs follow only when positive).
Body oneVertexWithWeights(int32_t weights) {
    return [weights](ByteBuilder& b) {
        b.u32(0).u32(0).u32(0).u32(0);
        b.u32(1).vec3(1, 2, 3).i32(weights);
        for (int32_t i = 0; i < weights; ++i) b.i32(0).f32(1);
        restEmpty(b);
    };
}

// A group, a vertex, and one mesh whose polygon is written by `polygon`.
Body oneMesh(const std::function<void(ByteBuilder&)>& polygon) {
    return [polygon](ByteBuilder& b) {
        b.u32(0).u32(0).u32(0);
        b.u32(1).str8("G").u32(0).i32(-1).transform();
        b.u32(1).vec3(0, 0, 0).i32(0);
        b.u32(0).u32(0);
        b.u32(1).i32(1);
        polygon(b);
        b.u32(0).u32(0);
    };
}

// One material holding the layers that `layers` writes (count included).
Body oneMaterial(const std::function<void(ByteBuilder&)>& layers, uint32_t version = 31) {
    return [layers, version](ByteBuilder& b) {
        b.u32(0).u32(0);
        b.u32(1).str("M", version).u32(0);
        for (int i = 0; i < 5; ++i) b.rgba(1, 1, 1, 1);
        b.f32(1).f32(1);
        layers(b);
        b.u32(0).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0);
    };
}

// Version 9: a group, a vertex and one mesh of group 0 whose one polygon `polygon` writes.
std::vector<unsigned char> oldMeshFile(const Body& polygon) {
    return fileOf(9, [polygon](ByteBuilder& b) {
        b.u32(0).u32(0).u32(0);
        b.u32(1).str8("G");
        b.u32(1).vec3(0, 0, 0).i32(0);
        b.u32(1).u32(0).i32(1);
        polygon(b);
        b.u32(0).u32(0);
    });
}

// One bone and one animation whose track count and tracks `tracks` writes.
std::vector<unsigned char> animationFile(const Body& tracks) {
    return fileOf(31, [tracks](ByteBuilder& b) {
        b.u32(0).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0);
        b.u32(1).str8("B").i32(-1).transform().rgba(1, 1, 1, 1);
        b.u32(1).str8("A").u32(0).f32(0).f32(30).f32(30);
        tracks(b);
    });
}

void head(ByteBuilder& b, int32_t channel, int32_t kind) {
    b.i32(channel).i32(kind).u32(0).vec3(0, 0, 0).vec3(1, 1, 1).vec3(0, 0, 0);
}

class ReaderSafety : public ::testing::Test {
  protected:
    Parsed parse(const std::vector<unsigned char>& bytes, const std::string& folder = "") {
        return parseBytes(bytes, scene, folder);
    }
    Scene scene;
};

TEST_F(ReaderSafety, TruncatesALongNarrowNameWithoutSplittingACharacter) {
    std::string name(258, 'a');
    name += "\xC3\xA9";  // a two-byte character across the 259-byte limit
    name += std::string(40, 'b');
    const auto bytes = fileOf(31, [&](ByteBuilder& b) {
        b.u32(1).str8(name).u32(1600).u32(3).transform(4, 5, 6);
        b.f32(1).f32(2).f32(3).f32(4).f32(5).rgba(1, 1, 1, 1).f32(6).f32(7);
        b.u32(0).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0);
    });
    ASSERT_EQ(parse(bytes).result, QVX_RESULT_OK);
    EXPECT_EQ(std::string(scene.lights[0].name.narrow), std::string(258, 'a'));
    // The whole stored string was consumed: the fields after it are in place.
    EXPECT_EQ(scene.lights[0].kind, 3u);
    EXPECT_FLOAT_EQ(scene.lights[0].param5, 7.0f);
}

TEST_F(ReaderSafety, TruncatesALongUtf16NameBeforeASurrogatePair) {
    std::u16string name(258, u'x');
    name += u"\U0001F600";
    name += std::u16string(300, u'y');  // 560 units: longer than the 520-byte wide buffer
    const auto bytes = fileOf(32, [&](ByteBuilder& b) {
        b.u32(0).u32(1).str16(name).u32(0).u32(1).transform().f32(45).f32(1).f32(99);
        b.u32(0).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0);
    });
    ASSERT_EQ(parse(bytes).result, QVX_RESULT_OK);
    const std::string narrow = scene.cameras[0].name.narrow;
    EXPECT_LE(narrow.size(), 259u);
    EXPECT_EQ(narrow.find_first_not_of('x'), std::string::npos);
    EXPECT_FLOAT_EQ(scene.cameras[0].farClip, 99.0f);
}

TEST_F(ReaderSafety, ReadsPastUVChannelsBeyondTheScenesUVSets) {
    const auto bytes = fileOf(31, oneMesh([](ByteBuilder& b) {
                                  b.i32(3).i32(5).i32(0).i32(-1).u32(0);
                                  for (int k = 0; k < 3; ++k) b.i32(0).i32(-1);
                                  for (int j = 0; j < 5; ++j) {
                                      for (int k = 0; k < 3; ++k) b.i32(10 * j + k).i32(-1);
                                  }
                              }));
    const Parsed p = parse(bytes);
    ASSERT_EQ(p.result, QVX_RESULT_OK) << p.report.reason();
    const Polygon& poly = scene.meshes[0].polygons[0];
    EXPECT_EQ(poly.uvChannelCount(), 2);
    EXPECT_EQ(poly.uvs(1).uvIndices[2], 12);
}

TEST_F(ReaderSafety, ReadsPastOldLayoutUVChannelsBeyondTheScenesUVSets) {
    const Parsed p = parse(oldMeshFile([](ByteBuilder& b) {
        b.i32(3).i32(4).i32(-1).u32(0).u32(0).u32(0).u32(0);
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 3; ++k) b.f32(float(j)).f32(float(k)).f32(0);
    }));
    ASSERT_EQ(p.result, QVX_RESULT_OK) << p.report.reason();
    EXPECT_EQ(scene.uvSets.count(), 2);
    ASSERT_EQ(scene.uvSets[1].coordCount(), 3);
    EXPECT_FLOAT_EQ(scene.uvSets[1].coords[2].u, 1.0f);
    EXPECT_FLOAT_EQ(scene.uvSets[1].coords[2].v, 2.0f);
}

TEST_F(ReaderSafety, FailsOnEveryNegativeCount) {
    const std::pair<const char*, std::vector<unsigned char>> files[] = {
        {"weights", fileOf(31, oneVertexWithWeights(-1))},
        {"corners", fileOf(31, oneMesh([](ByteBuilder& b) { b.i32(-3).i32(2).i32(0).i32(0).u32(0); }))},
        {"channels", fileOf(31, oneMesh([](ByteBuilder& b) { b.i32(3).i32(-2).i32(0).i32(0).u32(0); }))},
        {"layers", fileOf(31, oneMaterial([](ByteBuilder& b) { b.i32(-1); }))},
        {"tracks", animationFile([](ByteBuilder& b) { b.i32(-1); })},
        {"keys", animationFile([](ByteBuilder& b) { b.i32(1).i32(-1); })}};
    for (const auto& f : files) EXPECT_EQ(parse(f.second).result, QVX_RESULT_FAILED) << f.first;
    // Zero is fine: no weights.
    ASSERT_EQ(parse(fileOf(31, oneVertexWithWeights(0))).result, QVX_RESULT_OK);
    EXPECT_EQ(scene.vertices[0].weightCount(), 0);
}

TEST_F(ReaderSafety, GivesALayeredLayerWithoutStoredInputsThreeDefaultOnesAndReadsOn) {
    // A count of zero or below stores no entries; the layer after it must still be in place.
    for (const int32_t count : {0, -1, -7, INT32_MIN}) {
        const auto bytes = fileOf(31, oneMaterial([count](ByteBuilder& b) {
                                      b.i32(2);
                                      head(b, 0, 4);
                                      b.i32(count);
                                      head(b, 1, 7);
                                      b.str8("after.png").u32(77);
                                  }));
        const Parsed p = parse(bytes, "/scenes/");
        ASSERT_EQ(p.result, QVX_RESULT_OK) << count << ": " << p.report.reason();
        const MaterialLayer* layered = scene.materials[0].findLayer(0);
        ASSERT_NE(layered, nullptr);
        ASSERT_EQ(layered->subEntryCount(), 3) << count;
        EXPECT_STREQ(layered->subEntries[2].path.narrow, "");
        const MaterialLayer* next = scene.materials[0].findLayer(1);
        ASSERT_NE(next, nullptr) << count;
        EXPECT_STREQ(next->path.narrow, "/scenes/after.png");
        EXPECT_EQ(next->value1, 77u);
    }
}

// A version-31 file with `uvSets` named UV sets and one mesh whose one triangle stores
// `channels` UV channels, channel j's corner k holding 10 j + k.
std::vector<unsigned char> channelsFile(int32_t uvSets, int32_t channels) {
    return fileOf(31, [=](ByteBuilder& b) {
        b.u32(0).u32(0).u32(0);
        b.u32(1).str8("G").u32(0).i32(-1).transform();
        b.u32(1).vec3(0, 0, 0).i32(0);
        b.u32(0);
        b.u32(static_cast<uint32_t>(uvSets));
        for (int32_t s = 0; s < uvSets; ++s) b.str8("set" + std::to_string(s)).u32(0).u32(0);
        b.u32(1).i32(1);
        b.i32(3).i32(channels).i32(0).i32(-1).u32(0);
        for (int k = 0; k < 3; ++k) b.i32(0).i32(-1);
        for (int32_t j = 0; j < channels; ++j) {
            for (int k = 0; k < 3; ++k) b.i32(10 * j + k).i32(100 + 10 * j + k);
        }
        b.u32(0).u32(0);
    });
}

TEST_F(ReaderSafety, KeepsTwoUVChannelsOfACurrentLayoutPolygonWhateverTheUVSetCount) {
    // One UV set in the file: both stored channels are kept.
    Parsed p = parse(channelsFile(1, 2));
    ASSERT_EQ(p.result, QVX_RESULT_OK) << p.report.reason();
    ASSERT_EQ(scene.uvSets.count(), 1);
    const Polygon* poly = &scene.meshes[0].polygons[0];
    ASSERT_EQ(poly->uvChannelCount(), 2);
    EXPECT_EQ(poly->uvs(0).uvIndices[2], 2);
    EXPECT_EQ(poly->uvs(1).uvIndices[0], 10);
    EXPECT_EQ(poly->uvs(1).uvIndices[2], 12);
    EXPECT_EQ(poly->uvs(1).secondIndices[1], 111);
    // Three UV sets and three channels: the polygon's two slots are kept, the third is read past.
    p = parse(channelsFile(3, 3));
    ASSERT_EQ(p.result, QVX_RESULT_OK) << p.report.reason();
    ASSERT_EQ(scene.uvSets.count(), 3);
    poly = &scene.meshes[0].polygons[0];
    ASSERT_EQ(poly->uvChannelCount(), 2);
    EXPECT_EQ(poly->uvs(1).uvIndices[1], 11);
    EXPECT_EQ(poly->uvs(2).uvIndices, nullptr);
}

TEST_F(ReaderSafety, LimitsOldLayoutUVChannelsByTheUVSetCount) {
    // Three channels in a version-9 file: the scene has the two default UV sets, so the third
    // channel is read past.
    const Parsed p = parse(oldMeshFile([](ByteBuilder& b) {
        b.i32(3).i32(3).i32(-1).u32(0).u32(0).u32(0).u32(0);
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) b.f32(float(j)).f32(float(k)).f32(0);
    }));
    ASSERT_EQ(p.result, QVX_RESULT_OK) << p.report.reason();
    EXPECT_EQ(scene.meshes[0].polygons[0].uvChannelCount(), 2);
    EXPECT_FLOAT_EQ(scene.uvSets[1].coords[2].u, 1.0f);
}

TEST_F(ReaderSafety, CountsTheCornerTotalOfEveryLayout) {
    ASSERT_EQ(parse(channelsFile(1, 2)).result, QVX_RESULT_OK);
    EXPECT_EQ(scene.legacyUVCount, 3u);
    const auto twoPolygons = fileOf(31, [](ByteBuilder& b) {
        b.u32(0).u32(0).u32(0);
        b.u32(1).str8("G").u32(0).i32(-1).transform();
        b.u32(1).vec3(0, 0, 0).i32(0);
        b.u32(0).u32(0);
        b.u32(1).i32(2);
        b.i32(4).i32(0).i32(0).i32(-1).u32(0);
        for (int k = 0; k < 4; ++k) b.i32(0).i32(-1);
        b.i32(5).i32(0).i32(0).i32(-1).u32(0);
        for (int k = 0; k < 5; ++k) b.i32(0).i32(-1);
        b.u32(0).u32(0);
    });
    const Parsed p = parse(twoPolygons);
    ASSERT_EQ(p.result, QVX_RESULT_OK) << p.report.reason();
    EXPECT_EQ(scene.legacyUVCount, 9u);
    // The total sizes no UV set in this layout.
    EXPECT_EQ(scene.uvSets[0].coordCount(), 0);
    scene.clear();
    EXPECT_EQ(scene.legacyUVCount, 0u);
}

TEST_F(ReaderSafety, RefusesAWeightCountLargerThanTheRemainingBytesBeforeAllocating) {
    const Parsed p = parse(fileOf(31, [](ByteBuilder& b) {
        b.u32(0).u32(0).u32(0).u32(0);
        b.u32(1).vec3(1, 2, 3).i32(0x10000000);
        restEmpty(b);
    }));
    EXPECT_EQ(p.result, QVX_RESULT_FAILED);
    EXPECT_NE(p.report.failure.expected.find("room for 268435456 vertex weights"), std::string::npos);
}

TEST_F(ReaderSafety, RefusesASectionCountLargerThanTheRemainingBytes) {
    const Parsed p = parse(fileOf(31, [](ByteBuilder& b) {
        b.u32(0).u32(0).u32(0).u32(0).u32(0x7FFFFFFF);
        restEmpty(b);
    }));
    EXPECT_EQ(p.result, QVX_RESULT_FAILED);
    EXPECT_EQ(p.report.failure.section, "vertices");
}

TEST_F(ReaderSafety, DropsASecondLayerOnATakenChannelAndReadsOn) {
    ASSERT_EQ(parse(fileOf(31, oneMaterial([](ByteBuilder& b) {
                               b.i32(3);
                               head(b, 0, 6);
                               b.str8("one.png").u32(1);
                               head(b, 0, 7);
                               b.str8("two.png").u32(2);
                               head(b, 2, 9);  // an unknown kind stores nothing after its head
                           })))
                  .result,
              QVX_RESULT_OK);
    const Material& m = scene.materials[0];
    ASSERT_EQ(m.layerCount(), 3);
    EXPECT_EQ(m.findLayer(0)->value1, 1u);
    EXPECT_EQ(m.layers[1], nullptr);
    ASSERT_NE(m.findLayer(2), nullptr);
    EXPECT_EQ(m.findLayer(2)->kind, 9);
}

TEST_F(ReaderSafety, ReadsPastTracksBeyondTheBones) {
    ASSERT_EQ(parse(animationFile([](ByteBuilder& b) {
                  b.i32(3);
                  for (int t = 0; t < 3; ++t) b.i32(1).f32(float(t)).vec3(1, 2, 3).i32(0).i32(0);
              })).result,
              QVX_RESULT_OK);
    ASSERT_EQ(scene.animations[0].trackCount(), 1);
    EXPECT_FLOAT_EQ(scene.animations[0].tracks[0].positionKeys[0].time, 0.0f);
}

TEST_F(ReaderSafety, RefusesATrackTableFarBeyondWhatTheFileHolds) {
    // 200 bones and 200 animations without tracks would ask for 40000 empty tracks.
    const auto bytes = fileOf(31, [](ByteBuilder& b) {
        b.u32(0).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0);
        b.u32(200);
        for (int i = 0; i < 200; ++i) b.u16(0).i32(-1).transform().rgba(1, 1, 1, 1);
        b.u32(200);
        for (int i = 0; i < 200; ++i) b.u16(0).u32(0).f32(0).f32(30).f32(30).i32(0);
    });
    const Parsed p = parse(bytes);
    EXPECT_EQ(p.result, QVX_RESULT_FAILED);
    EXPECT_NE(p.report.failure.expected.find("animations x"), std::string::npos);
}

// Texture paths.

std::vector<unsigned char> texturedFile(uint32_t version, const std::string& path) {
    return fileOf(version, oneMaterial(
                               [=](ByteBuilder& b) {
                                   b.i32(1);
                                   if (version >= 31) {
                                       head(b, 0, 6);
                                   } else {
                                       b.i32(0).i32(6).u32(0).u32(0).u32(0).u32(1);
                                   }
                                   b.str(path, version).u32(256);
                               },
                               version));
}

std::vector<unsigned char> cubeFile(const std::vector<std::string>& paths) {
    return fileOf(33, oneMaterial(
                          [=](ByteBuilder& b) {
                              b.i32(1);
                              head(b, 0, 5);
                              for (const auto& p : paths) b.str(p, 33);
                          },
                          33));
}

class ReaderTexturePath : public ReaderSafety {
  protected:
    void SetUp() override {
        ASSERT_FALSE(folder.path().empty());
        folder.write("wood.png", {1});
        std::filesystem::create_directories(folder.file("maps"));
        folder.write("maps/grain.png", {1});
    }
    std::string pathOfLayer() { return scene.materials[0].findLayer(0)->path.narrow; }
    ScratchFolder folder;
};

TEST_F(ReaderTexturePath, KeepsExistingPathsFromVersion33OrAbsoluteOnesAndRebasesTheRest) {
    const std::string grain = folder.file("maps/grain.png");
    const struct {
        uint32_t version;
        std::string stored, sceneFolder, expected;
    } cases[] = {// An existing relative path is tested against the scene's folder, not the working one.
                 {33, "maps/grain.png", folder.folder(), "maps/grain.png"},
                 {10, grain, "/elsewhere/", grain},
                 {31, grain, "/scenes/", "/scenes/grain.png"},
                 {33, "D:\\art\\missing.png", folder.folder(), folder.file("missing.png")},
                 {31, "", folder.folder(), ""}};
    const std::string before = std::filesystem::current_path().string();
    for (const auto& c : cases) {
        ASSERT_EQ(parse(texturedFile(c.version, c.stored), c.sceneFolder).result, QVX_RESULT_OK) << c.stored;
        EXPECT_EQ(pathOfLayer(), c.expected) << c.version << " " << c.stored;
    }
    EXPECT_EQ(std::filesystem::current_path().string(), before);
}

TEST_F(ReaderTexturePath, DecidesTheSixCubePathsTogether) {
    ASSERT_EQ(parse(cubeFile({"wood.png", "wood.png", "wood.png", "wood.png", "wood.png", "maps/grain.png"}),
                    folder.folder())
                  .result,
              QVX_RESULT_OK);
    EXPECT_EQ(std::string(scene.materials[0].findLayer(0)->paths[5].narrow), "maps/grain.png");
    ASSERT_EQ(parse(cubeFile({"wood.png", "wood.png", "wood.png", "wood.png", "wood.png", "maps/none.png"}),
                    folder.folder())
                  .result,
              QVX_RESULT_OK);
    EXPECT_EQ(std::string(scene.materials[0].findLayer(0)->paths[0].narrow), folder.file("wood.png"));
    EXPECT_EQ(std::string(scene.materials[0].findLayer(0)->paths[5].narrow), folder.file("none.png"));
}

TEST_F(ReaderSafety, PassesOverAHugeChannelCountOfAnEmptyPolygonQuickly) {
    const Parsed p =
        parse(fileOf(31, oneMesh([](ByteBuilder& b) { b.i32(0).i32(0x7FFFFFFF).i32(0).i32(-1).u32(0); })));
    ASSERT_EQ(p.result, QVX_RESULT_OK) << p.report.reason();
    EXPECT_EQ(scene.meshes[0].polygons[0].uvChannelCount(), 2);
    EXPECT_EQ(parse(oldMeshFile([](ByteBuilder& b) { b.i32(0).i32(0x7FFFFFFF).i32(-1).u32(0); })).result,
              QVX_RESULT_OK);
}

TEST_F(ReaderSafety, RefusesCornerCountsWhoseSizeWouldWrapAround) {
    // 2^30 corners of 2^31 - 1 UV channels: 2^30 x 8 x 2^31 bytes is 2^64, which wraps to 0.
    const auto bytes =
        fileOf(31, oneMesh([](ByteBuilder& b) { b.i32(0x40000000).i32(0x7FFFFFFF).i32(0).i32(-1).u32(0); }));
    const Parsed p = parse(bytes);
    EXPECT_EQ(p.result, QVX_RESULT_FAILED);
    EXPECT_NE(p.report.failure.expected.find("polygon corners"), std::string::npos);
}

TEST_F(ReaderSafety, RefusesOldCornerCountsWhoseSizeWouldWrapAround) {
    // 4 + 12 x m bytes per corner with m = 0x55555555 is 2^34; 2^30 corners wrap to 0.
    EXPECT_EQ(
        parse(oldMeshFile([](ByteBuilder& b) { b.i32(0x40000000).i32(0x55555555).i32(-1).u32(0); })).result,
        QVX_RESULT_FAILED);
}

}  // namespace
