// Costs of the scene model on reader-sized inputs: array allocation, polygon corner
// arrays, key sampling and skinning.

#include <benchmark/benchmark.h>

#include "scene/Animation.h"
#include "scene/Scene.h"

namespace {

void AllocateVertices(benchmark::State& state) {
    const auto n = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state) {
        VertexArray vertices;
        benchmark::DoNotOptimize(vertices.allocate(n));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(AllocateVertices)->Arg(1 << 20);

// A million corners in quads, as the reader creates them.
void CreatePolygonCorners(benchmark::State& state) {
    const auto polygons = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state) {
        PolygonArray array;
        array.allocate(polygons);
        for (Polygon& polygon : array) {
            polygon.createCorners(4);
            polygon.vertexIndices()[0] = 1;
        }
        benchmark::DoNotOptimize(array.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 4);
}
BENCHMARK(CreatePolygonCorners)->Arg(1 << 18);

void SamplePositionKeys(benchmark::State& state) {
    Animation animation;
    animation.tracks.allocate(1);
    PositionKeyArray& keys = animation.tracks[0].positionKeys;
    keys.allocate(static_cast<std::int32_t>(state.range(0)));
    for (std::int32_t i = 0; i < keys.count(); ++i) keys[i] = {float(i) / 30.0f, {float(i), 0, 0}};
    float t = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(sampleBonePosition(animation, t, 0));
        t += 0.01f;
        if (t > float(keys.count()) / 30.0f) t = 0;
    }
}
BENCHMARK(SamplePositionKeys)->Arg(300);

// Skinning a million vertices with two weights each over a 64-bone chain.
void EvaluatePose(benchmark::State& state) {
    Scene scene;
    const std::int32_t bones = 64;
    for (std::int32_t b = 0; b < bones; ++b) scene.bones.append(b - 1)->position = {0, 1, 0};
    scene.vertices.allocate(static_cast<std::int32_t>(state.range(0)));
    for (std::int32_t i = 0; i < scene.vertices.count(); ++i) {
        Vertex& v = scene.vertices[i];
        v.position = {float(i % 7), float(i % 64), 0};
        v.weights.allocate(2);
        v.weights[0] = {0, i % bones, 0.5f};
        v.weights[1] = {1, (i + 1) % bones, 0.5f};
    }
    scene.animations.append();
    buildBonePoses(scene);
    buildSkinnedVertices(scene);
    computeBindPose(scene, 1);
    for (auto _ : state) {
        evaluatePose(scene, 0.0f);
        benchmark::DoNotOptimize(scene.skinnedVertices.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(EvaluatePose)->Arg(1 << 20);

}  // namespace
