#include "export/MeshGatherer.h"

#include <maya/MColor.h>
#include <maya/MColorArray.h>
#include <maya/MFloatArray.h>
#include <maya/MFnMesh.h>
#include <maya/MIntArray.h>
#include <maya/MItMeshEdge.h>
#include <maya/MItMeshPolygon.h>
#include <maya/MObject.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>
#include <maya/MVector.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "export/ShadingGatherer.h"
#include "export/SkinGatherer.h"
#include "host/Messages.h"

namespace {

constexpr unsigned kGatheredUVSets = 2;

// Host counts arrive as int or unsigned; anything the scene's 32-bit counts cannot hold is
// treated like an allocation that failed.
bool fitsCount(std::int64_t n) {
    return n >= 0 && n <= std::numeric_limits<std::int32_t>::max();
}

float finiteOrZero(float v) {
    return std::isnan(v) ? 0.0f : v;
}

// The colours of the first colour set, in colour-index order.
MStatus gatherColors(GatherContext& context, MFnMesh& fn, Mesh& mesh, const MStringArray& colorSets) {
    if (colorSets.length() == 0) return MS::kSuccess;
    const MString first = colorSets[0];
    const int count = fn.numColors(first);
    if (count <= 0) return MS::kSuccess;
    if (!mesh.colors.allocate(count)) return context.memoryFailure();
    MColorArray colors;
    fn.getColors(colors, &first);
    const int available = std::min(count, static_cast<int>(colors.length()));
    for (int i = 0; i < available; ++i) {
        const MColor& c = colors[static_cast<unsigned>(i)];
        mesh.colors[i] = {c.r, c.g, c.b, c.a};
    }
    return MS::kSuccess;
}

// The UVs of the first two UV sets into slots 0 and 1, v flipped (the file's v runs down).
MStatus gatherUVs(GatherContext& context, MFnMesh& fn, Mesh& mesh, const MStringArray& uvSets) {
    const unsigned sets = std::min(uvSets.length(), kGatheredUVSets);
    for (unsigned s = 0; s < sets; ++s) {
        const MString name = uvSets[s];
        const int count = fn.numUVs(name);
        if (count <= 0) continue;
        UVSet& slot = mesh.uvSets[static_cast<std::int32_t>(s)];
        if (!slot.coords.allocate(count)) return context.memoryFailure();
        MFloatArray u, v;
        fn.getUVs(u, v, &name);
        const int available = std::min({count, static_cast<int>(u.length()), static_cast<int>(v.length())});
        for (int i = 0; i < available; ++i) {
            UVCoord& coord = slot.coords[i];
            coord.word = 0;
            coord.u = u[static_cast<unsigned>(i)];
            coord.v = 1.0f - v[static_cast<unsigned>(i)];
        }
    }
    return MS::kSuccess;
}

}  // namespace

Vec3 windingNormal(const Polygon& polygon, const VertexArray& vertices) {
    const std::int32_t corners = polygon.cornerCount();
    const std::int32_t* v = polygon.vertexIndices();
    if (corners < 3 || v == nullptr) return {};
    for (std::int32_t k = 0; k < corners; ++k) {
        if (!vertices.validIndex(v[k])) return {};
    }
    double n[3] = {0.0, 0.0, 0.0};
    for (std::int32_t k = 0; k < corners; ++k) {
        const Vec3& a = vertices[v[k]].position;
        const Vec3& b = vertices[v[(k + 1) % corners]].position;
        n[0] += (double(a.y) - b.y) * (double(a.z) + b.z);
        n[1] += (double(a.z) - b.z) * (double(a.x) + b.x);
        n[2] += (double(a.x) - b.x) * (double(a.y) + b.y);
    }
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (length > 0.0) {
        for (double& c : n) c /= length;
    }
    return {finiteOrZero(static_cast<float>(n[0])), finiteOrZero(static_cast<float>(n[1])),
            finiteOrZero(static_cast<float>(n[2]))};
}

bool fixFlippedPolygon(Polygon& polygon, const VertexArray& vertices, const Vec3& hostNormal) {
    const Vec3 n = windingNormal(polygon, vertices);
    const float dot = hostNormal.x * n.x + hostNormal.y * n.y + hostNormal.z * n.z;
    if (!(dot < 0.0f)) return false;
    reversePolygonCorners(polygon);
    return true;
}

void reversePolygonCorners(Polygon& polygon) {
    const std::int32_t n = polygon.cornerCount();
    if (n < 3) return;
    std::reverse(polygon.vertexIndices(), polygon.vertexIndices() + n);
    std::reverse(polygon.colorIndices(), polygon.colorIndices() + n);
    for (std::int32_t s = 0; s < polygon.uvChannelCount(); ++s) {
        PolygonUVs uvs = polygon.uvs(s);
        if (uvs.uvIndices != nullptr) std::reverse(uvs.uvIndices, uvs.uvIndices + n);
        if (uvs.secondIndices != nullptr) std::reverse(uvs.secondIndices, uvs.secondIndices + n);
    }
    // Corner j of the turned polygon is old corner n-1-j, and the edge leaving it runs to
    // old corner n-2-j: that edge left old corner n-2-j.
    std::uint32_t* flags = polygon.edgeFlags();
    const std::vector<std::uint32_t> old(flags, flags + n);
    for (std::int32_t j = 0; j < n; ++j) flags[j] = old[std::size_t(((n - 2 - j) % n + n) % n)];
}

void colorVerticesFromCorners(Mesh& mesh) {
    if (mesh.colors.count() == 0 || mesh.vertices.count() == 0) return;
    std::vector<bool> colored(static_cast<std::size_t>(mesh.vertices.count()), false);
    for (const Polygon& polygon : mesh.polygons) {
        const std::int32_t* v = polygon.vertexIndices();
        const std::int32_t* c = polygon.colorIndices();
        if (v == nullptr || c == nullptr) continue;
        for (std::int32_t k = 0; k < polygon.cornerCount(); ++k) {
            if (!mesh.vertices.validIndex(v[k]) || !mesh.colors.validIndex(c[k])) continue;
            const auto vertex = static_cast<std::size_t>(v[k]);
            if (colored[vertex]) continue;
            colored[vertex] = true;
            mesh.vertices[v[k]].color = mesh.colors[c[k]];
        }
    }
}

MStatus gatherMesh(GatherContext& context, const MDagPath& path) {
    MStatus status;
    MFnMesh fn(path, &status);
    if (!status) return MS::kFailure;

    Scene& scene = context.scene;
    if (scene.meshes.append() == nullptr) return context.memoryFailure();
    const std::int32_t meshIndex = scene.meshes.count() - 1;
    Mesh& mesh = scene.meshes[meshIndex];
    if (!mesh.uvSets.allocate(static_cast<std::int32_t>(kGatheredUVSets))) return context.memoryFailure();

    const MString nodeName = fn.name();
    mesh.setName(nodeName.asChar());
    if (!mesh.path.set(path.fullPathName().asChar())) return context.memoryFailure();
    logLine(MString("QVX: Found mesh: ") + nodeName);

    MPointArray points;
    fn.getPoints(points, MSpace::kWorld);
    if (!fitsCount(points.length())) return context.memoryFailure();
    if (points.length() > 0) {
        if (!mesh.vertices.allocate(static_cast<std::int32_t>(points.length())))
            return context.memoryFailure();
        for (unsigned i = 0; i < points.length(); ++i) {
            const MPoint& p = points[i];
            mesh.vertices[static_cast<std::int32_t>(i)].position = {
                static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)};
        }
    }

    MStringArray colorSets;
    fn.getColorSetNames(colorSets);
    status = gatherColors(context, fn, mesh, colorSets);
    if (!status) return status;

    MStringArray uvSets;
    fn.getUVSetNames(uvSets);
    status = gatherUVs(context, fn, mesh, uvSets);
    if (!status) return status;

    const bool useUVs = uvSets.length() > 0 && fn.numUVs() > 0;
    const bool useColors = colorSets.length() > 0 && fn.numColors() > 0;
    const MString firstColorSet = colorSets.length() > 0 ? colorSets[0] : MString();
    const unsigned uvSetsUsed = std::min(uvSets.length(), kGatheredUVSets);

    const int polygonCount = fn.numPolygons();
    if (polygonCount > 0) {
        if (!mesh.polygons.allocate(polygonCount)) return context.memoryFailure();
        MItMeshPolygon polygons(path, MObject::kNullObj, &status);
        if (!status) return MS::kFailure;
        MItMeshEdge edges(path, MObject::kNullObj, &status);
        const bool haveEdges = static_cast<bool>(status);
        MIntArray edgeIds;
        for (int p = 0; !polygons.isDone() && p < polygonCount; polygons.next(), ++p) {
            Polygon& polygon = mesh.polygons[p];
            const int hostCorners = static_cast<int>(polygons.polygonVertexCount());
            if (!polygon.createCorners(hostCorners)) return context.memoryFailure();
            const int corners = std::min(hostCorners, static_cast<int>(polygon.cornerCount()));

            std::int32_t* vertexIndices = polygon.vertexIndices();
            for (int k = 0; k < corners; ++k) {
                vertexIndices[k] = static_cast<std::int32_t>(polygons.vertexIndex(k));
            }
            if (useColors) {
                std::int32_t* colorIndices = polygon.colorIndices();
                for (int k = 0; k < corners; ++k) {
                    int index = -1;
                    if (polygons.getColorIndex(k, index, &firstColorSet)) colorIndices[k] = index;
                }
            }
            if (useUVs) {
                for (unsigned s = 0; s < uvSetsUsed; ++s) {
                    const MString setName = uvSets[s];
                    std::int32_t* uvIndices = polygon.uvs(static_cast<std::int32_t>(s)).uvIndices;
                    for (int k = 0; k < corners; ++k) {
                        int index = -1;
                        if (polygons.getUVIndex(k, index, &setName)) uvIndices[k] = index;
                    }
                }
            }
            // Edge k of the host polygon leaves corner k; read before any turn so that
            // turning the polygon carries each flag with its edge.
            if (haveEdges && polygons.getEdges(edgeIds) &&
                edgeIds.length() == static_cast<unsigned>(hostCorners)) {
                std::uint32_t* flags = polygon.edgeFlags();
                for (int k = 0; k < corners; ++k) {
                    int previous = 0;
                    if (!edges.setIndex(edgeIds[static_cast<unsigned>(k)], previous)) continue;
                    flags[k] = edges.isSmooth() ? Polygon::kEdgeSmooth : Polygon::kEdgeHard;
                }
            }
            if (context.fixFlippedFaces) {
                MVector hostNormal;
                if (polygons.getNormal(hostNormal, MSpace::kWorld)) {
                    const Vec3 host = {static_cast<float>(hostNormal.x), static_cast<float>(hostNormal.y),
                                       static_cast<float>(hostNormal.z)};
                    fixFlippedPolygon(polygon, mesh.vertices, host);
                }
            }
        }
    }
    colorVerticesFromCorners(mesh);

    status = gatherShading(context, path, meshIndex);
    if (context.outOfMemory) return status;
    status = gatherSkinClusters(context, path, meshIndex);
    if (context.outOfMemory) return status;
    return MS::kSuccess;
}
