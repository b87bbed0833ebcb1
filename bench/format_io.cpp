// Speed of the file format on a large synthetic scene: 250,000 quads (1,000,000 polygon
// corners) with two UV sets and colours, 4 weights per vertex over 64 bones, and 64 bones
// with 240 keys of each kind. Every case reports bytes of the inner (uncompressed) file per
// second, so the figures compare directly:
//   WriterAlone        the version-31 body writer into memory
//   ExportRoundTrip    writer, temporary file beside the target, compression, fsync, rename
//                      (wall time; file_MB is the size of the file written)
//   ZlibCompress       zlib's compress (level 6) of the same inner bytes (stream_MB: its size)
//   FullLoad           read the file, inflate, parse (no post-load preparation); minflt is
//                      the minor page faults per load
//   ZlibUncompress     zlib's uncompress of the same stream into a reused buffer
//   ZlibUncompressFresh  the same into memory allocated for each run (what a load must do)
//   ParseAlone         the parser over the inflated inner file
//   SceneAllocation    only the scene-model allocations a parse of this file makes (every
//                      array sized and every polygon's corners created, nothing read): the
//                      floor under ParseAlone that the reader cannot go below
//
// Run with the cases interleaved, so that a change in machine load hits all of them alike:
//   build/dev/bench/bench_format_io --benchmark_enable_random_interleaving=true
//       --benchmark_repetitions=5 --benchmark_report_aggregates_only=true   (one line)

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <memory>

#include <cstdio>
#include <string>
#include <vector>

#include "format/ExportFile.h"
#include "format/Loader.h"
#include "format/SceneParser.h"
#include "scene/Scene.h"

namespace {

constexpr int kGrid = 500;  // quads per side
constexpr int kBones = 64;
constexpr int kKeys = 240;
constexpr int kWeights = 4;

void buildScene(Scene& s) {
    const int side = kGrid + 1;
    s.groups.allocate(1);
    s.materials.allocate(1);
    s.materials[0].name.set("Surface");
    s.vertices.allocate(side * side);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const int i = y * side + x;
            Vertex& v = s.vertices[i];
            v.position = {float(x), float(y), float((x * y) % 7)};
            v.color = {x / float(side), y / float(side), 0.5f, 1};
            v.weights.allocate(kWeights);
            for (int w = 0; w < kWeights; ++w) {
                v.weights[w].boneIndex = (i + 17 * w) % kBones;
                v.weights[w].weight = 0.25f;
            }
        }
    }
    s.meshes.allocate(1);
    Mesh& mesh = s.meshes[0];
    mesh.uvSets.allocate(2);
    for (int set = 0; set < 2; ++set) {
        mesh.uvSets[set].coords.allocate(side * side);
        for (int i = 0; i < side * side; ++i) {
            mesh.uvSets[set].coords[i].u = float(i % side) / side + set;
            mesh.uvSets[set].coords[i].v = float(i / side) / side;
        }
    }
    mesh.polygons.allocate(kGrid * kGrid);
    for (int y = 0; y < kGrid; ++y) {
        for (int x = 0; x < kGrid; ++x) {
            Polygon& p = mesh.polygons[y * kGrid + x];
            p.groupIndex = 0;
            p.materialIndex = 0;
            p.createCorners(4, 2);
            const int ids[4] = {y * side + x, y * side + x + 1, (y + 1) * side + x + 1, (y + 1) * side + x};
            for (int k = 0; k < 4; ++k) {
                p.vertexIndices()[k] = ids[k];
                p.uvs(0).uvIndices[k] = ids[k];
                p.uvs(1).uvIndices[k] = ids[k];
            }
        }
    }
    for (int b = 0; b < kBones; ++b) {
        Bone* bone = s.bones.append(b - 1);
        bone->name.set(("Bone" + std::to_string(b)).c_str());
        bone->position = {0, 1, 0};
    }
    Animation* a = s.animations.append();
    a->tracks.allocate(kBones);
    for (BoneTrack& t : a->tracks) {
        t.positionKeys.allocate(kKeys);
        t.rotationKeys.allocate(kKeys);
        t.scaleKeys.allocate(kKeys);
        for (int k = 0; k < kKeys; ++k) {
            t.positionKeys[k].time = t.rotationKeys[k].time = t.scaleKeys[k].time = k / 30.0f;
            t.positionKeys[k].value = {float(k), 0, 0};
        }
    }
}

// Built once and shared by every case.
struct Fixture {
    Scene scene;
    std::vector<unsigned char> inner;
    ImageBuffer innerImage;             // the same bytes, as the parser takes them
    std::vector<unsigned char> stream;  // zlib stream of `inner`
    std::string folder;
    std::string file;  // an exported file

    Fixture() {
        buildScene(scene);
        QvxHeader header;
        std::string error;
        writeSceneBody(scene, WriteOptions(), inner, header, error);
        uLongf length = compressBound(static_cast<uLong>(inner.size()));
        stream.resize(length);
        compress(stream.data(), &length, inner.data(), static_cast<uLong>(inner.size()));
        stream.resize(length);
        innerImage.assign(inner.begin(), inner.end());
        char pattern[] = "/tmp/qvxbenchXXXXXX";
        folder = mkdtemp(pattern) ? pattern : "/tmp";
        file = folder + "/scene.qvx";
        exportSceneFile(scene, WriteOptions(), file);
    }
    ~Fixture() {
        std::remove(file.c_str());
        rmdir(folder.c_str());
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

long minorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

void setBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(fixture().inner.size()));
    state.counters["inner_MB"] = double(fixture().inner.size()) / 1e6;
}

void WriterAlone(benchmark::State& state) {
    Fixture& f = fixture();
    std::vector<unsigned char> inner;
    QvxHeader header;
    std::string error;
    for (auto _ : state) {
        writeSceneBody(f.scene, WriteOptions(), inner, header, error);
        benchmark::DoNotOptimize(inner.data());
    }
    setBytes(state);
}

void ExportRoundTrip(benchmark::State& state) {
    Fixture& f = fixture();
    const std::string target = f.folder + "/export.qvx";
    for (auto _ : state) {
        const ExportResult r = exportSceneFile(f.scene, WriteOptions(), target);
        benchmark::DoNotOptimize(r.written);
    }
    struct stat st {};
    stat(target.c_str(), &st);
    std::remove(target.c_str());
    setBytes(state);
    state.counters["file_MB"] = double(st.st_size) / 1e6;
}

void ZlibCompress(benchmark::State& state) {
    Fixture& f = fixture();
    std::vector<unsigned char> out(compressBound(static_cast<uLong>(f.inner.size())));
    uLongf length = 0;
    for (auto _ : state) {
        length = static_cast<uLongf>(out.size());
        compress(out.data(), &length, f.inner.data(), static_cast<uLong>(f.inner.size()));
        benchmark::DoNotOptimize(length);
    }
    setBytes(state);
    state.counters["stream_MB"] = double(length) / 1e6;
}

void FullLoad(benchmark::State& state) {
    Fixture& f = fixture();
    LoadOptions options;
    options.prepare = false;
    Scene scene;
    long faults = 0;
    for (auto _ : state) {
        const long before = minorFaults();
        const int result = loadSceneFile(f.file, scene, options);
        faults += minorFaults() - before;
        if (result != QVX_RESULT_OK) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(scene.vertices.data());
        // Releasing the previous scene is not part of a load.
        state.PauseTiming();
        scene.clear();
        state.ResumeTiming();
    }
    setBytes(state);
    state.counters["file_MB"] = double(f.stream.size()) / 1e6;
    state.counters["minflt"] = benchmark::Counter(double(faults), benchmark::Counter::kAvgIterations);
}

void ZlibUncompress(benchmark::State& state) {
    Fixture& f = fixture();
    std::vector<unsigned char> out(f.inner.size());
    for (auto _ : state) {
        uLongf length = static_cast<uLongf>(out.size());
        uncompress(out.data(), &length, f.stream.data(), static_cast<uLong>(f.stream.size()));
        benchmark::DoNotOptimize(length);
    }
    setBytes(state);
}

void ZlibUncompressFresh(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        // Not zero-filled, as a reader that knows the size need not; released outside the timing.
        std::unique_ptr<unsigned char[]> out(new unsigned char[f.inner.size()]);
        uLongf length = static_cast<uLongf>(f.inner.size());
        uncompress(out.get(), &length, f.stream.data(), static_cast<uLong>(f.stream.size()));
        benchmark::DoNotOptimize(out.get());
        state.PauseTiming();
        out.reset();
        state.ResumeTiming();
    }
    setBytes(state);
}

void ParseAlone(benchmark::State& state) {
    Fixture& f = fixture();
    ReadSettings settings;
    settings.extractEmbeddedFiles = false;
    Scene scene;
    for (auto _ : state) {
        // An uncompressed image is read where it is, not replaced.
        if (parseSceneImage(f.innerImage, scene, settings) != QVX_RESULT_OK)
            state.SkipWithError("parse failed");
        benchmark::DoNotOptimize(scene.vertices.data());
        state.PauseTiming();
        scene.clear();
        state.ResumeTiming();
    }
    setBytes(state);
}

void SceneAllocation(benchmark::State& state) {
    Fixture& f = fixture();
    const Scene& src = f.scene;
    Scene scene;
    for (auto _ : state) {
        scene.groups.allocate(1);
        scene.materials.allocate(1);
        // As the reader does: weights and corners from pools sized once, and the arrays
        // it overwrites whole without their defaults.
        scene.vertices.allocate(src.vertices.count());
        scene.weightPool.reserve(std::size_t(src.vertices.count()) * kWeights);
        for (Vertex& v : scene.vertices) v.weights.allocateIn(scene.weightPool, kWeights);
        scene.uvSets.allocate(2);
        const int32_t corners = src.meshes[0].polygons.count() * 4;
        for (UVSet& set : scene.uvSets) set.coords.allocateForOverwrite(corners);
        scene.meshes.allocate(1);
        Mesh& mesh = scene.meshes[0];
        mesh.polygons.allocate(src.meshes[0].polygons.count());
        mesh.cornerPool.reserve(std::size_t(mesh.polygons.count()) * Polygon::cornerStorage(4, 2));
        for (Polygon& p : mesh.polygons) p.createCornersIn(mesh.cornerPool, 4, 2);
        scene.bones.allocate(kBones);
        scene.animations.allocate(1);
        scene.animations[0].tracks.allocate(kBones);
        for (BoneTrack& t : scene.animations[0].tracks) {
            t.positionKeys.allocateForOverwrite(kKeys);
            t.rotationKeys.allocate(kKeys);
            t.scaleKeys.allocateForOverwrite(kKeys);
        }
        benchmark::DoNotOptimize(scene.vertices.data());
        state.PauseTiming();
        scene.clear();
        state.ResumeTiming();
    }
    setBytes(state);
}

}  // namespace

BENCHMARK(WriterAlone)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ExportRoundTrip)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ZlibCompress)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FullLoad)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ZlibUncompress)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ZlibUncompressFresh)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ParseAlone)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SceneAllocation)->Unit(benchmark::kMillisecond)->UseRealTime();
