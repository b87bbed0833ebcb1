// Skin clusters: the geometryFilter and skinCluster nodes, MFnGeometryFilter, MFnSkinCluster and the
// skinCluster command, and the evaluation of deformed points. Weights live in
// "weightList[point].weights[influence]"; influences are the joints feeding "matrix[influence]".
// A shape whose "inMesh" is fed reads its points through the chain upstream (skin clusters, tweaks,
// group parts) down to the original shape, evaluated from plugs and connections alone, so that a
// graph laid out by hand or by a scene file deforms as one the command made.
#include "SkinCluster.h"

#include <maya/MDagPath.h>
#include <maya/MDagPathArray.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnGeometryFilter.h>
#include <maya/MFnSkinCluster.h>
#include <maya/MIntArray.h>
#include <maya/MObjectArray.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>

#include "Bridge.h"
#include "Commands.h"
#include "Component.h"
#include "FnImpl.h"
#include "HostState.h"
#include "Mesh.h"
#include "Selection.h"

namespace mayasim {

MAYASIM_REGISTER_TYPES(registerDeformerAttributes) {
    TypeRegistry& t = types();
    t.addAttribute("geometryFilter", arrayOf(compoundAttr("input", "ip",
                                                          {attr("inputGeometry", "ig", AttrType::kData),
                                                           attr("groupId", "gi", AttrType::kInt, 0)})));
    t.addAttribute("geometryFilter", output(arrayOf(attr("outputGeometry", "og", AttrType::kData))));
    t.addAttribute("geometryFilter", keyable(attr("envelope", "en", AttrType::kFloat, 1)));
    t.addAttribute(
        "skinCluster",
        arrayOf(compoundAttr("weightList", "wl", {arrayOf(attr("weights", "w", AttrType::kDouble, 0))})));
    t.addAttribute("skinCluster", arrayOf(matrixAttr("matrix", "ma")));
    t.addAttribute("skinCluster", arrayOf(matrixAttr("bindPreMatrix", "pm")));
    t.addAttribute("skinCluster", matrixAttr("geomMatrix", "gm"));
    t.addAttribute("skinCluster", arrayOf(attr("lockWeights", "lw", AttrType::kBool, 0)));
    t.addAttribute("skinCluster", attr("maxInfluences", "mi", AttrType::kInt, 5));
    t.addAttribute("skinCluster", attr("maintainMaxInfluences", "mmi", AttrType::kBool, 0));
    t.addAttribute("skinCluster", attr("normalizeWeights", "nw", AttrType::kShort, 1));
    t.addAttribute("skinCluster", attr("skinningMethod", "skm", AttrType::kShort, 0));
    t.addAttribute("skinCluster", attr("useComponents", "uc", AttrType::kBool, 0));
    t.addAttribute("skinCluster", attr("dropoffRate", "dr", AttrType::kDouble, 4));
    t.addAttribute("skinCluster", messageAttr("bindPose", "bp"));
    t.addAttribute("skinCluster", arrayOf(attr("dropoff", "dpf", AttrType::kDouble, 4)));
    t.addAttribute("skinCluster", attr("useComponentsMatrix", "ucm", AttrType::kBool, 0));
    t.addAttribute("skinCluster", arrayOf(compoundAttr("influenceColor", "ifcl",
                                                       {attr("influenceColorR", "ifcr", AttrType::kFloat),
                                                        attr("influenceColorG", "ifcg", AttrType::kFloat),
                                                        attr("influenceColorB", "ifcb", AttrType::kFloat)})));
    // What influences feed to a skin cluster besides their world matrix.
    t.addAttribute("joint", attr("lockInfluenceWeights", "liw", AttrType::kBool, 0));
    t.addAttribute("dagNode", compoundAttr("objectColorRGB", "obcc",
                                           {attr("objectColorR", "obcr", AttrType::kFloat),
                                            attr("objectColorG", "obcg", AttrType::kFloat),
                                            attr("objectColorB", "obcb", AttrType::kFloat)}));

    // The nodes Maya puts between an original shape and its deformers.
    t.define("tweak", MFn::kInvalid, "geometryFilter");
    t.addAttribute("tweak",
                   arrayOf(compoundAttr("vlist", "vl",
                                        {arrayOf(compoundAttr("vertex", "vt",
                                                              {attr("xVertex", "vx", AttrType::kFloat),
                                                               attr("yVertex", "vy", AttrType::kFloat),
                                                               attr("zVertex", "vz", AttrType::kFloat)}))})));
    t.addAttribute("tweak",
                   arrayOf(compoundAttr("plist", "pl",
                                        {arrayOf(compoundAttr("controlPoints", "cp",
                                                              {attr("xValue", "xv", AttrType::kDouble),
                                                               attr("yValue", "yv", AttrType::kDouble),
                                                               attr("zValue", "zv", AttrType::kDouble)}))})));
    t.define("groupParts", MFn::kInvalid, "dependNode");
    t.addAttribute("groupParts", attr("inputGeometry", "ig", AttrType::kData));
    t.addAttribute("groupParts", output(attr("outputGeometry", "og", AttrType::kData)));
    t.addAttribute("groupParts", attr("groupId", "gi", AttrType::kInt, 0));
    t.define("groupId", MFn::kInvalid, "dependNode");
    t.addAttribute("groupId", attr("groupId", "id", AttrType::kInt, 0));
    t.define("dagPose", MFn::kInvalid, "dependNode");
    t.addAttribute("dagPose", arrayOf(matrixAttr("worldMatrix", "wm")));
    t.addAttribute("dagPose", arrayOf(matrixAttr("xformMatrix", "xm")));
    t.addAttribute("dagPose", arrayOf(messageAttr("members", "m")));
    t.addAttribute("dagPose", arrayOf(messageAttr("parents", "p")));
    t.addAttribute("dagPose", messageAttr("world", "w"));
    t.addAttribute("dagPose", attr("bindPose", "bp", AttrType::kBool, 0));
    t.addAttribute("objectSet", arrayOf(messageAttr("usedBy", "ub")));
    t.addAttribute("objectSet", arrayOf(messageAttr("groupNodes", "gn")));
    t.addAttribute("objectSet", output(messageAttr("memberWireframeColor", "mwc")));
    // Per-vertex tweaks of a shape, added to its points.
    t.addAttribute("mesh", arrayOf(compoundAttr(
                               "pnts", "pt",
                               {attr("pntx", "px", AttrType::kFloat), attr("pnty", "py", AttrType::kFloat),
                                attr("pntz", "pz", AttrType::kFloat)})));
}

namespace {

constexpr int kMaxChain = 256;

// The shape an output plug of a deformer ends in, following further deformers downstream.
Node* shapeDownstream(PlugRef out) {
    Scene& s = scene();
    for (int guard = 0; guard < kMaxChain; ++guard) {
        std::vector<PlugRef> dst = s.destinationsOf(out);
        if (dst.empty()) return nullptr;
        const PlugRef& d = dst.front();
        if (d.node->type->isShape()) return d.node;
        if (!d.node->type->isA("geometryFilter") || d.attr->longName != "inputGeometry") return nullptr;
        out = d.node->plug("outputGeometry").element(d.index[0]);
    }
    return nullptr;
}

// Logical indices of connected "outputGeometry" elements, ascending. One pass over the node's
// connections: these helpers run once per point when weights are read point by point.
std::vector<unsigned> connectedOutputs(Node* filter) {
    std::vector<unsigned> out;
    for (const Connection& c : filter->connections)
        if (!c.localIsDestination && c.local.attr->longName == "outputGeometry" && c.local.isElement())
            out.push_back(c.local.index[0]);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

struct Influence {
    unsigned logical;
    NodePath path;
};

// The DAG nodes feeding "matrix[i]", by ascending i.
std::vector<Influence> influencesOf(Node* skin) {
    std::vector<std::pair<unsigned, PlugRef>> sources;
    for (const Connection& c : skin->connections)
        if (c.localIsDestination && c.local.attr->longName == "matrix" && c.local.isElement() &&
            c.remote.node->type->isDag())
            sources.emplace_back(c.local.index[0], c.remote);
    std::sort(sources.begin(), sources.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Influence> out;
    out.reserve(sources.size());
    for (const auto& s : sources) {
        const unsigned inst = s.second.isElement() ? s.second.index[0] : 0;
        out.push_back(Influence{s.first, instancePath(s.second.node, inst)});
    }
    return out;
}

PlugRef weightPlug(Node* skin, int point, unsigned influence) {
    const Attribute* w = skin->type->findAttribute("weights");
    return skin->plug("weightList").element(static_cast<unsigned>(point)).child(w).element(influence);
}

double weightOf(Node* skin, int point, unsigned influence) {
    double v = 0;
    const Slot* slot = scene().findSlot(weightPlug(skin, point, influence));
    if (slot && slot->hasValue && !slot->other) v = slot->number;
    return v;
}

// Stores one weight; a zero for a weight that was never set is not stored (weights stay sparse).
void writeWeight(Node* skin, int point, unsigned influence, double value) {
    PlugRef plug = weightPlug(skin, point, influence);
    if (value == 0.0 && !scene().findSlot(plug)) return;
    scene().write(plug, value);
}

// The deformed shape at `path` and the points `components` names (all points for a null component).
// Fails when the shape is not an output of this cluster or the component is not of points.
MStatus targetPoints(Node* skin, const MDagPath& path, const MObject& components, std::vector<int>& points) {
    NodePath shapePath;
    Node* shape = shapeAt(path, MFn::kMesh, shapePath);
    if (!shape) return MS::kInvalidParameter;
    bool deformed = false;
    for (unsigned i : connectedOutputs(skin))
        deformed = deformed || shapeDownstream(skin->plug("outputGeometry").element(i)) == shape;
    if (!deformed) return MS::kInvalidParameter;
    const int count = static_cast<int>(meshData(shape)->points.size());
    if (components.isNull()) {
        points.resize(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) points[static_cast<std::size_t>(i)] = i;
        return MS::kSuccess;
    }
    Component* c = componentOf(components);
    if (!c || c->kind != MFn::kMeshVertComponent) return MS::kInvalidParameter;
    points = c->resolve(count);
    for (int p : points)
        if (p < 0 || p >= count) return MS::kInvalidParameter;
    return MS::kSuccess;
}

// ---- Evaluation of deformed points ----

using Point = std::array<double, 3>;

Point transformPoint(const Point& p, const MMatrix& m) {
    Point r;
    for (int c = 0; c < 3; ++c)
        r[static_cast<std::size_t>(c)] =
            p[0] * m.matrix[0][c] + p[1] * m.matrix[1][c] + p[2] * m.matrix[2][c] + m.matrix[3][c];
    return r;
}

MMatrix matrixAt(const PlugRef& plug) {
    Value v;
    if (plug.valid() && scene().read(plug, v) && std::holds_alternative<Matrix16>(v))
        return toMMatrix(std::get<Matrix16>(v));
    return MMatrix();
}

// The three numeric children of a compound element, added to `p`.
void addChildren(const PlugRef& element, Point& p) {
    const Scene& s = scene();
    if (!s.findSlot(element)) return;
    for (std::size_t c = 0; c < 3 && c < element.attr->children.size(); ++c) {
        double v = 0;
        if (s.readNumber(element.child(element.attr->children[c].get()), v)) p[c] += v;
    }
}

// Adds the sparse per-point offsets held in `array` (elements indexed by point) to the points:
// every element when `ids` is null, otherwise the listed points.
void addOffsets(const PlugRef& array, const std::vector<int>* ids, std::vector<Point>& pts) {
    if (!array.valid()) return;
    if (!ids) {
        for (unsigned i : scene().elementIndices(array))
            if (i < pts.size()) addChildren(array.element(i), pts[i]);
        return;
    }
    for (std::size_t r = 0; r < ids->size(); ++r)
        addChildren(array.element(static_cast<unsigned>((*ids)[r])), pts[r]);
}

bool pointsArriving(const PlugRef& dst, const std::vector<int>* ids, std::vector<Point>& out, int depth);

// A mesh's own points (or, when its "inMesh" is fed, those arriving there) plus its "pnts" tweaks.
bool meshPoints(const Node* mesh, const std::vector<int>* ids, std::vector<Point>& out, int depth) {
    if (!pointsArriving(mesh->plug("inMesh"), ids, out, depth)) {
        const MeshData* d = meshData(mesh);
        if (!d) return false;
        if (!ids) {
            out = d->points;
        } else {
            out.assign(ids->size(), Point{0, 0, 0});
            for (std::size_t r = 0; r < ids->size(); ++r) {
                const int v = (*ids)[r];
                if (v >= 0 && static_cast<std::size_t>(v) < d->points.size())
                    out[r] = d->points[static_cast<std::size_t>(v)];
            }
        }
    }
    addOffsets(mesh->plug("pnts"), ids, out);
    return true;
}

// Linear blend skinning of geometry `k` of a skin cluster. Each point goes to world space through
// the bind-time "geomMatrix", follows every influence j by its weight from the bind pose
// ("bindPreMatrix[j]") to the influence's current matrix ("matrix[j]"), and comes back into the
// input geometry's space through the inverse "geomMatrix"; "envelope" blends with the input.
void skinPoints(Node* skin, const std::vector<int>* ids, std::vector<Point>& pts) {
    const Scene& s = scene();
    const MMatrix gm = matrixAt(skin->plug("geomMatrix"));
    const MMatrix gmInverse = gm.inverse();
    std::vector<std::pair<unsigned, MMatrix>> moves;  // by ascending logical influence index
    PlugRef matrices = skin->plug("matrix");
    PlugRef pre = skin->plug("bindPreMatrix");
    for (unsigned j : s.elementIndices(matrices))
        moves.emplace_back(j, gm * matrixAt(pre.element(j)) * matrixAt(matrices.element(j)));
    const double envelope = s.number(skin, "envelope", 1.0);
    const Attribute* wAttr = skin->type->findAttribute("weights");
    PlugRef weightList = skin->plug("weightList");
    for (std::size_t r = 0; r < pts.size(); ++r) {
        const unsigned v = ids ? static_cast<unsigned>((*ids)[r]) : static_cast<unsigned>(r);
        PlugRef weights = weightList.element(v).child(wAttr);
        Point blended{0, 0, 0};
        for (unsigned j : s.elementIndices(weights)) {
            auto it = std::lower_bound(moves.begin(), moves.end(), j,
                                       [](const auto& m, unsigned want) { return m.first < want; });
            if (it == moves.end() || it->first != j) continue;
            double w = 0;
            if (!s.readNumber(weights.element(j), w) || w == 0.0) continue;
            const Point moved = transformPoint(pts[r], it->second);
            for (std::size_t c = 0; c < 3; ++c) blended[c] += w * moved[c];
        }
        const Point back = transformPoint(blended, gmInverse);
        for (std::size_t c = 0; c < 3; ++c) pts[r][c] += envelope * (back[c] - pts[r][c]);
    }
}

// The points arriving at a geometry input plug from its source, or false when nothing feeds it.
bool pointsArriving(const PlugRef& dst, const std::vector<int>* ids, std::vector<Point>& out, int depth) {
    PlugRef src;
    if (depth > kMaxChain || !dst.valid() || !scene().sourceOf(dst, src)) return false;
    Node* n = src.node;
    if (n->type->isA("mesh")) return meshPoints(n, ids, out, depth + 1);
    if (n->type->isA("groupParts")) return pointsArriving(n->plug("inputGeometry"), ids, out, depth + 1);
    if (n->type->isA("geometryFilter") && src.attr->longName == "outputGeometry" && src.isElement()) {
        const unsigned k = src.index[0];
        const Attribute* ig = n->type->findAttribute("inputGeometry");
        if (!pointsArriving(n->plug("input").element(k).child(ig), ids, out, depth + 1)) return false;
        if (n->type->isA("skinCluster")) {
            skinPoints(n, ids, out);
        } else if (n->type->isA("tweak")) {
            const Attribute* vertex = n->type->findAttribute("vertex");
            const Attribute* cps = n->type->findAttribute("controlPoints");
            addOffsets(n->plug("vlist").element(k).child(vertex), ids, out);
            addOffsets(n->plug("plist").element(k).child(cps), ids, out);
        }
        return true;
    }
    return false;
}

}  // namespace

std::vector<std::array<double, 3>> currentPoints(const Node* mesh) {
    std::vector<Point> out;
    if (mesh) meshPoints(mesh, nullptr, out, 0);
    return out;
}

std::array<double, 3> currentPoint(const Node* mesh, int vertex) {
    std::vector<Point> out;
    const std::vector<int> ids{vertex};
    if (mesh && meshPoints(mesh, &ids, out, 0) && !out.empty()) return out.front();
    return Point{0, 0, 0};
}

Node* geometrySource(const Node* mesh) {
    PlugRef dst = mesh ? mesh->plug("inMesh") : PlugRef{};
    for (int guard = 0; guard < kMaxChain && dst.valid(); ++guard) {
        PlugRef src;
        if (!scene().sourceOf(dst, src)) return nullptr;
        Node* n = src.node;
        if (n->type->isA("mesh")) return n;
        if (n->type->isA("groupParts")) {
            dst = n->plug("inputGeometry");
        } else if (n->type->isA("geometryFilter") && src.isElement()) {
            dst = n->plug("input").element(src.index[0]).child(n->type->findAttribute("inputGeometry"));
        } else {
            return nullptr;
        }
    }
    return nullptr;
}

}  // namespace mayasim

using namespace mayasim;

// ---- MFnGeometryFilter ----
MAYASIM_IMPLEMENT_MFN(MFnGeometryFilter, MFn::kGeometryFilt)

MStatus MFnGeometryFilter::getInputGeometry(MObjectArray& objects) const {
    Node* f = fnNode(*this);
    if (!f) return MS::kInvalidParameter;
    objects.clear();
    Scene& s = scene();
    PlugRef ip = f->plug("input");
    const Attribute* ig = f->type->findAttribute("inputGeometry");
    for (unsigned i : s.elementIndices(ip)) {
        PlugRef src;
        if (s.sourceOf(ip.element(i).child(ig), src)) objects.append(wrapNode(src.node));
    }
    return MS::kSuccess;
}
MStatus MFnGeometryFilter::getOutputGeometry(MObjectArray& objects) const {
    Node* f = fnNode(*this);
    if (!f) return MS::kInvalidParameter;
    objects.clear();
    for (unsigned i : connectedOutputs(f))
        if (Node* shape = shapeDownstream(f->plug("outputGeometry").element(i)))
            objects.append(wrapNode(shape));
    return MS::kSuccess;
}
MObject MFnGeometryFilter::inputShapeAtIndex(unsigned int index, MStatus* ReturnStatus) const {
    Node* f = fnNode(*this);
    PlugRef src;
    const bool ok =
        f &&
        scene().sourceOf(f->plug("input").element(index).child(f->type->findAttribute("inputGeometry")), src);
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kInvalidParameter);
    return ok ? wrapNode(src.node) : MObject();
}
MObject MFnGeometryFilter::outputShapeAtIndex(unsigned int index, MStatus* ReturnStatus) const {
    Node* f = fnNode(*this);
    Node* shape = f ? shapeDownstream(f->plug("outputGeometry").element(index)) : nullptr;
    setStatus(ReturnStatus, shape ? MS::kSuccess : MS::kInvalidParameter);
    return shape ? wrapNode(shape) : MObject();
}
MStatus MFnGeometryFilter::getPathAtIndex(unsigned int index, MDagPath& path) const {
    Node* f = fnNode(*this);
    Node* shape = f ? shapeDownstream(f->plug("outputGeometry").element(index)) : nullptr;
    if (!shape) return MS::kInvalidParameter;
    path = toDagPath(firstPath(shape));
    return MS::kSuccess;
}
unsigned int MFnGeometryFilter::indexForOutputShape(const MObject& shape, MStatus* ReturnStatus) const {
    Node* f = fnNode(*this);
    Node* target = nodeOf(shape);
    if (f && target)
        for (unsigned i : connectedOutputs(f))
            if (shapeDownstream(f->plug("outputGeometry").element(i)) == target) {
                setStatus(ReturnStatus, MS::kSuccess);
                return i;
            }
    setStatus(ReturnStatus, MS::kInvalidParameter);
    return 0;
}
unsigned int MFnGeometryFilter::numOutputConnections(MStatus* ReturnStatus) const {
    Node* f = fnNode(*this);
    setStatus(ReturnStatus, f ? MS::kSuccess : MS::kInvalidParameter);
    return f ? static_cast<unsigned>(connectedOutputs(f).size()) : 0u;
}
unsigned int MFnGeometryFilter::indexForOutputConnection(unsigned int connectionIndex,
                                                         MStatus* ReturnStatus) const {
    Node* f = fnNode(*this);
    std::vector<unsigned> outs = f ? connectedOutputs(f) : std::vector<unsigned>{};
    const bool ok = connectionIndex < outs.size();
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kInvalidParameter);
    return ok ? outs[connectionIndex] : 0u;
}
// The set whose "usedBy" the deformer's message feeds.
MObject MFnGeometryFilter::deformerSet(MStatus* ReturnStatus) const {
    Node* f = fnNode(*this);
    if (f)
        for (const Connection& c : f->connections)
            if (!c.localIsDestination && c.local.attr->longName == "message" &&
                c.remote.node->type->isA("objectSet") && c.remote.attr->longName == "usedBy") {
                setStatus(ReturnStatus, MS::kSuccess);
                return wrapNode(c.remote.node);
            }
    setStatus(ReturnStatus, MS::kFailure);
    return MObject();
}
float MFnGeometryFilter::envelope(MStatus* ReturnStatus) const {
    Node* f = fnNode(*this);
    setStatus(ReturnStatus, f ? MS::kSuccess : MS::kInvalidParameter);
    return f ? static_cast<float>(scene().number(f, "envelope", 1.0)) : 0.0f;
}
MStatus MFnGeometryFilter::setEnvelope(float envelope) {
    Node* f = fnNode(*this);
    return f ? scene().setNumber(f, "envelope", envelope) : MS::kInvalidParameter;
}

// ---- MFnSkinCluster ----
MAYASIM_IMPLEMENT_MFN(MFnSkinCluster, MFn::kSkinClusterFilter)

unsigned int MFnSkinCluster::influenceObjects(MDagPathArray& paths, MStatus* ReturnStatus) const {
    Node* skin = fnNode(*this);
    paths.clear();
    setStatus(ReturnStatus, skin ? MS::kSuccess : MS::kInvalidParameter);
    if (!skin) return 0;
    std::vector<Influence> infl = influencesOf(skin);
    for (const Influence& i : infl) paths.append(toDagPath(i.path));
    return static_cast<unsigned>(infl.size());
}
unsigned int MFnSkinCluster::indexForInfluenceObject(const MDagPath& path, MStatus* ReturnStatus) const {
    Node* skin = fnNode(*this);
    NodePath wanted = toNodePath(path);
    if (skin && pathValid(path) && !wanted.empty())
        for (const Influence& i : influencesOf(skin))
            if (i.path.back() == wanted.back()) {
                setStatus(ReturnStatus, MS::kSuccess);
                return i.logical;
            }
    setStatus(ReturnStatus, MS::kInvalidParameter);
    return 0;
}
MStatus MFnSkinCluster::getWeights(const MDagPath& path, const MObject& components, MDoubleArray& weights,
                                   unsigned int& influenceCount) const {
    Node* skin = fnNode(*this);
    if (!skin) return MS::kInvalidParameter;
    std::vector<int> points;
    MStatus s = targetPoints(skin, path, components, points);
    if (!s) return s;
    std::vector<Influence> infl = influencesOf(skin);
    influenceCount = static_cast<unsigned>(infl.size());
    weights.setLength(static_cast<unsigned>(points.size() * infl.size()));
    unsigned at = 0;
    for (int p : points)
        for (const Influence& i : infl) weights[at++] = weightOf(skin, p, i.logical);
    return MS::kSuccess;
}
MStatus MFnSkinCluster::getWeights(const MDagPath& path, const MObject& components, unsigned int influence,
                                   MDoubleArray& weights) const {
    MIntArray one;
    one.append(static_cast<int>(influence));
    return getWeights(path, components, one, weights);
}
MStatus MFnSkinCluster::getWeights(const MDagPath& path, const MObject& components,
                                   MIntArray& influenceIndices, MDoubleArray& weights) const {
    Node* skin = fnNode(*this);
    if (!skin) return MS::kInvalidParameter;
    std::vector<int> points;
    MStatus s = targetPoints(skin, path, components, points);
    if (!s) return s;
    std::vector<Influence> infl = influencesOf(skin);
    for (unsigned k = 0; k < influenceIndices.length(); ++k)
        if (std::none_of(infl.begin(), infl.end(), [&](const Influence& i) {
                return static_cast<int>(i.logical) == influenceIndices[k];
            }))
            return MS::kInvalidParameter;
    weights.setLength(static_cast<unsigned>(points.size()) * influenceIndices.length());
    unsigned at = 0;
    for (int p : points)
        for (unsigned k = 0; k < influenceIndices.length(); ++k)
            weights[at++] = weightOf(skin, p, static_cast<unsigned>(influenceIndices[k]));
    return MS::kSuccess;
}
MStatus MFnSkinCluster::setWeights(const MDagPath& path, const MObject& components, unsigned int jointIndex,
                                   double value, bool normalize, MDoubleArray* oldValues) {
    MIntArray one;
    one.append(static_cast<int>(jointIndex));
    Node* skin = fnNode(*this);
    std::vector<int> points;
    if (!skin) return MS::kInvalidParameter;
    MStatus s = targetPoints(skin, path, components, points);
    if (!s) return s;
    MDoubleArray values(static_cast<unsigned>(points.size()), value);
    return setWeights(path, components, one, values, normalize, oldValues);
}

// Values are point-major for the listed influences. With `normalize`, the other influences of each
// point share what the listed ones leave of 1 in proportion to their old weights; when they had
// nothing, the listed weights are scaled to sum to 1 instead.
MStatus MFnSkinCluster::setWeights(const MDagPath& path, const MObject& components,
                                   MIntArray& influenceIndices, MDoubleArray& values, bool normalize,
                                   MDoubleArray* oldValues) {
    Node* skin = fnNode(*this);
    if (!skin) return MS::kInvalidParameter;
    std::vector<int> points;
    MStatus s = targetPoints(skin, path, components, points);
    if (!s) return s;
    std::vector<Influence> infl = influencesOf(skin);
    const unsigned n = influenceIndices.length();
    std::vector<unsigned> listed(n);
    for (unsigned k = 0; k < n; ++k) {
        const int want = influenceIndices[k];
        if (std::none_of(infl.begin(), infl.end(),
                         [&](const Influence& i) { return static_cast<int>(i.logical) == want; }))
            return MS::kInvalidParameter;
        listed[k] = static_cast<unsigned>(want);
    }
    if (n == 0 || values.length() != points.size() * n) return MS::kInvalidParameter;
    for (unsigned i = 0; i < values.length(); ++i)
        if (!std::isfinite(values[i]) || values[i] < 0) return MS::kInvalidParameter;

    // Which influences (by position) the call lists.
    std::vector<char> isListed(infl.size(), 0);
    for (std::size_t k = 0; k < infl.size(); ++k)
        isListed[k] = std::find(listed.begin(), listed.end(), infl[k].logical) != listed.end() ? 1 : 0;
    if (oldValues) oldValues->setLength(static_cast<unsigned>(points.size()) * n);
    unsigned at = 0;
    for (std::size_t pi = 0; pi < points.size(); ++pi) {
        const int p = points[pi];
        double listedSum = 0;
        for (unsigned k = 0; k < n; ++k) {
            if (oldValues) (*oldValues)[at + k] = weightOf(skin, p, listed[k]);
            writeWeight(skin, p, listed[k], values[at + k]);
            listedSum += values[at + k];
        }
        if (normalize) {
            double othersSum = 0;
            for (std::size_t k = 0; k < infl.size(); ++k)
                if (!isListed[k]) othersSum += weightOf(skin, p, infl[k].logical);
            if (listedSum < 1.0 && othersSum > 0) {
                const double scale = (1.0 - listedSum) / othersSum;
                for (std::size_t k = 0; k < infl.size(); ++k)
                    if (!isListed[k])
                        writeWeight(skin, p, infl[k].logical, weightOf(skin, p, infl[k].logical) * scale);
            } else if (listedSum > 0) {
                for (std::size_t k = 0; k < infl.size(); ++k)
                    if (!isListed[k]) writeWeight(skin, p, infl[k].logical, 0.0);
                for (unsigned k = 0; k < n; ++k) writeWeight(skin, p, listed[k], values[at + k] / listedSum);
            }
        }
        at += n;
    }
    return MS::kSuccess;
}

// ---- The skinCluster command ----
namespace mayasim {

namespace {

MMatrix worldMatrixOf(const NodePath& p) {
    return pathMatrix(p);
}

constexpr double kWeightFloor = 1.0e-3;
// Distances below this count as this (a point on a bone would otherwise weigh infinitely).
constexpr double kNearest = 1.0e-4;

// An influence's bone, set up once for the squared distances of many points.
struct Segment {
    Point start;
    double ab[3] = {0, 0, 0};
    double len2 = 0;

    Segment(const Point& a, const Point& b) : start(a) {
        for (std::size_t c = 0; c < 3; ++c) {
            ab[c] = b[c] - a[c];
            len2 += ab[c] * ab[c];
        }
    }
    double squaredDistance(const Point& p) const {
        double ap[3], dot = 0;
        for (std::size_t c = 0; c < 3; ++c) {
            ap[c] = p[c] - start[c];
            dot += ab[c] * ap[c];
        }
        const double t = len2 > 0 ? std::min(1.0, std::max(0.0, dot / len2)) : 0.0;
        double d2 = 0;
        for (std::size_t c = 0; c < 3; ++c) {
            const double e = ap[c] - t * ab[c];
            d2 += e * e;
        }
        return d2;
    }
};

bool takesValue(const std::string& flag) {
    static const char* const withValue[] = {"-n",   "-name",
                                            "-mi",  "-maximumInfluences",
                                            "-dr",  "-dropoffRate",
                                            "-bm",  "-bindMethod",
                                            "-nw",  "-normalizeWeights",
                                            "-omi", "-obeyMaxInfluences",
                                            "-sm",  "-skinMethod",
                                            "-wd",  "-weightDistribution",
                                            "-hmf", "-heatmapFalloff",
                                            "-ih",  "-includeHiddenSelections"};
    return std::find_if(std::begin(withValue), std::end(withValue),
                        [&](const char* f) { return flag == f; }) != std::end(withValue);
}

// Resolves one object name to exactly one DAG path.
bool resolveName(const std::string& name, NodePath& out, std::string& error) {
    std::vector<NodePath> found;
    if (name.find('|') != std::string::npos) {
        found = pathsNamed(name);
    } else {
        for (Node* n : scene().nodesNamed(name))
            if (n->type->isDag())
                found.push_back(firstPath(n));
            else
                found.push_back(NodePath{n});
    }
    if (found.empty()) {
        error = "No object matches name: " + name;
        return false;
    }
    if (found.size() > 1) {
        error = "More than one object matches name: " + name;
        return false;
    }
    out = found.front();
    return true;
}

void addJointTree(Node* joint, std::vector<Node*>& out) {
    if (std::find(out.begin(), out.end(), joint) == out.end()) out.push_back(joint);
    for (Node* c : joint->children)
        if (c->type->isA("joint")) addJointTree(c, out);
}

}  // namespace

// skinCluster [-tsb] [-n name] [-mi n] ... influence... geometry...
// Binds each geometry to the influences (with -tsb exactly the named joints, otherwise the joints
// below them too) with closest-distance weights, and makes the bind pose and the deformer set.
// Answers the new node names.
bool runSkinClusterCommand(const std::vector<std::string>& args, std::vector<std::string>& result,
                           std::string& error) {
    bool selectedOnly = false;
    std::string wantedName;
    int maxInfluences = -1;
    double dropoff = -1;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-tsb" || a == "-toSelectedBones") {
            selectedOnly = true;
        } else if (!a.empty() && a[0] == '-') {
            if (!takesValue(a)) {
                error = "Invalid flag '" + a + "'";
                return false;
            }
            if (i + 1 >= args.size()) {
                error = "Flag '" + a + "' needs a value";
                return false;
            }
            const std::string& v = args[++i];
            if (a == "-n" || a == "-name") wantedName = v;
            if (a == "-mi" || a == "-maximumInfluences") maxInfluences = std::atoi(v.c_str());
            if (a == "-dr" || a == "-dropoffRate") dropoff = std::atof(v.c_str());
        } else {
            names.push_back(a);
        }
    }

    std::vector<Node*> influences;
    std::vector<NodePath> geometry;
    for (const std::string& name : names) {
        NodePath path;
        if (!resolveName(name, path, error)) return false;
        Node* n = path.back();
        NodePath shapePath;
        if (!n->type->isDag()) {
            error = "Object is not a valid influence or geometry: " + name;
            return false;
        }
        if (shapeAt(toDagPath(path), MFn::kMesh, shapePath)) {
            geometry.push_back(shapePath);
        } else if (n->type->isA("joint")) {
            if (selectedOnly) {
                if (std::find(influences.begin(), influences.end(), n) == influences.end())
                    influences.push_back(n);
            } else {
                addJointTree(n, influences);
            }
        } else if (n->type->isTransform() && shapesBelow(n).empty()) {
            if (std::find(influences.begin(), influences.end(), n) == influences.end())
                influences.push_back(n);
        } else {
            error = "Object is not a valid influence or geometry: " + name;
            return false;
        }
    }
    if (influences.empty()) {
        error = "No influence objects were given.";
        return false;
    }
    if (geometry.empty()) {
        error = "No geometry to bind was given.";
        return false;
    }
    Scene& s = scene();
    for (const NodePath& g : geometry) {
        PlugRef src;
        if (s.sourceOf(g.back()->plug("inMesh"), src)) {
            error = "Skin on " + g.back()->name + " was already bound.";
            return false;
        }
    }

    result.clear();
    for (const NodePath& g : geometry) {
        Node* shape = g.back();
        Node* skin =
            s.createNode(types().find("skinCluster"), wantedName.empty() ? "skinCluster1" : wantedName);
        if (!skin) {
            error = "Could not create the skinCluster node.";
            return false;
        }
        if (maxInfluences > 0) s.setNumber(skin, "maxInfluences", maxInfluences);
        if (dropoff > 0) s.setNumber(skin, "dropoffRate", dropoff);
        const int keep = static_cast<int>(s.number(skin, "maxInfluences", 5));
        // Maya's dropoff rates run from 0.1 to 10.
        const double rate = std::min(10.0, std::max(0.1, s.number(skin, "dropoffRate", 4)));

        // Maya's layout: Orig.worldMesh[0] -> tweak -> <skin>GroupParts -> skin -> shape.inMesh; the
        // original geometry stays as an intermediate shape; the shape's points become the output.
        Node* orig = s.createNode(types().find("mesh"), shape->name + "Orig", shape->parents.front(),
                                  Naming::kGenerated);
        *meshData(orig) = *meshData(shape);
        syncSetPlugs(orig);
        s.setNumber(orig, "intermediateObject", 1);
        Node* tweak = s.createNode(types().find("tweak"), "tweak1");
        Node* parts = s.createNode(types().find("groupParts"), skin->name + "GroupParts");
        Node* groupId = s.createNode(types().find("groupId"), skin->name + "GroupId");
        Node* set = s.createNode(types().find("objectSet"), skin->name + "Set");
        const Attribute* ig = skin->type->findAttribute("inputGeometry");
        s.connect(orig->plug("worldMesh").element(0), tweak->plug("input").element(0).child(ig));
        s.connect(tweak->plug("outputGeometry").element(0), parts->plug("inputGeometry"));
        s.connect(parts->plug("outputGeometry"), skin->plug("input").element(0).child(ig));
        s.connect(skin->plug("outputGeometry").element(0), shape->plug("inMesh"));
        s.connect(groupId->plug("groupId"), parts->plug("groupId"));
        s.connect(groupId->plug("groupId"),
                  skin->plug("input").element(0).child(skin->type->findAttribute("groupId")));
        s.connect(skin->plug("message"), set->plug("usedBy").element(0));
        s.connect(groupId->plug("message"), set->plug("groupNodes").element(0));
        addSetMember(set, g, nullptr);
        const MMatrix gw = worldMatrixOf(g);
        s.write(skin->plug("geomMatrix"), toMatrix16(gw));

        // The bind pose: every influence with its world matrix and its parent among the members.
        Node* pose = s.createNode(types().find("dagPose"), "bindPose1");
        s.setNumber(pose, "bindPose", 1);
        s.connect(pose->plug("message"), skin->plug("bindPose"));

        std::vector<Segment> bones;
        for (std::size_t j = 0; j < influences.size(); ++j) {
            Node* joint = influences[j];
            const auto jj = static_cast<unsigned>(j);
            s.connect(joint->plug("worldMatrix").element(0), skin->plug("matrix").element(jj));
            const MMatrix w = worldMatrixOf(firstPath(joint));
            s.write(skin->plug("bindPreMatrix").element(jj), toMatrix16(w.inverse()));
            s.write(joint->plug("bindPose"), toMatrix16(w));
            s.connect(joint->plug("message"), pose->plug("members").element(jj));
            s.connect(joint->plug("bindPose"), pose->plug("worldMatrix").element(jj));
            s.write(pose->plug("xformMatrix").element(jj), toMatrix16(localMatrix(*joint)));
            Node* above = joint->parents.empty() ? nullptr : joint->parents.front();
            auto parentAt = std::find(influences.begin(), influences.end(), above);
            if (parentAt != influences.end())
                s.connect(pose->plug("members").element(static_cast<unsigned>(parentAt - influences.begin())),
                          pose->plug("parents").element(jj));
            else
                s.connect(pose->plug("world"), pose->plug("parents").element(jj));
            // The influence's bone runs to its first child joint; a leaf is a point.
            const Point start = {w.matrix[3][0], w.matrix[3][1], w.matrix[3][2]};
            Point end = start;
            for (Node* c : joint->children)
                if (c->type->isA("joint")) {
                    const MMatrix cw = worldMatrixOf(firstPath(c));
                    end = {cw.matrix[3][0], cw.matrix[3][1], cw.matrix[3][2]};
                    break;
                }
            bones.emplace_back(start, end);
        }

        // Closest-distance weights: each influence weighs 1 / d^dropoff by the point's distance d to
        // its bone; the strongest `maxInfluences` are kept and normalised to sum to 1. The weight
        // falls as the distance grows, so the strongest are the nearest: only those are kept
        // while the bones are walked (nearest first, the earlier influence first among equals),
        // by squared distance, and only they are weighed, which keeps the bind a pass over points
        // times influences with nothing heavier than a distance test in it.
        const std::vector<Point> pts = currentPoints(orig);
        const std::size_t want = std::min(bones.size(), static_cast<std::size_t>(std::max(keep, 1)));
        // Influences whose bones coincide (helper joints on one spot, a chain folded onto itself)
        // are equally near every point: one distance test serves each such bundle.
        struct Bundle {
            Segment bone;
            std::vector<unsigned> influences;  // ascending
        };
        std::vector<Bundle> bundles;
        {
            std::map<std::array<double, 6>, std::size_t> bundleOf;
            for (std::size_t j = 0; j < bones.size(); ++j) {
                const Segment& b = bones[j];
                const std::array<double, 6> key = {b.start[0], b.start[1], b.start[2],
                                                   b.ab[0],    b.ab[1],    b.ab[2]};
                // A bone that is not a number stays alone (it could not be ordered among the others).
                if (!std::all_of(key.begin(), key.end(), [](double x) { return std::isfinite(x); })) {
                    bundles.push_back(Bundle{b, {static_cast<unsigned>(j)}});
                    continue;
                }
                auto found = bundleOf.emplace(key, bundles.size());
                if (found.second) bundles.push_back(Bundle{b, {}});
                bundles[found.first->second].influences.push_back(static_cast<unsigned>(j));
            }
        }
        const double nearest2Floor = kNearest * kNearest;
        const Attribute* wAttr = skin->type->findAttribute("weights");
        const PlugRef weightList = skin->plug("weightList");
        std::vector<std::pair<double, unsigned>>
            ranked;  // (squared distance, influence), then (weight, influence)
        ranked.reserve(want + 1);
        for (std::size_t v = 0; v < pts.size(); ++v) {
            const Point wp = transformPoint(pts[v], gw);
            ranked.clear();
            double nearest2 = std::numeric_limits<double>::max();
            for (const Bundle& bundle : bundles) {
                // Distances under kNearest count as kNearest, so those are equally near.
                double d2 = bundle.bone.squaredDistance(wp);
                if (d2 < nearest2Floor) d2 = nearest2Floor;
                nearest2 = std::min(nearest2, d2);
                // A distance that is not a number weighs nothing: it ranks after every other.
                const double rank = std::isfinite(d2) ? d2 : std::numeric_limits<double>::infinity();
                for (unsigned j : bundle.influences) {
                    const std::pair<double, unsigned> entry(rank, j);
                    if (ranked.size() == want && !(entry < ranked.back())) break;  // nor will later ones
                    ranked.insert(std::upper_bound(ranked.begin(), ranked.end(), entry), entry);
                    if (ranked.size() > want) ranked.pop_back();
                }
            }
            // Scaled by the nearest distance, so that the nearest influence weighs 1 and nothing
            // overflows: (dmin / d)^dropoff is proportional to 1 / d^dropoff.
            const double nearest = std::max(std::sqrt(nearest2), kNearest);
            for (auto& r : ranked) {
                const double d = std::isfinite(r.first) ? std::max(std::sqrt(r.first), kNearest) : r.first;
                r.first = std::isfinite(d) ? std::pow(nearest / d, rate) : 0.0;
            }
            std::size_t used = ranked.size();
            double sum = 0;
            for (std::size_t k = 0; k < used; ++k) sum += ranked[k].first;
            // Shares below a thousandth are dropped (the strongest always stays) and the rest
            // normalised again, so a point on a bone belongs to that bone alone.
            while (used > 1 && ranked[used - 1].first < kWeightFloor * sum) sum -= ranked[--used].first;
            if (!(sum > 0)) {  // a point with no usable distance goes to the first influence
                s.write(weightPlug(skin, static_cast<int>(v), 0u), 1.0);
                continue;
            }
            // Weights are kept sparse, as Maya keeps them: an absent weight reads as 0. The point's
            // weights are stored under one lookup of its "weights" array (the values are doubles,
            // stored as given), not one walk down the tree per weight.
            Slot* pointWeights = s.slot(weightList.element(static_cast<unsigned>(v)).child(wAttr));
            for (std::size_t k = 0; k < used; ++k) {
                if (pointWeights && wAttr->type == AttrType::kDouble)
                    pointWeights->elements[ranked[k].second].setValue(ranked[k].first / sum);
                else
                    s.write(weightPlug(skin, static_cast<int>(v), ranked[k].second), ranked[k].first / sum);
            }
            ++skin->revision;
        }
        result.push_back(skin->name);
    }
    return true;
}

}  // namespace mayasim

namespace mayasim {
namespace {

// Failures go to the script editor as Maya reports them, and the command fails.
MStatus skinClusterCommand(const std::vector<std::string>& args, std::vector<std::string>& result) {
    std::string error;
    if (runSkinClusterCommand(args, result, error)) return MS::kSuccess;
    logLine(Severity::kError, error);
    result.clear();
    return MS::kFailure;
}

struct RegisterSkinClusterCommand {
    RegisterSkinClusterCommand() { registerCommand("skinCluster", skinClusterCommand); }
} registerSkinClusterCommand;

}  // namespace
}  // namespace mayasim
