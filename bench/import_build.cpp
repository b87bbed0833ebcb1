// The import of a large character: loading (read, inflate, parse), post-load preparation and
// the build into the stand-in host, for a scene of 1,000,000 polygon corners, 64 joints, 500
// materials, 240 frames of keys and 4 weights per vertex, and for the same scene with every
// dimension doubled. Both curve modes are built.
//
// Run by hand: build/dev/bench/bench_import_build
// Arguments: scale (1 or 2), then for the build the curve mode (1 stored keys, 0 sampled).
// Counters: peak_rss_MiB is the process's peak resident size so far (it only grows, so read
// it in run order); inner_MiB the size of the file's inflated inner part. The build reports
// the polygon corners it built per second of CPU time (items_per_second): every step of the
// build is linear in the scene, so that figure should hardly fall from scale 1 to scale 2 (the
// scale-2 build taking at most about 2.3 times the scale-1 one; a step that grows with two
// dimensions at once, such as vertices times bones, shows as a halving).

#include <benchmark/benchmark.h>
#include <maya/MFileObject.h>
#include <maya/MString.h>
#include <mayasim/Host.h>

#include <sys/resource.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "format/ExportFile.h"
#include "format/Loader.h"
#include "import/ImportBuild.h"
#include "process/PostLoad.h"
#include "scene/Scene.h"

namespace {

struct Dimensions {
    int columns;  // quads along X
    int rows;     // quads along Y
    int bones;
    int materials;
    int frames;
};

// Scale 1: 500 x 500 quads = 1,000,000 corners; scale 2 doubles every dimension.
Dimensions dimensionsOf(int scale) {
    return {500, 500 * scale, 64 * scale, 500 * scale, 240 * scale};
}

Quat aboutZ(float radians) {
    return {0, 0, std::sin(radians / 2), std::cos(radians / 2)};
}

// The scene in the writer's form.
void makeScene(const Dimensions& d, Scene& scene) {
    for (int b = 0; b < d.bones; ++b) {
        Bone& bone = *scene.bones.append(b == 0 ? -1 : (b - 1) / 2);
        bone.name.set(("joint" + std::to_string(b)).c_str());
        bone.position = {0.1f, 0.5f, 0};
    }
    for (int m = 0; m < d.materials; ++m) {
        Material& material = *scene.materials.append();
        material.name.set(("material" + std::to_string(m)).c_str());
        material.diffuse = {float(m % 7) / 7.0f, float(m % 11) / 11.0f, 0.5f, 1};
    }
    scene.groups.append();
    Mesh& mesh = *scene.meshes.append();
    const int vx = d.columns + 1;
    const int vy = d.rows + 1;
    scene.vertices.allocate(vx * vy);
    mesh.uvSets.allocate(2);
    mesh.uvSets[0].coords.allocate(vx * vy);
    for (int y = 0; y < vy; ++y) {
        for (int x = 0; x < vx; ++x) {
            const int i = y * vx + x;
            Vertex& v = scene.vertices[i];
            v.position = {float(x) * 0.01f, float(y) * 0.01f, 0};
            v.color = {float(x % 2), float(y % 2), 0.5f, 1};
            v.weights.allocate(4);
            for (int k = 0; k < 4; ++k) {
                v.weights[k].boneIndex = (i + k * 17) % d.bones;
                v.weights[k].weight = 0.25f;
            }
            mesh.uvSets[0].coords[i].u = float(x) / float(d.columns);
            mesh.uvSets[0].coords[i].v = float(y) / float(d.rows);
        }
    }
    mesh.polygons.allocate(d.columns * d.rows);
    for (int y = 0; y < d.rows; ++y) {
        for (int x = 0; x < d.columns; ++x) {
            Polygon& p = mesh.polygons[y * d.columns + x];
            p.groupIndex = 0;
            p.materialIndex = (y * d.columns + x) % d.materials;
            p.createCorners(4);
            const int corners[4] = {y * vx + x, y * vx + x + 1, (y + 1) * vx + x + 1, (y + 1) * vx + x};
            for (int k = 0; k < 4; ++k) {
                p.vertexIndices()[k] = corners[k];
                p.uvs(0).uvIndices[k] = corners[k];
            }
        }
    }
    Animation& animation = *scene.animations.append();
    animation.fps = 24;
    animation.startTick = 0;
    animation.tickCount = float(d.frames);
    animation.tracks.allocate(d.bones);
    for (int b = 0; b < d.bones; ++b) {
        BoneTrack& track = animation.tracks[b];
        track.positionKeys.allocate(d.frames);
        track.rotationKeys.allocate(d.frames);
        track.scaleKeys.allocate(d.frames);
        for (int f = 0; f < d.frames; ++f) {
            const float t = float(f) / 24.0f;
            track.positionKeys[f] = {t, {0, 0.01f * float(f % 10), 0}};
            track.rotationKeys[f] = {t, aboutZ(0.01f * float(f)), {}};
            track.scaleKeys[f] = {t, {1, 1, 1}};
        }
    }
}

// One written file per scale, made on first use and removed at exit.
struct SampleFiles {
    ~SampleFiles() {
        for (const auto& entry : paths) std::remove(entry.second.c_str());
    }
    const std::string& pathFor(int scale) {
        auto found = paths.find(scale);
        if (found != paths.end()) return found->second;
        Scene scene;
        makeScene(dimensionsOf(scale), scene);
        const std::string path = "/tmp/qvx_bench_import_" + std::to_string(scale) + ".qvx";
        WriteOptions options;
        options.dateText = "Sat Dec  5 09:19:48 2026";
        const ExportResult result = exportSceneFile(scene, options, path);
        if (!result.written) std::fprintf(stderr, "bench_import_build: %s\n", result.error.c_str());
        return paths.emplace(scale, path).first->second;
    }
    std::map<int, std::string> paths;
};

SampleFiles& files() {
    static SampleFiles instance;
    return instance;
}

double peakResidentMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

void setCounters(benchmark::State& state, const std::string& path) {
    LoadReport report;
    Scene scene;
    LoadOptions options;
    options.prepare = false;
    loadSceneFile(path, scene, options, &report);
    state.counters["inner_MiB"] = double(report.parse.innerBytes) / (1024.0 * 1024.0);
    state.counters["peak_rss_MiB"] = peakResidentMiB();
}

void quietHost() {
    mayasim::setEchoMessages(false);
    std::fflush(stderr);
}

void BM_ImportLoad(benchmark::State& state) {
    const std::string& path = files().pathFor(int(state.range(0)));
    LoadOptions options;
    options.prepare = false;
    for (auto _ : state) {
        Scene scene;
        benchmark::DoNotOptimize(loadSceneFile(path, scene, options));
    }
    setCounters(state, path);
}

void BM_ImportPrepare(benchmark::State& state) {
    const std::string& path = files().pathFor(int(state.range(0)));
    LoadOptions options;
    options.prepare = false;
    for (auto _ : state) {
        state.PauseTiming();
        auto scene = std::make_unique<Scene>();
        loadSceneFile(path, *scene, options);
        state.ResumeTiming();
        benchmark::DoNotOptimize(prepareLoadedScene(*scene));
        state.PauseTiming();
        scene.reset();
        state.ResumeTiming();
    }
    setCounters(state, path);
}

// Gives the memory the previous case freed back to the system, so that every build starts
// from the same state: otherwise a case that follows one of the same size finds its memory
// already mapped and looks faster than the first, which skews the comparison of the scales.
void releaseFreedMemory() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

void BM_ImportBuild(benchmark::State& state) {
    quietHost();
    const std::string& path = files().pathFor(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        mayasim::newScene();
        mayasim::clearMessages();
        releaseFreedMemory();
        auto scene = std::make_unique<Scene>();
        loadSceneFile(path, *scene);
        BuildRequest request(*scene);
        request.unsampledKeys = state.range(1) != 0;
        request.sceneFile.setFullName(MString(path.c_str()));
        state.ResumeTiming();
        benchmark::DoNotOptimize(buildScene(request));
        state.PauseTiming();
        scene.reset();
        state.ResumeTiming();
    }
    const Dimensions d = dimensionsOf(int(state.range(0)));
    state.SetItemsProcessed(state.iterations() * std::int64_t(d.columns) * d.rows * 4);
    setCounters(state, path);
}

BENCHMARK(BM_ImportLoad)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_ImportPrepare)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_ImportBuild)
    ->Args({1, 1})
    ->Args({1, 0})
    ->Args({2, 1})
    ->Args({2, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
