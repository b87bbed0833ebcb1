// Mesh iterators: polygons, edges and geometry points. Each keeps its state behind one pointer in the
// class's hidden storage.
#include <maya/MDagPath.h>
#include <maya/MItGeometry.h>
#include <maya/MItMeshEdge.h>
#include <maya/MItMeshPolygon.h>

#include <algorithm>

#include "Bridge.h"
#include "Component.h"
#include "Mesh.h"
#include "SkinCluster.h"

using namespace mayasim;

namespace {

struct IterState {
    std::shared_ptr<Node> node;  // keeps the node's memory while iterating
    NodePath path;
    bool fromPath = false;   // started from a DAG path: only then can it answer in world space
    std::vector<int> items;  // indices visited, in order
    std::size_t pos = 0;

    MeshData* mesh() const { return node && node->isAlive ? meshData(node.get()) : nullptr; }
    bool done() const { return pos >= items.size(); }
    int current() const { return done() ? -1 : items[pos]; }
    bool canAnswer(MSpace::Space s) const { return s != MSpace::kWorld || fromPath; }
    MMatrix space(MSpace::Space s) const { return s == MSpace::kWorld ? pathMatrix(path) : MMatrix(); }
};
using StateStore = std::vector<IterState>;  // exactly one element, in the class's hidden storage

template <class It>
IterState& stateOf(It& it) {
    return Access::vec<IterState>(it).front();
}
template <class It>
const IterState& stateOf(const It& it) {
    return Access::vec<IterState>(it).front();
}

std::vector<int> allIndices(int n) {
    std::vector<int> v(static_cast<std::size_t>(std::max(0, n)));
    for (std::size_t i = 0; i < v.size(); ++i) v[i] = static_cast<int>(i);
    return v;
}

// Fills a state from a mesh node and an optional component of the expected kind.
MStatus setUp(IterState& st, Node* mesh, NodePath path, bool fromPath, const MObject& component,
              MFn::Type kind, int (*total)(const MeshData&)) {
    st = IterState{};
    MeshData* d = meshData(mesh);
    if (!d) return MS::kInvalidParameter;
    st.node = mesh->self();
    st.path = std::move(path);
    st.fromPath = fromPath;
    const int n = total(*d);
    if (component.isNull()) {
        st.items = allIndices(n);
        return MS::kSuccess;
    }
    Component* c = componentOf(component);
    if (!c || c->kind != kind) return MS::kInvalidParameter;
    for (int e : c->resolve(n))
        if (e >= 0 && e < n) st.items.push_back(e);
    return MS::kSuccess;
}

// Moves to item `index`; O(1) when the iterator covers the whole mesh, as edge lookups by id are
// made once per polygon corner.
bool jumpTo(IterState& st, int index) {
    const auto i = static_cast<std::size_t>(index);
    if (i < st.items.size() && st.items[i] == index) {
        st.pos = i;
        return true;
    }
    auto it = std::find(st.items.begin(), st.items.end(), index);
    if (it == st.items.end()) return false;
    st.pos = static_cast<std::size_t>(it - st.items.begin());
    return true;
}

int polygonTotal(const MeshData& d) {
    return d.numPolygons();
}
int edgeTotal(const MeshData& d) {
    return static_cast<int>(d.edges.size());
}
int pointTotal(const MeshData& d) {
    return static_cast<int>(d.points.size());
}

Node* meshFromObject(const MObject& o, NodePath& path) {
    Node* n = nodeOf(o);
    if (!meshData(n)) return nullptr;
    path = firstPath(n);
    return n;
}

std::array<double, 3> applyPoint(const MMatrix& m, const std::array<double, 3>& p) {
    std::array<double, 3> r;
    for (int c = 0; c < 3; ++c)
        r[static_cast<std::size_t>(c)] =
            p[0] * m.matrix[0][c] + p[1] * m.matrix[1][c] + p[2] * m.matrix[2][c] + m.matrix[3][c];
    return r;
}

}  // namespace

// ---- MItMeshPolygon ----
MItMeshPolygon::MItMeshPolygon(const MObject& polyObject, MStatus* ReturnStatus) {
    new (fStore) StateStore(1);
    setStatus(ReturnStatus, reset(polyObject));
}
MItMeshPolygon::MItMeshPolygon(const MDagPath& polyObject, MObject& component, MStatus* ReturnStatus) {
    new (fStore) StateStore(1);
    setStatus(ReturnStatus, reset(polyObject, component));
}
MItMeshPolygon::~MItMeshPolygon() {
    Access::vec<IterState>(*this).~StateStore();
}
MStatus MItMeshPolygon::reset(const MObject& polyObject) {
    NodePath path;
    Node* n = meshFromObject(polyObject, path);
    return setUp(stateOf(*this), n, path, false, MObject::kNullObj, MFn::kMeshPolygonComponent, polygonTotal);
}
MStatus MItMeshPolygon::reset(const MDagPath& polyObject, MObject& component) {
    NodePath path;
    Node* n = shapeAt(polyObject, MFn::kMesh, path);
    return setUp(stateOf(*this), n, path, true, component, MFn::kMeshPolygonComponent, polygonTotal);
}
MStatus MItMeshPolygon::reset() {
    stateOf(*this).pos = 0;
    return stateOf(*this).mesh() ? MS::kSuccess : MS::kFailure;
}
bool MItMeshPolygon::isDone(MStatus* ReturnStatus) {
    setStatus(ReturnStatus, MS::kSuccess);
    return stateOf(*this).done();
}
MStatus MItMeshPolygon::next() {
    IterState& st = stateOf(*this);
    if (st.done()) return MS::kFailure;
    ++st.pos;
    return MS::kSuccess;
}
unsigned int MItMeshPolygon::count(MStatus* ReturnStatus) {
    setStatus(ReturnStatus, MS::kSuccess);
    return static_cast<unsigned>(stateOf(*this).items.size());
}

namespace {
// The mesh and current polygon of a polygon iterator, or null when it has none.
MeshData* currentPolygon(const IterState& st, int& p) {
    MeshData* d = st.mesh();
    p = st.current();
    return d && p >= 0 && p < d->numPolygons() ? d : nullptr;
}
}  // namespace

unsigned int MItMeshPolygon::polygonVertexCount(MStatus* ReturnStatus) {
    int p;
    MeshData* d = currentPolygon(stateOf(*this), p);
    setStatus(ReturnStatus, d ? MS::kSuccess : MS::kFailure);
    return d ? static_cast<unsigned>(d->counts[static_cast<std::size_t>(p)]) : 0u;
}
MObject MItMeshPolygon::polygon(MStatus* ReturnStatus) {
    return currentItem(ReturnStatus);
}
MObject MItMeshPolygon::currentItem(MStatus* ReturnStatus) {
    int p;
    MeshData* d = currentPolygon(stateOf(*this), p);
    setStatus(ReturnStatus, d ? MS::kSuccess : MS::kFailure);
    return d ? makeComponent(MFn::kMeshPolygonComponent, {p}) : MObject();
}
unsigned int MItMeshPolygon::index(MStatus* ReturnStatus) {
    int p;
    MeshData* d = currentPolygon(stateOf(*this), p);
    setStatus(ReturnStatus, d ? MS::kSuccess : MS::kFailure);
    return d ? static_cast<unsigned>(p) : 0u;
}
MStatus MItMeshPolygon::setIndex(int index, int& prevIndex) {
    IterState& st = stateOf(*this);
    MeshData* d = st.mesh();
    if (!d || index < 0 || index >= d->numPolygons()) return MS::kInvalidParameter;
    const int previous = st.current();
    if (!jumpTo(st, index)) return MS::kInvalidParameter;
    prevIndex = previous;
    return MS::kSuccess;
}

namespace {
// Face-vertex number of corner k of the current polygon, or -1.
int faceVertex(const IterState& st, int k, MeshData*& d) {
    int p;
    d = currentPolygon(st, p);
    if (!d || k < 0 || k >= d->counts[static_cast<std::size_t>(p)]) return -1;
    return d->offsets[static_cast<std::size_t>(p)] + k;
}
}  // namespace

unsigned int MItMeshPolygon::vertexIndex(int index, MStatus* ReturnStatus) {
    MeshData* d;
    const int fv = faceVertex(stateOf(*this), index, d);
    setStatus(ReturnStatus, fv >= 0 ? MS::kSuccess : MS::kInvalidParameter);
    return fv >= 0 ? static_cast<unsigned>(d->connects[static_cast<std::size_t>(fv)]) : 0u;
}
MStatus MItMeshPolygon::getVertices(MIntArray& vertices) {
    int p;
    MeshData* d = currentPolygon(stateOf(*this), p);
    if (!d) return MS::kFailure;
    const auto pp = static_cast<std::size_t>(p);
    vertices.setLength(static_cast<unsigned>(d->counts[pp]));
    for (int k = 0; k < d->counts[pp]; ++k)
        vertices[static_cast<unsigned>(k)] = d->connects[static_cast<std::size_t>(d->offsets[pp] + k)];
    return MS::kSuccess;
}
MPoint MItMeshPolygon::point(int index, MSpace::Space space, MStatus* ReturnStatus) {
    MeshData* d;
    const IterState& st = stateOf(*this);
    const int fv = faceVertex(st, index, d);
    const bool ok = fv >= 0 && st.canAnswer(space);
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kInvalidParameter);
    if (!ok) return MPoint();
    auto p =
        applyPoint(st.space(space), currentPoint(st.node.get(), d->connects[static_cast<std::size_t>(fv)]));
    return MPoint(p[0], p[1], p[2]);
}
MStatus MItMeshPolygon::getNormal(MVector& normal, MSpace::Space space) const {
    const IterState& st = stateOf(*this);
    int p;
    MeshData* d = currentPolygon(st, p);
    if (!d) return MS::kFailure;
    if (!st.canAnswer(space)) return MS::kInvalidParameter;
    auto n = polygonNormal(*d, p, st.space(space));
    normal = MVector(n[0], n[1], n[2]);
    return MS::kSuccess;
}
namespace {
// The UV set and UV id of a corner of the current polygon.
MStatus cornerUV(const IterState& st, int vertex, const MString* uvSet, UVSetData*& set, int& id) {
    MeshData* d;
    const int fv = faceVertex(st, vertex, d);
    if (fv < 0) return MS::kInvalidParameter;
    set = d->uvSet(uvSet ? fromM(*uvSet) : d->currentUV);
    if (!set) return MS::kInvalidParameter;
    id = set->ids[static_cast<std::size_t>(fv)];
    return id < 0 ? MS::kFailure : MS::kSuccess;  // kFailure: this corner has no UV in that set
}
}  // namespace
MStatus MItMeshPolygon::getUVIndex(int vertex, int& index, const MString* uvSet) {
    UVSetData* set = nullptr;
    int id = -1;
    MStatus s = cornerUV(stateOf(*this), vertex, uvSet, set, id);
    if (s) index = id;
    return s;
}
MStatus MItMeshPolygon::getUV(int vertex, float2& uvPoint, const MString* uvSet) const {
    UVSetData* set = nullptr;
    int id = -1;
    MStatus s = cornerUV(stateOf(*this), vertex, uvSet, set, id);
    if (!s) return s;
    uvPoint[0] = set->u[static_cast<std::size_t>(id)];
    uvPoint[1] = set->v[static_cast<std::size_t>(id)];
    return MS::kSuccess;
}
bool MItMeshPolygon::hasUVs(MStatus* ReturnStatus) const {
    MeshData* d;
    const int fv = faceVertex(stateOf(*this), 0, d);
    setStatus(ReturnStatus, fv >= 0 ? MS::kSuccess : MS::kFailure);
    if (fv < 0) return false;
    UVSetData* s = d->uvSet(d->currentUV);
    return s && s->ids[static_cast<std::size_t>(fv)] >= 0;
}
MStatus MItMeshPolygon::getColorIndex(int vertexIndex, int& colorIndex, const MString* colorSetName) {
    MeshData* d;
    const int fv = faceVertex(stateOf(*this), vertexIndex, d);
    if (fv < 0) return MS::kInvalidParameter;
    ColorSetData* s = d->colorSet(colorSetName ? fromM(*colorSetName) : d->currentColor);
    if (!s) return MS::kInvalidParameter;
    const int id = s->ids[static_cast<std::size_t>(fv)];
    if (id < 0) return MS::kFailure;  // this corner has no colour in that set
    colorIndex = id;
    return MS::kSuccess;
}
MStatus MItMeshPolygon::getEdges(MIntArray& edges) {
    int p;
    MeshData* d = currentPolygon(stateOf(*this), p);
    if (!d) return MS::kFailure;
    const auto pp = static_cast<std::size_t>(p);
    edges.setLength(static_cast<unsigned>(d->counts[pp]));
    for (int k = 0; k < d->counts[pp]; ++k)
        edges[static_cast<unsigned>(k)] = d->cornerEdges[static_cast<std::size_t>(d->offsets[pp] + k)];
    return MS::kSuccess;
}

// ---- MItMeshEdge ----
MItMeshEdge::MItMeshEdge(MObject& polyObject, MStatus* ReturnStatus) {
    new (fStore) StateStore(1);
    NodePath path;
    Node* n = meshFromObject(polyObject, path);
    setStatus(ReturnStatus,
              setUp(stateOf(*this), n, path, false, MObject::kNullObj, MFn::kMeshEdgeComponent, edgeTotal));
}
MItMeshEdge::MItMeshEdge(const MDagPath& polyObject, MObject& component, MStatus* ReturnStatus) {
    new (fStore) StateStore(1);
    NodePath path;
    Node* n = shapeAt(polyObject, MFn::kMesh, path);
    setStatus(ReturnStatus,
              setUp(stateOf(*this), n, path, true, component, MFn::kMeshEdgeComponent, edgeTotal));
}
MItMeshEdge::~MItMeshEdge() {
    Access::vec<IterState>(*this).~StateStore();
}
bool MItMeshEdge::isDone(MStatus* ReturnStatus) {
    setStatus(ReturnStatus, MS::kSuccess);
    return stateOf(*this).done();
}
MStatus MItMeshEdge::next() {
    IterState& st = stateOf(*this);
    if (st.done()) return MS::kFailure;
    ++st.pos;
    return MS::kSuccess;
}
MStatus MItMeshEdge::reset() {
    stateOf(*this).pos = 0;
    return stateOf(*this).mesh() ? MS::kSuccess : MS::kFailure;
}
unsigned int MItMeshEdge::count(MStatus* ReturnStatus) {
    setStatus(ReturnStatus, MS::kSuccess);
    return static_cast<unsigned>(stateOf(*this).items.size());
}
namespace {
MeshData* currentEdge(const IterState& st, int& e) {
    MeshData* d = st.mesh();
    e = st.current();
    return d && e >= 0 && static_cast<std::size_t>(e) < d->edges.size() ? d : nullptr;
}
}  // namespace
int MItMeshEdge::index(MStatus* ReturnStatus) const {
    int e;
    MeshData* d = currentEdge(stateOf(*this), e);
    setStatus(ReturnStatus, d ? MS::kSuccess : MS::kFailure);
    return d ? e : -1;
}
int MItMeshEdge::index(int vertexId, MStatus* ReturnStatus) {
    int e;
    MeshData* d = currentEdge(stateOf(*this), e);
    const bool ok = d && (vertexId == 0 || vertexId == 1);
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kInvalidParameter);
    return ok ? d->edges[static_cast<std::size_t>(e)][static_cast<std::size_t>(vertexId)] : -1;
}
MObject MItMeshEdge::currentItem(MStatus* ReturnStatus) {
    int e;
    MeshData* d = currentEdge(stateOf(*this), e);
    setStatus(ReturnStatus, d ? MS::kSuccess : MS::kFailure);
    return d ? makeComponent(MFn::kMeshEdgeComponent, {e}) : MObject();
}
// Jumps to an edge id of the mesh, wherever it lies in the iteration.
MStatus MItMeshEdge::setIndex(int index, int& prevIndex) {
    IterState& st = stateOf(*this);
    MeshData* d = st.mesh();
    if (!d || index < 0 || static_cast<std::size_t>(index) >= d->edges.size()) return MS::kInvalidParameter;
    const int previous = st.current();
    if (!jumpTo(st, index)) return MS::kInvalidParameter;
    prevIndex = previous;
    return MS::kSuccess;
}
bool MItMeshEdge::isSmooth(MStatus* ReturnStatus) const {
    int e;
    MeshData* d = currentEdge(stateOf(*this), e);
    setStatus(ReturnStatus, d ? MS::kSuccess : MS::kFailure);
    return d && d->smooth[static_cast<std::size_t>(e)] != 0;
}
MStatus MItMeshEdge::setSmoothing(bool smooth) {
    int e;
    MeshData* d = currentEdge(stateOf(*this), e);
    if (!d) return MS::kFailure;
    d->smooth[static_cast<std::size_t>(e)] = smooth ? 1 : 0;
    return MS::kSuccess;
}
MPoint MItMeshEdge::point(int index, MSpace::Space space, MStatus* ReturnStatus) {
    const IterState& st = stateOf(*this);
    int e;
    MeshData* d = currentEdge(st, e);
    const bool ok = d && (index == 0 || index == 1) && st.canAnswer(space);
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kInvalidParameter);
    if (!ok) return MPoint();
    const int v = d->edges[static_cast<std::size_t>(e)][static_cast<std::size_t>(index)];
    auto p = applyPoint(st.space(space), currentPoint(st.node.get(), v));
    return MPoint(p[0], p[1], p[2]);
}

// ---- MItGeometry ----
MItGeometry::MItGeometry(const MDagPath& dagPath, MStatus* ReturnStatus) {
    new (fStore) StateStore(1);
    NodePath path;
    Node* n = shapeAt(dagPath, MFn::kMesh, path);
    setStatus(ReturnStatus,
              setUp(stateOf(*this), n, path, true, MObject::kNullObj, MFn::kMeshVertComponent, pointTotal));
}
MItGeometry::MItGeometry(const MDagPath& dagPath, MObject& component, MStatus* ReturnStatus) {
    new (fStore) StateStore(1);
    NodePath path;
    Node* n = shapeAt(dagPath, MFn::kMesh, path);
    setStatus(ReturnStatus,
              setUp(stateOf(*this), n, path, true, component, MFn::kMeshVertComponent, pointTotal));
}
MItGeometry::MItGeometry(MObject& dagObject, MStatus* ReturnStatus) {
    new (fStore) StateStore(1);
    NodePath path;
    Node* n = meshFromObject(dagObject, path);
    setStatus(ReturnStatus,
              setUp(stateOf(*this), n, path, false, MObject::kNullObj, MFn::kMeshVertComponent, pointTotal));
}
MItGeometry::~MItGeometry() {
    Access::vec<IterState>(*this).~StateStore();
}
bool MItGeometry::isDone(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kSuccess);
    return stateOf(*this).done();
}
MStatus MItGeometry::next() {
    IterState& st = stateOf(*this);
    if (st.done()) return MS::kFailure;
    ++st.pos;
    return MS::kSuccess;
}
MStatus MItGeometry::reset() {
    stateOf(*this).pos = 0;
    return stateOf(*this).mesh() ? MS::kSuccess : MS::kFailure;
}
MPoint MItGeometry::position(MSpace::Space space, MStatus* ReturnStatus) const {
    const IterState& st = stateOf(*this);
    MeshData* d = st.mesh();
    const int v = st.current();
    const bool ok = d && v >= 0 && static_cast<std::size_t>(v) < d->points.size() && st.canAnswer(space);
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kFailure);
    if (!ok) return MPoint();
    auto p = applyPoint(st.space(space), currentPoint(st.node.get(), v));
    return MPoint(p[0], p[1], p[2]);
}
int MItGeometry::index(MStatus* ReturnStatus) const {
    const IterState& st = stateOf(*this);
    setStatus(ReturnStatus, st.done() ? MS::kFailure : MS::kSuccess);
    return st.current();
}
MObject MItGeometry::currentItem(MStatus* ReturnStatus) const {
    return component(ReturnStatus);
}
MObject MItGeometry::component(MStatus* ReturnStatus) const {
    const IterState& st = stateOf(*this);
    setStatus(ReturnStatus, st.done() ? MS::kFailure : MS::kSuccess);
    return st.done() ? MObject() : makeComponent(MFn::kMeshVertComponent, {st.current()});
}
int MItGeometry::count(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kSuccess);
    return static_cast<int>(stateOf(*this).items.size());
}
