// Material layers: creation defaults per kind, adding and finding layers, and copying.

#include <gtest/gtest.h>

#include "scene/Scene.h"

namespace {

class MaterialLayers : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(material.layers.allocate(3), 1); }
    Material material;
};

TEST_F(MaterialLayers, AddIsRefusedWithoutSlotArray) {
    Material bare;
    EXPECT_EQ(bare.addLayer(0, 0, 1), nullptr);
}

TEST_F(MaterialLayers, AddIsRefusedForSlotsOutOfRange) {
    EXPECT_EQ(material.addLayer(3, 0, 1), nullptr);
    EXPECT_EQ(material.addLayer(-1, 0, 1), nullptr);
}

TEST_F(MaterialLayers, AddIsRefusedForATakenChannel) {
    ASSERT_NE(material.addLayer(0, 2, 1), nullptr);
    EXPECT_EQ(material.addLayer(1, 2, 4), nullptr);
    EXPECT_EQ(material.layers[1], nullptr);
}

TEST_F(MaterialLayers, AddIsRefusedForAnOccupiedSlot) {
    MaterialLayer* first = material.addLayer(0, 0, 1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(material.addLayer(0, 1, 1), nullptr);
    EXPECT_EQ(material.layers[0].get(), first);
}

TEST_F(MaterialLayers, FindReturnsTheFirstLayerOfTheChannel) {
    MaterialLayer* bump = material.addLayer(2, 2, 1);
    ASSERT_NE(bump, nullptr);
    EXPECT_EQ(material.findLayer(2), bump);
    EXPECT_EQ(material.findLayer(0), nullptr);
}

TEST_F(MaterialLayers, CreationDefaultsDependOnKind) {
    const MaterialLayer kind1(0, 1);
    EXPECT_EQ(kind1.flags, 0x310000u);
    EXPECT_EQ(kind1.repeat.x, 1.0f);
    EXPECT_EQ(kind1.value1, 0u);
    EXPECT_EQ(kind1.value2, 2.0f);
    EXPECT_EQ(kind1.value3, 1.0f);
    const MaterialLayer kind2(0, 2);
    EXPECT_EQ(kind2.value4, 8.0f);
    EXPECT_EQ(kind2.packedColor, 0xC4C4C4u);
    EXPECT_EQ(kind2.extraWord, 0u);
    EXPECT_EQ(MaterialLayer(0, 3).extraWord, 2u);
    EXPECT_TRUE(MaterialLayer(0, 4).subEntries.absent());
    EXPECT_EQ(MaterialLayer(0, 5).paths.size(), 6u);
    EXPECT_EQ(MaterialLayer(0, 6).value1, 256u);
    EXPECT_EQ(MaterialLayer(0, 7).value1, 0u);
    const MaterialLayer other(0, 42);
    EXPECT_EQ(other.kind, 42);
    EXPECT_TRUE(other.hasKind1Body());
    EXPECT_EQ(other.value2, 2.0f);
}

class MaterialCopy : public ::testing::Test {
  protected:
    void SetUp() override {
        source.name.set("wood");
        source.diffuse = {0.2f, 0.3f, 0.4f, 1.0f};
        source.specular = {0.9f, 0.9f, 0.9f, 1.0f};
        source.shininess = 12.0f;
        source.opacity = 0.5f;
        source.flags = 9;
        ASSERT_EQ(source.layers.allocate(3), 1);
        MaterialLayer* color = source.addLayer(0, 0, 1);
        color->path.set("C:/tex/wood.png");
        color->offset = {0.5f, 0.25f, 0.0f};
        color->flags |= MaterialLayer::kFlagTexture;
        MaterialLayer* layered = source.addLayer(2, 5, 4);
        ASSERT_EQ(layered->subEntries.allocate(2), 1);
        layered->subEntries[1].path.set("b.png");
        layered->subEntries[1].value1 = 1;
    }
    Material source;
};

TEST_F(MaterialCopy, CopiesNameValuesAndLayersIntoTheSameSlots) {
    Material target;
    ASSERT_EQ(target.copyFrom(source), 1);
    EXPECT_STREQ(target.name.narrow, "wood");
    EXPECT_EQ(target.diffuse.b, 0.4f);
    EXPECT_EQ(target.specular.r, 0.9f);
    EXPECT_EQ(target.shininess, 12.0f);
    EXPECT_EQ(target.opacity, 0.5f);
    EXPECT_EQ(target.flags, 0u);
    ASSERT_EQ(target.layerCount(), 3);
    EXPECT_EQ(target.layers[1], nullptr);
    ASSERT_NE(target.layers[0], nullptr);
    EXPECT_STREQ(target.layers[0]->path.narrow, "C:/tex/wood.png");
    EXPECT_EQ(target.layers[0]->offset.y, 0.25f);
    EXPECT_EQ(target.layers[0]->flags, 0x310001u);
    ASSERT_NE(target.layers[2], nullptr);
    EXPECT_EQ(target.layers[2]->channel, 5);
    ASSERT_EQ(target.layers[2]->subEntryCount(), 2);
    EXPECT_STREQ(target.layers[2]->subEntries[1].path.narrow, "b.png");
    EXPECT_EQ(target.layers[2]->subEntries[1].value1, 1);
}

TEST_F(MaterialCopy, CopyIsIndependentOfTheSource) {
    Material target;
    ASSERT_EQ(target.copyFrom(source), 1);
    source.layers[0]->path.set("other.png");
    EXPECT_STREQ(target.layers[0]->path.narrow, "C:/tex/wood.png");
}

TEST_F(MaterialCopy, IsRefusedWhenTheTargetHasLayers) {
    Material target;
    target.name.set("kept");
    ASSERT_EQ(target.layers.allocate(1), 1);
    EXPECT_EQ(target.copyFrom(source), 0);
    EXPECT_STREQ(target.name.narrow, "kept");
    EXPECT_EQ(target.layerCount(), 1);
}

TEST_F(MaterialCopy, MaterialWithoutLayersCopiesValuesOnly) {
    Material plain;
    plain.name.set("plain");
    Material target;
    ASSERT_EQ(target.copyFrom(plain), 1);
    EXPECT_STREQ(target.name.narrow, "plain");
    EXPECT_TRUE(target.layers.absent());
}

}  // namespace
