// Polygons' corner arrays, vertex copies, owned strings and the bone's transform block.

#include <gtest/gtest.h>

#include "scene/Scene.h"

namespace {

TEST(PolygonCorners, AreAbsentUntilCreated) {
    Polygon polygon;
    EXPECT_FALSE(polygon.hasCorners());
    EXPECT_EQ(polygon.vertexIndices(), nullptr);
    EXPECT_EQ(polygon.uvs(0).uvIndices, nullptr);
}

TEST(PolygonCorners, FewerThanThreeCornersAreRaisedToThree) {
    Polygon polygon;
    ASSERT_EQ(polygon.createCorners(1), 1);
    EXPECT_EQ(polygon.cornerCount(), 3);
}

TEST(PolygonCorners, FillValuesAndTwoUVSlots) {
    Polygon polygon;
    ASSERT_EQ(polygon.createCorners(5), 1);
    ASSERT_EQ(polygon.uvChannelCount(), 2);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(polygon.vertexIndices()[k], -1);
        EXPECT_EQ(polygon.normalIndices()[k], -1);
        EXPECT_EQ(polygon.colorIndices()[k], -1);
        EXPECT_EQ(polygon.edgeFlags()[k], 0u);
        for (int s = 0; s < 2; ++s) {
            EXPECT_EQ(polygon.uvs(s).uvIndices[k], -1);
            EXPECT_EQ(polygon.uvs(s).secondIndices[k], -1);
        }
    }
    EXPECT_EQ(polygon.uvs(2).uvIndices, nullptr);
}

TEST(PolygonCorners, ArraysDoNotOverlap) {
    Polygon polygon;
    ASSERT_EQ(polygon.createCorners(4, 3), 1);
    polygon.vertexIndices()[3] = 10;
    polygon.edgeFlags()[0] = Polygon::kEdgeHard;
    polygon.uvs(2).secondIndices[3] = 7;
    EXPECT_EQ(polygon.normalIndices()[0], -1);
    EXPECT_EQ(polygon.colorIndices()[3], -1);
    EXPECT_EQ(polygon.uvs(0).uvIndices[0], -1);
    EXPECT_EQ(polygon.uvs(2).uvIndices[3], -1);
    EXPECT_EQ(polygon.vertexIndices()[3], 10);
}

TEST(PolygonCorners, SecondCreationIsRefusedAndKeepsTheData) {
    Polygon polygon;
    ASSERT_EQ(polygon.createCorners(4), 1);
    polygon.vertexIndices()[0] = 5;
    EXPECT_EQ(polygon.createCorners(8), 0);
    EXPECT_EQ(polygon.cornerCount(), 4);
    EXPECT_EQ(polygon.vertexIndices()[0], 5);
}

TEST(PolygonCorners, HugeCountsAreRefused) {
    Polygon polygon;
    EXPECT_EQ(polygon.createCorners(0x7FFFFFFF, 0x7FFFFFFF), 0);
    EXPECT_FALSE(polygon.hasCorners());
}

TEST(PolygonCorners, AllocatedPolygonsHaveNoGroupOrMaterial) {
    PolygonArray polygons;
    ASSERT_EQ(polygons.allocate(2), 1);
    EXPECT_EQ(polygons[1].groupIndex, -1);
    EXPECT_EQ(polygons[1].materialIndex, -1);
    EXPECT_FALSE(polygons[1].hasCorners());
}

TEST(VertexCopy, CopiesValuesAndAppendsEachWeight) {
    Vertex source;
    source.position = {1, 2, 3};
    source.normal = {0, 1, 0};
    source.color = {0.5f, 0.5f, 0.5f, 1};
    source.flags = 4;
    ASSERT_NE(source.weights.append(), nullptr);
    source.weights[0] = {2, 7, 0.25f};
    ASSERT_NE(source.weights.append(), nullptr);

    Vertex target;
    ASSERT_NE(target.weights.append(), nullptr);
    ASSERT_EQ(copyVertex(target, source), 1);
    EXPECT_EQ(target.position.z, 3.0f);
    EXPECT_EQ(target.normal.y, 1.0f);
    EXPECT_EQ(target.color.r, 0.5f);
    EXPECT_EQ(target.flags, 0u);
    ASSERT_EQ(target.weightCount(), 3);
    EXPECT_EQ(target.weights[1].boneIndex, 7);
    EXPECT_EQ(target.weights[1].weight, 0.25f);
}

TEST(OwnedStringTest, NullAndEmptyDiffer) {
    OwnedString text;
    EXPECT_TRUE(text.isNull());
    EXPECT_EQ(text.get(), nullptr);
    EXPECT_STREQ(text.c_str(), "");
    ASSERT_EQ(text.set(nullptr), 1);
    EXPECT_FALSE(text.isNull());
    EXPECT_STREQ(text.get(), "");
    ASSERT_EQ(text.set("|a|b"), 1);
    EXPECT_TRUE(text.equals("|a|b"));
    text.reset();
    EXPECT_FALSE(text.equals(""));
}

TEST(BoneTransform, RestBlockRoundTripsThroughATransform) {
    Transform t;
    std::array<float, Transform::kFloatCount> values;
    for (int i = 0; i < Transform::kFloatCount; ++i) values[i] = float(i + 1);
    t.fromFloats(values.data());
    EXPECT_EQ(t.translation.x, 10.0f);
    EXPECT_EQ(t.quaternion.w, 35.0f);
    EXPECT_EQ(t.euler.z, 38.0f);

    Bone bone;
    bone.setRestTransform(t);
    EXPECT_EQ(bone.position.y, 11.0f);
    EXPECT_EQ(bone.scale.x, 13.0f);
    EXPECT_EQ(bone.restMatrix[0], 16.0f);
    EXPECT_EQ(bone.rotation.x, 32.0f);
    EXPECT_EQ(bone.restTransform().toFloats(), values);
}

}  // namespace
