#include <gtest/gtest.h>

#include "process/ExportPrep.h"
#include "process/SceneBuilders.h"

using namespace process_test;

namespace {

class MergeMaterialsTest : public ::testing::Test {
  protected:
    void materials(std::initializer_list<const char*> names) {
        ASSERT_EQ(scene.materials.allocate(static_cast<std::int32_t>(names.size())), 1);
        std::int32_t i = 0;
        for (const char* n : names) scene.materials[i++].name.set(n);
    }
    void texture(std::int32_t material, const char* path) {
        Material& m = scene.materials[material];
        ASSERT_EQ(m.layers.allocate(1), 1);
        MaterialLayer* layer = m.addLayer(0, 0, 1);
        ASSERT_NE(layer, nullptr);
        layer->path.set(path);
    }
    void polygonsUsing(std::initializer_list<std::int32_t> indices) {
        ASSERT_EQ(scene.meshes.allocate(1), 1);
        for (std::int32_t m : indices) addPolygon(scene.meshes[0], {0, 1, 2}, 0, m);
    }
    std::int32_t materialOf(std::int32_t polygon) { return scene.meshes[0].polygons[polygon].materialIndex; }
    Scene scene;
};

TEST_F(MergeMaterialsTest, KeepsOneMaterialPerNameInOrderOfFirstAppearance) {
    materials({"wood", "steel", "wood", "glass", "steel"});
    polygonsUsing({0, 1, 2, 3, 4, -1, 9});
    mergeMaterialsByName(scene);
    ASSERT_EQ(scene.materials.count(), 3);
    EXPECT_STREQ(scene.materials[0].name.narrow, "wood");
    EXPECT_STREQ(scene.materials[1].name.narrow, "steel");
    EXPECT_STREQ(scene.materials[2].name.narrow, "glass");
    EXPECT_EQ(materialOf(0), 0);
    EXPECT_EQ(materialOf(1), 1);
    EXPECT_EQ(materialOf(2), 0);
    EXPECT_EQ(materialOf(3), 2);
    EXPECT_EQ(materialOf(4), 1);
    EXPECT_EQ(materialOf(5), -1);
    EXPECT_EQ(materialOf(6), 9);  // past the list before and after
}

TEST_F(MergeMaterialsTest, TexturedOrPlainMaterialAfterPlainOneOverwritesIt) {
    materials({"wood", "pine", "wood", "pine"});
    scene.materials[0].diffuse = {1, 0, 0, 1};
    scene.materials[2].diffuse = {0, 0, 1, 1};
    texture(2, "oak.png");
    scene.materials[1].shininess = 10.0f;
    scene.materials[3].shininess = 20.0f;
    mergeMaterialsByName(scene);
    ASSERT_EQ(scene.materials.count(), 2);
    EXPECT_EQ(scene.materials[0].diffuse.b, 1.0f);
    ASSERT_NE(scene.materials[0].findLayer(0), nullptr);
    EXPECT_STREQ(scene.materials[0].findLayer(0)->path.narrow, "oak.png");
    EXPECT_EQ(scene.materials[1].shininess, 20.0f);
}

TEST_F(MergeMaterialsTest, CopyAfterTexturedMaterialIsRefused) {
    materials({"wood", "wood"});
    scene.materials[0].diffuse = {1, 0, 0, 1};
    texture(0, "oak.png");
    scene.materials[1].diffuse = {0, 0, 1, 1};
    mergeMaterialsByName(scene);
    ASSERT_EQ(scene.materials.count(), 1);
    EXPECT_EQ(scene.materials[0].diffuse.r, 1.0f);
    EXPECT_EQ(scene.materials[0].diffuse.b, 0.0f);
    EXPECT_STREQ(scene.materials[0].findLayer(0)->path.narrow, "oak.png");
}

TEST_F(MergeMaterialsTest, NothingHappensWithoutMaterials) {
    polygonsUsing({3});
    mergeMaterialsByName(scene);
    EXPECT_TRUE(scene.materials.absent());
    EXPECT_EQ(materialOf(0), 3);
}

}  // namespace
