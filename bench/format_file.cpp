// Costs of writing and loading a large file, each beside the zlib call it is bounded by:
// the writer alone, the whole export (write, compress, temporary file, rename), zlib's
// compress of the same inner bytes; the whole load (read, inflate, parse), zlib's
// uncompress of the same stream, and the parse alone.
//
// The scene: 1,000,000 polygon corners in quads over four meshes, two UV sets, vertex
// colours, 4 weights per vertex over 64 bones, and 64 bones with 240 keys of each kind.

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "format/BodyWriter31.h"
#include "format/ExportFile.h"
#include "format/Loader.h"
#include "format/SceneParser.h"
#include "scene/Scene.h"

namespace {

constexpr int kMeshes = 4;
constexpr int kGrid = 250;  // quads per side per mesh: 4 * 250 * 250 quads = 1,000,000 corners
constexpr int kBones = 64;
constexpr int kKeys = 240;

void buildScene(Scene& scene) {
    const int side = kGrid + 1;
    for (int b = 0; b < kBones; ++b) {
        Bone& bone = *scene.bones.append(b - 1);
        bone.name.setNumbered("bone", b);
        bone.position = {0.0f, 1.0f, 0.0f};
    }
    for (int m = 0; m < kMeshes; ++m) {
        scene.groups.append();
        const int32_t base = scene.vertices.count();
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                Vertex& v = *scene.vertices.append();
                v.position = {float(x), float(y), float(m)};
                v.color = {x / float(side), y / float(side), 0.5f, 1.0f};
                for (int w = 0; w < 4; ++w) {
                    VertexWeight& weight = *v.weights.append();
                    weight.boneIndex = (x + y + w * 7) % kBones;
                    weight.weight = 0.25f;
                }
            }
        Mesh& mesh = *scene.meshes.append();
        for (int set = 0; set < 2; ++set) {
            UVSet& uv = *mesh.uvSets.append();
            uv.coords.allocate(side * side);
            for (int i = 0; i < side * side; ++i) {
                uv.coords[i].u = float(i % side) / side;
                uv.coords[i].v = float(i / side) / side + float(set);
            }
        }
        mesh.polygons.allocate(kGrid * kGrid);
        int32_t p = 0;
        for (int y = 0; y < kGrid; ++y)
            for (int x = 0; x < kGrid; ++x) {
                Polygon& polygon = mesh.polygons[p++];
                polygon.groupIndex = m;
                polygon.materialIndex = -1;
                polygon.createCorners(4);
                const int32_t corners[4] = {y * side + x, y * side + x + 1, (y + 1) * side + x + 1,
                                            (y + 1) * side + x};
                for (int k = 0; k < 4; ++k) {
                    polygon.vertexIndices()[k] = base + corners[k];
                    polygon.uvs(0).uvIndices[k] = corners[k];
                    polygon.uvs(1).uvIndices[k] = corners[k];
                }
            }
    }
    Animation& animation = *scene.animations.append();
    animation.tracks.allocate(kBones);
    for (BoneTrack& track : animation.tracks) {
        track.positionKeys.allocate(kKeys);
        track.rotationKeys.allocate(kKeys);
        track.scaleKeys.allocate(kKeys);
        for (int k = 0; k < kKeys; ++k) {
            track.positionKeys[k].time = k / 30.0f;
            track.positionKeys[k].value = {float(k), 0.0f, 0.0f};
            track.rotationKeys[k].time = k / 30.0f;
            track.scaleKeys[k].time = k / 30.0f;
        }
    }
}

struct Fixture {
    Scene scene;
    WriteOptions options;
    std::vector<unsigned char> inner;
    std::vector<unsigned char> stream;  // zlib stream of `inner`
    std::filesystem::path folder;
    std::string file;

    Fixture() {
        buildScene(scene);
        options.dateText = "Sat Dec  5 09:19:48 2026";
        QvxHeader header;
        std::string error;
        writeSceneBody(scene, options, inner, header, error);
        uLongf length = compressBound(static_cast<uLong>(inner.size()));
        stream.resize(length);
        compress(stream.data(), &length, inner.data(), static_cast<uLong>(inner.size()));
        stream.resize(length);
        folder = std::filesystem::temp_directory_path() / "qvx-bench-format-file";
        std::filesystem::create_directories(folder);
        file = (folder / "bench.qvx").string();
        exportSceneFile(scene, options, file);
    }
    ~Fixture() {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void innerBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(fixture().inner.size()));
    state.counters["inner_MB"] = double(fixture().inner.size()) / 1e6;
    state.counters["stream_MB"] = double(fixture().stream.size()) / 1e6;
}

void WriteBody31(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        ByteWriter out;
        QvxHeader header;
        benchmark::DoNotOptimize(writeBody31(f.scene, f.options, out, header));
    }
    innerBytes(state);
}
BENCHMARK(WriteBody31)->Unit(benchmark::kMillisecond);

void ExportRoundTrip(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) benchmark::DoNotOptimize(exportSceneFile(f.scene, f.options, f.file).written);
    innerBytes(state);
}
BENCHMARK(ExportRoundTrip)->Unit(benchmark::kMillisecond);

void ZlibCompress(benchmark::State& state) {
    Fixture& f = fixture();
    std::vector<unsigned char> out(compressBound(static_cast<uLong>(f.inner.size())));
    for (auto _ : state) {
        uLongf length = static_cast<uLongf>(out.size());
        benchmark::DoNotOptimize(
            compress(out.data(), &length, f.inner.data(), static_cast<uLong>(f.inner.size())));
    }
    innerBytes(state);
}
BENCHMARK(ZlibCompress)->Unit(benchmark::kMillisecond);

void LoadFile(benchmark::State& state) {
    Fixture& f = fixture();
    LoadOptions options;
    options.prepare = false;
    for (auto _ : state) {
        Scene scene;
        benchmark::DoNotOptimize(loadSceneFile(f.file, scene, options));
    }
    innerBytes(state);
}
BENCHMARK(LoadFile)->Unit(benchmark::kMillisecond);

void ZlibUncompress(benchmark::State& state) {
    Fixture& f = fixture();
    std::vector<unsigned char> out(f.inner.size());
    for (auto _ : state) {
        uLongf length = static_cast<uLongf>(out.size());
        benchmark::DoNotOptimize(
            uncompress(out.data(), &length, f.stream.data(), static_cast<uLong>(f.stream.size())));
    }
    innerBytes(state);
}
BENCHMARK(ZlibUncompress)->Unit(benchmark::kMillisecond);

void ParseAlone(benchmark::State& state) {
    Fixture& f = fixture();
    ReadSettings settings;
    settings.extractEmbeddedFiles = false;
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<unsigned char> image = f.inner;
        Scene scene;
        state.ResumeTiming();
        benchmark::DoNotOptimize(parseSceneImage(image, scene, settings));
        state.PauseTiming();
        scene.clear();
        state.ResumeTiming();
    }
    innerBytes(state);
}
BENCHMARK(ParseAlone)->Unit(benchmark::kMillisecond);

}  // namespace
