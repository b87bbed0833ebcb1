#pragma once

// Small builders for scenes made in code.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "scene/Scene.h"

namespace process_test {

// Appends a polygon with the given vertex indices (edge flags all `edgeFlag`).
inline Polygon& addPolygon(Mesh& mesh, std::initializer_list<std::int32_t> corners,
                           std::uint32_t edgeFlag = 0, std::int32_t material = -1) {
    Polygon* polygon = mesh.polygons.append();
    EXPECT_NE(polygon, nullptr);
    // In the mesh's corner pool when it has one reserved (as a loaded mesh has), else in the
    // polygon's own storage.
    EXPECT_EQ(polygon->createCornersIn(mesh.cornerPool, static_cast<std::int32_t>(corners.size())), 1);
    std::int32_t k = 0;
    for (std::int32_t v : corners) {
        polygon->vertexIndices()[k] = v;
        polygon->edgeFlags()[k] = edgeFlag;
        ++k;
    }
    polygon->materialIndex = material;
    return *polygon;
}

inline void setPositions(VertexArray& vertices, std::initializer_list<Vec3> positions) {
    ASSERT_EQ(vertices.allocate(static_cast<std::int32_t>(positions.size())), 1);
    std::int32_t i = 0;
    for (const Vec3& p : positions) vertices[i++].position = p;
}

inline void addWeight(Vertex& vertex, std::int32_t bone, float weight, std::int32_t influence = -1) {
    VertexWeight* w = vertex.weights.append();
    ASSERT_NE(w, nullptr);
    w->boneIndex = bone;
    w->weight = weight;
    w->influenceIndex = influence;
}

inline std::vector<std::int32_t> cornersOf(const Polygon& polygon) {
    return std::vector<std::int32_t>(polygon.vertexIndices(),
                                     polygon.vertexIndices() + polygon.cornerCount());
}

inline std::vector<std::int32_t> cornersOf(const Scene& scene, std::int32_t mesh, std::int32_t polygon) {
    return cornersOf(scene.meshes[mesh].polygons[polygon]);
}

}  // namespace process_test
