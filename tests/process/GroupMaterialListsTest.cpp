#include <gtest/gtest.h>

#include "process/PostLoad.h"
#include "process/SceneBuilders.h"

using namespace process_test;

namespace {

class GroupMaterialListsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(scene.materials.allocate(8), 1);
        ASSERT_EQ(scene.groups.allocate(3), 1);
        ASSERT_EQ(scene.meshes.allocate(2), 1);
    }
    Scene scene;
};

TEST_F(GroupMaterialListsTest, ListsUsedMaterialsAscendingWithPolygonCounts) {
    ASSERT_EQ(scene.groups[2].materialUsages.allocate(4), 1);  // a group without a mesh: emptied
    for (int m : {5, 2, 5, -1, 9, 5, 2}) addPolygon(scene.meshes[0], {0, 1, 2}, 0, m);
    addPolygon(scene.meshes[1], {0, 1, 2}, 0, 0);
    buildGroupMaterialLists(scene);
    const MaterialUsageArray& first = scene.groups[0].materialUsages;
    ASSERT_EQ(first.count(), 2);
    EXPECT_EQ(first[0].materialIndex, 2);
    EXPECT_EQ(first[0].polygonCount, 2u);
    EXPECT_EQ(first[1].materialIndex, 5);
    EXPECT_EQ(first[1].polygonCount, 3u);
    ASSERT_EQ(scene.groups[1].materialUsageCount(), 1);
    EXPECT_EQ(scene.groups[1].materialUsages[0].materialIndex, 0);
    EXPECT_EQ(scene.groups[1].materialUsages[0].polygonCount, 1u);
    EXPECT_EQ(scene.groups[2].materialUsageCount(), 0);
}

TEST_F(GroupMaterialListsTest, MeshWithoutValidMaterialsGetsEmptyList) {
    addPolygon(scene.meshes[0], {0, 1, 2}, 0, -1);
    buildGroupMaterialLists(scene);
    EXPECT_EQ(scene.groups[0].materialUsageCount(), 0);
}

}  // namespace
