#include <gtest/gtest.h>

#include "process/ExportPrep.h"
#include "process/SceneBuilders.h"

using namespace process_test;
using ::testing::ElementsAre;

namespace {

class FlattenMeshesTest : public ::testing::Test {
  protected:
    Mesh& addMesh(const char* name, const char* path, int vertexCount) {
        Mesh* mesh = scene.meshes.append();
        EXPECT_NE(mesh, nullptr);
        mesh->setName(name);
        if (path != nullptr) mesh->path.set(path);
        EXPECT_EQ(mesh->vertices.allocate(vertexCount), 1);
        for (int i = 0; i < vertexCount; ++i) mesh->vertices[i].position = {float(i), 0, 0};
        return *mesh;
    }
    Bone& addBone(const char* path, std::int32_t parent = -1) {
        Bone* bone = scene.bones.append(parent);
        EXPECT_NE(bone, nullptr);
        bone->fullPath.set(path);
        return *bone;
    }
    static void addMaterials(Mesh& mesh, std::initializer_list<const char*> names) {
        ASSERT_EQ(mesh.materials.allocate(static_cast<std::int32_t>(names.size())), 1);
        std::int32_t i = 0;
        for (const char* n : names) mesh.materials[i++].name.set(n);
    }
    static void addUVs(Mesh& mesh, int slot0, int slot1) {
        ASSERT_EQ(mesh.uvSets.allocate(2), 1);
        for (int set = 0; set < 2; ++set) {
            const int n = set == 0 ? slot0 : slot1;
            if (n > 0) {
                ASSERT_EQ(mesh.uvSets[set].coords.allocate(n), 1);
            }
        }
        for (int i = 0; i < slot0; ++i) mesh.uvSets[0].coords[i].u = float(i);
        for (int i = 0; i < slot1; ++i) mesh.uvSets[1].coords[i].v = float(i);
    }
    static void setCornerIndices(Polygon& polygon, std::int32_t color, std::int32_t uv0, std::int32_t uv1) {
        for (std::int32_t k = 0; k < polygon.cornerCount(); ++k) {
            polygon.colorIndices()[k] = color < 0 ? color : color + k;
            polygon.uvs(0).uvIndices[k] = uv0 < 0 ? uv0 : uv0 + k;
            polygon.uvs(1).uvIndices[k] = uv1 < 0 ? uv1 : uv1 + k;
        }
    }
    Scene scene;
};

TEST_F(FlattenMeshesTest, MovesVerticesAndMaterialsIntoSceneArraysWithOffsets) {
    Mesh& first = addMesh("Body", "|Body|BodyShape", 8);
    addMaterials(first, {"skin"});
    addPolygon(first, {0, 1, 2, 3}, 0, 0);
    Mesh& second = addMesh("Hat", "|Hat|HatShape", 4);
    addMaterials(second, {"felt", "band"});
    addPolygon(second, {0, 1, 2, 3}, 0, 1);
    addPolygon(second, {3, 2, -1}, 0, -1);
    flattenMeshes(scene);

    ASSERT_EQ(scene.vertices.count(), 12);
    EXPECT_EQ(scene.vertices[8].position.x, 0.0f);
    EXPECT_EQ(scene.vertices[11].position.x, 3.0f);
    ASSERT_EQ(scene.materials.count(), 3);
    EXPECT_STREQ(scene.materials[2].name.narrow, "band");

    ASSERT_EQ(scene.meshes.count(), 1);
    const Mesh& merged = scene.meshes[0];
    EXPECT_STREQ(merged.name, "QVXMesh0");
    ASSERT_EQ(merged.polygons.count(), 3);
    EXPECT_THAT(cornersOf(merged.polygons[1]), ElementsAre(8, 9, 10, 11));
    EXPECT_THAT(cornersOf(merged.polygons[2]), ElementsAre(11, 10, -1));
    EXPECT_EQ(merged.polygons[0].materialIndex, 0);
    EXPECT_EQ(merged.polygons[1].materialIndex, 2);
    EXPECT_EQ(merged.polygons[2].materialIndex, -1);
    EXPECT_TRUE(merged.vertices.absent());
    EXPECT_TRUE(merged.materials.absent());
    EXPECT_TRUE(merged.path.isNull());
}

TEST_F(FlattenMeshesTest, MakesOneGroupPerMeshNamedAfterIt) {
    addPolygon(addMesh("Body", nullptr, 3), {0, 1, 2});
    addPolygon(addMesh("Hat", nullptr, 3), {0, 1, 2});
    flattenMeshes(scene);
    ASSERT_EQ(scene.groups.count(), 2);
    EXPECT_STREQ(scene.groups[0].name.narrow, "Body");
    EXPECT_EQ(scene.groups[1].name.wideView(), u"Hat");
    EXPECT_EQ(scene.meshes[0].polygons[0].groupIndex, 0);
    EXPECT_EQ(scene.meshes[0].polygons[1].groupIndex, 1);
}

// The polygons' corners live in their meshes' corner pools, as after a load: the merged
// mesh must take the pools over before the source meshes go (ASan sees any dangling read).
TEST_F(FlattenMeshesTest, MergeConcatenatesColoursAndUVSetsWithOffsets) {
    Mesh& first = addMesh("A", nullptr, 3);
    ASSERT_EQ(first.cornerPool.reserve(Polygon::cornerStorage(3)), 1);
    ASSERT_EQ(first.colors.allocate(3), 1);
    first.colors[2] = {0.5f, 0, 0, 1};
    addUVs(first, 3, 3);
    setCornerIndices(addPolygon(first, {0, 1, 2}), 0, 0, 0);
    Mesh& second = addMesh("B", nullptr, 3);
    ASSERT_EQ(second.cornerPool.reserve(Polygon::cornerStorage(3)), 1);
    ASSERT_EQ(second.colors.allocate(2), 1);
    second.colors[1] = {0, 0.25f, 0, 1};
    addUVs(second, 4, 0);
    setCornerIndices(addPolygon(second, {0, 1, 2}), -1, 1, -1);
    second.polygons[0].colorIndices()[0] = 1;
    flattenMeshes(scene);

    const Mesh& merged = scene.meshes[0];
    ASSERT_EQ(merged.colors.count(), 5);
    EXPECT_EQ(merged.colors[2].r, 0.5f);
    EXPECT_EQ(merged.colors[4].g, 0.25f);
    ASSERT_EQ(merged.uvSets.count(), 2);
    ASSERT_EQ(merged.uvSets[0].coordCount(), 7);
    EXPECT_EQ(merged.uvSets[0].coords[4].u, 1.0f);
    EXPECT_EQ(merged.uvSets[1].coordCount(), 3);
    const Polygon& copied = merged.polygons[1];
    EXPECT_EQ(copied.colorIndices()[0], 4);
    EXPECT_EQ(copied.colorIndices()[1], -1);
    EXPECT_EQ(copied.uvs(0).uvIndices[0], 4);
    EXPECT_EQ(copied.uvs(0).uvIndices[2], 6);
    EXPECT_EQ(copied.uvs(1).uvIndices[0], -1);
    EXPECT_EQ(merged.polygons[0].uvs(1).uvIndices[2], 2);
    EXPECT_EQ(merged.polygons[1].vertexIndices()[2], 5);
}

TEST_F(FlattenMeshesTest, SingleMeshKeepsNameColoursAndUVSets) {
    Mesh& only = addMesh("Body", "|Body|BodyShape", 3);
    ASSERT_EQ(only.colors.allocate(1), 1);
    addUVs(only, 3, 0);
    addMaterials(only, {"skin"});
    addPolygon(only, {0, 1, 2}, 0, 0);
    flattenMeshes(scene);
    ASSERT_EQ(scene.meshes.count(), 1);
    EXPECT_STREQ(scene.meshes[0].name, "Body");
    EXPECT_EQ(scene.meshes[0].colors.count(), 1);
    EXPECT_EQ(scene.meshes[0].uvSets[0].coordCount(), 3);
    EXPECT_TRUE(scene.meshes[0].vertices.absent());
    EXPECT_TRUE(scene.meshes[0].materials.absent());
    EXPECT_EQ(scene.vertices.count(), 3);
    EXPECT_EQ(scene.materials.count(), 1);
}

TEST_F(FlattenMeshesTest, BindsUnskinnedMeshRigidlyToItsShapeBoneIfThereIsOne) {
    addBone("|Body");
    addBone("|Body|BodyShape", 0);
    addPolygon(addMesh("Body", "|Body|BodyShape", 3), {0, 1, 2});
    addPolygon(addMesh("Hat", "|Hat|HatShape", 3), {0, 1, 2});  // no bone of that path
    flattenMeshes(scene);
    for (std::int32_t i = 0; i < 3; ++i) {
        const Vertex& vertex = scene.vertices[i];
        ASSERT_EQ(vertex.weightCount(), 1);
        EXPECT_EQ(vertex.weights[0].boneIndex, 1);
        EXPECT_EQ(vertex.weights[0].influenceIndex, -1);
        EXPECT_EQ(vertex.weights[0].weight, 1.0f);
        EXPECT_EQ(scene.vertices[3 + i].weightCount(), 0);
    }
}

TEST_F(FlattenMeshesTest, ResolvesSkinWeightsThroughInfluencePaths) {
    addBone("|root");
    addBone("|root|arm", 0);
    addBone("|root|arm", 1);  // a later bone of the same path is never chosen
    Mesh& mesh = addMesh("Body", "|Body|BodyShape", 3);
    ASSERT_EQ(mesh.influenceNames.allocate(3), 1);
    mesh.influenceNames[0].set("|root|arm");
    mesh.influenceNames[1].set("|root");
    mesh.influenceNames[2].set("|gone");
    addWeight(mesh.vertices[0], -1, 0.6f, 0);
    addWeight(mesh.vertices[0], -1, 0.2f, 1);
    addWeight(mesh.vertices[1], -1, 0.5f, 0);
    addWeight(mesh.vertices[1], -1, 0.5f, 2);  // no bone has this path
    addWeight(mesh.vertices[2], -1, 0.4f, 1);
    addWeight(mesh.vertices[2], -1, 0.4f, 7);  // outside the influence list
    addPolygon(mesh, {0, 1, 2});
    flattenMeshes(scene);

    const Vertex& v0 = scene.vertices[0];
    EXPECT_EQ(v0.weights[0].boneIndex, 1);
    EXPECT_EQ(v0.weights[1].boneIndex, 0);
    EXPECT_FLOAT_EQ(v0.weights[0].weight, 0.75f);
    EXPECT_FLOAT_EQ(v0.weights[1].weight, 0.25f);
    const Vertex& v1 = scene.vertices[1];
    EXPECT_EQ(v1.weights[1].boneIndex, -1);
    EXPECT_EQ(v1.weights[1].weight, 0.0f);
    EXPECT_FLOAT_EQ(v1.weights[0].weight, 1.0f);
    const Vertex& v2 = scene.vertices[2];
    EXPECT_EQ(v2.weights[1].boneIndex, -1);
    EXPECT_EQ(v2.weights[1].weight, 0.0f);
    EXPECT_TRUE(scene.meshes[0].influenceNames.absent());
}

TEST_F(FlattenMeshesTest, IndexPastItsMeshBecomesNoneInsteadOfNamingTheNextMesh) {
    Mesh& first = addMesh("A", nullptr, 3);
    addMaterials(first, {"a"});
    addPolygon(first, {0, 1, 3}, 0, 1);
    addPolygon(addMesh("B", nullptr, 3), {0, 1, 2});
    flattenMeshes(scene);
    EXPECT_THAT(cornersOf(scene, 0, 0), ElementsAre(0, 1, -1));
    EXPECT_EQ(scene.meshes[0].polygons[0].materialIndex, -1);
}

TEST_F(FlattenMeshesTest, MeshesWithoutPolygonsAreNotMergedAndNoMeshesChangeNothing) {
    Scene none;
    ASSERT_NE(none.bones.append(), nullptr);
    flattenMeshes(none);
    EXPECT_TRUE(none.vertices.absent());
    EXPECT_TRUE(none.groups.absent());
    addMesh("A", nullptr, 3);
    addMesh("B", nullptr, 2);
    flattenMeshes(scene);
    EXPECT_EQ(scene.meshes.count(), 2);
    EXPECT_EQ(scene.vertices.count(), 5);
    EXPECT_EQ(scene.groups.count(), 2);
}

}  // namespace
