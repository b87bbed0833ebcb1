#include "ConvertScene.h"

#include <algorithm>

#include "scene/Scene.h"

namespace {
constexpr int32_t kWrittenUVSets = 2;
}

bool giveMeshesTheirOwnUVSets(Scene& scene) {
    const int32_t sets = std::min(scene.uvSets.count(), kWrittenUVSets);
    for (Mesh& mesh : scene.meshes) {
        int64_t corners = 0;
        for (const Polygon& p : mesh.polygons) corners += p.cornerCount();
        mesh.uvSets.clear();
        if (corners == 0 || sets == 0) continue;
        if (corners > 0x7FFFFFFF || !mesh.uvSets.allocate(sets)) return false;
        for (int32_t s = 0; s < sets; ++s) {
            UVSet& own = mesh.uvSets[s];
            own.name.copyFrom(scene.uvSets[s].name);
            if (!own.coords.allocate(static_cast<int32_t>(corners))) return false;
            const UVCoordArray& shared = scene.uvSets[s].coords;
            int32_t next = 0;
            for (Polygon& p : mesh.polygons) {
                if (s >= p.uvChannelCount()) {
                    next += p.cornerCount();
                    continue;
                }
                PolygonUVs uvs = p.uvs(s);
                for (int32_t k = 0; k < p.cornerCount(); ++k, ++next) {
                    // An index outside the shared set keeps (0, 0), as the writers would write it.
                    if (const UVCoord* c = shared.get(uvs.uvIndices[k])) own.coords[next] = *c;
                    uvs.uvIndices[k] = next;
                }
            }
        }
    }
    return true;
}
