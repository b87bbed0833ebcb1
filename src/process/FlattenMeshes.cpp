#include <cstdint>
#include <limits>
#include <new>
#include <vector>

#include "process/BoneLookup.h"
#include "process/ExportPrep.h"
#include "process/PostLoad.h"
#include "scene/Scene.h"

namespace {

constexpr std::int64_t kMaxCount = std::numeric_limits<std::int32_t>::max();
constexpr int kMergedUVSlots = 2;

// Moves a per-mesh index into the numbering of the concatenated array. "None" stays
// "none"; an index past the mesh's own array becomes "none" instead of silently naming
// an element of the next mesh.
void rebaseIndex(std::int32_t& index, std::int32_t ownCount, std::int32_t offset) {
    if (index < 0) return;
    index = index < ownCount ? index + offset : -1;
}

// Gives every vertex weight a bone: an unskinned mesh is bound rigidly to its shape's
// bone, a skinned mesh's weights resolve their influence through its full path.
// Returns false when memory ran out.
bool bindSkinWeights(Scene& scene) {
    BonePathIndex bonesByPath;
    bonesByPath.build(scene);
    std::vector<std::int32_t> boneOfInfluence;
    for (Mesh& mesh : scene.meshes) {
        const std::int32_t influenceCount = mesh.influenceNames.count();
        if (influenceCount == 0) {
            const std::int32_t bone = bonesByPath.find(mesh.path.get());
            if (bone < 0) continue;
            for (Vertex& vertex : mesh.vertices) {
                VertexWeight* weight = vertex.weights.append();
                if (weight == nullptr) return false;
                weight->influenceIndex = -1;
                weight->boneIndex = bone;
                weight->weight = 1.0f;
            }
            continue;
        }
        boneOfInfluence.resize(static_cast<std::size_t>(influenceCount));
        for (std::int32_t k = 0; k < influenceCount; ++k) {
            boneOfInfluence[std::size_t(k)] = bonesByPath.find(mesh.influenceNames[k].get());
        }
        for (Vertex& vertex : mesh.vertices) {
            for (VertexWeight& weight : vertex.weights) {
                if (weight.influenceIndex >= 0 && weight.influenceIndex < influenceCount) {
                    weight.boneIndex = boneOfInfluence[std::size_t(weight.influenceIndex)];
                }
            }
        }
    }
    return true;
}

// Moves every mesh's vertices into Scene.vertices, mesh after mesh. Returns false when
// the scene array could not be made.
bool gatherVertices(Scene& scene) {
    std::int64_t total = 0;
    for (const Mesh& mesh : scene.meshes) total += mesh.vertices.count();
    if (total > kMaxCount) return false;
    if (total > 0) {
        if (!scene.vertices.allocate(static_cast<std::int32_t>(total))) return false;
        std::int32_t next = 0;
        for (Mesh& mesh : scene.meshes) {
            for (Vertex& source : mesh.vertices) {
                Vertex& target = scene.vertices[next++];
                target.position = source.position;
                target.normal = source.normal;
                target.color = source.color;
                target.weights = std::move(source.weights);
            }
        }
    }
    std::int32_t offset = 0;
    for (Mesh& mesh : scene.meshes) {
        const std::int32_t own = mesh.vertices.count();
        for (Polygon& polygon : mesh.polygons) {
            std::int32_t* v = polygon.vertexIndices();
            for (std::int32_t k = 0; k < polygon.cornerCount(); ++k) rebaseIndex(v[k], own, offset);
        }
        offset += own;
        mesh.vertices.clear();
    }
    return true;
}

// Moves every mesh's materials into Scene.materials, mesh after mesh. Returns false when
// the scene array could not be made.
bool gatherMaterials(Scene& scene) {
    std::int64_t total = 0;
    for (const Mesh& mesh : scene.meshes) total += mesh.materials.count();
    if (total > kMaxCount) return false;
    if (total > 0) {
        if (!scene.materials.allocate(static_cast<std::int32_t>(total))) return false;
        std::int32_t next = 0;
        for (Mesh& mesh : scene.meshes) {
            for (Material& material : mesh.materials) scene.materials[next++] = std::move(material);
        }
    }
    std::int32_t offset = 0;
    for (Mesh& mesh : scene.meshes) {
        const std::int32_t own = mesh.materials.count();
        for (Polygon& polygon : mesh.polygons) rebaseIndex(polygon.materialIndex, own, offset);
        offset += own;
        mesh.materials.clear();
    }
    return true;
}

// One group per mesh, named after it; every polygon names its mesh's group.
void makeMeshGroups(Scene& scene) {
    const std::int32_t meshCount = scene.meshes.count();
    scene.groups.reserve(scene.groups.count() + meshCount);
    for (std::int32_t i = 0; i < meshCount; ++i) {
        Mesh& mesh = scene.meshes[i];
        if (Group* group = scene.groups.append()) group->name.set(static_cast<const char*>(mesh.name));
        for (Polygon& polygon : mesh.polygons) polygon.groupIndex = i;
    }
}

std::int32_t uvCoordCount(const Mesh& mesh, std::int32_t slot) {
    return slot < mesh.uvSets.count() ? mesh.uvSets[slot].coordCount() : 0;
}

// Merges two or more meshes into one new mesh QVXMesh0. Everything the merged mesh needs
// is allocated before anything moves, so running out of memory leaves the meshes as
// they were.
void mergeMeshes(Scene& scene) {
    std::int64_t polygonTotal = 0;
    std::int64_t colorTotal = 0;
    std::int64_t uvTotal[kMergedUVSlots] = {0, 0};
    for (const Mesh& mesh : scene.meshes) {
        polygonTotal += mesh.polygons.count();
        colorTotal += mesh.colors.count();
        for (int s = 0; s < kMergedUVSlots; ++s) uvTotal[s] += uvCoordCount(mesh, s);
    }
    if (polygonTotal > kMaxCount || colorTotal > kMaxCount) return;
    for (int s = 0; s < kMergedUVSlots; ++s) {
        if (uvTotal[s] > kMaxCount) return;
    }

    MeshArray merged;  // its one mesh gets the default name QVXMesh0
    if (!merged.allocate(1)) return;
    Mesh& out = merged[0];
    if (!out.polygons.allocate(static_cast<std::int32_t>(polygonTotal))) return;
    if (colorTotal > 0 && !out.colors.allocate(static_cast<std::int32_t>(colorTotal))) return;
    if (!out.uvSets.allocate(kMergedUVSlots)) return;
    for (int s = 0; s < kMergedUVSlots; ++s) {
        if (uvTotal[s] > 0 && !out.uvSets[s].coords.allocate(static_cast<std::int32_t>(uvTotal[s]))) return;
    }

    // Pooled corners move with their polygons: the merged mesh takes over every pool.
    std::size_t pools = 0;
    for (const Mesh& mesh : scene.meshes) pools += mesh.cornerPool.blockCount();
    if (!out.cornerPool.reserveBlocks(pools)) return;
    for (Mesh& mesh : scene.meshes) out.cornerPool.adopt(mesh.cornerPool);

    std::int32_t nextPolygon = 0;
    std::int32_t colorOffset = 0;
    std::int32_t uvOffset[kMergedUVSlots] = {0, 0};
    for (Mesh& mesh : scene.meshes) {
        const std::int32_t ownColors = mesh.colors.count();
        std::int32_t ownUVs[kMergedUVSlots];
        for (int s = 0; s < kMergedUVSlots; ++s) ownUVs[s] = uvCoordCount(mesh, s);

        for (Polygon& source : mesh.polygons) {
            Polygon& polygon = out.polygons[nextPolygon++];
            polygon = std::move(source);
            const std::int32_t corners = polygon.cornerCount();
            if (colorTotal > 0) {
                std::int32_t* c = polygon.colorIndices();
                for (std::int32_t k = 0; k < corners; ++k) rebaseIndex(c[k], ownColors, colorOffset);
            }
            for (int s = 0; s < kMergedUVSlots && s < polygon.uvChannelCount(); ++s) {
                std::int32_t* uv = polygon.uvs(s).uvIndices;
                if (uv == nullptr) continue;
                for (std::int32_t k = 0; k < corners; ++k) rebaseIndex(uv[k], ownUVs[s], uvOffset[s]);
            }
        }
        for (std::int32_t i = 0; i < ownColors; ++i) out.colors[colorOffset + i] = mesh.colors[i];
        for (int s = 0; s < kMergedUVSlots; ++s) {
            for (std::int32_t i = 0; i < ownUVs[s]; ++i) {
                out.uvSets[s].coords[uvOffset[s] + i] = mesh.uvSets[s].coords[i];
            }
        }
        colorOffset += ownColors;
        for (int s = 0; s < kMergedUVSlots; ++s) uvOffset[s] += ownUVs[s];
    }
    scene.meshes = std::move(merged);
}

}  // namespace

void flattenMeshes(Scene& scene) {
    if (scene.meshes.absent()) return;
    try {
        if (scene.bones.count() > 0 && scene.meshes.count() > 0 && !bindSkinWeights(scene)) return;
        for (Mesh& mesh : scene.meshes) mesh.influenceNames.clear();
        for (Mesh& mesh : scene.meshes) {
            for (Vertex& vertex : mesh.vertices) normalizeVertexWeights(vertex);
        }
        if (!gatherVertices(scene)) return;
        if (!gatherMaterials(scene)) return;
        makeMeshGroups(scene);
        for (Mesh& mesh : scene.meshes) mesh.path.reset();
        if (scene.meshes.count() <= 1) return;
        mergeMeshes(scene);
    } catch (const std::bad_alloc&) {
        // Out of memory in a scratch table: the pass stops where it is.
    }
}
