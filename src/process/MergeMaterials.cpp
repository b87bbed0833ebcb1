#include <new>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "process/ExportPrep.h"
#include "scene/Scene.h"

void mergeMaterialsByName(Scene& scene) {
    if (scene.materials.absent()) return;
    const std::int32_t oldCount = scene.materials.count();
    try {
        // Position of every material's name in the merged list, in order of first
        // appearance; the names are looked up in a hash rather than in the growing list.
        std::unordered_map<std::string_view, std::int32_t> positionOfName;
        positionOfName.reserve(static_cast<std::size_t>(oldCount));
        std::vector<std::int32_t> map(static_cast<std::size_t>(oldCount));
        std::vector<std::int32_t> firstOfPosition;
        for (std::int32_t i = 0; i < oldCount; ++i) {
            const auto inserted = positionOfName.emplace(scene.materials[i].name.narrowView(),
                                                         static_cast<std::int32_t>(firstOfPosition.size()));
            if (inserted.second) firstOfPosition.push_back(i);
            map[std::size_t(i)] = inserted.first->second;
        }

        SceneMaterialArray merged;  // default values, as materials appended by name get
        if (!merged.allocate(static_cast<std::int32_t>(firstOfPosition.size()))) return;
        for (std::size_t j = 0; j < firstOfPosition.size(); ++j) {
            merged[static_cast<std::int32_t>(j)].name.set(
                scene.materials[firstOfPosition[j]].name.narrowView());
        }
        // Every material is copied onto its name's entry in order; the copy is refused
        // once the entry holds layers, so the first textured material of a name wins
        // and untextured ones before it are overwritten.
        for (std::int32_t i = 0; i < oldCount; ++i) merged[map[std::size_t(i)]].copyFrom(scene.materials[i]);

        for (Mesh& mesh : scene.meshes) {
            for (Polygon& polygon : mesh.polygons) {
                // An index past the old list stays past the (shorter) new one.
                if (polygon.materialIndex >= 0 && polygon.materialIndex < oldCount) {
                    polygon.materialIndex = map[std::size_t(polygon.materialIndex)];
                }
            }
        }
        scene.materials = std::move(merged);
    } catch (const std::bad_alloc&) {
        // Out of memory before anything changed: the materials stay as they were.
    }
}
