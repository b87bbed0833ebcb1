#include "format/BodyWriter31.h"

#include <gtest/gtest.h>

#include <vector>

#include "ByteBuilder.h"
#include "WriterScenes.h"

using namespace writer_test;

namespace {

std::vector<unsigned char> write31(const Scene& scene, const WriteOptions& options,
                                   QvxHeader* headerOut = nullptr) {
    ByteWriter out;
    QvxHeader header;
    EXPECT_EQ(writeBody31(scene, options, out, header), 1);
    if (headerOut) *headerOut = header;
    return out.release();
}

// The block every group is written with: like the default transform, but a zero quaternion.
void groupBlock(ByteBuilder& b) {
    b.f32s({1, 0, 0, 0, 1, 0, 0, 0, 1}).vec3(0, 0, 0).vec3(1, 1, 1);
    b.f32s({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    b.f32s({0, 0, 0, 0}).vec3(0, 0, 0);
}

std::size_t firstDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
    return i;
}

void infoStrings(ByteBuilder& b) {
    b.u32(3).str8("Tavrin Pro Maya 2015 Translator").str8("v3.0").str8("Sat Dec  5 09:19:48 2026");
}

// One group, three vertices (one with a weight and a colour), one triangle, one camera.
void buildTriangleScene(Scene& scene) {
    addGroup(scene);
    addVertex(scene, 1, 2, 3);
    addVertex(scene, 4, 5, 6).color = {0.5f, 0.25f, 0.125f, 1};
    addWeight(addVertex(scene, 7, 8, 9), 0, 1.0f);
    Mesh& mesh = addMesh(scene);
    addUVSet(mesh, {{0.1f, 0.2f}, {0.3f, 0.4f}, {0.5f, 0.6f}});
    addPolygon(mesh, 0, 0, {0, 1, 2}, {{2, 1, 0}}).fourthField = 77;
    Camera& camera = *scene.cameras.append();
    camera.name.set("cam");
    camera.transform = Transform{};
    camera.kind = 1;
    camera.fieldOfView = 60;
    camera.nearClip = 0.5f;
    camera.farClip = 500;
    Bone& bone = *scene.bones.append();
    bone.name.set("root");
    Light& light = *scene.lights.append();
    light.name.set("sun");
}

class BodyWriter31Layout : public ::testing::Test {
  protected:
    void SetUp() override { buildTriangleScene(scene); }
    Scene scene;
};

}  // namespace

TEST_F(BodyWriter31Layout, WritesTheMinimalSceneByteForByteWithOptionsOff) {
    WriteOptions options = allOff();
    options.export_uvsets = true;  // alone it changes nothing: UVs are off
    QvxHeader header;
    const auto file = write31(scene, options, &header);

    ByteBuilder b;
    b.zeros(128);
    const uint32_t lights = static_cast<uint32_t>(b.size());
    b.u32(0);
    const uint32_t cameras = static_cast<uint32_t>(b.size());
    b.u32(1).str8("cam").u32(0).u32(1).transform().f32s({60, 0.5f, 500});
    const uint32_t materials = static_cast<uint32_t>(b.size());
    b.u32(0);
    const uint32_t groups = static_cast<uint32_t>(b.size());
    b.u32(1).str8("QVXGroup0").u32(0).i32(-1);
    groupBlock(b);
    const uint32_t vertices = static_cast<uint32_t>(b.size());
    b.u32(3).vec3(1, 2, 3).i32(0).vec3(4, 5, 6).i32(0).vec3(7, 8, 9).i32(0);
    const uint32_t triangles = static_cast<uint32_t>(b.size());
    b.u32(0);
    const uint32_t uvSets = static_cast<uint32_t>(b.size());
    b.u32(2);
    for (const char* name : {"UVSet0", "UVSet1"}) {
        b.str8(name).i32(3);
        for (int k = 0; k < 3; ++k) b.u32(0).f32(0).f32(0);
        b.i32(0);
    }
    const uint32_t meshes = static_cast<uint32_t>(b.size());
    b.u32(1).i32(1);
    b.i32(3).i32(2).i32(0).i32(-1).u32(77);
    b.i32(0).i32(-1).i32(1).i32(-1).i32(2).i32(-1);
    for (int channel = 0; channel < 2; ++channel) b.i32(0).i32(-1).i32(1).i32(-1).i32(2).i32(-1);
    const uint32_t bones = static_cast<uint32_t>(b.size());
    b.u32(0);
    const uint32_t animations = static_cast<uint32_t>(b.size());
    b.u32(0);
    const uint32_t info = static_cast<uint32_t>(b.size());
    infoStrings(b);

    ByteBuilder h;
    h.text("QVXH").u32(31).u32(0).u32(static_cast<uint32_t>(b.size()));
    h.u32(0).u32(lights).u32(1).u32(cameras).u32(0).u32(materials).u32(1).u32(groups);
    h.u32(3).u32(vertices).u32(0).u32(triangles).u32(2).u32(uvSets).u32(1).u32(meshes);
    h.u32(0).u32(bones).u32(0).u32(animations).u32(3).u32(info).zeros(24);
    ASSERT_EQ(h.size(), 128u);
    std::copy(h.bytes().begin(), h.bytes().end(), b.bytes().begin());

    EXPECT_EQ(file, b.bytes());
    EXPECT_EQ(firstDifference(file, b.bytes()), file.size());
    EXPECT_EQ(lights, 128u);
    std::vector<unsigned char> encoded(128);
    header.encode(encoded.data(), 128);
    EXPECT_EQ(encoded, h.bytes());
}

TEST_F(BodyWriter31Layout, SectionOffsetsPointAtCountWordsThatRepeatTheHeaderCounts) {
    const auto file = write31(scene, fixedDateOptions());
    const Bytes bytes{file};
    EXPECT_EQ(bytes.u32(20), 128u);
    uint32_t previous = 0;
    for (int s = 0; s < kQvxSectionCount; ++s) {
        const auto section = static_cast<QvxSection>(s);
        const uint32_t offset = bytes.u32(4 * qvxOffsetSlot(section));
        EXPECT_GT(offset, previous) << s;
        previous = offset;
        EXPECT_EQ(bytes.u32(offset), bytes.u32(4 * qvxCountSlot(section))) << s;
    }
    EXPECT_EQ(bytes.u32(12), file.size());
    EXPECT_EQ(bytes.u32(16), 1u);  // lights on
    EXPECT_EQ(bytes.u32(80), 1u);  // bones on
}

TEST_F(BodyWriter31Layout, AnimationsNeedBothOptionsAndBonesOffDropWeightsToo) {
    scene.animations.append();
    const struct {
        bool bones, animation;
        uint32_t boneCount, animationCount;
    } cases[] = {{false, true, 0, 0}, {true, false, 1, 0}, {true, true, 1, 1}};
    for (const auto& c : cases) {
        WriteOptions options = fixedDateOptions();
        options.export_colors = false;
        options.export_bones = c.bones;
        options.export_animation = c.animation;
        const auto file = write31(scene, options);
        const Bytes bytes{file};
        EXPECT_EQ(bytes.u32(80), c.boneCount) << c.bones << c.animation;
        EXPECT_EQ(bytes.u32(88), c.animationCount) << c.bones << c.animation;
        // Each vertex: position and weight count, plus 8 bytes per weight only with bones.
        EXPECT_EQ(bytes.u32(60) - bytes.u32(52), 4u + 3 * 16 + (c.bones ? 8 : 0));
    }
}

TEST_F(BodyWriter31Layout, MaterialsOffEmptyTheSectionAndClearPolygonMaterials) {
    addMaterial(scene, "wood", 0);
    WriteOptions options = fixedDateOptions();
    options.export_materials = false;
    auto file = write31(scene, options);
    EXPECT_EQ(Bytes{file}.u32(32), 0u);
    EXPECT_EQ(Bytes{file}.i32(Bytes{file}.u32(76) + 8 + 12), -1);
    options.export_materials = true;
    file = write31(scene, options);
    EXPECT_EQ(Bytes{file}.u32(32), 1u);
    EXPECT_EQ(Bytes{file}.i32(Bytes{file}.u32(76) + 8 + 12), 0);
}

TEST_F(BodyWriter31Layout, LightsOffWriteAnEmptyLightSection) {
    WriteOptions options = fixedDateOptions();
    options.export_lights = false;
    const auto file = write31(scene, options);
    EXPECT_EQ(Bytes{file}.u32(16), 0u);
    EXPECT_EQ(Bytes{file}.u32(28), 132u);
}

TEST_F(BodyWriter31Layout, InfoStringsHoldDescriptionVersionAndDate) {
    WriteOptions options = fixedDateOptions();
    options.versionText = "v9.9";
    const auto file = write31(scene, options);
    ByteBuilder expected;
    expected.u32(3).str8("Tavrin Pro Maya 2015 Translator").str8("v9.9").str8("Sat Dec  5 09:19:48 2026");
    const uint32_t at = Bytes{file}.u32(100);
    EXPECT_EQ(std::vector<unsigned char>(file.begin() + at, file.end()), expected.bytes());
}

// ---------------------------------------------------------------------------------------

namespace {

class BodyWriter31UVs : public ::testing::Test {
  protected:
    // Two meshes: a triangle and a quad in the first, a triangle in the second.
    void SetUp() override {
        addGroup(scene);
        addGroup(scene);
        for (int i = 0; i < 5; ++i) addVertex(scene, float(i), 0, 0);
        Mesh& first = addMesh(scene);
        addUVSet(first, {{0.1f, 0.1f}, {0.2f, 0.2f}, {0.3f, 0.3f}, {0.4f, 0.4f}});
        addUVSet(first, {{0.9f, 0.8f}});
        addPolygon(first, 0, -1, {0, 1, 2}, {{0, 1, 2}, {0, 0, 0}});
        addPolygon(first, 0, -1, {0, 1, 2, 3}, {{3, -1, 4, 0}, {0, 1, 0, 0}});
        Mesh& second = addMesh(scene);
        addUVSet(second, {{0.7f, 0.6f}});
        addPolygon(second, 1, -1, {2, 3, 4}, {{0, 0, 0}, {0, 0, 0}});
    }

    // (u, v) of coordinate `index` of UV set `set`.
    std::pair<float, float> coord(const std::vector<unsigned char>& file, int set, int index) const {
        const Bytes bytes{file};
        std::size_t at = bytes.u32(68) + 4;
        for (int s = 0; s < set; ++s) {
            at = bytes.str(at).second;
            at += 4 + 12 * bytes.u32(at) + 4;
        }
        at = bytes.str(at).second;
        EXPECT_EQ(bytes.u32(at), 10u);
        const std::size_t entry = at + 4 + 12 * static_cast<std::size_t>(index);
        EXPECT_EQ(bytes.u32(entry), 0u);
        return {bytes.f32(entry + 4), bytes.f32(entry + 8)};
    }

    Scene scene;
};

}  // namespace

TEST_F(BodyWriter31UVs, BothSetsHoldOneCoordinatePerCornerInCornerOrder) {
    const auto file = write31(scene, fixedDateOptions());
    EXPECT_EQ(coord(file, 0, 0), std::make_pair(0.1f, 0.1f));
    EXPECT_EQ(coord(file, 0, 2), std::make_pair(0.3f, 0.3f));
    EXPECT_EQ(coord(file, 0, 3), std::make_pair(0.4f, 0.4f));
    EXPECT_EQ(coord(file, 0, 9), std::make_pair(0.7f, 0.6f));
    EXPECT_EQ(coord(file, 1, 3), std::make_pair(0.9f, 0.8f));
}

TEST_F(BodyWriter31UVs, InvalidIndicesMissingSetsAndOptionsOffGiveZero) {
    auto file = write31(scene, fixedDateOptions());
    EXPECT_EQ(coord(file, 0, 4), std::make_pair(0.0f, 0.0f));  // index -1
    EXPECT_EQ(coord(file, 0, 5), std::make_pair(0.0f, 0.0f));  // index 4 beyond the set
    EXPECT_EQ(coord(file, 1, 4), std::make_pair(0.0f, 0.0f));  // index 1 beyond the set
    EXPECT_EQ(coord(file, 1, 7), std::make_pair(0.0f, 0.0f));  // second mesh has one set
    WriteOptions options = fixedDateOptions();
    options.export_uvsets = false;  // the second set needs this option
    file = write31(scene, options);
    EXPECT_EQ(coord(file, 0, 0), std::make_pair(0.1f, 0.1f));
    for (int i = 0; i < 10; ++i) EXPECT_EQ(coord(file, 1, i), std::make_pair(0.0f, 0.0f)) << i;
    options.export_uvs = false;
    options.export_uvsets = true;
    file = write31(scene, options);
    for (int set = 0; set < 2; ++set)
        for (int i = 0; i < 10; ++i) EXPECT_EQ(coord(file, set, i), std::make_pair(0.0f, 0.0f));
}

TEST_F(BodyWriter31UVs, UVIndicesRunOnAcrossPolygonsAndMeshes) {
    const auto file = write31(scene, fixedDateOptions());
    const Bytes bytes{file};
    std::size_t at = bytes.u32(76) + 4;
    uint32_t expectedBase = 0;
    for (int mesh = 0; mesh < 2; ++mesh) {
        const int32_t polygons = bytes.i32(at);
        at += 4;
        for (int32_t p = 0; p < polygons; ++p) {
            const int32_t n = bytes.i32(at);
            const int32_t m = bytes.i32(at + 4);
            EXPECT_EQ(m, 2);
            at += 20 + 8 * n;
            for (int32_t j = 0; j < m; ++j)
                for (int32_t k = 0; k < n; ++k, at += 8) {
                    EXPECT_EQ(bytes.u32(at), expectedBase + static_cast<uint32_t>(k));
                    EXPECT_EQ(bytes.i32(at + 4), -1);
                }
            expectedBase += static_cast<uint32_t>(n);
        }
    }
    EXPECT_EQ(expectedBase, 10u);
    EXPECT_EQ(at, bytes.u32(84));
}

// ---------------------------------------------------------------------------------------

namespace {

class BodyWriter31Materials : public ::testing::Test {
  protected:
    void SetUp() override {
        addGroup(scene);
        addVertex(scene, 0, 0, 0);
    }
    // The bytes of the material section after its count word.
    std::vector<unsigned char> materialBytes() {
        const auto file = write31(scene, fixedDateOptions());
        const Bytes bytes{file};
        return std::vector<unsigned char>(file.begin() + bytes.u32(36) + 4, file.begin() + bytes.u32(44));
    }
    void head(ByteBuilder& b, int32_t channel, int32_t kind) {
        b.i32(channel).i32(kind).u32(MaterialLayer::kCreationFlags).vec3(0, 0, 0).vec3(1, 1, 1).vec3(0, 0, 0);
    }
    void block(ByteBuilder& b, const char* name, int32_t layers) {
        b.str8(name)
            .u32(0)
            .rgba(1, 1, 1, 1)
            .rgba(0, 0, 0, 1)
            .rgba(0, 0, 0, 1)
            .rgba(0, 0, 0, 1)
            .rgba(0, 0, 0, 1);
        b.f32(128).f32(1).i32(layers);
    }
    Scene scene;
};

}  // namespace

TEST_F(BodyWriter31Materials, WritesEveryLayerKindInItsLayout) {
    Material& m = addMaterial(scene, "all", 8);
    MaterialLayer* k1 = m.addLayer(0, 10, 1);
    k1->path.set("C:\\maps\\wood.png");
    k1->value1 = 5;
    k1->offset = {0.5f, 0.25f, 0};
    m.addLayer(1, 11, 2)->path.set("/abs/bump.tga");
    m.addLayer(2, 12, 3)->path.set("gloss.jpg");
    MaterialLayer* k4 = m.addLayer(3, 13, 4);
    ASSERT_EQ(k4->subEntries.allocate(2), 1);
    k4->subEntries[0].path.set("dir/a.png");
    k4->subEntries[0].value1 = 1;
    k4->subEntries[0].value2 = 2;
    k4->subEntries[0].value3 = 3.5f;
    k4->subEntries[1].path.set("b.png");
    MaterialLayer* k5 = m.addLayer(4, 14, 5);
    ASSERT_EQ(k5->paths.size(), 6u);
    k5->paths[0].set("x/px.png");
    k5->paths[5].set("nz.png");
    m.addLayer(5, 15, 6)->path.set("env.dds");
    m.addLayer(6, 16, 7)->path.set("");
    m.addLayer(7, 17, 9);  // an unknown kind: head only

    ByteBuilder b;
    block(b, "all", 8);
    b.i32(10).i32(1).u32(MaterialLayer::kCreationFlags).vec3(0.5f, 0.25f, 0).vec3(1, 1, 1).vec3(0, 0, 0);
    b.str8("wood.png").u32(5).f32(2).f32(1);
    head(b, 11, 2);
    b.str8("bump.tga").u32(0).f32(2).f32(1).f32(8).f32(8).u32(0xC4C4C4).u32(0);
    head(b, 12, 3);
    b.str8("gloss.jpg").u32(0).f32(2).f32(1).u32(2);
    head(b, 13, 4);
    b.i32(2).str8("a.png").i32(1).u32(2).f32(3.5f).str8("b.png").i32(0).u32(0).f32(0);
    head(b, 14, 5);
    b.str8("px.png").str8("").str8("").str8("").str8("").str8("nz.png");
    head(b, 15, 6);
    b.str8("env.dds").u32(256);
    head(b, 16, 7);
    b.str8("").u32(0);
    head(b, 17, 9);
    EXPECT_EQ(materialBytes(), b.bytes());
}

TEST_F(BodyWriter31Materials, PartlyFilledSlotsWriteTheLayersHeldInSlotOrder) {
    Material& m = addMaterial(scene, "gaps", 5);
    m.addLayer(3, 30, 6)->path.set("three.png");
    m.addLayer(1, 10, 7)->path.set("one.png");
    ByteBuilder b;
    block(b, "gaps", 2);
    head(b, 10, 7);
    b.str8("one.png").u32(0);
    head(b, 30, 6);
    b.str8("three.png").u32(256);
    EXPECT_EQ(materialBytes(), b.bytes());
}

// ---------------------------------------------------------------------------------------

TEST(BodyWriter31Failure, ReportsAFailedWriteStopsAtTheLimitAndRefusesAUsedStream) {
    Scene scene;
    buildTriangleScene(scene);
    QvxHeader header;
    for (std::size_t limit : {std::size_t{0}, std::size_t{100}, std::size_t{200}, std::size_t{700}}) {
        ByteWriter out(limit);
        EXPECT_EQ(writeBody31(scene, fixedDateOptions(), out, header), 0) << limit;
        EXPECT_LE(out.size(), limit);
    }
    ByteWriter used;
    used.u32(1);
    EXPECT_EQ(writeBody31(scene, fixedDateOptions(), used, header), 0);
}

TEST(BodyWriter31Failure, EmptySceneStillWritesAValidSkeleton) {
    Scene scene;
    const auto file = write31(scene, fixedDateOptions());
    const Bytes bytes{file};
    EXPECT_EQ(bytes.u32(12), file.size());
    EXPECT_EQ(bytes.u32(64), 2u);
    EXPECT_EQ(bytes.u32(bytes.u32(68) + 4 + 8), 0u);  // "UVSet0" has no coordinates
}
