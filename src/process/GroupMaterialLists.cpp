#include <algorithm>
#include <new>
#include <vector>

#include "process/PostLoad.h"
#include "scene/Scene.h"

void buildGroupMaterialLists(Scene& scene) {
    if (scene.meshes.count() == 0 || scene.groups.count() == 0 || scene.materials.count() == 0) return;
    for (Group& group : scene.groups) group.materialUsages.clear();
    try {
        // One pass over each mesh's polygons: a count per material, and the materials
        // touched, sorted afterwards so that the list ascends by material index.
        std::vector<std::uint32_t> polygonsPerMaterial(static_cast<std::size_t>(scene.materials.count()), 0);
        std::vector<std::int32_t> used;
        const std::int32_t groupCount = scene.groups.count();
        for (std::int32_t g = 0; g < groupCount && g < scene.meshes.count(); ++g) {
            used.clear();
            for (const Polygon& polygon : scene.meshes[g].polygons) {
                const std::int32_t m = polygon.materialIndex;
                if (!scene.materials.validIndex(m)) continue;
                if (polygonsPerMaterial[std::size_t(m)]++ == 0) used.push_back(m);
            }
            if (used.empty()) continue;
            std::sort(used.begin(), used.end());
            MaterialUsageArray& usages = scene.groups[g].materialUsages;
            const bool allocated = usages.allocate(static_cast<std::int32_t>(used.size())) != 0;
            for (std::size_t k = 0; k < used.size(); ++k) {
                const std::int32_t m = used[k];
                if (allocated) {
                    usages[static_cast<std::int32_t>(k)].materialIndex = m;
                    usages[static_cast<std::int32_t>(k)].polygonCount = polygonsPerMaterial[std::size_t(m)];
                }
                polygonsPerMaterial[std::size_t(m)] = 0;
            }
            if (!allocated) return;  // out of memory: the remaining lists stay empty
        }
    } catch (const std::bad_alloc&) {
        return;
    }
}
