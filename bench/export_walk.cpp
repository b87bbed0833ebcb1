// The export side on a large host scene in the stand-in host: a grid mesh of 1,000,000
// polygon corners with one UV per point, skinned to 64 joints that turn over 240 frames,
// its faces split over 500 Lambert materials (scale 1; the joints in chains of eight), and the same with
// every dimension doubled (scale 2). Building the host scene is not timed. Each stage is its own benchmark so
// that the split shows: the whole walk, the mesh geometry alone (the mesh gatherer less shading and skin),
// shading, skin weights, sampling the joints, the preparation passes, the body writer and the compression.
//
//   build/<folder>/bench/bench_export_walk --benchmark_counters_tabular=true

#include <benchmark/benchmark.h>
#include <maya/MAnimControl.h>
#include <maya/MDGModifier.h>
#include <maya/MDagPath.h>
#include <maya/MFileIO.h>
#include <maya/MFloatArray.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnIkJoint.h>
#include <maya/MFnLambertShader.h>
#include <maya/MFnMesh.h>
#include <maya/MFnSet.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>
#include <maya/MTime.h>
#include <maya/MVector.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "export/AnimationSampler.h"
#include "export/GatherContext.h"
#include "export/MeshGatherer.h"
#include "export/SceneWalk.h"
#include "export/ShadingGatherer.h"
#include "export/SkinGatherer.h"
#include "format/Compressor.h"
#include "format/ExportFile.h"
#include "mayasim/Host.h"
#include "process/ExportPrep.h"
#include "scene/Scene.h"

namespace {

struct Shape {
    int quadsWide;
    int quadsHigh;
    int joints;
    int frames;
    int materials;
};

Shape shapeAt(std::int64_t scale) {
    const int s = static_cast<int>(scale);
    // 500 x 500 quads = 1,000,000 corners at scale 1.
    return Shape{500 * s, 500, 64 * s, 240 * s, 500 * s};
}

struct HostScene {
    std::int64_t scale = 0;
    MDagPath shape;
    std::vector<MDagPath> joints;
};

void fail(const char* what) {
    mayasim::setEchoMessages(true);
    MGlobal::displayError(MString("bench_export_walk: cannot build the scene: ") + what);
}

bool buildGrid(const Shape& shape, HostScene& out) {
    const int w = shape.quadsWide, h = shape.quadsHigh;
    MFloatPointArray points;
    for (int y = 0; y <= h; ++y) {
        for (int x = 0; x <= w; ++x)
            points.append(static_cast<float>(x) / 10.0f, 0.0f, -static_cast<float>(y) / 10.0f);
    }
    MIntArray counts(static_cast<unsigned>(w * h), 4), connects;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int v = y * (w + 1) + x;
            for (int c : {v, v + 1, v + 1 + (w + 1), v + (w + 1)}) connects.append(c);
        }
    }
    MFnMesh mesh;
    MStatus status;
    MObject transform = mesh.create(static_cast<int>(points.length()), static_cast<int>(counts.length()),
                                    points, counts, connects, MObject::kNullObj, &status);
    if (!status) return false;
    MFnDagNode(transform).setName("grid");
    mesh.setName("gridShape");
    MFloatArray u, v;
    for (int y = 0; y <= h; ++y) {
        for (int x = 0; x <= w; ++x) {
            u.append(static_cast<float>(x) / static_cast<float>(w));
            v.append(static_cast<float>(y) / static_cast<float>(h));
        }
    }
    if (!mesh.setUVs(u, v) || !mesh.assignUVs(counts, connects)) return false;
    return static_cast<bool>(mesh.getPath(out.shape));
}

bool buildMaterials(const Shape& shape) {
    const int faces = shape.quadsWide * shape.quadsHigh;
    const int perMaterial = faces / shape.materials;
    for (int m = 0; m < shape.materials; ++m) {
        MFnLambertShader lambert;
        MObject shader = lambert.create(true);
        lambert.setColor(MColor(static_cast<float>(m % 7) / 7.0f, 0.5f, 0.5f));
        const int first = m * perMaterial;
        const int last = m + 1 == shape.materials ? faces - 1 : first + perMaterial - 1;
        MSelectionList faceList;
        const std::string range = "gridShape.f[" + std::to_string(first) + ":" + std::to_string(last) + "]";
        if (!faceList.add(range.c_str())) return false;
        MFnSet set;
        MStatus status;
        MObject group = set.create(faceList, MFnSet::kRenderableOnly, false, &status);
        if (!status) return false;
        MDGModifier modifier;
        modifier.connect(lambert.findPlug("outColor"), MFnDependencyNode(group).findPlug("surfaceShader"));
        if (!modifier.doIt()) return false;
    }
    return true;
}

bool buildSkeleton(const Shape& shape, HostScene& out) {
    MTime::setUIUnit(MTime::kFilm);
    MAnimControl::setMinTime(MTime(1.0, MTime::kFilm));
    MAnimControl::setMaxTime(MTime(1.0 + shape.frames, MTime::kFilm));
    MAnimControl::setAnimationStartTime(MTime(1.0, MTime::kFilm));
    MAnimControl::setAnimationEndTime(MTime(1.0 + shape.frames, MTime::kFilm));
    std::string command = "skinCluster -tsb";
    // Chains of eight joints hang from the first joint, so the skeleton grows wider, not
    // deeper, with the scale (as a character's does).
    constexpr int kChainLength = 8;
    std::vector<MObject> nodes;
    const double spacing = shape.quadsWide / 10.0 / shape.joints;
    for (int j = 0; j < shape.joints; ++j) {
        const bool chainHead = j % kChainLength == 0;
        MObject parent = j == 0 ? MObject::kNullObj : chainHead ? nodes[0] : nodes.back();
        MFnIkJoint joint;
        MStatus status;
        MObject node = joint.create(parent, &status);
        if (!status) return false;
        const std::string name = "bone" + std::to_string(j);
        joint.setName(name.c_str());
        const double x = j == 0 ? 0.0 : chainHead ? j * spacing : spacing;
        joint.setTranslation(MVector(x, 0.0, j == 0 ? -2.0 : 0.0), MSpace::kTransform);
        MFnAnimCurve curve;
        curve.create(joint.findPlug("rotateZ"), MFnAnimCurve::kAnimCurveTA, nullptr, &status);
        if (!status) return false;
        curve.addKey(MTime(1.0, MTime::kFilm), 0.0);
        curve.addKey(MTime(1.0 + shape.frames, MTime::kFilm), 0.05);
        command += " " + name;
        MDagPath path;
        joint.getPath(path);
        out.joints.push_back(path);
        nodes.push_back(node);
    }
    command += " grid";
    MStringArray result;
    if (!MGlobal::executeCommand(command.c_str(), result, false, false)) return false;
    return static_cast<bool>(MAnimControl::setCurrentTime(MTime(1.0, MTime::kFilm)));
}

// The host scene of the current scale, rebuilt when the scale changes.
const HostScene& hostSceneAt(std::int64_t scale) {
    static HostScene scene;
    if (scene.scale == scale) return scene;
    mayasim::setEchoMessages(false);
    MFileIO::newFile(true);
    scene = HostScene();
    scene.scale = scale;
    const Shape shape = shapeAt(scale);
    if (!buildGrid(shape, scene)) fail("grid");
    if (!buildMaterials(shape)) fail("materials");
    if (!buildSkeleton(shape, scene)) fail("skeleton");
    mayasim::clearMessages();
    return scene;
}

// The gathering lines go to standard error; keep the figures readable.
void quiet() {
    mayasim::clearMessages();
}

// The stages after the walk work on what the stage before left, so each scale gathers
// once: the walk's result is prepared, the prepared scene written, the body compressed.
struct Pipeline {
    std::int64_t scale = 0;
    Scene scene;
    bool prepared = false;
    std::vector<unsigned char> inner;
};

Pipeline& pipelineAt(std::int64_t scale) {
    static Pipeline pipeline;
    if (pipeline.scale != scale) {
        pipeline.scale = scale;
        pipeline.scene.clear();
        pipeline.prepared = false;
        pipeline.inner.clear();
    }
    return pipeline;
}

void prepare(Scene& scene) {
    flattenMeshes(scene);
    makeKeysRestRelative(scene);
    computeAnimationRange(scene);
    mergeMaterialsByName(scene);
}

// Brings the pipeline of this scale up to a prepared scene, untimed, when a stage runs alone.
Pipeline& preparedPipelineAt(std::int64_t scale) {
    Pipeline& pipeline = pipelineAt(scale);
    if (pipeline.scene.bones.count() == 0) {
        hostSceneAt(scale);
        gatherScene(pipeline.scene, true);
        mayasim::clearMessages();
    }
    if (!pipeline.prepared) {
        prepare(pipeline.scene);
        pipeline.prepared = true;
    }
    return pipeline;
}

void BM_GatherScene(benchmark::State& state) {
    hostSceneAt(state.range(0));
    Pipeline& pipeline = pipelineAt(state.range(0));
    for (auto _ : state) {
        pipeline.scene.clear();
        pipeline.prepared = false;
        benchmark::DoNotOptimize(gatherScene(pipeline.scene, true));
    }
    mayasim::clearMessages();
}

void BM_GatherMesh(benchmark::State& state) {
    const HostScene& host = hostSceneAt(state.range(0));
    for (auto _ : state) {
        Scene scene;
        GatherContext context{scene, true};
        benchmark::DoNotOptimize(gatherMesh(context, host.shape));
        state.PauseTiming();
        scene.clear();
        quiet();
        state.ResumeTiming();
    }
}

// A mesh record with the gathered polygons, for the shading and skin gatherers alone.
void gatherMeshRecord(Scene& scene, const MDagPath& shape) {
    GatherContext context{scene, true};
    gatherMesh(context, shape);
    Mesh& mesh = scene.meshes[0];
    mesh.materials.clear();
    mesh.influenceNames.clear();
    mesh.skinned = 0;
    for (Vertex& vertex : mesh.vertices) vertex.weights.clear();
}

void BM_GatherShading(benchmark::State& state) {
    const HostScene& host = hostSceneAt(state.range(0));
    Scene scene;
    gatherMeshRecord(scene, host.shape);
    for (auto _ : state) {
        GatherContext context{scene, true};
        benchmark::DoNotOptimize(gatherShading(context, host.shape, 0));
        state.PauseTiming();
        scene.meshes[0].materials.clear();
        state.ResumeTiming();
    }
}

void BM_GatherSkin(benchmark::State& state) {
    const HostScene& host = hostSceneAt(state.range(0));
    Scene scene;
    gatherMeshRecord(scene, host.shape);
    for (auto _ : state) {
        GatherContext context{scene, true};
        benchmark::DoNotOptimize(gatherSkinClusters(context, host.shape, 0));
        state.PauseTiming();
        Mesh& mesh = scene.meshes[0];
        mesh.influenceNames.clear();
        mesh.skinned = 0;
        for (Vertex& vertex : mesh.vertices) vertex.weights.clear();
        quiet();
        state.ResumeTiming();
    }
}

void BM_SampleJoints(benchmark::State& state) {
    const HostScene& host = hostSceneAt(state.range(0));
    for (auto _ : state) {
        Scene scene;
        GatherContext context{scene, true};
        std::vector<BoneTrack> tracks(host.joints.size());
        for (std::size_t j = 0; j < host.joints.size(); ++j) {
            benchmark::DoNotOptimize(sampleNodeAnimation(context, &tracks[j], host.joints[j]));
        }
    }
}

void BM_Prepare(benchmark::State& state) {
    Pipeline& pipeline = pipelineAt(state.range(0));
    if (pipeline.scene.bones.count() == 0 || pipeline.prepared) {
        pipeline.scene.clear();
        hostSceneAt(state.range(0));
        gatherScene(pipeline.scene, true);
        mayasim::clearMessages();
    }
    for (auto _ : state) {
        prepare(pipeline.scene);
        pipeline.prepared = true;
    }
}

void BM_WriteBody(benchmark::State& state) {
    Pipeline& pipeline = preparedPipelineAt(state.range(0));
    for (auto _ : state) {
        QvxHeader header;
        std::string error;
        writeSceneBody(pipeline.scene, WriteOptions(), pipeline.inner, header, error);
        benchmark::DoNotOptimize(pipeline.inner.data());
    }
    state.counters["innerMB"] = static_cast<double>(pipeline.inner.size()) / 1e6;
}

void BM_Compress(benchmark::State& state) {
    Pipeline& pipeline = preparedPipelineAt(state.range(0));
    if (pipeline.inner.empty()) {
        QvxHeader header;
        std::string error;
        writeSceneBody(pipeline.scene, WriteOptions(), pipeline.inner, header, error);
    }
    std::vector<unsigned char> wrapped;
    for (auto _ : state) {
        std::string error;
        buildCompressedWrapper(pipeline.inner.data(), pipeline.inner.size(), wrapped, error);
        benchmark::DoNotOptimize(wrapped.data());
    }
    state.counters["fileMB"] = static_cast<double>(wrapped.size()) / 1e6;
}

// Every stage at scale 1, then every stage at scale 2, so that each host scene is built once.
#define EXPORT_STAGES(scale)                                                               \
    BENCHMARK(BM_GatherScene)->Arg(scale)->Iterations(1)->Unit(benchmark::kMillisecond);   \
    BENCHMARK(BM_GatherMesh)->Arg(scale)->Iterations(1)->Unit(benchmark::kMillisecond);    \
    BENCHMARK(BM_GatherShading)->Arg(scale)->Iterations(1)->Unit(benchmark::kMillisecond); \
    BENCHMARK(BM_GatherSkin)->Arg(scale)->Iterations(1)->Unit(benchmark::kMillisecond);    \
    BENCHMARK(BM_SampleJoints)->Arg(scale)->Iterations(1)->Unit(benchmark::kMillisecond);  \
    BENCHMARK(BM_Prepare)->Arg(scale)->Iterations(1)->Unit(benchmark::kMillisecond);       \
    BENCHMARK(BM_WriteBody)->Arg(scale)->Iterations(1)->Unit(benchmark::kMillisecond);     \
    BENCHMARK(BM_Compress)->Arg(scale)->Iterations(1)->Unit(benchmark::kMillisecond)

EXPORT_STAGES(1);
EXPORT_STAGES(2);

}  // namespace
