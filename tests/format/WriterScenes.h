#pragma once

// Scenes for the writer tests, built in their scene form (what the writers receive after
// export preparation) through the scene model's own operations.

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "format/QvxHeader.h"
#include "format/WriteOptions.h"
#include "scene/Scene.h"

namespace writer_test {

inline WriteOptions fixedDateOptions() {
    WriteOptions options;
    options.dateText = "Sat Dec  5 09:19:48 2026";
    return options;
}

inline WriteOptions allOff() {
    WriteOptions options = fixedDateOptions();
    options.export_lights = false;
    options.export_materials = false;
    options.export_colors = false;
    options.export_uvs = false;
    options.export_uvsets = false;
    options.export_bones = false;
    options.export_animation = false;
    return options;
}

inline Group& addGroup(Scene& scene) {
    return *scene.groups.append();
}

inline Vertex& addVertex(Scene& scene, float x, float y, float z) {
    Vertex& v = *scene.vertices.append();
    v.position = {x, y, z};
    return v;
}

inline void addWeight(Vertex& vertex, int32_t bone, float weight) {
    VertexWeight& w = *vertex.weights.append();
    w.boneIndex = bone;
    w.weight = weight;
}

inline Mesh& addMesh(Scene& scene) {
    return *scene.meshes.append();
}

inline void addUVSet(Mesh& mesh, std::initializer_list<std::pair<float, float>> coords) {
    UVSet& set = *mesh.uvSets.append();
    ASSERT_EQ(set.coords.allocate(static_cast<int32_t>(coords.size())), 1);
    int32_t i = 0;
    for (const auto& c : coords) {
        set.coords[i].u = c.first;
        set.coords[i].v = c.second;
        ++i;
    }
}

// A polygon of the given vertices; UV slot s gets the indices of uv[s] (missing ones -1).
inline Polygon& addPolygon(Mesh& mesh, int32_t group, int32_t material, std::vector<int32_t> vertices,
                           std::vector<std::vector<int32_t>> uv = {}) {
    Polygon& p = *mesh.polygons.append();
    p.groupIndex = group;
    p.materialIndex = material;
    EXPECT_EQ(p.createCorners(static_cast<int32_t>(vertices.size())), 1);
    for (std::size_t k = 0; k < vertices.size(); ++k) p.vertexIndices()[k] = vertices[k];
    for (std::size_t s = 0; s < uv.size(); ++s)
        for (std::size_t k = 0; k < uv[s].size(); ++k) p.uvs(static_cast<int32_t>(s)).uvIndices[k] = uv[s][k];
    return p;
}

inline Material& addMaterial(Scene& scene, const char* name, int32_t slots) {
    Material& m = *scene.materials.append();
    m.name.set(name);
    if (slots > 0) {
        EXPECT_EQ(m.layers.allocate(slots), 1);
    }
    return m;
}

// Reads little-endian values of a written file at given offsets, for targeted checks.
struct Bytes {
    const std::vector<unsigned char>& data;
    uint32_t u32(std::size_t offset) const {
        EXPECT_LE(offset + 4, data.size());
        return offset + 4 <= data.size() ? qvxLoadU32(data.data() + offset) : 0;
    }
    int32_t i32(std::size_t offset) const { return static_cast<int32_t>(u32(offset)); }
    float f32(std::size_t offset) const {
        const uint32_t bits = u32(offset);
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    // The counted string at `offset` (without its terminator) and the offset after it.
    std::pair<std::string, std::size_t> str(std::size_t offset) const {
        const std::size_t length = data[offset] | data[offset + 1] << 8;
        return {std::string(reinterpret_cast<const char*>(data.data() + offset + 2), length ? length - 1 : 0),
                offset + 2 + length};
    }
};

}  // namespace writer_test
