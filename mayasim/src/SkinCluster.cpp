// Skin clusters: the geometryFilter and skinCluster nodes, MFnGeometryFilter, MFnSkinCluster and the
// skinCluster command. Weights live in "weightList[point].weights[influence]"; influences are the
// joints feeding "matrix[influence]". The cluster does not move points: a shape reads its own points.
#include "SkinCluster.h"

#include <maya/MDagPath.h>
#include <maya/MDagPathArray.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnGeometryFilter.h>
#include <maya/MFnSkinCluster.h>
#include <maya/MIntArray.h>
#include <maya/MObjectArray.h>

#include <algorithm>
#include <cmath>
#include <limits>

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
    if (slot && slot->hasValue && std::holds_alternative<double>(slot->value))
        v = std::get<double>(slot->value);
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

}  // namespace

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
MObject MFnGeometryFilter::deformerSet(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kNotImplemented);  // deformer membership sets are not modelled
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
// below them too), each point fully weighted to its nearest influence. Answers the new node names.
bool runSkinClusterCommand(const std::vector<std::string>& args, std::vector<std::string>& result,
                           std::string& error) {
    bool selectedOnly = false;
    std::string wantedName;
    int maxInfluences = -1;
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
        // The original geometry stays as an intermediate shape feeding the cluster.
        Node* orig = s.createNode(types().find("mesh"), shape->name + "Orig", shape->parents.front(),
                                  Naming::kGenerated);
        *meshData(orig) = *meshData(shape);
        syncSetPlugs(orig);
        s.setNumber(orig, "intermediateObject", 1);
        const Attribute* ig = skin->type->findAttribute("inputGeometry");
        s.connect(orig->plug("worldMesh").element(0), skin->plug("input").element(0).child(ig));
        s.connect(skin->plug("outputGeometry").element(0), shape->plug("inMesh"));
        s.write(skin->plug("geomMatrix"), toMatrix16(worldMatrixOf(g)));

        std::vector<std::array<double, 3>> jointPos;
        for (std::size_t j = 0; j < influences.size(); ++j) {
            Node* joint = influences[j];
            const auto jj = static_cast<unsigned>(j);
            s.connect(joint->plug("worldMatrix").element(0), skin->plug("matrix").element(jj));
            const MMatrix w = worldMatrixOf(firstPath(joint));
            s.write(skin->plug("bindPreMatrix").element(jj), toMatrix16(w.inverse()));
            jointPos.push_back({w.matrix[3][0], w.matrix[3][1], w.matrix[3][2]});
        }
        // Every point starts fully weighted to its nearest influence.
        const MeshData& d = *meshData(shape);
        const MMatrix gw = worldMatrixOf(g);
        for (std::size_t v = 0; v < d.points.size(); ++v) {
            const auto& p = d.points[v];
            double wp[3];
            for (int c = 0; c < 3; ++c)
                wp[c] = p[0] * gw.matrix[0][c] + p[1] * gw.matrix[1][c] + p[2] * gw.matrix[2][c] +
                        gw.matrix[3][c];
            std::size_t best = 0;
            double bestDist = std::numeric_limits<double>::max();
            for (std::size_t j = 0; j < jointPos.size(); ++j) {
                const double dx = wp[0] - jointPos[j][0], dy = wp[1] - jointPos[j][1],
                             dz = wp[2] - jointPos[j][2];
                const double dist = dx * dx + dy * dy + dz * dz;
                if (dist < bestDist) {
                    bestDist = dist;
                    best = j;
                }
            }
            // Weights are kept sparse, as Maya keeps them: an absent weight reads as 0.
            s.write(weightPlug(skin, static_cast<int>(v), static_cast<unsigned>(best)), 1.0);
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
