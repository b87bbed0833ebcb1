#include "Bridge.h"

#include <maya/MFnBase.h>

#include <algorithm>
#include <functional>

namespace mayasim {

Node* nodeOf(const MObject& o) {
    Node* n = dynamic_cast<Node*>(Access::ptr(o).get());
    return n && n->isAlive ? n : nullptr;
}
const Attribute* attributeOf(const MObject& o) {
    return dynamic_cast<const Attribute*>(Access::ptr(o).get());
}
MObject wrapNode(const Node* n) {
    return n ? Access::wrap(std::const_pointer_cast<Object>(n->shared_from_this())) : MObject();
}
MObject wrapAttribute(const Attribute* a) {
    return a ? Access::wrap(std::const_pointer_cast<Object>(a->shared_from_this())) : MObject();
}

PlugRef toRef(const MPlug& p) {
    PlugRef r;
    r.node = nodeOf(Access::plugNode(p));
    r.attr = attributeOf(Access::plugAttr(p));
    const unsigned* idx = Access::plugIndex(p);
    for (int i = 0; i < kMaxAttrDepth; ++i) r.index[static_cast<std::size_t>(i)] = idx[i];
    if (!r.node || !r.attr) return PlugRef{};
    return r;
}
MPlug toPlug(const PlugRef& r) {
    MPlug p;
    if (!r.valid()) return p;
    Access::plugNode(p) = wrapNode(r.node);
    Access::plugAttr(p) = wrapAttribute(r.attr);
    unsigned* idx = Access::plugIndex(p);
    for (int i = 0; i < kMaxAttrDepth; ++i) idx[i] = r.index[static_cast<std::size_t>(i)];
    return p;
}

const std::vector<ObjectPtr>& pathNodes(const MDagPath& p) {
    return Access::pathNodes(p);
}
bool pathValid(const MDagPath& p) {
    return Access::pathValid(p);
}
NodePath toNodePath(const MDagPath& p) {
    NodePath out;
    for (const ObjectPtr& o : pathNodes(p)) {
        Node* n = dynamic_cast<Node*>(o.get());
        if (!n || !n->isAlive) return NodePath{};
        out.push_back(n);
    }
    return out;
}
MDagPath toDagPath(const NodePath& path) {
    MDagPath p;
    auto& nodes = Access::pathNodes(p);
    for (Node* n : path) nodes.push_back(n->shared_from_this());
    Access::pathValid(p) = true;
    return p;
}
Node* pathLeaf(const MDagPath& p) {
    if (!pathValid(p)) return nullptr;
    const auto& nodes = pathNodes(p);
    if (nodes.empty()) return scene().world();
    Node* n = dynamic_cast<Node*>(nodes.back().get());
    return n && n->isAlive ? n : nullptr;
}

Node* fnNode(const MFnBase& fn) {
    Node* n = dynamic_cast<Node*>(Access::fnObject(fn).get());
    return n && n->isAlive ? n : nullptr;
}
// The path the set was attached through, while it still leads from the world to the node; a set
// attached to the node itself, or whose path the node has since left (reparented, parent deleted),
// answers for the node's current first path, so world-space reads follow the node where it is now.
NodePath fnPath(const MFnBase& fn) {
    Node* n = fnNode(fn);
    if (!n) return NodePath{};
    const std::vector<ObjectPtr>& stored = Access::fnPath(fn);
    if (!stored.empty() && stored.back().get() == n) {
        NodePath path;
        path.reserve(stored.size());
        const Node* above = scene().world();
        for (const ObjectPtr& o : stored) {
            Node* c = static_cast<Node*>(o.get());
            // Links are kept on both ends, so the child's (short) parent list is enough to check.
            if (!c->isAlive || std::find(c->parents.begin(), c->parents.end(), above) == c->parents.end())
                return firstPath(n);
            path.push_back(c);
            above = c;
        }
        return path;
    }
    return firstPath(n);
}

bool fnHasDagPath(const MFnBase& fn) {
    return fnNode(fn) && !Access::fnPath(fn).empty();
}

std::vector<Node*> shapesBelow(const Node* n) {
    std::vector<Node*> out;
    if (!n || !n->type->isTransform()) return out;
    for (Node* c : n->children)
        if (c->type->isShape() && scene().number(c, "intermediateObject", 0) == 0) out.push_back(c);
    return out;
}

MString fullPathName(const NodePath& path) {
    std::string s;
    for (Node* n : path) s += "|" + n->name;
    return toM(s);
}

namespace {
double pathCount(const Node* n, const Node* world) {
    double c = 0;
    for (const Node* p : n->parents) c += p == world ? 1 : pathCount(p, world);
    return c;
}
// Number of full paths whose last components are `suffix` (leaf first), starting at `n` for suffix[j].
double matching(const Node* n, const std::vector<const std::string*>& suffix, std::size_t j,
                const Node* world) {
    if (n->name != *suffix[j]) return 0;
    if (j + 1 == suffix.size()) return pathCount(n, world);
    double c = 0;
    for (const Node* p : n->parents)
        if (p != world) c += matching(p, suffix, j + 1, world);
    return c;
}
}  // namespace

// The shortest trailing part of the full path that names one path only.
MString partialPathName(const NodePath& path) {
    if (path.empty()) return MString();
    const Scene& s = scene();
    std::vector<const std::string*> suffix;
    for (std::size_t k = 1; k <= path.size(); ++k) {
        suffix.push_back(&path[path.size() - k]->name);
        double total = 0;
        for (Node* candidate : s.nodesNamed(*suffix.front()))
            if (candidate->type->isDag()) total += matching(candidate, suffix, 0, s.world());
        if (total <= 1.0) {
            std::string text;
            for (std::size_t i = path.size() - k; i < path.size(); ++i)
                text += (text.empty() ? "" : "|") + path[i]->name;
            return toM(text);
        }
    }
    return fullPathName(path);
}

}  // namespace mayasim
