// Arrays whose elements live in a shared pool (a loaded scene's vertex weights, a loaded
// mesh's polygon corners) must behave exactly like arrays with storage of their own: same
// defaults, and no array may ever write into its neighbour's part of the pool.

#include <gtest/gtest.h>

#include "scene/Scene.h"

namespace {

TEST(PooledStorage, PooledWeightsGetTheAllocationDefaultsAndGrowWithoutTouchingTheirNeighbour) {
    Scene scene;
    ASSERT_EQ(scene.vertices.allocate(3), 1);
    ASSERT_EQ(scene.weightPool.reserve(4), 1);
    ASSERT_EQ(scene.vertices[0].weights.allocateIn(scene.weightPool, 2), 1);
    ASSERT_EQ(scene.vertices[1].weights.allocateIn(scene.weightPool, 2), 1);
    // The pool is full: the third vertex gets storage of its own, with the same defaults.
    ASSERT_EQ(scene.vertices[2].weights.allocateIn(scene.weightPool, 1), 1);
    EXPECT_EQ(scene.vertices[1].weights.data(), scene.vertices[0].weights.data() + 2);
    for (const Vertex& v : scene.vertices) {
        for (const VertexWeight& w : v.weights) {
            EXPECT_EQ(w.influenceIndex, 0);
            EXPECT_EQ(w.boneIndex, -1);
            EXPECT_EQ(w.weight, 1.0f);
        }
    }

    scene.vertices[0].weights[1].boneIndex = 7;
    scene.vertices[1].weights[0].boneIndex = 9;
    VertexWeight* added = scene.vertices[0].weights.append();
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->influenceIndex, -1);
    ASSERT_EQ(scene.vertices[0].weightCount(), 3);
    EXPECT_EQ(scene.vertices[0].weights[1].boneIndex, 7);
    EXPECT_EQ(scene.vertices[1].weights[0].boneIndex, 9);

    // Moving a pooled array within the scene keeps its values; clearing releases it all.
    Vertex moved = std::move(scene.vertices[1]);
    EXPECT_EQ(moved.weights[0].boneIndex, 9);
    EXPECT_TRUE(scene.vertices[1].weights.absent());
    scene.clear();
    EXPECT_EQ(scene.weightPool.blockCount(), 0u);
}

TEST(PooledStorage, PooledCornersMatchOwnCornersAndLieSideBySide) {
    Mesh mesh;
    ASSERT_EQ(mesh.cornerPool.reserve(Polygon::cornerStorage(4) + Polygon::cornerStorage(1, 3)), 1);
    ASSERT_EQ(mesh.polygons.allocate(3), 1);
    Polygon& quad = mesh.polygons[0];
    Polygon& small = mesh.polygons[1];
    ASSERT_EQ(quad.createCornersIn(mesh.cornerPool, 4), 1);
    ASSERT_EQ(small.createCornersIn(mesh.cornerPool, 1, 3), 1);  // raised to 3 corners
    EXPECT_EQ(small.vertexIndices(), quad.vertexIndices() + Polygon::cornerStorage(4));
    EXPECT_EQ(quad.createCornersIn(mesh.cornerPool, 4), 0);  // corners exist already

    Polygon own;
    ASSERT_EQ(own.createCorners(1, 3), 1);
    ASSERT_EQ(small.cornerCount(), own.cornerCount());
    ASSERT_EQ(small.uvChannelCount(), own.uvChannelCount());
    for (std::int32_t k = 0; k < own.cornerCount(); ++k) {
        EXPECT_EQ(small.vertexIndices()[k], own.vertexIndices()[k]);
        EXPECT_EQ(small.normalIndices()[k], own.normalIndices()[k]);
        EXPECT_EQ(small.colorIndices()[k], own.colorIndices()[k]);
        EXPECT_EQ(small.edgeFlags()[k], own.edgeFlags()[k]);
        for (std::int32_t s = 0; s < own.uvChannelCount(); ++s) {
            EXPECT_EQ(small.uvs(s).uvIndices[k], own.uvs(s).uvIndices[k]);
            EXPECT_EQ(small.uvs(s).secondIndices[k], own.uvs(s).secondIndices[k]);
        }
    }

    // The pool is used up: the next polygon still gets corners, of its own.
    ASSERT_EQ(mesh.polygons[2].createCornersIn(mesh.cornerPool, 4), 1);
    EXPECT_EQ(mesh.polygons[2].vertexIndices()[3], -1);

    quad.vertexIndices()[3] = 42;
    Polygon moved = std::move(quad);
    EXPECT_EQ(moved.vertexIndices()[3], 42);
    EXPECT_FALSE(quad.hasCorners());
    EXPECT_EQ(quad.vertexIndices(), nullptr);
    // A released pooled polygon can take corners again.
    moved.releaseCorners();
    ASSERT_EQ(moved.createCorners(3), 1);
    EXPECT_EQ(moved.vertexIndices()[0], -1);
}

TEST(PooledStorage, OverwriteAllocationAndCopiesFollowTheArrayContract) {
    UVCoordArray coords;
    EXPECT_EQ(coords.allocateForOverwrite(0), 0);
    EXPECT_TRUE(coords.absent());
    ASSERT_EQ(coords.allocateForOverwrite(2), 1);
    EXPECT_EQ(coords.count(), 2);
    coords[1] = {3u, 0.5f, 0.25f};

    UVCoordArray copy(coords);
    coords[1].u = 9.0f;
    ASSERT_EQ(copy.count(), 2);
    EXPECT_EQ(copy[1].u, 0.5f);
    EXPECT_EQ(copy[1].word, 3u);
    UVCoordArray absent;
    copy = absent;
    EXPECT_TRUE(copy.absent());

    // An empty-accepting kind stays present and empty after an empty allocation.
    SceneTriangleArray triangles;
    ASSERT_EQ(triangles.allocate(0), 1);
    EXPECT_TRUE(triangles.present());
    EXPECT_EQ(triangles.append()->vertexIndices[0], -1);
}

}  // namespace
