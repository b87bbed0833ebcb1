#include <gtest/gtest.h>

#include "process/PostLoad.h"
#include "process/SceneBuilders.h"

using namespace process_test;
using ::testing::ElementsAre;

namespace {

class PruneGeometryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setPositions(
            scene.vertices,
            {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}, {5, 0, 0}, {6, 0, 0}, {7, 0, 0}});
        ASSERT_EQ(scene.meshes.allocate(1), 1);
        ASSERT_EQ(scene.triangles.allocate(2), 1);
        ASSERT_EQ(scene.uvSets.allocate(2), 1);
        ASSERT_EQ(scene.uvSets[0].triangles.allocate(2), 1);
    }
    Scene scene;
};

TEST_F(PruneGeometryTest, RemovesUnreferencedVertexRenumbersCornersAndDropsFlatTriangles) {
    scene.vertices[1].flags = 0x40;
    addWeight(scene.vertices[3], 0, 1.0f);
    addPolygon(scene.meshes[0], {0, 2, 3});
    addPolygon(scene.meshes[0], {3, 4, 5, 6, 7});
    const PruneResult result = pruneGeometry(scene);
    EXPECT_EQ(result.verticesRemoved, 1);
    ASSERT_EQ(scene.vertices.count(), 7);
    EXPECT_THAT(cornersOf(scene, 0, 0), ElementsAre(0, 1, 2));
    EXPECT_THAT(cornersOf(scene, 0, 1), ElementsAre(2, 3, 4, 5, 6));
    EXPECT_EQ(scene.vertices[1].position.x, 2.0f);
    // The weights move with their vertex.
    ASSERT_EQ(scene.vertices[2].weightCount(), 1);
    EXPECT_EQ(scene.vertices[2].weights[0].boneIndex, 0);
    // The flat triangles no longer match.
    EXPECT_TRUE(scene.triangles.absent());
    EXPECT_TRUE(scene.uvSets[0].triangles.absent());
}

TEST_F(PruneGeometryTest, KeepsEverythingWhenEveryVertexIsReferenced) {
    addPolygon(scene.meshes[0], {0, 1, 2, 3});
    addPolygon(scene.meshes[0], {4, 5, 6, 7});
    scene.vertices[2].flags = Vertex::kFlagMark;
    const PruneResult result = pruneGeometry(scene);
    EXPECT_EQ(result.verticesRemoved, 0);
    EXPECT_EQ(result.polygonsRemoved, 0);
    EXPECT_EQ(scene.vertices.count(), 8);
    EXPECT_EQ(scene.vertices[2].flags, 0u);  // the transient mark does not survive
    EXPECT_EQ(scene.triangles.count(), 2);
    EXPECT_EQ(scene.uvSets[0].triangles.count(), 2);
}

TEST_F(PruneGeometryTest, ClearsVerticesWhenNoneIsReferenced) {
    addPolygon(scene.meshes[0], {-1, 8, 100});
    const PruneResult result = pruneGeometry(scene);
    EXPECT_EQ(result.verticesRemoved, 0);
    EXPECT_TRUE(scene.vertices.absent());
    EXPECT_THAT(cornersOf(scene, 0, 0), ElementsAre(-1, 8, 100));
}

TEST_F(PruneGeometryTest, LeavesOutOfRangeCornersAsTheyAre) {
    addPolygon(scene.meshes[0], {0, 2, 9, -1});
    addPolygon(scene.meshes[0], {3, 4, 5, 6, 7});
    pruneGeometry(scene);
    ASSERT_EQ(scene.vertices.count(), 7);
    EXPECT_THAT(cornersOf(scene, 0, 0), ElementsAre(0, 1, 9, -1));
}

TEST_F(PruneGeometryTest, DropsQuadWithRepeatedVertexInSingleMesh) {
    addPolygon(scene.meshes[0], {0, 1, 2});
    addPolygon(scene.meshes[0], {3, 5, 3, 7}, 0, 4).fourthField = 9;
    addPolygon(scene.meshes[0], {4, 5, 6}, 0, 2).flags = Polygon::kFlagMark;
    const PruneResult result = pruneGeometry(scene);
    EXPECT_EQ(result.polygonsRemoved, 1);
    ASSERT_EQ(scene.meshes.count(), 1);
    ASSERT_EQ(scene.meshes[0].polygons.count(), 2);
    EXPECT_THAT(cornersOf(scene, 0, 1), ElementsAre(4, 5, 6));
    EXPECT_EQ(scene.meshes[0].polygons[1].materialIndex, 2);
    EXPECT_EQ(scene.meshes[0].polygons[1].flags, 0u);
    EXPECT_STREQ(scene.meshes[0].name, "QVXMesh0");
    EXPECT_TRUE(scene.triangles.absent());
}

TEST_F(PruneGeometryTest, KeepsQuadWithRepeatedVertexWhenThereAreTwoMeshes) {
    ASSERT_EQ(scene.meshes.allocate(2), 1);
    addPolygon(scene.meshes[0], {0, 1, 2, 4, 6});
    addPolygon(scene.meshes[1], {3, 5, 3, 7});
    const PruneResult result = pruneGeometry(scene);
    EXPECT_EQ(result.polygonsRemoved, 0);
    EXPECT_EQ(scene.meshes[1].polygons.count(), 1);
    EXPECT_EQ(scene.triangles.count(), 2);
}

TEST_F(PruneGeometryTest, ClearsMeshesWhenEveryPolygonRepeatsAVertex) {
    addPolygon(scene.meshes[0], {0, 1, 0, 2, 3, 4, 5, 6, 7});
    const PruneResult result = pruneGeometry(scene);
    EXPECT_EQ(result.polygonsRemoved, 0);
    EXPECT_TRUE(scene.meshes.absent());
}

TEST_F(PruneGeometryTest, FindsRepeatsInLargePolygons) {
    // Past the size where corners are compared pairwise.
    addPolygon(scene.meshes[0], {0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 2, 3});
    addPolygon(scene.meshes[0], {0, 1, 2, 3, 4, 5, 6, 7});
    const PruneResult result = pruneGeometry(scene);
    EXPECT_EQ(result.polygonsRemoved, 1);
    EXPECT_EQ(scene.meshes[0].polygons.count(), 1);
}

}  // namespace
