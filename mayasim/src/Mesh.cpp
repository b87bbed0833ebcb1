// Polygon meshes: the mesh node's attributes and geometry, and MFnMesh.
#include "Mesh.h"

#include <maya/MColorArray.h>
#include <maya/MDagPath.h>
#include <maya/MFloatArray.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFnMesh.h>
#include <maya/MIntArray.h>
#include <maya/MObjectArray.h>
#include <maya/MPointArray.h>
#include <maya/MStringArray.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

#include "Bridge.h"
#include "Component.h"
#include "FnImpl.h"
#include "SkinCluster.h"

namespace mayasim {

MAYASIM_REGISTER_TYPES(registerMeshAttributes) {
    TypeRegistry& t = types();
    t.addAttribute("mesh", attr("inMesh", "i", AttrType::kData));
    t.addAttribute("mesh", output(attr("outMesh", "o", AttrType::kData)));
    t.addAttribute("mesh", output(arrayOf(attr("worldMesh", "w", AttrType::kData))));
    t.addAttribute("mesh", arrayOf(compoundAttr("uvSet", "uvst", {stringAttr("uvSetName", "uvsn")})));
    t.addAttribute("mesh", stringAttr("currentUVSet", "cuvs", "map1"));
    t.addAttribute("mesh", arrayOf(compoundAttr(
                               "colorSet", "clst",
                               {stringAttr("colorName", "clsn"), attr("clamped", "clam", AttrType::kBool, 0),
                                attr("representation", "rprt", AttrType::kShort, 3)})));
    t.addAttribute("mesh", stringAttr("currentColorSet", "ccls"));
    t.addAttribute("mesh", attr("displayColors", "dcol", AttrType::kBool, 0));
    t.define("mesh", MFn::kInvalid, "").onCreate = [](Node& n) {
        auto d = std::make_unique<MeshData>();
        UVSetData map1;
        map1.name = "map1";
        d->uvSets.push_back(map1);
        d->currentUV = "map1";
        n.data = std::move(d);
        syncSetPlugs(&n);
    };
    // NURBS surfaces exist as shapes only, without geometry.
    t.addAttribute("nurbsSurface", attr("create", "cr", AttrType::kData));
}

void MeshData::setGeometry(std::vector<std::array<double, 3>> pts, std::vector<int> polygonCounts,
                           std::vector<int> polygonConnects) {
    points = std::move(pts);
    counts = std::move(polygonCounts);
    connects = std::move(polygonConnects);
    offsets.assign(counts.size(), 0);
    int at = 0;
    for (std::size_t p = 0; p < counts.size(); ++p) {
        offsets[p] = at;
        at += counts[p];
    }
    // Edges are numbered as the polygons first use them, corner by corner.
    edges.clear();
    cornerEdges.assign(connects.size(), -1);
    std::unordered_map<unsigned long long, int> byPair;
    byPair.reserve(connects.size());
    for (std::size_t p = 0; p < counts.size(); ++p) {
        const int n = counts[p];
        for (int k = 0; k < n; ++k) {
            int a = connects[static_cast<std::size_t>(offsets[p] + k)];
            int b = connects[static_cast<std::size_t>(offsets[p] + (k + 1) % n)];
            const auto lo = static_cast<unsigned long long>(std::min(a, b));
            const auto hi = static_cast<unsigned long long>(std::max(a, b));
            auto ins = byPair.emplace((lo << 32) | hi, static_cast<int>(edges.size()));
            if (ins.second) edges.push_back({a, b});
            cornerEdges[static_cast<std::size_t>(offsets[p] + k)] = ins.first->second;
        }
    }
    // A mesh made from points and polygons has hard edges until they are smoothed.
    smooth.assign(edges.size(), 0);
    for (auto& s : uvSets) {
        s.ids.assign(connects.size(), -1);
    }
    for (auto& s : colorSets) s.ids.assign(connects.size(), -1);
}

UVSetData* MeshData::uvSet(const std::string& name) {
    for (auto& s : uvSets)
        if (s.name == name) return &s;
    return nullptr;
}
ColorSetData* MeshData::colorSet(const std::string& name) {
    for (auto& s : colorSets)
        if (s.name == name) return &s;
    return nullptr;
}

Node* shapeAt(const MDagPath& p, MFn::Type t, NodePath& out) {
    Node* leaf = pathLeaf(p);
    out = toNodePath(p);
    if (!leaf) return nullptr;
    if (leaf->hasFn(t)) return leaf;
    for (Node* s : shapesBelow(leaf))
        if (s->hasFn(t)) {
            out.push_back(s);
            return s;
        }
    return nullptr;
}

// A shape fed through "inMesh" that holds no geometry of its own (as a deformed shape read from a
// file) has the topology of the original shape upstream.
MeshData* meshData(const Node* node) {
    MeshData* d = node ? dynamic_cast<MeshData*>(node->data.get()) : nullptr;
    if (d && d->points.empty() && d->counts.empty())
        if (Node* source = geometrySource(node))
            if (source != node)
                if (auto* up = dynamic_cast<MeshData*>(source->data.get())) return up;
    return d;
}

void syncSetPlugs(Node* mesh) {
    MeshData* d = meshData(mesh);
    if (!d) return;
    Scene& s = scene();
    auto writeNames = [&](const char* arrayName, const char* childName, auto& sets) {
        PlugRef arr = mesh->plug(arrayName);
        const Attribute* child = mesh->type->findAttribute(childName);
        if (!arr.valid() || !child) return;
        // Elements no set uses any more lose their name.
        for (unsigned i : s.elementIndices(arr)) {
            bool used = false;
            for (auto& set : sets) used = used || set.logical == i;
            if (!used) s.write(arr.element(i).child(child), std::string());
        }
        for (auto& set : sets) s.write(arr.element(set.logical).child(child), set.name);
    };
    writeNames("uvSet", "uvSetName", d->uvSets);
    writeNames("colorSet", "colorName", d->colorSets);
    s.write(mesh->plug("currentUVSet"), d->currentUV);
    s.write(mesh->plug("currentColorSet"), d->currentColor);
}

std::array<double, 3> polygonNormal(const MeshData& m, int polygon, const MMatrix& toSpace) {
    std::array<double, 3> n{0, 0, 0};
    if (polygon < 0 || polygon >= m.numPolygons()) return n;
    const int count = m.counts[static_cast<std::size_t>(polygon)];
    const int off = m.offsets[static_cast<std::size_t>(polygon)];
    auto pointAt = [&](int k) {
        const auto& p = m.points[static_cast<std::size_t>(m.connects[static_cast<std::size_t>(off + k)])];
        std::array<double, 3> r;
        for (int c = 0; c < 3; ++c)
            r[static_cast<std::size_t>(c)] = p[0] * toSpace.matrix[0][c] + p[1] * toSpace.matrix[1][c] +
                                             p[2] * toSpace.matrix[2][c] + toSpace.matrix[3][c];
        return r;
    };
    for (int k = 0; k < count; ++k) {
        auto a = pointAt(k), b = pointAt((k + 1) % count);
        n[0] += (a[1] - b[1]) * (a[2] + b[2]);
        n[1] += (a[2] - b[2]) * (a[0] + b[0]);
        n[2] += (a[0] - b[0]) * (a[1] + b[1]);
    }
    const double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (len > 0)
        for (auto& c : n) c /= len;
    return n;
}

}  // namespace mayasim

using namespace mayasim;

namespace {

MeshData* dataOf(const MFnBase& fn) {
    return meshData(fnNode(fn));
}

// The mesh data when the space can be answered: world space needs the set to be attached through a
// DAG path, as in Maya.
MeshData* dataIn(const MFnBase& fn, MSpace::Space space) {
    return space == MSpace::kWorld && !fnHasDagPath(fn) ? nullptr : dataOf(fn);
}

MMatrix spaceMatrix(const MFnBase& fn, MSpace::Space space) {
    return space == MSpace::kWorld ? pathMatrix(fnPath(fn)) : MMatrix();
}

std::array<double, 3> applyMatrix(const MMatrix& m, const std::array<double, 3>& p) {
    std::array<double, 3> r;
    for (int c = 0; c < 3; ++c)
        r[static_cast<std::size_t>(c)] =
            p[0] * m.matrix[0][c] + p[1] * m.matrix[1][c] + p[2] * m.matrix[2][c] + m.matrix[3][c];
    return r;
}

// The changes MFnMesh::create makes to the data it is given, as the API documents them:
//  - an edge whose two ends are the same vertex is removed (1 2 2 3 4 becomes 1 2 3 4);
//  - a vertex used more than once in one polygon gets a copy for each later use
//    (1 2 3 1 4 becomes 1 2 3 5 4, vertex 5 at vertex 1's position);
//  - an edge that a polygon runs in the same direction as an earlier polygon (their windings are
//    opposite) is duplicated: the later polygon's two corners on it move to copies of the vertices.
// A polygon left with fewer than three corners is dropped. New vertices are numbered after the given
// ones, in the order the polygons need them. One pass over the corners with a hash set of the
// directed edges seen so far.
struct AlteredMesh {
    std::vector<std::array<double, 3>> points;
    std::vector<int> counts;
    std::vector<int> connects;
};
void alterLikeMaya(AlteredMesh& m) {
    const std::vector<int> counts = std::move(m.counts);
    const std::vector<int> connects = std::move(m.connects);
    m.counts.clear();
    m.connects.clear();
    m.counts.reserve(counts.size());
    m.connects.reserve(connects.size());
    std::vector<std::size_t> usedIn(m.points.size(), 0);  // 1 + the polygon that last used a vertex
    std::unordered_set<unsigned long long> directed;
    directed.reserve(connects.size());
    auto key = [](int a, int b) {
        return (static_cast<unsigned long long>(static_cast<unsigned>(a)) << 32) | static_cast<unsigned>(b);
    };
    auto copyOf = [&](int v) {
        m.points.push_back(m.points[static_cast<std::size_t>(v)]);
        usedIn.push_back(0);
        return static_cast<int>(m.points.size() - 1);
    };
    std::vector<int> poly;
    std::vector<char> split;
    std::size_t at = 0;
    for (std::size_t p = 0; p < counts.size(); ++p) {
        const std::size_t n = static_cast<std::size_t>(counts[p]);
        poly.clear();
        for (std::size_t k = 0; k < n; ++k) {
            const int v = connects[at + k];
            if (poly.empty() || poly.back() != v) poly.push_back(v);
        }
        at += n;
        while (poly.size() > 1 && poly.back() == poly.front()) poly.pop_back();
        if (poly.size() < 3) continue;
        const std::size_t stamp = m.counts.size() + 1;
        for (int& v : poly) {
            if (usedIn[static_cast<std::size_t>(v)] == stamp) v = copyOf(v);
            usedIn[static_cast<std::size_t>(v)] = stamp;
        }
        const std::size_t c = poly.size();
        split.assign(c, 0);
        for (std::size_t k = 0; k < c; ++k)
            if (directed.count(key(poly[k], poly[(k + 1) % c]))) split[k] = split[(k + 1) % c] = 1;
        for (std::size_t k = 0; k < c; ++k) {
            if (split[k]) {
                poly[k] = copyOf(poly[k]);
                usedIn[static_cast<std::size_t>(poly[k])] = stamp;
            }
        }
        for (std::size_t k = 0; k < c; ++k) directed.insert(key(poly[k], poly[(k + 1) % c]));
        m.counts.push_back(static_cast<int>(c));
        m.connects.insert(m.connects.end(), poly.begin(), poly.end());
    }
}

template <class PointArray>
MObject createMesh(MFnMesh& fn, int numVertices, int numPolygons, const PointArray& vertexArray,
                   const MIntArray& polygonCounts, const MIntArray& polygonConnects, MObject parentOrOwner,
                   MStatus* ReturnStatus) {
    auto fail = [&](MStatus::MStatusCode code) {
        setStatus(ReturnStatus, code);
        return MObject();
    };
    if (numVertices < 0 || numPolygons < 0 || static_cast<unsigned>(numVertices) > vertexArray.length() ||
        static_cast<unsigned>(numPolygons) > polygonCounts.length())
        return fail(MS::kInvalidParameter);
    std::vector<int> counts(static_cast<std::size_t>(numPolygons));
    std::size_t corners = 0;
    for (int p = 0; p < numPolygons; ++p) {
        const int c = polygonCounts[static_cast<unsigned>(p)];
        if (c < 3) return fail(MS::kInvalidParameter);  // a polygon needs three corners
        counts[static_cast<std::size_t>(p)] = c;
        corners += static_cast<std::size_t>(c);
    }
    if (corners > polygonConnects.length()) return fail(MS::kInvalidParameter);
    std::vector<int> connects(corners);
    for (std::size_t i = 0; i < corners; ++i) {
        const int v = polygonConnects[static_cast<unsigned>(i)];
        if (v < 0 || v >= numVertices) return fail(MS::kInvalidParameter);
        connects[i] = v;
    }
    std::vector<std::array<double, 3>> pts(static_cast<std::size_t>(numVertices));
    for (int i = 0; i < numVertices; ++i) {
        const auto& p = vertexArray[static_cast<unsigned>(i)];
        pts[static_cast<std::size_t>(i)] = {static_cast<double>(p.x), static_cast<double>(p.y),
                                            static_cast<double>(p.z)};
    }

    Scene& s = scene();
    Node* parent = nodeOf(parentOrOwner);
    if (!parentOrOwner.isNull() && (!parent || !parent->type->isTransform()))
        return fail(MS::kInvalidParameter);
    Node* transform = nullptr;
    if (!parent) {
        transform = s.createNode(types().find("transform"), "polySurface1", nullptr, Naming::kGenerated);
        parent = transform;
    }
    Node* shape = s.createNode(types().find("mesh"), "polySurfaceShape1", parent, Naming::kGenerated);
    if (!shape) return fail(MS::kFailure);
    AlteredMesh altered{std::move(pts), std::move(counts), std::move(connects)};
    alterLikeMaya(altered);
    meshData(shape)->setGeometry(std::move(altered.points), std::move(altered.counts),
                                 std::move(altered.connects));
    fn.setObject(wrapNode(shape));
    setStatus(ReturnStatus, MS::kSuccess);
    return wrapNode(transform ? transform : shape);
}

// The named set, or the current one for a null name.
UVSetData* findUV(MeshData* d, const MString* name) {
    if (!d) return nullptr;
    return d->uvSet(name ? fromM(*name) : d->currentUV);
}
ColorSetData* findColor(MeshData* d, const MString* name) {
    if (!d) return nullptr;
    return d->colorSet(name ? fromM(*name) : d->currentColor);
}

std::string uniqueSetName(const std::string& wanted, const std::vector<std::string>& taken) {
    auto isTaken = [&](const std::string& n) {
        return std::find(taken.begin(), taken.end(), n) != taken.end();
    };
    if (!isTaken(wanted)) return wanted;
    std::string base = wanted;
    while (!base.empty() && std::isdigit(static_cast<unsigned char>(base.back()))) base.pop_back();
    for (int i = 1;; ++i)
        if (!isTaken(base + std::to_string(i))) return base + std::to_string(i);
}

template <class Sets>
unsigned nextLogical(const Sets& sets) {
    unsigned next = 0;
    for (auto& s : sets) next = std::max(next, s.logical + 1);
    return next;
}

}  // namespace

MAYASIM_IMPLEMENT_DAG_MFN(MFnMesh, MFn::kMesh)

MObject MFnMesh::create(int numVertices, int numPolygons, const MFloatPointArray& vertexArray,
                        const MIntArray& polygonCounts, const MIntArray& polygonConnects,
                        MObject parentOrOwner, MStatus* ReturnStatus) {
    return createMesh(*this, numVertices, numPolygons, vertexArray, polygonCounts, polygonConnects,
                      parentOrOwner, ReturnStatus);
}
MObject MFnMesh::create(int numVertices, int numPolygons, const MPointArray& vertexArray,
                        const MIntArray& polygonCounts, const MIntArray& polygonConnects,
                        MObject parentOrOwner, MStatus* ReturnStatus) {
    return createMesh(*this, numVertices, numPolygons, vertexArray, polygonCounts, polygonConnects,
                      parentOrOwner, ReturnStatus);
}

#define MESH_OR(ret)                                                   \
    MeshData* d = dataOf(*this);                                       \
    setStatus(ReturnStatus, d ? MS::kSuccess : MS::kInvalidParameter); \
    if (!d) return ret

int MFnMesh::numVertices(MStatus* ReturnStatus) const {
    MESH_OR(0);
    return static_cast<int>(d->points.size());
}
int MFnMesh::numEdges(MStatus* ReturnStatus) const {
    MESH_OR(0);
    return static_cast<int>(d->edges.size());
}
int MFnMesh::numPolygons(MStatus* ReturnStatus) const {
    MESH_OR(0);
    return d->numPolygons();
}
int MFnMesh::numFaceVertices(MStatus* ReturnStatus) const {
    MESH_OR(0);
    return d->numFaceVertices();
}
int MFnMesh::polygonVertexCount(int polygonId, MStatus* ReturnStatus) const {
    MESH_OR(0);
    if (polygonId < 0 || polygonId >= d->numPolygons()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return 0;
    }
    return d->counts[static_cast<std::size_t>(polygonId)];
}
MStatus MFnMesh::getPolygonVertices(int polygonId, MIntArray& vertexList) const {
    MeshData* d = dataOf(*this);
    if (!d || polygonId < 0 || polygonId >= d->numPolygons()) return MS::kInvalidParameter;
    const auto p = static_cast<std::size_t>(polygonId);
    vertexList.setLength(static_cast<unsigned>(d->counts[p]));
    for (int k = 0; k < d->counts[p]; ++k)
        vertexList[static_cast<unsigned>(k)] = d->connects[static_cast<std::size_t>(d->offsets[p] + k)];
    return MS::kSuccess;
}
MStatus MFnMesh::getVertices(MIntArray& vertexCount, MIntArray& vertexList) const {
    MeshData* d = dataOf(*this);
    if (!d) return MS::kInvalidParameter;
    vertexCount.setLength(static_cast<unsigned>(d->counts.size()));
    for (std::size_t i = 0; i < d->counts.size(); ++i) vertexCount[static_cast<unsigned>(i)] = d->counts[i];
    vertexList.setLength(static_cast<unsigned>(d->connects.size()));
    for (std::size_t i = 0; i < d->connects.size(); ++i)
        vertexList[static_cast<unsigned>(i)] = d->connects[i];
    return MS::kSuccess;
}
MStatus MFnMesh::getEdgeVertices(int edgeId, int2& vertexList) const {
    MeshData* d = dataOf(*this);
    if (!d || edgeId < 0 || static_cast<std::size_t>(edgeId) >= d->edges.size()) return MS::kInvalidParameter;
    vertexList[0] = d->edges[static_cast<std::size_t>(edgeId)][0];
    vertexList[1] = d->edges[static_cast<std::size_t>(edgeId)][1];
    return MS::kSuccess;
}
MStatus MFnMesh::getPolygonNormal(int polygonId, MVector& normal, MSpace::Space space) const {
    MeshData* d = dataIn(*this, space);
    if (!d || polygonId < 0 || polygonId >= d->numPolygons()) return MS::kInvalidParameter;
    auto n = polygonNormal(*d, polygonId, spaceMatrix(*this, space));
    normal = MVector(n[0], n[1], n[2]);
    return MS::kSuccess;
}

MStatus MFnMesh::getPoints(MFloatPointArray& vertexArray, MSpace::Space space) const {
    MeshData* d = dataIn(*this, space);
    if (!d) return MS::kInvalidParameter;
    const MMatrix m = spaceMatrix(*this, space);
    const std::vector<std::array<double, 3>> points = currentPoints(fnNode(*this));
    vertexArray.setLength(static_cast<unsigned>(points.size()));
    for (std::size_t i = 0; i < points.size(); ++i) {
        auto p = applyMatrix(m, points[i]);
        vertexArray[static_cast<unsigned>(i)] =
            MFloatPoint(static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2]));
    }
    return MS::kSuccess;
}
MStatus MFnMesh::getPoints(MPointArray& vertexArray, MSpace::Space space) const {
    MeshData* d = dataIn(*this, space);
    if (!d) return MS::kInvalidParameter;
    const MMatrix m = spaceMatrix(*this, space);
    const std::vector<std::array<double, 3>> points = currentPoints(fnNode(*this));
    vertexArray.setLength(static_cast<unsigned>(points.size()));
    for (std::size_t i = 0; i < points.size(); ++i) {
        auto p = applyMatrix(m, points[i]);
        vertexArray[static_cast<unsigned>(i)] = MPoint(p[0], p[1], p[2]);
    }
    return MS::kSuccess;
}
namespace {
template <class Arr>
MStatus setAll(MFnMesh& fn, Arr& vertexArray, MSpace::Space space) {
    MeshData* d = dataIn(fn, space);
    if (!d || vertexArray.length() != d->points.size()) return MS::kInvalidParameter;
    const MMatrix m = spaceMatrix(fn, space).inverse();
    for (std::size_t i = 0; i < d->points.size(); ++i) {
        const auto& p = vertexArray[static_cast<unsigned>(i)];
        d->points[i] =
            applyMatrix(m, {static_cast<double>(p.x), static_cast<double>(p.y), static_cast<double>(p.z)});
    }
    return MS::kSuccess;
}
}  // namespace
MStatus MFnMesh::setPoints(MFloatPointArray& vertexArray, MSpace::Space space) {
    return setAll(*this, vertexArray, space);
}
MStatus MFnMesh::setPoints(MPointArray& vertexArray, MSpace::Space space) {
    return setAll(*this, vertexArray, space);
}
MStatus MFnMesh::getPoint(int vertexId, MPoint& pos, MSpace::Space space) const {
    MeshData* d = dataIn(*this, space);
    if (!d || vertexId < 0 || static_cast<std::size_t>(vertexId) >= d->points.size())
        return MS::kInvalidParameter;
    auto p = applyMatrix(spaceMatrix(*this, space), currentPoint(fnNode(*this), vertexId));
    pos = MPoint(p[0], p[1], p[2]);
    return MS::kSuccess;
}
MStatus MFnMesh::setPoint(int vertexId, const MPoint& pos, MSpace::Space space) {
    MeshData* d = dataIn(*this, space);
    if (!d || vertexId < 0 || static_cast<std::size_t>(vertexId) >= d->points.size())
        return MS::kInvalidParameter;
    d->points[static_cast<std::size_t>(vertexId)] =
        applyMatrix(spaceMatrix(*this, space).inverse(), {pos.x, pos.y, pos.z});
    return MS::kSuccess;
}

bool MFnMesh::isEdgeSmooth(int edgeId, MStatus* ReturnStatus) const {
    MESH_OR(false);
    if (edgeId < 0 || static_cast<std::size_t>(edgeId) >= d->edges.size()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return false;
    }
    return d->smooth[static_cast<std::size_t>(edgeId)] != 0;
}
MStatus MFnMesh::setEdgeSmoothing(int edgeId, bool smooth) {
    MeshData* d = dataOf(*this);
    if (!d || edgeId < 0 || static_cast<std::size_t>(edgeId) >= d->edges.size()) return MS::kInvalidParameter;
    d->smooth[static_cast<std::size_t>(edgeId)] = smooth ? 1 : 0;
    return MS::kSuccess;
}
MStatus MFnMesh::cleanupEdgeSmoothing() {
    return dataOf(*this) ? MS::kSuccess : MS::kInvalidParameter;
}

MStatus MFnMesh::getConnectedShaders(unsigned int instanceNumber, MObjectArray& shaders,
                                     MIntArray& indices) const {
    Node* n = fnNode(*this);
    MeshData* d = meshData(n);
    if (!d || instanceNumber >= n->parents.size()) return MS::kInvalidParameter;
    InstanceShading sh = shadingOf(n, instanceNumber, d->numPolygons());
    shaders.clear();
    for (Node* g : sh.groups) shaders.append(wrapNode(g));
    indices.setLength(static_cast<unsigned>(sh.faceGroup.size()));
    for (std::size_t i = 0; i < sh.faceGroup.size(); ++i) indices[static_cast<unsigned>(i)] = sh.faceGroup[i];
    return MS::kSuccess;
}

// ---- UV sets ----
int MFnMesh::numUVSets(MStatus* ReturnStatus) const {
    MESH_OR(0);
    return static_cast<int>(d->uvSets.size());
}
int MFnMesh::numUVs(MStatus* ReturnStatus) const {
    MESH_OR(0);
    UVSetData* s = findUV(d, nullptr);
    return s ? static_cast<int>(s->u.size()) : 0;
}
int MFnMesh::numUVs(const MString& uvSet, MStatus* ReturnStatus) const {
    MESH_OR(0);
    UVSetData* s = findUV(d, &uvSet);
    if (!s) setStatus(ReturnStatus, MS::kInvalidParameter);
    return s ? static_cast<int>(s->u.size()) : 0;
}
MStatus MFnMesh::getUVSetNames(MStringArray& setNames) const {
    MeshData* d = dataOf(*this);
    if (!d) return MS::kInvalidParameter;
    setNames.clear();
    for (auto& s : d->uvSets) setNames.append(toM(s.name));
    return MS::kSuccess;
}
MStatus MFnMesh::getCurrentUVSetName(MString& setName, int) const {
    MeshData* d = dataOf(*this);
    if (!d) return MS::kInvalidParameter;
    setName = toM(d->currentUV);
    return MS::kSuccess;
}
MString MFnMesh::currentUVSetName(MStatus* ReturnStatus, int) const {
    MESH_OR(MString());
    return toM(d->currentUV);
}
MStatus MFnMesh::setCurrentUVSetName(const MString& setName, MDGModifier*, MSelectionList*) {
    MeshData* d = dataOf(*this);
    if (!d || !d->uvSet(fromM(setName))) return MS::kInvalidParameter;
    d->currentUV = fromM(setName);
    syncSetPlugs(fnNode(*this));
    return MS::kSuccess;
}
MStatus MFnMesh::createUVSet(MString& uvSetName, MDGModifier*, const MUintArray*) {
    MStatus s;
    MString made = createUVSetWithName(uvSetName, nullptr, nullptr, &s);
    if (s) uvSetName = made;
    return s;
}
MString MFnMesh::createUVSetWithName(const MString& uvSetName, MDGModifier*, const MUintArray*,
                                     MStatus* ReturnStatus) {
    MESH_OR(MString());
    std::string wanted = legalName(fromM(uvSetName));
    if (wanted.empty()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MString();
    }
    std::vector<std::string> taken;
    for (auto& s : d->uvSets) taken.push_back(s.name);
    UVSetData set;
    set.name = uniqueSetName(wanted, taken);
    set.logical = nextLogical(d->uvSets);
    set.ids.assign(d->connects.size(), -1);
    d->uvSets.push_back(set);
    if (d->currentUV.empty()) d->currentUV = set.name;
    syncSetPlugs(fnNode(*this));
    return toM(set.name);
}
MStatus MFnMesh::renameUVSet(const MString& origName, const MString& newName, MDGModifier*) {
    MeshData* d = dataOf(*this);
    if (!d) return MS::kInvalidParameter;
    UVSetData* s = d->uvSet(fromM(origName));
    const std::string wanted = legalName(fromM(newName));
    if (!s || wanted.empty() || wanted != fromM(newName)) return MS::kInvalidParameter;
    if (wanted == s->name) return MS::kSuccess;
    if (d->uvSet(wanted)) return MS::kInvalidParameter;
    if (d->currentUV == s->name) d->currentUV = wanted;
    s->name = wanted;
    syncSetPlugs(fnNode(*this));
    return MS::kSuccess;
}
MStatus MFnMesh::deleteUVSet(const MString& setName, MDGModifier*, MSelectionList*) {
    MeshData* d = dataOf(*this);
    if (!d || d->uvSets.size() <= 1) return MS::kInvalidParameter;  // a mesh keeps at least one UV set
    auto it = std::find_if(d->uvSets.begin(), d->uvSets.end(),
                           [&](const UVSetData& s) { return s.name == fromM(setName); });
    if (it == d->uvSets.end()) return MS::kInvalidParameter;
    const bool wasCurrent = it->name == d->currentUV;
    d->uvSets.erase(it);
    if (wasCurrent) d->currentUV = d->uvSets.front().name;
    syncSetPlugs(fnNode(*this));
    return MS::kSuccess;
}
MStatus MFnMesh::setUVs(const MFloatArray& uArray, const MFloatArray& vArray, const MString* uvSet) {
    UVSetData* s = findUV(dataOf(*this), uvSet);
    if (!s || uArray.length() != vArray.length()) return MS::kInvalidParameter;
    s->u.assign(uArray.length(), 0.0f);
    s->v.assign(vArray.length(), 0.0f);
    for (unsigned i = 0; i < uArray.length(); ++i) {
        s->u[i] = uArray[i];
        s->v[i] = vArray[i];
    }
    // Assignments that point past the new array no longer name a UV.
    for (int& id : s->ids)
        if (id >= static_cast<int>(s->u.size())) id = -1;
    return MS::kSuccess;
}
MStatus MFnMesh::getUVs(MFloatArray& uArray, MFloatArray& vArray, const MString* uvSet) const {
    UVSetData* s = findUV(dataOf(*this), uvSet);
    if (!s) return MS::kInvalidParameter;
    uArray.setLength(static_cast<unsigned>(s->u.size()));
    vArray.setLength(static_cast<unsigned>(s->v.size()));
    for (std::size_t i = 0; i < s->u.size(); ++i) {
        uArray[static_cast<unsigned>(i)] = s->u[i];
        vArray[static_cast<unsigned>(i)] = s->v[i];
    }
    return MS::kSuccess;
}
MStatus MFnMesh::assignUVs(const MIntArray& uvCounts, const MIntArray& uvIds, const MString* uvSet) {
    MeshData* d = dataOf(*this);
    UVSetData* s = findUV(d, uvSet);
    if (!s || uvCounts.length() != static_cast<unsigned>(d->numPolygons())) return MS::kInvalidParameter;
    // Each polygon is either mapped on every corner or not at all.
    std::size_t need = 0;
    for (int p = 0; p < d->numPolygons(); ++p) {
        const int c = uvCounts[static_cast<unsigned>(p)];
        if (c != 0 && c != d->counts[static_cast<std::size_t>(p)]) return MS::kInvalidParameter;
        need += static_cast<std::size_t>(c);
    }
    if (uvIds.length() < need) return MS::kInvalidParameter;
    for (unsigned i = 0; i < need; ++i)
        if (uvIds[i] < 0 || uvIds[i] >= static_cast<int>(s->u.size())) return MS::kInvalidParameter;
    std::vector<int> ids(d->connects.size(), -1);
    unsigned at = 0;
    for (int p = 0; p < d->numPolygons(); ++p) {
        const int c = uvCounts[static_cast<unsigned>(p)];
        for (int k = 0; k < c; ++k)
            ids[static_cast<std::size_t>(d->offsets[static_cast<std::size_t>(p)] + k)] = uvIds[at++];
    }
    s->ids = std::move(ids);
    return MS::kSuccess;
}
MStatus MFnMesh::getAssignedUVs(MIntArray& uvCounts, MIntArray& uvIds, const MString* uvSet) const {
    MeshData* d = dataOf(*this);
    UVSetData* s = findUV(d, uvSet);
    if (!s) return MS::kInvalidParameter;
    uvCounts.setLength(static_cast<unsigned>(d->numPolygons()));
    uvIds.clear();
    for (int p = 0; p < d->numPolygons(); ++p) {
        const auto pp = static_cast<std::size_t>(p);
        const bool mapped = d->counts[pp] > 0 && s->ids[static_cast<std::size_t>(d->offsets[pp])] >= 0;
        uvCounts[static_cast<unsigned>(p)] = mapped ? d->counts[pp] : 0;
        if (mapped)
            for (int k = 0; k < d->counts[pp]; ++k)
                uvIds.append(s->ids[static_cast<std::size_t>(d->offsets[pp] + k)]);
    }
    return MS::kSuccess;
}
MStatus MFnMesh::getPolygonUVid(int polygonId, int vertexIndex, int& uvId, const MString* uvSet) const {
    MeshData* d = dataOf(*this);
    UVSetData* s = findUV(d, uvSet);
    if (!s || polygonId < 0 || polygonId >= d->numPolygons() || vertexIndex < 0 ||
        vertexIndex >= d->counts[static_cast<std::size_t>(polygonId)])
        return MS::kInvalidParameter;
    const int id =
        s->ids[static_cast<std::size_t>(d->offsets[static_cast<std::size_t>(polygonId)] + vertexIndex)];
    if (id < 0) return MS::kFailure;
    uvId = id;
    return MS::kSuccess;
}

// ---- Colour sets ----
int MFnMesh::numColorSets(MStatus* ReturnStatus) const {
    MESH_OR(0);
    return static_cast<int>(d->colorSets.size());
}
int MFnMesh::numColors(MStatus* ReturnStatus) const {
    MESH_OR(0);
    ColorSetData* s = findColor(d, nullptr);
    return s ? static_cast<int>(s->colors.size()) : 0;
}
int MFnMesh::numColors(const MString& colorSet, MStatus* ReturnStatus) const {
    MESH_OR(0);
    ColorSetData* s = findColor(d, &colorSet);
    if (!s) setStatus(ReturnStatus, MS::kInvalidParameter);
    return s ? static_cast<int>(s->colors.size()) : 0;
}
MStatus MFnMesh::getColorSetNames(MStringArray& setNames) const {
    MeshData* d = dataOf(*this);
    if (!d) return MS::kInvalidParameter;
    setNames.clear();
    for (auto& s : d->colorSets) setNames.append(toM(s.name));
    return MS::kSuccess;
}
MStatus MFnMesh::getCurrentColorSetName(MString& setName, int) const {
    MeshData* d = dataOf(*this);
    if (!d) return MS::kInvalidParameter;
    setName = toM(d->currentColor);
    return MS::kSuccess;
}
MString MFnMesh::currentColorSetName(int, MStatus* ReturnStatus) const {
    MESH_OR(MString());
    return toM(d->currentColor);
}
MStatus MFnMesh::createColorSet(MString& colorSetName, MDGModifier* modifier, const MUintArray* instances) {
    return createColorSet(colorSetName, modifier, false, kRGBA, instances);
}
MStatus MFnMesh::createColorSet(MString& colorSetName, MDGModifier*, bool clamped, MColorRepresentation rep,
                                const MUintArray*) {
    MeshData* d = dataOf(*this);
    const std::string wanted = legalName(fromM(colorSetName));
    if (!d || wanted.empty()) return MS::kInvalidParameter;
    std::vector<std::string> taken;
    for (auto& s : d->colorSets) taken.push_back(s.name);
    ColorSetData set;
    set.name = uniqueSetName(wanted, taken);
    set.logical = nextLogical(d->colorSets);
    set.ids.assign(d->connects.size(), -1);
    d->colorSets.push_back(set);
    Node* n = fnNode(*this);
    PlugRef el = n->plug("colorSet").element(set.logical);
    scene().write(el.child(n->type->findAttribute("clamped")), clamped ? 1.0 : 0.0);
    scene().write(el.child(n->type->findAttribute("representation")), static_cast<double>(rep));
    syncSetPlugs(n);
    colorSetName = toM(set.name);
    return MS::kSuccess;
}
MStatus MFnMesh::setCurrentColorSetName(const MString& setName, MDGModifier*, MSelectionList*) {
    MeshData* d = dataOf(*this);
    if (!d || !d->colorSet(fromM(setName))) return MS::kInvalidParameter;
    d->currentColor = fromM(setName);
    syncSetPlugs(fnNode(*this));
    return MS::kSuccess;
}
MStatus MFnMesh::getColors(MColorArray& colors, const MString* colorSet,
                           const MColor* defaultUnsetColor) const {
    ColorSetData* s = findColor(dataOf(*this), colorSet);
    if (!s) return MS::kInvalidParameter;
    (void)defaultUnsetColor;  // every stored colour is set
    colors.setLength(static_cast<unsigned>(s->colors.size()));
    for (std::size_t i = 0; i < s->colors.size(); ++i) {
        const auto& c = s->colors[i];
        colors[static_cast<unsigned>(i)] = MColor(c[0], c[1], c[2], c[3]);
    }
    return MS::kSuccess;
}
MStatus MFnMesh::setColors(const MColorArray& colors, const MString* colorSet, MColorRepresentation) {
    ColorSetData* s = findColor(dataOf(*this), colorSet);
    if (!s) return MS::kInvalidParameter;
    s->colors.resize(colors.length());
    for (unsigned i = 0; i < colors.length(); ++i)
        s->colors[i] = {colors[i].r, colors[i].g, colors[i].b, colors[i].a};
    for (int& id : s->ids)
        if (id >= static_cast<int>(s->colors.size())) id = -1;
    return MS::kSuccess;
}
MStatus MFnMesh::assignColors(const MIntArray& colorIds, const MString* colorSet) {
    MeshData* d = dataOf(*this);
    ColorSetData* s = findColor(d, colorSet);
    if (!s || colorIds.length() != d->connects.size()) return MS::kInvalidParameter;
    for (unsigned i = 0; i < colorIds.length(); ++i)
        if (colorIds[i] < -1 || colorIds[i] >= static_cast<int>(s->colors.size()))
            return MS::kInvalidParameter;
    for (unsigned i = 0; i < colorIds.length(); ++i) s->ids[i] = colorIds[i];
    return MS::kSuccess;
}
MStatus MFnMesh::getFaceVertexColorIndex(int faceIndex, int localVertexIndex, int& colorIndex,
                                         const MString* colorSet) {
    MeshData* d = dataOf(*this);
    ColorSetData* s = findColor(d, colorSet);
    if (!s || faceIndex < 0 || faceIndex >= d->numPolygons() || localVertexIndex < 0 ||
        localVertexIndex >= d->counts[static_cast<std::size_t>(faceIndex)])
        return MS::kInvalidParameter;
    colorIndex =
        s->ids[static_cast<std::size_t>(d->offsets[static_cast<std::size_t>(faceIndex)] + localVertexIndex)];
    return MS::kSuccess;
}
// Each listed vertex gets a colour of its own, shared by every polygon corner on that vertex. Without
// a colour set one named "colorSet1" is made first, as Maya does.
MStatus MFnMesh::setVertexColors(MColorArray& colors, MIntArray& vertexList, MDGModifier*) {
    MeshData* d = dataOf(*this);
    if (!d || colors.length() != vertexList.length()) return MS::kInvalidParameter;
    for (unsigned i = 0; i < vertexList.length(); ++i)
        if (vertexList[i] < 0 || static_cast<std::size_t>(vertexList[i]) >= d->points.size())
            return MS::kInvalidParameter;
    if (!d->colorSet(d->currentColor)) {
        MString name("colorSet1");
        MStatus s = createColorSet(name);
        if (!s) return s;
        d->currentColor = fromM(name);
        syncSetPlugs(fnNode(*this));
    }
    ColorSetData* s = d->colorSet(d->currentColor);
    std::vector<int> colorOfVertex(d->points.size(), -1);
    for (unsigned i = 0; i < vertexList.length(); ++i) {
        colorOfVertex[static_cast<std::size_t>(vertexList[i])] = static_cast<int>(s->colors.size());
        s->colors.push_back({colors[i].r, colors[i].g, colors[i].b, colors[i].a});
    }
    for (std::size_t fv = 0; fv < d->connects.size(); ++fv) {
        const int c = colorOfVertex[static_cast<std::size_t>(d->connects[fv])];
        if (c >= 0) s->ids[fv] = c;
    }
    return MS::kSuccess;
}

// ---- MMeshSmoothOptions ----
MMeshSmoothOptions::MMeshSmoothOptions() : fDivisions(1), fSmoothUVs(true) {}
MMeshSmoothOptions::~MMeshSmoothOptions() = default;
void MMeshSmoothOptions::setDivisions(int numDivisions, MStatus* ReturnStatus) {
    fDivisions = numDivisions;
    setStatus(ReturnStatus, MS::kSuccess);
}
int MMeshSmoothOptions::divisions(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kSuccess);
    return fDivisions;
}
void MMeshSmoothOptions::setSmoothUVs(bool smoothUVs, MStatus* ReturnStatus) {
    fSmoothUVs = smoothUVs;
    setStatus(ReturnStatus, MS::kSuccess);
}
bool MMeshSmoothOptions::smoothUVs(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kSuccess);
    return fSmoothUVs;
}
