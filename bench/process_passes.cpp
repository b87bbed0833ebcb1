// The scene passes on large scenes: each benchmark runs at scale 1 (1,000,000 polygons
// in 100 groups, 500 materials sharing 50 names, 2,000 bones sharing 100 names, 4 weights
// per vertex) and at scale 2 (everything doubled). Building the scene is not timed.
//
//   build/<folder>/bench/bench_process_passes --benchmark_counters_tabular=true

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <algorithm>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "process/ExportPrep.h"
#include "process/PostLoad.h"
#include "process/UnweldHardEdges.h"
#include "scene/Scene.h"

namespace {

struct Shape {
    std::int32_t polygons;
    std::int32_t groups;
    std::int32_t materials;
    std::int32_t materialNames;
    std::int32_t bones;
    std::int32_t boneNames;
    std::int32_t keysPerTrack;
};

Shape shapeAt(std::int64_t scale) {
    const auto s = static_cast<std::int32_t>(scale);
    return Shape{1000000 * s, 100 * s, 500 * s, 50 * s, 2000 * s, 100 * s, 10};
}

constexpr std::int32_t kGridWidth = 100;  // quads per row of every mesh's grid
constexpr std::int32_t kInfluencesPerMesh = 8;
constexpr std::int32_t kWeightsPerVertex = 4;
constexpr std::int32_t kColorsPerMesh = 16;

// Hard edges along every tenth grid line.
std::uint32_t gridEdgeFlag(std::int32_t line) {
    return line % 10 == 0 ? Polygon::kEdgeHard : Polygon::kEdgeSmooth;
}

// One quad grid of `rows` rows; vertex (x, y) is base + y * (kGridWidth + 1) + x.
void fillGridPolygons(PolygonArray& polygons, std::int32_t first, std::int32_t rows, std::int32_t base,
                      std::int32_t material, std::int32_t materialCount) {
    const std::int32_t stride = kGridWidth + 1;
    for (std::int32_t y = 0; y < rows; ++y) {
        for (std::int32_t x = 0; x < kGridWidth; ++x) {
            Polygon& polygon = polygons[first + y * kGridWidth + x];
            polygon.createCorners(4);
            std::int32_t* v = polygon.vertexIndices();
            v[0] = base + y * stride + x;
            v[1] = v[0] + 1;
            v[2] = v[1] + stride;
            v[3] = v[0] + stride;
            std::uint32_t* e = polygon.edgeFlags();
            e[0] = gridEdgeFlag(y);
            e[1] = gridEdgeFlag(x + 1);
            e[2] = gridEdgeFlag(y + 1);
            e[3] = gridEdgeFlag(x);
            for (std::int32_t k = 0; k < 4; ++k) {
                polygon.colorIndices()[k] = (x + k) % kColorsPerMesh;
                polygon.uvs(0).uvIndices[k] = v[k] - base;
                polygon.uvs(1).uvIndices[k] = v[k] - base;
            }
            polygon.materialIndex = material + (x + y) % materialCount;
        }
    }
}

void addBonesAndAnimation(Scene& scene, const Shape& shape) {
    scene.bones.allocate(shape.bones);
    for (std::int32_t i = 0; i < shape.bones; ++i) {
        Bone& bone = scene.bones[i];
        bone.name.set("Bone." + std::to_string(i % shape.boneNames));
        bone.fullPath.set("|root|b" + std::to_string(i));
        bone.parentIndex = i == 0 ? -1 : (i % 97 == 0 ? i + 1 : (i - 1) / 2);  // a few forward parents
        bone.position = {0.0f, 1.0f, 0.0f};
        bone.rotation = {0.0f, 0.0f, 0.38268343f, 0.9238795f};
        bone.scale = {1.0f, 2.0f, 1.0f};
    }
    scene.animations.allocate(1);
    Animation& animation = scene.animations[0];
    animation.tracks.allocate(shape.bones);
    for (BoneTrack& track : animation.tracks) {
        track.positionKeys.allocate(shape.keysPerTrack);
        track.rotationKeys.allocate(shape.keysPerTrack);
        track.scaleKeys.allocate(shape.keysPerTrack);
        for (std::int32_t k = 0; k < shape.keysPerTrack; ++k) {
            const float time = -0.1f + float(k) / 30.0f;
            track.positionKeys[k] = {time, {0.0f, 1.0f + float(k), 0.0f}};
            track.rotationKeys[k].time = time;
            track.rotationKeys[k].euler = {0.1f * float(k), 0.0f, 0.2f};
            track.scaleKeys[k] = {time, {1.0f, 2.0f, 1.0f}};
        }
    }
}

// The host-side form the export gatherers produce: per-mesh vertices, materials,
// colours, UV sets and influence names. Even meshes are skinned, odd ones are bound to
// their shape's bone.
void buildGatheredScene(Scene& scene, const Shape& shape) {
    scene.clear();
    addBonesAndAnimation(scene, shape);
    const std::int32_t rows = shape.polygons / shape.groups / kGridWidth;
    const std::int32_t vertexCount = (rows + 1) * (kGridWidth + 1);
    const std::int32_t materialsPerMesh = shape.materials / shape.groups;
    scene.meshes.allocate(shape.groups);
    for (std::int32_t m = 0; m < shape.groups; ++m) {
        Mesh& mesh = scene.meshes[m];
        mesh.setName("mesh" + std::to_string(m));
        mesh.path.set("|root|b" + std::to_string(m));
        const bool skinned = m % 2 == 0;
        if (skinned) {
            mesh.influenceNames.allocate(kInfluencesPerMesh);
            for (std::int32_t i = 0; i < kInfluencesPerMesh; ++i) {
                mesh.influenceNames[i].set("|root|b" +
                                           std::to_string((m * kInfluencesPerMesh + i) % shape.bones));
            }
        }
        mesh.vertices.allocate(vertexCount);
        for (std::int32_t i = 0; i < vertexCount; ++i) {
            Vertex& vertex = mesh.vertices[i];
            vertex.position = {float(i % (kGridWidth + 1)), float(i / (kGridWidth + 1)), float(m)};
            if (!skinned) continue;
            vertex.weights.allocate(kWeightsPerVertex);
            for (std::int32_t w = 0; w < kWeightsPerVertex; ++w) {
                vertex.weights[w].influenceIndex = (i + w) % kInfluencesPerMesh;
                vertex.weights[w].weight = 0.1f * float(w + 1);
            }
        }
        mesh.materials.allocate(materialsPerMesh);
        for (std::int32_t k = 0; k < materialsPerMesh; ++k) {
            Material& material = mesh.materials[k];
            const std::int32_t global = m * materialsPerMesh + k;
            material.name.set("mat" + std::to_string(global % shape.materialNames));
            if (global % 7 == 0) {
                material.layers.allocate(1);
                material.addLayer(0, 0, 1)->path.set("wood.png");
            }
        }
        mesh.colors.allocate(kColorsPerMesh);
        mesh.uvSets.allocate(2);
        mesh.uvSets[0].coords.allocate(vertexCount);
        mesh.uvSets[1].coords.allocate(vertexCount);
        mesh.polygons.allocate(rows * kGridWidth);
        fillGridPolygons(mesh.polygons, 0, rows, 0, 0, materialsPerMesh);
    }
}

// The form a load leaves: scene-wide vertices (with a few no polygon uses), one mesh per
// group (or a single mesh with a few polygons that repeat a vertex), weights naming
// bones (some missing), scene materials and named lights and cameras.
void buildLoadedScene(Scene& scene, const Shape& shape, std::int32_t meshCount) {
    scene.clear();
    addBonesAndAnimation(scene, shape);
    const std::int32_t rowsPerGroup = shape.polygons / shape.groups / kGridWidth;
    const std::int32_t groupVertices = (rowsPerGroup + 1) * (kGridWidth + 1);
    const std::int32_t used = groupVertices * shape.groups;
    const std::int32_t vertexCount = used + used / 100;
    scene.vertices.allocate(vertexCount);
    for (std::int32_t i = 0; i < vertexCount; ++i) {
        Vertex& vertex = scene.vertices[i];
        vertex.position = {float(i % (kGridWidth + 1)), float(i / (kGridWidth + 1)), 0.0f};
        vertex.weights.allocate(kWeightsPerVertex);
        for (std::int32_t w = 0; w < kWeightsPerVertex; ++w) {
            vertex.weights[w].boneIndex =
                (i * 7 + w * 13) % (shape.bones + 3) - 1;  // some -1, some past the end
            vertex.weights[w].weight = 0.2f;
        }
    }
    scene.materials.allocate(shape.materials);
    for (std::int32_t k = 0; k < shape.materials; ++k) {
        scene.materials[k].name.set("mat:" + std::to_string(k % shape.materialNames));
    }
    scene.groups.allocate(shape.groups);
    for (std::int32_t g = 0; g < shape.groups; ++g)
        scene.groups[g].name.set("group " + std::to_string(g % 10));
    scene.lights.allocate(100);
    for (Light& light : scene.lights) light.name.set("Lamp");
    scene.cameras.allocate(100);
    for (Camera& camera : scene.cameras) camera.name.set("1Camera");
    scene.uvSets.allocate(2);

    const std::int32_t materialsPerGroup = shape.materials / shape.groups;
    scene.meshes.allocate(meshCount);
    if (meshCount == 1) {
        PolygonArray& polygons = scene.meshes[0].polygons;
        polygons.allocate(rowsPerGroup * kGridWidth * shape.groups);
        for (std::int32_t g = 0; g < shape.groups; ++g) {
            fillGridPolygons(polygons, g * rowsPerGroup * kGridWidth, rowsPerGroup, g * groupVertices,
                             g * materialsPerGroup, materialsPerGroup);
        }
        for (std::int32_t p = 0; p < polygons.count(); p += 100) {
            polygons[p].vertexIndices()[2] = polygons[p].vertexIndices()[0];
        }
        return;
    }
    for (std::int32_t g = 0; g < meshCount; ++g) {
        PolygonArray& polygons = scene.meshes[g].polygons;
        polygons.allocate(rowsPerGroup * kGridWidth);
        fillGridPolygons(polygons, 0, rowsPerGroup, g * groupVertices, g * materialsPerGroup,
                         materialsPerGroup);
    }
}

// Fresh pages are very costly on the build machines (tens of microseconds per fault),
// which would measure the kernel rather than the passes. Freed memory is therefore kept
// in the heap, and the largest scenes are built and processed once before any
// measurement, so that every measured run works on memory the process already holds.
const bool kHeapWarmed = [] {
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
    const Shape largest = shapeAt(2);
    Scene scene;
    buildLoadedScene(scene, largest, largest.groups);
    prepareLoadedScene(scene);
    buildGatheredScene(scene, largest);
    flattenMeshes(scene);
    unweldHardEdges(scene);
    scene.clear();
    return true;
}();

template <class Build, class Pass>
void runPass(benchmark::State& state, Build build, Pass pass) {
    Scene scene;
    for (auto _ : state) {
        state.PauseTiming();
        build(scene);
        state.ResumeTiming();
        pass(scene);
        benchmark::ClobberMemory();
    }
    state.counters["polygons"] = double(shapeAt(state.range(0)).polygons);
    state.counters["warm"] = kHeapWarmed ? 1 : 0;
}

void BM_PrepareLoadedScene(benchmark::State& state) {
    const Shape shape = shapeAt(state.range(0));
    runPass(
        state, [&](Scene& s) { buildLoadedScene(s, shape, shape.groups); },
        [](Scene& s) { prepareLoadedScene(s); });
}

void BM_PruneGeometry(benchmark::State& state) {
    const Shape shape = shapeAt(state.range(0));
    runPass(
        state, [&](Scene& s) { buildLoadedScene(s, shape, 1); }, [](Scene& s) { pruneGeometry(s); });
}

void BM_MakeNamesUnique(benchmark::State& state) {
    const Shape shape = shapeAt(state.range(0));
    runPass(
        state, [&](Scene& s) { buildLoadedScene(s, shape, shape.groups); },
        [](Scene& s) {
            sanitizeNames(s);
            fixLeadingDigits(s);
            makeNamesUnique(s);
        });
}

void BM_BuildGroupMaterialLists(benchmark::State& state) {
    const Shape shape = shapeAt(state.range(0));
    runPass(
        state, [&](Scene& s) { buildLoadedScene(s, shape, shape.groups); },
        [](Scene& s) { buildGroupMaterialLists(s); });
}

void BM_FlattenMeshes(benchmark::State& state) {
    const Shape shape = shapeAt(state.range(0));
    runPass(
        state, [&](Scene& s) { buildGatheredScene(s, shape); }, [](Scene& s) { flattenMeshes(s); });
}

// The later export passes run on the file form that flattening leaves.
void buildFlattenedScene(Scene& s, const Shape& shape) {
    buildGatheredScene(s, shape);
    flattenMeshes(s);
}

void BM_MakeKeysRestRelative(benchmark::State& state) {
    const Shape shape = shapeAt(state.range(0));
    runPass(
        state, [&](Scene& s) { buildFlattenedScene(s, shape); }, [](Scene& s) { makeKeysRestRelative(s); });
}

void BM_ComputeAnimationRange(benchmark::State& state) {
    const Shape shape = shapeAt(state.range(0));
    runPass(
        state, [&](Scene& s) { buildFlattenedScene(s, shape); }, [](Scene& s) { computeAnimationRange(s); });
}

void BM_MergeMaterialsByName(benchmark::State& state) {
    const Shape shape = shapeAt(state.range(0));
    runPass(
        state, [&](Scene& s) { buildFlattenedScene(s, shape); }, [](Scene& s) { mergeMaterialsByName(s); });
}

void BM_UnweldHardEdges(benchmark::State& state) {
    const Shape shape = shapeAt(state.range(0));
    runPass(
        state, [&](Scene& s) { buildFlattenedScene(s, shape); }, [](Scene& s) { unweldHardEdges(s); });
}

// Each size runs three times and the fastest run is the figure to compare (the machine
// is shared).
double fastest(const std::vector<double>& runs) {
    return *std::min_element(runs.begin(), runs.end());
}

#define PROCESS_BENCHMARK(name)             \
    BENCHMARK(name)                         \
        ->Arg(1)                            \
        ->Arg(2)                            \
        ->Iterations(1)                     \
        ->Repetitions(3)                    \
        ->ComputeStatistics("min", fastest) \
        ->ReportAggregatesOnly(true)        \
        ->Unit(benchmark::kMillisecond)

PROCESS_BENCHMARK(BM_PrepareLoadedScene);
PROCESS_BENCHMARK(BM_PruneGeometry);
PROCESS_BENCHMARK(BM_MakeNamesUnique);
PROCESS_BENCHMARK(BM_BuildGroupMaterialLists);
PROCESS_BENCHMARK(BM_FlattenMeshes);
PROCESS_BENCHMARK(BM_MakeKeysRestRelative);
PROCESS_BENCHMARK(BM_ComputeAnimationRange);
PROCESS_BENCHMARK(BM_MergeMaterialsByName);
PROCESS_BENCHMARK(BM_UnweldHardEdges);

}  // namespace
