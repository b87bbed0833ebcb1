#include <algorithm>
#include <new>
#include <vector>

#include "process/PostLoad.h"
#include "scene/Scene.h"

namespace {

// Polygons with more corners than this are tested through a sorted copy instead of
// pairwise, so that a huge polygon costs n log n rather than n^2.
constexpr std::int32_t kPairwiseCornerLimit = 16;

bool repeatsVertex(const Polygon& polygon, std::vector<std::int32_t>& scratch) {
    const std::int32_t n = polygon.cornerCount();
    const std::int32_t* v = polygon.vertexIndices();
    if (v == nullptr || n < 2) return false;
    if (n <= kPairwiseCornerLimit) {
        for (std::int32_t i = 0; i < n; ++i) {
            for (std::int32_t j = i + 1; j < n; ++j) {
                if (v[i] == v[j]) return true;
            }
        }
        return false;
    }
    scratch.assign(v, v + n);
    std::sort(scratch.begin(), scratch.end());
    return std::adjacent_find(scratch.begin(), scratch.end()) != scratch.end();
}

// Drops the vertices no corner references. Returns the number removed; 0 when nothing
// was removed, when none is referenced (the vertex array is then cleared) or when memory
// ran out (the scene is then unchanged).
std::int32_t pruneVertices(Scene& scene) {
    const std::int32_t vertexCount = scene.vertices.count();
    if (vertexCount == 0 || scene.meshes.count() == 0) return 0;
    try {
        std::vector<std::uint8_t> referenced(static_cast<std::size_t>(vertexCount), 0);
        for (const Mesh& mesh : scene.meshes) {
            for (const Polygon& polygon : mesh.polygons) {
                const std::int32_t* v = polygon.vertexIndices();
                for (std::int32_t k = 0; k < polygon.cornerCount(); ++k) {
                    if (scene.vertices.validIndex(v[k])) referenced[std::size_t(v[k])] = 1;
                }
            }
        }
        std::int32_t kept = 0;
        for (std::uint8_t r : referenced) kept += r;
        if (kept == vertexCount) {
            // The transient mark ends up clear on every kept vertex.
            for (Vertex& vertex : scene.vertices) vertex.flags &= ~Vertex::kFlagMark;
            return 0;
        }
        if (kept == 0) {
            scene.vertices.clear();
            return 0;
        }
        std::vector<std::int32_t> newIndex(static_cast<std::size_t>(vertexCount), -1);
        VertexArray compacted;
        if (!compacted.allocate(kept)) return 0;
        std::int32_t next = 0;
        for (std::int32_t i = 0; i < vertexCount; ++i) {
            if (!referenced[std::size_t(i)]) continue;
            newIndex[std::size_t(i)] = next;
            compacted[next] = std::move(scene.vertices[i]);
            compacted[next].flags &= ~Vertex::kFlagMark;
            ++next;
        }
        for (Mesh& mesh : scene.meshes) {
            for (Polygon& polygon : mesh.polygons) {
                std::int32_t* v = polygon.vertexIndices();
                for (std::int32_t k = 0; k < polygon.cornerCount(); ++k) {
                    // Indices outside the old array stay as they are; they remain outside.
                    if (v[k] >= 0 && v[k] < vertexCount) v[k] = newIndex[std::size_t(v[k])];
                }
            }
        }
        scene.vertices = std::move(compacted);
        return vertexCount - kept;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

// With exactly one mesh, drops the polygons that use one vertex at two corners (the host
// rejects them). Returns the number removed; 0 when nothing was removed, when every
// polygon was dropped (the mesh array is then cleared) or when memory ran out.
std::int32_t prunePolygons(Scene& scene) {
    if (scene.vertices.count() == 0 || scene.meshes.count() != 1) return 0;
    Mesh& mesh = scene.meshes[0];
    const std::int32_t polygonCount = mesh.polygons.count();
    if (polygonCount == 0) return 0;
    try {
        std::vector<std::uint8_t> repeated(static_cast<std::size_t>(polygonCount), 0);
        std::vector<std::int32_t> scratch;
        std::int32_t marked = 0;
        for (std::int32_t i = 0; i < polygonCount; ++i) {
            if (repeatsVertex(mesh.polygons[i], scratch)) {
                repeated[std::size_t(i)] = 1;
                ++marked;
            }
        }
        if (marked == 0) {
            for (Polygon& polygon : mesh.polygons) polygon.flags &= ~Polygon::kFlagMark;
            return 0;
        }
        if (marked == polygonCount) {
            scene.meshes.clear();
            return 0;
        }
        PolygonArray kept;
        if (!kept.allocate(polygonCount - marked)) return 0;
        std::int32_t next = 0;
        for (std::int32_t i = 0; i < polygonCount; ++i) {
            if (repeated[std::size_t(i)]) continue;
            kept[next] = std::move(mesh.polygons[i]);
            kept[next].flags &= ~Polygon::kFlagMark;
            ++next;
        }
        // The mesh keeps its other data; after a load it has none, and its name is the
        // default one a fresh mesh would get.
        mesh.polygons = std::move(kept);
        mesh.setName("QVXMesh0");
        return marked;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

}  // namespace

PruneResult pruneGeometry(Scene& scene) {
    PruneResult result;
    result.verticesRemoved = pruneVertices(scene);
    result.polygonsRemoved = prunePolygons(scene);
    if (result.verticesRemoved != 0 || result.polygonsRemoved != 0) {
        // The flat triangles index the old numbering.
        scene.triangles.clear();
        for (UVSet& uvSet : scene.uvSets) uvSet.triangles.clear();
    }
    return result;
}
