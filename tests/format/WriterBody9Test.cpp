#include "format/BodyWriter9.h"

#include <gtest/gtest.h>

#include <vector>

#include "ByteBuilder.h"
#include "WriterScenes.h"

using namespace writer_test;

namespace {

std::vector<unsigned char> write9(const Scene& scene, const WriteOptions& options) {
    ByteWriter out;
    QvxHeader header;
    EXPECT_EQ(writeBody9(scene, options, out, header), 1);
    return out.release();
}

// File offsets of the 96-byte header's (count, offset) pairs.
constexpr std::size_t kLights = 16, kCameras = 24, kMaterials = 32, kGroups = 40, kVertices = 48,
                      kMeshes = 56, kBones = 64, kAnimations = 72, kInfo = 80;

// Two groups; polygons of both groups in both meshes, interleaved.
void buildTwoGroupScene(Scene& scene) {
    addGroup(scene).name.set("left");
    addGroup(scene).name.set("right");
    for (int i = 0; i < 4; ++i) addVertex(scene, float(i), 1, 2);
    Mesh& a = addMesh(scene);
    addUVSet(a, {{0.1f, 0.2f}, {0.3f, 0.4f}});
    addUVSet(a, {{0.5f, 0.6f}});
    addPolygon(a, 1, 0, {0, 1, 2}, {{0, 1, 5}, {0, 0, -1}}).fourthField = 4;
    addPolygon(a, 0, -1, {1, 2, 3}, {{1, 1, 1}});
    Mesh& b = addMesh(scene);
    addPolygon(b, 1, 2, {3, 2, 1, 0});
    addPolygon(b, 7, 0, {0, 0, 0});  // names no group
    Bone& bone = *scene.bones.append();
    bone.name.set("hip");
    bone.position = {1, 2, 3};
    bone.rotation = {0, 0.6f, 0, 0.8f};
    bone.scale = {2, 2, 2};
    Light& light = *scene.lights.append();
    light.name.set("lamp");
    scene.cameras.append()->name.set("cam");
}

class BodyWriter9Layout : public ::testing::Test {
  protected:
    void SetUp() override { buildTwoGroupScene(scene); }
    Scene scene;
};

}  // namespace

TEST_F(BodyWriter9Layout, HeaderHas96BytesWithTheOldSlotPlaces) {
    const auto file = write9(scene, fixedDateOptions());
    const Bytes bytes{file};
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "QVXH");
    EXPECT_EQ(bytes.u32(4), 9u);
    EXPECT_EQ(bytes.u32(8), QVX_FLAG_COLORS);
    EXPECT_EQ(bytes.u32(12), file.size());
    EXPECT_EQ(bytes.u32(kLights + 4), 96u);
    EXPECT_EQ(bytes.u32(kGroups), 2u);
    EXPECT_EQ(bytes.u32(kVertices), 4u);
    EXPECT_EQ(bytes.u32(kMeshes), 2u);  // one record per group
    EXPECT_EQ(bytes.u32(kBones), 1u);
    EXPECT_EQ(bytes.u32(kInfo), 3u);
    EXPECT_EQ(bytes.u32(88), 0u);
    EXPECT_EQ(bytes.u32(92), 0u);
    for (std::size_t slot :
         {kLights, kCameras, kMaterials, kGroups, kVertices, kMeshes, kBones, kAnimations, kInfo})
        EXPECT_EQ(bytes.u32(bytes.u32(slot + 4)), bytes.u32(slot)) << slot;
}

TEST_F(BodyWriter9Layout, LightsAndCamerasAreAlwaysEmptyAndGroupsAreTheirNamesOnly) {
    const auto file = write9(scene, fixedDateOptions());
    const Bytes bytes{file};
    EXPECT_EQ(bytes.u32(kLights), 0u);
    EXPECT_EQ(bytes.u32(kCameras), 0u);
    EXPECT_EQ(bytes.u32(kCameras + 4), 100u);
    EXPECT_EQ(bytes.u32(kMaterials + 4), 104u);
    ByteBuilder expected;
    expected.u32(2).str8("left").str8("right");
    const uint32_t at = bytes.u32(kGroups + 4);
    EXPECT_EQ(std::vector<unsigned char>(file.begin() + at, file.begin() + bytes.u32(kVertices + 4)),
              expected.bytes());
}

TEST_F(BodyWriter9Layout, PolygonsAreRegroupedByGroupWithInlineUVs) {
    WriteOptions options = fixedDateOptions();
    const auto file = write9(scene, options);
    const Bytes bytes{file};
    ByteBuilder b;
    b.u32(2);
    // group 0: the second polygon of the first mesh
    b.i32(0).u32(1);
    b.i32(3).i32(2).i32(-1).u32(0).i32(1).i32(2).i32(3);
    b.f32s({0.3f, 0.4f, 0, 0.3f, 0.4f, 0, 0.3f, 0.4f, 0});
    b.f32s({0, 0, 0, 0, 0, 0, 0, 0, 0});  // slot 1 indices are -1
    // group 1: the first polygon of the first mesh, then the first of the second mesh
    b.i32(1).u32(2);
    b.i32(3).i32(2).i32(0).u32(4).i32(0).i32(1).i32(2);
    b.f32s({0.1f, 0.2f, 0, 0.3f, 0.4f, 0, 0, 0, 0});  // index 5 is beyond the set
    b.f32s({0.5f, 0.6f, 0, 0.5f, 0.6f, 0, 0, 0, 0});
    b.i32(4).i32(2).i32(2).u32(0).i32(3).i32(2).i32(1).i32(0);
    b.zeros(2 * 4 * 12);  // the second mesh has no UV sets
    const uint32_t at = bytes.u32(kMeshes + 4);
    EXPECT_EQ(std::vector<unsigned char>(file.begin() + at, file.begin() + bytes.u32(kBones + 4)), b.bytes());
}

TEST_F(BodyWriter9Layout, SecondChannelNeedsTheUVSetsOptionAndUVsOffZeroEveryChannel) {
    WriteOptions options = fixedDateOptions();
    options.export_uvsets = false;
    for (bool uvs : {true, false}) {
        options.export_uvs = uvs;
        const auto file = write9(scene, options);
        const Bytes bytes{file};
        // group 1's first polygon: 16 bytes of fields, 12 of vertex indices, then channel 0 and 1.
        const std::size_t channels = bytes.u32(kMeshes + 4) + 4 + 8 + (16 + 12 + 72) + 8 + 28;
        EXPECT_FLOAT_EQ(bytes.f32(channels), uvs ? 0.1f : 0.0f);
        for (std::size_t k = uvs ? 9 : 0; k < 18; ++k) EXPECT_EQ(bytes.u32(channels + 4 * k), 0u) << k;
    }
}

TEST_F(BodyWriter9Layout, OptionsOffEmptyMaterialsBonesAndAnimations) {
    addMaterial(scene, "m", 0);
    scene.animations.append();
    WriteOptions options = fixedDateOptions();
    EXPECT_EQ(Bytes{write9(scene, options)}.u32(kAnimations), 1u);
    options.export_bones = false;  // animations need both options
    EXPECT_EQ(Bytes{write9(scene, options)}.u32(kAnimations), 0u);
    const auto file = write9(scene, allOff());
    const Bytes bytes{file};
    EXPECT_EQ(bytes.u32(8), 0u);
    EXPECT_EQ(bytes.u32(kMaterials), 0u);
    EXPECT_EQ(bytes.u32(kBones), 0u);
    EXPECT_EQ(bytes.u32(kAnimations), 0u);
    // Vertices are 16 bytes each without colours and weights.
    EXPECT_EQ(bytes.u32(kMeshes + 4) - bytes.u32(kVertices + 4), 4u + 4 * 16);
}

// ---------------------------------------------------------------------------------------

namespace {

class BodyWriter9Materials : public ::testing::Test {
  protected:
    void SetUp() override { addGroup(scene); }
    std::vector<unsigned char> materialBytes() {
        const auto file = write9(scene, fixedDateOptions());
        const Bytes bytes{file};
        return std::vector<unsigned char>(file.begin() + bytes.u32(kMaterials + 4) + 4,
                                          file.begin() + bytes.u32(kGroups + 4));
    }
    void head(ByteBuilder& b, int32_t channel, int32_t kind) {
        b.i32(channel).i32(kind).u32(8448).u32(10497).u32(MaterialLayer::kCreationFlags);
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

TEST_F(BodyWriter9Materials, WritesEveryLayerKindInTheOldLayout) {
    Material& m = addMaterial(scene, "old", 8);
    m.addLayer(0, 0, 1)->path.set("C:\\tex\\diffuse.bmp");
    m.addLayer(1, 1, 2)->path.set("bump.png");
    m.addLayer(2, 2, 3)->path.set("s.png");
    MaterialLayer* k4 = m.addLayer(3, 3, 4);
    ASSERT_EQ(k4->subEntries.allocate(1), 1);
    k4->subEntries[0].path.set("/x/one.png");
    k4->subEntries[0].value1 = 7;
    k4->subEntries[0].value2 = 8;
    k4->subEntries[0].value3 = 0.5f;
    MaterialLayer* k5 = m.addLayer(4, 4, 5);
    k5->paths[1].set("a/py.png");
    k5->paths[4].set("pz.png");
    m.addLayer(5, 5, 6)->path.set("e.png");
    m.addLayer(6, 6, 7)->path.set("f.png");
    m.addLayer(7, 7, 0);

    ByteBuilder b;
    block(b, "old", 8);
    head(b, 0, 1);
    b.u32(1).str8("diffuse.bmp").u32(0).f32(2).f32(1);
    head(b, 1, 2);
    b.u32(1).str8("bump.png").u32(0).f32(2).f32(1).f32(8).f32(8).u32(0xC4C4C4).u32(0);
    head(b, 2, 3);
    b.u32(1).str8("s.png").u32(0).f32(2).f32(1).u32(2);
    head(b, 3, 4);
    b.u32(1).str8("one.png").str8("").str8("");
    b.i32(7).i32(0).i32(0).u32(8).u32(0).u32(0).zeros(12).f32(0.5f).f32(1).f32(1);
    head(b, 4, 5);
    b.u32(0x12).str8("").str8("py.png").str8("").str8("").str8("pz.png").str8("");
    head(b, 5, 6);
    b.u32(1).str8("e.png").u32(256);
    head(b, 6, 7);
    b.u32(1).str8("f.png").u32(0);
    head(b, 7, 0);
    EXPECT_EQ(materialBytes(), b.bytes());
}

TEST_F(BodyWriter9Materials, LayeredLayerWritesAtMostThreeInputs) {
    Material& m = addMaterial(scene, "many", 1);
    MaterialLayer* k4 = m.addLayer(0, 0, 4);
    ASSERT_EQ(k4->subEntries.allocate(4), 1);
    for (int i = 0; i < 4; ++i) k4->subEntries[i].value1 = i + 1;
    ByteBuilder b;
    block(b, "many", 1);
    head(b, 0, 4);
    b.u32(7).str8("").str8("").str8("");
    b.i32(1).i32(2).i32(3).u32(0).u32(0).u32(0).zeros(12).f32(0).f32(0).f32(0);
    EXPECT_EQ(materialBytes(), b.bytes());
}

TEST_F(BodyWriter9Materials, PartlyFilledSlotsWriteTheLayersHeldInSlotOrder) {
    Material& m = addMaterial(scene, "gaps", 4);
    m.addLayer(2, 5, 6);
    m.addLayer(0, 9, 7);
    ByteBuilder b;
    block(b, "gaps", 2);
    head(b, 9, 7);
    b.u32(1).str8("").u32(0);
    head(b, 5, 6);
    b.u32(1).str8("").u32(256);
    EXPECT_EQ(materialBytes(), b.bytes());
}

// ---------------------------------------------------------------------------------------

TEST(BodyWriter9Failure, ReportsAFailedWrite) {
    Scene scene;
    buildTwoGroupScene(scene);
    for (std::size_t limit : {std::size_t{0}, std::size_t{95}, std::size_t{150}, std::size_t{300}}) {
        ByteWriter out(limit);
        QvxHeader header;
        EXPECT_EQ(writeBody9(scene, fixedDateOptions(), out, header), 0) << limit;
    }
}

TEST(BodyWriter9Failure, EachCallGroupsItsOwnScene) {
    Scene big;
    buildTwoGroupScene(big);
    Scene small;
    addGroup(small);
    addVertex(small, 0, 0, 0);
    addPolygon(addMesh(small), 0, -1, {0, 0, 0});
    (void)write9(big, fixedDateOptions());
    const auto file = write9(small, fixedDateOptions());
    const Bytes bytes{file};
    EXPECT_EQ(bytes.u32(kMeshes), 1u);
    EXPECT_EQ(bytes.u32(bytes.u32(kMeshes + 4) + 8), 1u);
}
