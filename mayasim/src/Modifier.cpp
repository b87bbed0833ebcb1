// MDGModifier (queued graph edits) and MItDependencyGraph (walks along connections).
#include <maya/MDGModifier.h>
#include <maya/MItDependencyGraph.h>
#include <maya/MPlug.h>

#include <algorithm>
#include <deque>
#include <set>

#include "Bridge.h"

using namespace mayasim;

namespace {

struct ModOp {
    enum Kind { kConnect, kDisconnect, kDelete, kRename, kSetValue } kind;
    MPlug src, dst;  // connect/disconnect; dst also the plug of kSetValue
    MObject node;    // delete/rename
    std::string name, oldName;
    Value value, oldValue;
    bool hadValue = false;
};
struct ModState {
    std::vector<ModOp> pending;
    std::vector<ModOp> done;
};
ModState& state(MDGModifier& m) {
    return storageAs<ModState>(Access::modifier(m));
}

MStatus apply(ModOp& op) {
    Scene& s = scene();
    switch (op.kind) {
        case ModOp::kConnect:
            return s.connect(toRef(op.src), toRef(op.dst));
        case ModOp::kDisconnect:
            return s.disconnect(toRef(op.src), toRef(op.dst));
        case ModOp::kDelete: {
            Node* n = nodeOf(op.node);
            if (!n) return MS::kInvalidParameter;
            s.deleteNode(n);
            return MS::kSuccess;
        }
        case ModOp::kRename: {
            Node* n = nodeOf(op.node);
            if (!n) return MS::kInvalidParameter;
            op.oldName = n->name;
            return s.rename(n, op.name).empty() ? MS::kInvalidParameter : MS::kSuccess;
        }
        case ModOp::kSetValue: {
            PlugRef r = toRef(op.dst);
            if (!r.valid()) return MS::kInvalidParameter;
            if (const Slot* slot = s.findSlot(r)) {
                op.hadValue = slot->hasValue;
                op.oldValue = slot->value();
            }
            return s.write(r, op.value);
        }
    }
    return MS::kFailure;
}

void revert(const ModOp& op) {
    Scene& s = scene();
    switch (op.kind) {
        case ModOp::kConnect:
            s.disconnect(toRef(op.src), toRef(op.dst));
            break;
        case ModOp::kDisconnect:
            s.connect(toRef(op.src), toRef(op.dst));
            break;
        case ModOp::kRename:
            if (Node* n = nodeOf(op.node)) s.rename(n, op.oldName);
            break;
        case ModOp::kSetValue:
            if (Slot* slot = s.slot(toRef(op.dst))) {
                if (op.hadValue)
                    slot->setValue(op.oldValue);
                else
                    slot->clearValue();
                ++toRef(op.dst).node->revision;
            }
            break;
        case ModOp::kDelete:  // deleted nodes are not brought back
            break;
    }
}

MStatus queue(MDGModifier& m, ModOp op) {
    state(m).pending.push_back(std::move(op));
    return MS::kSuccess;
}

}  // namespace

MDGModifier::MDGModifier() {
    new (fStore) ModState();
}
MDGModifier::~MDGModifier() {
    state(*this).~ModState();
}
MDGModifier::MDGModifier(const MDGModifier& other) {
    new (fStore) ModState(storageAs<ModState>(other.fStore));
}
MDGModifier& MDGModifier::operator=(const MDGModifier& rhs) {
    state(*this) = storageAs<ModState>(rhs.fStore);
    return *this;
}

// The node is made at once (its handle is usable before doIt); DAG types need MFnDagNode.
MObject MDGModifier::createNode(const MString& type, MStatus* ReturnStatus) {
    const NodeType* t = types().find(fromM(type));
    if (!t || t->abstract || t->isDag()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    setStatus(ReturnStatus, MS::kSuccess);
    return wrapNode(scene().createNode(t, ""));
}
MStatus MDGModifier::deleteNode(const MObject& node) {
    if (!nodeOf(node)) return MS::kInvalidParameter;
    ModOp op{ModOp::kDelete, {}, {}, node, {}, {}, {}, {}, false};
    return queue(*this, std::move(op));
}
MStatus MDGModifier::renameNode(const MObject& node, const MString& newName) {
    if (!nodeOf(node)) return MS::kInvalidParameter;
    ModOp op{ModOp::kRename, {}, {}, node, fromM(newName), {}, {}, {}, false};
    return queue(*this, std::move(op));
}
MStatus MDGModifier::connect(const MPlug& source, const MPlug& dest) {
    if (source.isNull() || dest.isNull()) return MS::kInvalidParameter;
    ModOp op{ModOp::kConnect, source, dest, {}, {}, {}, {}, {}, false};
    return queue(*this, std::move(op));
}
MStatus MDGModifier::disconnect(const MPlug& source, const MPlug& dest) {
    if (source.isNull() || dest.isNull()) return MS::kInvalidParameter;
    ModOp op{ModOp::kDisconnect, source, dest, {}, {}, {}, {}, {}, false};
    return queue(*this, std::move(op));
}
MStatus MDGModifier::connect(const MObject& sourceNode, const MObject& sourceAttr, const MObject& destNode,
                             const MObject& destAttr) {
    return connect(MPlug(sourceNode, sourceAttr), MPlug(destNode, destAttr));
}
MStatus MDGModifier::disconnect(const MObject& sourceNode, const MObject& sourceAttr, const MObject& destNode,
                                const MObject& destAttr) {
    return disconnect(MPlug(sourceNode, sourceAttr), MPlug(destNode, destAttr));
}

namespace {
MStatus queueValue(MDGModifier& m, const MPlug& plug, Value v) {
    if (plug.isNull()) return MS::kInvalidParameter;
    ModOp op{ModOp::kSetValue, {}, plug, {}, {}, {}, std::move(v), {}, false};
    return queue(m, std::move(op));
}
}  // namespace
MStatus MDGModifier::newPlugValueDouble(const MPlug& plug, double v) {
    return queueValue(*this, plug, v);
}
MStatus MDGModifier::newPlugValueFloat(const MPlug& plug, float v) {
    return queueValue(*this, plug, static_cast<double>(v));
}
MStatus MDGModifier::newPlugValueInt(const MPlug& plug, int v) {
    return queueValue(*this, plug, static_cast<double>(v));
}
MStatus MDGModifier::newPlugValueBool(const MPlug& plug, bool v) {
    return queueValue(*this, plug, v ? 1.0 : 0.0);
}
MStatus MDGModifier::newPlugValueString(const MPlug& plug, const MString& v) {
    return queueValue(*this, plug, fromM(v));
}

// Applies what was queued since the last doIt, in order, and stops at the first operation that
// cannot be done; the operations after it are dropped.
MStatus MDGModifier::doIt() {
    ModState& st = state(*this);
    std::vector<ModOp> ops = std::move(st.pending);
    st.pending.clear();
    for (ModOp& op : ops) {
        MStatus s = apply(op);
        if (!s) return s;
        st.done.push_back(std::move(op));
    }
    return MS::kSuccess;
}
MStatus MDGModifier::undoIt() {
    ModState& st = state(*this);
    for (auto it = st.done.rbegin(); it != st.done.rend(); ++it) revert(*it);
    st.done.clear();
    return MS::kSuccess;
}

// ---- MItDependencyGraph ----
// The walk is made step by step, so that prune() can stop it below the current item. At node level
// every node is visited once; at plug level every plug it arrives through is, so a node reached
// through several plugs is visited once per plug. Attribute-affects relations are not modelled: at
// plug level every input of a node leads on to every output, as at node level.
namespace {
struct Visit {
    ObjectPtr node;
    MPlug plug;  // the plug the walk arrived through (the root plug, or null, for the root)
};
struct Walk {
    std::deque<Visit> pending;  // reached but not yet visited
    std::set<const Node*> seenNodes;
    std::set<PlugRef> seenPlugs;
    Visit current;
    bool hasCurrent = false;
    bool pruned = false;
    bool atRoot = false;
};
using WalkStore = std::vector<Walk>;  // exactly one element, in the class's hidden storage
Walk& walk(MItDependencyGraph& it) {
    return Access::vec<Walk>(it).front();
}

// Neighbour plugs of a node (or of one plug) in a direction: the plugs on the next nodes.
void neighbours(const PlugRef* only, Node* n, bool downstream, std::vector<PlugRef>& out) {
    for (const Connection& c : n->connections) {
        if (only && c.local != *only) continue;
        if (downstream != c.localIsDestination) out.push_back(c.remote);
    }
}
}  // namespace

MItDependencyGraph::MItDependencyGraph(MObject& rootNode, MFn::Type filter, Direction direction,
                                       Traversal traversal, Level level, MStatus* ReturnStatus)
    : fRootNode(rootNode),
      fFilter(filter),
      fDirection(direction),
      fTraversal(traversal),
      fLevel(level),
      fPos(0) {
    new (fStore) WalkStore(1);
    setStatus(ReturnStatus, nodeOf(rootNode) ? reset() : MStatus(MS::kInvalidParameter));
}
MItDependencyGraph::MItDependencyGraph(MPlug& rootPlug, MFn::Type filter, Direction direction,
                                       Traversal traversal, Level level, MStatus* ReturnStatus)
    : fRoot(rootPlug),
      fRootNode(rootPlug.node()),
      fFilter(filter),
      fDirection(direction),
      fTraversal(traversal),
      fLevel(level),
      fPos(0) {
    new (fStore) WalkStore(1);
    setStatus(ReturnStatus, rootPlug.isNull() ? MStatus(MS::kInvalidParameter) : reset());
}
MItDependencyGraph::~MItDependencyGraph() {
    Access::vec<Walk>(*this).~WalkStore();
}

// The walk starts at the root (reported when it passes the filter); from a root plug the first step
// follows that plug's connections only. Nodes that do not pass the filter are walked through.
MStatus MItDependencyGraph::reset() {
    Walk& w = walk(*this);
    w = Walk{};
    fPos = 0;
    Node* root = nodeOf(fRootNode);
    if (!root) return MS::kInvalidParameter;
    w.seenNodes.insert(root);
    if (!fRoot.isNull()) w.seenPlugs.insert(toRef(fRoot));
    w.current = Visit{root->shared_from_this(), fRoot};
    w.hasCurrent = true;
    w.atRoot = true;
    if (fFilter != MFn::kInvalid && !root->hasFn(fFilter)) return next();
    return MS::kSuccess;
}
MStatus MItDependencyGraph::next() {
    Walk& w = walk(*this);
    if (!w.hasCurrent) return MS::kFailure;
    const bool down = fDirection == kDownstream;
    const bool depthFirst = fTraversal == kDepthFirst;
    for (;;) {
        if (!w.pruned) {
            Node* n = static_cast<Node*>(w.current.node.get());
            const PlugRef rootPlug = w.atRoot ? toRef(fRoot) : PlugRef{};
            std::vector<PlugRef> next;
            if (n->isAlive) neighbours(rootPlug.valid() ? &rootPlug : nullptr, n, down, next);
            std::vector<Visit> reached;
            for (const PlugRef& p : next) {
                const bool isNew =
                    fLevel == kPlugLevel ? w.seenPlugs.insert(p).second : w.seenNodes.insert(p.node).second;
                if (isNew) reached.push_back(Visit{p.node->shared_from_this(), toPlug(p)});
            }
            // Depth first takes the first neighbour next, so they go onto the stack in reverse.
            if (depthFirst)
                w.pending.insert(w.pending.end(), reached.rbegin(), reached.rend());
            else
                w.pending.insert(w.pending.end(), reached.begin(), reached.end());
        }
        w.pruned = false;
        w.atRoot = false;
        if (w.pending.empty()) {
            w.hasCurrent = false;
            ++fPos;
            return MS::kSuccess;
        }
        if (depthFirst) {
            w.current = std::move(w.pending.back());
            w.pending.pop_back();
        } else {
            w.current = std::move(w.pending.front());
            w.pending.pop_front();
        }
        if (fFilter == MFn::kInvalid || w.current.node->hasFn(fFilter)) break;
    }
    ++fPos;
    return MS::kSuccess;
}
// The walk goes on past the current item without following its connections.
MStatus MItDependencyGraph::prune() {
    Walk& w = walk(*this);
    if (!w.hasCurrent) return MS::kFailure;
    w.pruned = true;
    return MS::kSuccess;
}
bool MItDependencyGraph::isDone(MStatus* ReturnStatus) {
    setStatus(ReturnStatus, MS::kSuccess);
    return !walk(*this).hasCurrent;
}
MObject MItDependencyGraph::thisNode(MStatus* ReturnStatus) {
    const Walk& w = walk(*this);
    setStatus(ReturnStatus, w.hasCurrent ? MS::kSuccess : MS::kFailure);
    return w.hasCurrent ? Access::wrap(w.current.node) : MObject();
}
MObject MItDependencyGraph::currentItem(MStatus* ReturnStatus) {
    return thisNode(ReturnStatus);
}
MPlug MItDependencyGraph::thisPlug(MStatus* ReturnStatus) {
    const Walk& w = walk(*this);
    setStatus(ReturnStatus, w.hasCurrent ? MS::kSuccess : MS::kFailure);
    return w.hasCurrent ? w.current.plug : MPlug();
}
MObject MItDependencyGraph::rootNode(MStatus* ReturnStatus) {
    setStatus(ReturnStatus, MS::kSuccess);
    return fRootNode;
}
MPlug MItDependencyGraph::rootPlug(MStatus* ReturnStatus) {
    setStatus(ReturnStatus, MS::kSuccess);
    return fRoot;
}
