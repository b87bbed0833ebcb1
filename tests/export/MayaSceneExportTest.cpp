#include <gtest/gtest.h>
#include <maya/MAnimControl.h>
#include <maya/MDagPath.h>
#include <maya/MFileIO.h>
#include <maya/MFloatArray.h>
#include <maya/MFn.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnMesh.h>
#include <maya/MIntArray.h>
#include <maya/MItDag.h>
#include <maya/MPointArray.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "ExportTestSupport.h"
#include "format/Loader.h"
#include "mayasim/Host.h"
#include "mayasim/MaFile.h"

// Scenes that real Maya wrote, opened in the stand-in and exported with the plug-in's
// write request: every visible mesh must reach the file with its world-space corners and
// first-set UVs (v flipped), whatever construction history, deformer chain or instancing
// the scene lays out. The expectation is read through the API as the scene stands at the
// start of the playback range; the stand-in's own tests check that those answers are the
// file's stored values.
namespace {

using namespace qvx::exporttest;

#ifndef QVX_MAYA_SCENES
#define QVX_MAYA_SCENES ""
#endif

// A polygon as a comparable value: its corners' positions and UVs, rounded, starting at
// the smallest corner so that the comparison does not depend on the first corner.
using CornerKey = std::array<long, 5>;
using PolygonKey = std::vector<CornerKey>;

long rounded(double value) {
    return std::lround(value * 1000.0);
}

PolygonKey canonical(PolygonKey corners) {
    if (!corners.empty()) {
        std::rotate(corners.begin(), std::min_element(corners.begin(), corners.end()), corners.end());
    }
    return corners;
}

std::vector<PolygonKey> hostPolygons() {
    std::vector<PolygonKey> out;
    MItDag it(MItDag::kBreadthFirst, MFn::kMesh);
    for (; !it.isDone(); it.next()) {
        MDagPath path;
        if (!it.getPath(path)) continue;
        MFnDagNode node(path);
        if (node.isIntermediateObject()) continue;
        MFnMesh mesh(path);
        MPointArray points;
        if (!mesh.getPoints(points, MSpace::kWorld) || points.length() == 0) continue;
        MStringArray uvSets;
        mesh.getUVSetNames(uvSets);
        MFloatArray us, vs;
        const bool haveUVs = uvSets.length() > 0 && mesh.getUVs(us, vs, &uvSets[0]);
        for (int p = 0; p < mesh.numPolygons(); ++p) {
            MIntArray vertices;
            mesh.getPolygonVertices(p, vertices);
            PolygonKey corners;
            for (unsigned k = 0; k < vertices.length(); ++k) {
                const MPoint& point = points[static_cast<unsigned>(vertices[k])];
                int uvId = -1;
                double u = 0.0, v = 0.0;
                if (haveUVs && mesh.getPolygonUVid(p, static_cast<int>(k), uvId, &uvSets[0]) && uvId >= 0 &&
                    static_cast<unsigned>(uvId) < us.length()) {
                    u = us[static_cast<unsigned>(uvId)];
                    v = 1.0 - vs[static_cast<unsigned>(uvId)];
                }
                corners.push_back(
                    {rounded(point.x), rounded(point.y), rounded(point.z), rounded(u), rounded(v)});
            }
            out.push_back(canonical(std::move(corners)));
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<PolygonKey> filePolygons(const Scene& scene) {
    std::vector<PolygonKey> out;
    const UVSet* uvs = scene.uvSets.count() > 0 ? &scene.uvSets[0] : nullptr;
    for (const Mesh& mesh : scene.meshes) {
        if (mesh.uvSets.count() > 0 && mesh.uvSets[0].coordCount() > 0) uvs = &mesh.uvSets[0];
        for (const Polygon& polygon : mesh.polygons) {
            PolygonKey corners;
            for (int k = 0; k < polygon.cornerCount(); ++k) {
                const int v = polygon.vertexIndices()[k];
                if (!scene.vertices.validIndex(v)) continue;
                const Vertex& vertex = scene.vertices[v];
                const int uv = polygon.uvChannelCount() > 0 ? polygon.uvs(0).uvIndices[k] : -1;
                double u = 0.0, vv = 0.0;
                if (uvs != nullptr && uvs->coords.validIndex(uv)) {
                    u = uvs->coords[uv].u;
                    vv = uvs->coords[uv].v;
                }
                corners.push_back({rounded(vertex.position.x), rounded(vertex.position.y),
                                   rounded(vertex.position.z), rounded(u), rounded(vv)});
            }
            out.push_back(canonical(std::move(corners)));
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> sharedScenes() {
    std::vector<std::string> out;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(QVX_MAYA_SCENES, error)) {
        if (entry.path().extension() == ".ma") out.push_back(entry.path().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

class MayaSceneExport : public HostSceneTest {};

TEST_F(MayaSceneExport, EveryVisibleMeshReachesTheFileWithItsCornersAndUVs) {
    const std::vector<std::string> scenes = sharedScenes();
    if (scenes.empty()) GTEST_SKIP() << "no Maya scenes in '" << QVX_MAYA_SCENES << "'";
    for (const std::string& path : scenes) {
        SCOPED_TRACE(path);
        mayasim::MaLoadReport report;
        ASSERT_TRUE(mayasim::openMaFile(path, &report)) << report.error;
        MAnimControl::setCurrentTime(MAnimControl::minTime());
        const std::vector<PolygonKey> expected = hostPolygons();
        ASSERT_FALSE(expected.empty());

        Scene loaded;
        std::string error;
        ASSERT_TRUE(exportAndLoad(loaded, WriteRequest(), false, &error)) << error;
        const std::vector<PolygonKey> actual = filePolygons(loaded);
        ASSERT_EQ(expected.size(), actual.size());
        EXPECT_TRUE(expected == actual) << "the corners or UVs of some polygons differ";
    }
}

}  // namespace
