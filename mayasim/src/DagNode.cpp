// The DAG through the API: MFnDagNode, MDagPath, MDagPathArray and MItDag.
#include <maya/MDagPath.h>
#include <maya/MDagPathArray.h>
#include <maya/MFnDagNode.h>
#include <maya/MItDag.h>
#include <maya/MMatrix.h>

#include <algorithm>
#include <deque>

#include "ArrayImpl.h"
#include "Bridge.h"
#include "FnImpl.h"

using namespace mayasim;

// ---- MFnDagNode ----
MFn::Type MFnDagNode::type() const {
    return MFn::kDagNode;
}
MFnDagNode::~MFnDagNode() = default;
const char* MFnDagNode::className() {
    return "MFnDagNode";
}
MFnDagNode::MFnDagNode() = default;
MFnDagNode::MFnDagNode(MObject& object, MStatus* ret) {
    setStatus(ret, setObject(object));
}
MFnDagNode::MFnDagNode(const MObject& object, MStatus* ret) {
    setStatus(ret, setObject(object));
}
MFnDagNode::MFnDagNode(const MDagPath& object, MStatus* ret) {
    setStatus(ret, setObject(object));
}

MStatus MFnDagNode::setObject(MObject& object) {
    return MFnBase::setObject(object);
}
MStatus MFnDagNode::setObject(const MObject& object) {
    return MFnBase::setObject(object);
}

// Attached through a transform's path, a set for a shape type reaches the shape below.
MStatus MFnDagNode::setObject(const MDagPath& path) {
    Access::fnObject(*this).reset();
    Access::fnPath(*this).clear();
    Node* leaf = pathLeaf(path);
    if (!leaf || leaf == scene().world()) return MS::kInvalidParameter;
    NodePath nodes = toNodePath(path);
    Node* target = nullptr;
    if (leaf->hasFn(type())) {
        target = leaf;
    } else {
        for (Node* shape : shapesBelow(leaf))
            if (shape->hasFn(type())) {
                target = shape;
                nodes.push_back(shape);
                break;
            }
    }
    if (!target) return MS::kInvalidParameter;
    Access::fnObject(*this) = target->shared_from_this();
    for (Node* n : nodes) Access::fnPath(*this).push_back(n->shared_from_this());
    return MS::kSuccess;
}

namespace {

std::string trailingNumber(const std::string& name) {
    std::size_t end = name.size();
    while (end > 0 && name[end - 1] >= '0' && name[end - 1] <= '9') --end;
    return name.substr(end);
}

}  // namespace

MObject MFnDagNode::create(const MString& type, MObject& parent, MStatus* ReturnStatus) {
    return create(type, MString(), parent, ReturnStatus);
}

// A shape made without a parent gets a new transform above it, and the transform is returned.
MObject MFnDagNode::create(const MString& type, const MString& name, MObject& parent, MStatus* ReturnStatus) {
    Scene& s = scene();
    const NodeType* t = types().find(fromM(type));
    Node* p = parent.isNull() ? nullptr : nodeOf(parent);
    if (!t || t->abstract || !t->isDag() ||
        (!parent.isNull() && (!p || !p->type->isDag() || p->type->isShape()))) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    Node* result = nullptr;
    if (t->isShape() && !p) {
        Node* xf = s.createNode(types().find("transform"), t->baseName() + "1", nullptr, Naming::kGenerated);
        if (name.length())
            s.createNode(t, fromM(name), xf);
        else
            s.createNode(t, t->baseName() + "Shape" + trailingNumber(xf->name), xf, Naming::kGenerated);
        result = xf;
    } else {
        result = s.createNode(t, fromM(name), p);
    }
    MObject o = wrapNode(result);
    MStatus st = MFnBase::setObject(o);
    setStatus(ReturnStatus, st);
    return o;
}

unsigned int MFnDagNode::parentCount(MStatus* ReturnStatus) const {
    Node* n = fnNode(*this);
    setStatus(ReturnStatus, n ? MS::kSuccess : MS::kFailure);
    return n ? static_cast<unsigned int>(n->parents.size()) : 0;
}
MObject MFnDagNode::parent(unsigned int i, MStatus* ReturnStatus) const {
    Node* n = fnNode(*this);
    bool ok = n && i < n->parents.size();
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kFailure);
    return ok ? wrapNode(n->parents[i]) : MObject();
}
MStatus MFnDagNode::addChild(MObject& child, unsigned int index, bool keepExistingParents) {
    Node* n = fnNode(*this);
    Node* c = nodeOf(child);
    if (!n || !c) return MS::kInvalidParameter;
    return scene().addChild(n, c, index == kNextPos ? 0xFFFFFFFFu : index, keepExistingParents);
}
// A child left without parents goes to the world, as the host keeps every DAG node reachable.
MStatus MFnDagNode::removeChild(MObject& child) {
    Node* n = fnNode(*this);
    Node* c = nodeOf(child);
    if (!n || !c) return MS::kInvalidParameter;
    MStatus s = scene().removeChild(n, c);
    if (s && c->parents.empty()) scene().addChild(scene().world(), c, 0xFFFFFFFFu, false);
    return s;
}
MStatus MFnDagNode::removeChildAt(unsigned int index) {
    Node* n = fnNode(*this);
    if (!n || index >= n->children.size()) return MS::kInvalidParameter;
    MObject c = wrapNode(n->children[index]);
    return removeChild(c);
}
unsigned int MFnDagNode::childCount(MStatus* ReturnStatus) const {
    Node* n = fnNode(*this);
    setStatus(ReturnStatus, n ? MS::kSuccess : MS::kFailure);
    return n ? static_cast<unsigned int>(n->children.size()) : 0;
}
MObject MFnDagNode::child(unsigned int i, MStatus* ReturnStatus) const {
    Node* n = fnNode(*this);
    bool ok = n && i < n->children.size();
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kFailure);
    return ok ? wrapNode(n->children[i]) : MObject();
}
bool MFnDagNode::hasParent(const MObject& node, MStatus* ReturnStatus) const {
    Node* n = fnNode(*this);
    Node* p = nodeOf(node);
    setStatus(ReturnStatus, n ? MS::kSuccess : MS::kFailure);
    return n && p && std::find(n->parents.begin(), n->parents.end(), p) != n->parents.end();
}
bool MFnDagNode::hasChild(const MObject& node, MStatus* ReturnStatus) const {
    Node* n = fnNode(*this);
    Node* c = nodeOf(node);
    setStatus(ReturnStatus, n ? MS::kSuccess : MS::kFailure);
    return n && c && std::find(n->children.begin(), n->children.end(), c) != n->children.end();
}
bool MFnDagNode::isChildOf(const MObject& node, MStatus* ReturnStatus) const {
    return hasParent(node, ReturnStatus);
}
bool MFnDagNode::isParentOf(const MObject& node, MStatus* ReturnStatus) const {
    return hasChild(node, ReturnStatus);
}
bool MFnDagNode::isInstanced(bool indirect, MStatus* ReturnStatus) const {
    Node* n = fnNode(*this);
    setStatus(ReturnStatus, n ? MS::kSuccess : MS::kFailure);
    if (!n) return false;
    return indirect ? allPaths(n).size() > 1 : n->parents.size() > 1;
}
unsigned int MFnDagNode::instanceCount(bool total, MStatus* ReturnStatus) const {
    Node* n = fnNode(*this);
    setStatus(ReturnStatus, n ? MS::kSuccess : MS::kFailure);
    if (!n) return 0;
    return static_cast<unsigned int>(total ? allPaths(n).size() : n->parents.size());
}
MStatus MFnDagNode::getPath(MDagPath& path) const {
    if (!fnNode(*this)) return MS::kFailure;
    path = toDagPath(fnPath(*this));
    return MS::kSuccess;
}
MStatus MFnDagNode::getAllPaths(MDagPathArray& paths) const {
    paths.clear();
    Node* n = fnNode(*this);
    if (!n) return MS::kFailure;
    for (const NodePath& p : allPaths(n)) paths.append(toDagPath(p));
    return MS::kSuccess;
}
MDagPath MFnDagNode::dagPath(MStatus* ReturnStatus) const {
    MDagPath p;
    setStatus(ReturnStatus, getPath(p));
    return p;
}
MString MFnDagNode::fullPathName(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, fnNode(*this) ? MS::kSuccess : MS::kFailure);
    return mayasim::fullPathName(fnPath(*this));
}
MString MFnDagNode::partialPathName(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, fnNode(*this) ? MS::kSuccess : MS::kFailure);
    return mayasim::partialPathName(fnPath(*this));
}
MMatrix MFnDagNode::transformationMatrix(MStatus* ReturnStatus) const {
    Node* n = fnNode(*this);
    setStatus(ReturnStatus, n ? MS::kSuccess : MS::kFailure);
    return n ? localMatrix(*n) : MMatrix();
}
bool MFnDagNode::isIntermediateObject(MStatus* ReturnStatus) const {
    Node* n = fnNode(*this);
    setStatus(ReturnStatus, n ? MS::kSuccess : MS::kFailure);
    return n && scene().number(n, "intermediateObject", 0) != 0;
}
MStatus MFnDagNode::setIntermediateObject(bool isIntermediate) {
    Node* n = fnNode(*this);
    return n ? scene().setNumber(n, "intermediateObject", isIntermediate ? 1 : 0) : MS::kFailure;
}

// ---- MDagPath ----
MDagPath::MDagPath() : fValid(false) {
    new (fStore) std::vector<ObjectPtr>();
}
MDagPath::MDagPath(const MDagPath& src) : fValid(src.fValid) {
    new (fStore) std::vector<ObjectPtr>(Access::pathNodes(src));
}
MDagPath::~MDagPath() {
    using V = std::vector<ObjectPtr>;
    Access::pathNodes(*this).~V();
}
MDagPath& MDagPath::operator=(const MDagPath& src) {
    Access::pathNodes(*this) = Access::pathNodes(src);
    fValid = src.fValid;
    return *this;
}
bool MDagPath::operator==(const MDagPath& src) const {
    return fValid == src.fValid && Access::pathNodes(*this) == Access::pathNodes(src);
}
MStatus MDagPath::set(const MDagPath& src) {
    *this = src;
    return MS::kSuccess;
}

MStatus MDagPath::getAPathTo(const MObject& node, MDagPath& path) {
    Node* n = nodeOf(node);
    if (!n || !n->type->isDag()) return MS::kInvalidParameter;
    path = toDagPath(firstPath(n));
    return MS::kSuccess;
}
MStatus MDagPath::getAllPathsTo(const MObject& node, MDagPathArray& paths) {
    paths.clear();
    Node* n = nodeOf(node);
    if (!n || !n->type->isDag()) return MS::kInvalidParameter;
    if (n == scene().world()) {
        paths.append(toDagPath(NodePath{}));
        return MS::kSuccess;
    }
    for (const NodePath& p : allPaths(n)) paths.append(toDagPath(p));
    return MS::kSuccess;
}

// True for the node at the end, and for a transform also for a shape directly below it.
bool MDagPath::hasFn(MFn::Type type, MStatus* ReturnStatus) const {
    Node* leaf = pathLeaf(*this);
    setStatus(ReturnStatus, leaf ? MS::kSuccess : MS::kFailure);
    if (!leaf) return false;
    if (leaf->hasFn(type)) return true;
    for (Node* shape : shapesBelow(leaf))
        if (shape->hasFn(type)) return true;
    return false;
}
MFn::Type MDagPath::apiType(MStatus* ReturnStatus) const {
    Node* leaf = pathLeaf(*this);
    setStatus(ReturnStatus, leaf ? MS::kSuccess : MS::kFailure);
    return leaf ? leaf->apiType() : MFn::kInvalid;
}
bool MDagPath::isValid(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kSuccess);
    return pathLeaf(*this) != nullptr;
}
MObject MDagPath::node(MStatus* ReturnStatus) const {
    Node* leaf = pathLeaf(*this);
    setStatus(ReturnStatus, leaf ? MS::kSuccess : MS::kFailure);
    return wrapNode(leaf);
}
MObject MDagPath::transform(MStatus* ReturnStatus) const {
    NodePath p = toNodePath(*this);
    for (auto it = p.rbegin(); it != p.rend(); ++it)
        if ((*it)->type->isTransform()) {
            setStatus(ReturnStatus, MS::kSuccess);
            return wrapNode(*it);
        }
    setStatus(ReturnStatus, MS::kInvalidParameter);
    return MObject();
}
unsigned int MDagPath::length(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, fValid ? MS::kSuccess : MS::kFailure);
    return static_cast<unsigned int>(Access::pathNodes(*this).size());
}
MStatus MDagPath::numberOfShapesDirectlyBelow(unsigned int& num) const {
    Node* leaf = pathLeaf(*this);
    if (!leaf) return MS::kFailure;
    num = static_cast<unsigned int>(shapesBelow(leaf).size());
    return MS::kSuccess;
}
MStatus MDagPath::extendToShape() {
    Node* leaf = pathLeaf(*this);
    if (!leaf) return MS::kFailure;
    if (leaf->type->isShape()) return MS::kSuccess;
    std::vector<Node*> shapes = shapesBelow(leaf);
    if (shapes.size() != 1) return MS::kFailure;
    Access::pathNodes(*this).push_back(shapes[0]->shared_from_this());
    return MS::kSuccess;
}
MStatus MDagPath::extendToShapeDirectlyBelow(unsigned int index) {
    Node* leaf = pathLeaf(*this);
    if (!leaf) return MS::kFailure;
    std::vector<Node*> shapes = shapesBelow(leaf);
    if (index >= shapes.size()) return MS::kInvalidParameter;
    Access::pathNodes(*this).push_back(shapes[index]->shared_from_this());
    return MS::kSuccess;
}
MStatus MDagPath::push(const MObject& child) {
    Node* leaf = pathLeaf(*this);
    Node* c = nodeOf(child);
    if (!leaf || !c || std::find(leaf->children.begin(), leaf->children.end(), c) == leaf->children.end())
        return MS::kInvalidParameter;
    Access::pathNodes(*this).push_back(c->shared_from_this());
    return MS::kSuccess;
}
// Popping a top-level node leaves the world, whose full path name is empty.
MStatus MDagPath::pop(unsigned int num) {
    auto& nodes = Access::pathNodes(*this);
    if (!fValid || num > nodes.size()) return MS::kInvalidParameter;
    nodes.resize(nodes.size() - num);
    return MS::kSuccess;
}
unsigned int MDagPath::childCount(MStatus* ReturnStatus) const {
    Node* leaf = pathLeaf(*this);
    setStatus(ReturnStatus, leaf ? MS::kSuccess : MS::kFailure);
    return leaf ? static_cast<unsigned int>(leaf->children.size()) : 0;
}
MObject MDagPath::child(unsigned int i, MStatus* ReturnStatus) const {
    Node* leaf = pathLeaf(*this);
    bool ok = leaf && i < leaf->children.size();
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kFailure);
    return ok ? wrapNode(leaf->children[i]) : MObject();
}
MMatrix MDagPath::inclusiveMatrix(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, pathLeaf(*this) ? MS::kSuccess : MS::kFailure);
    return pathMatrix(toNodePath(*this));
}
MMatrix MDagPath::exclusiveMatrix(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, pathLeaf(*this) ? MS::kSuccess : MS::kFailure);
    NodePath p = toNodePath(*this);
    if (!p.empty()) p.pop_back();
    return pathMatrix(p);
}
MMatrix MDagPath::inclusiveMatrixInverse(MStatus* ReturnStatus) const {
    return inclusiveMatrix(ReturnStatus).inverse();
}
MMatrix MDagPath::exclusiveMatrixInverse(MStatus* ReturnStatus) const {
    return exclusiveMatrix(ReturnStatus).inverse();
}
unsigned int MDagPath::pathCount(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, fValid ? MS::kSuccess : MS::kFailure);
    return fValid ? 1 : 0;
}
MString MDagPath::fullPathName(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, fValid ? MS::kSuccess : MS::kFailure);
    return mayasim::fullPathName(toNodePath(*this));
}
MString MDagPath::partialPathName(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, fValid ? MS::kSuccess : MS::kFailure);
    return mayasim::partialPathName(toNodePath(*this));
}
bool MDagPath::isInstanced(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, fValid ? MS::kSuccess : MS::kFailure);
    for (Node* n : toNodePath(*this))
        if (n->parents.size() > 1) return true;
    return false;
}
unsigned int MDagPath::instanceNumber(MStatus* ReturnStatus) const {
    NodePath p = toNodePath(*this);
    setStatus(ReturnStatus, fValid ? MS::kSuccess : MS::kFailure);
    if (p.empty()) return 0;
    Node* parent = p.size() > 1 ? p[p.size() - 2] : scene().world();
    auto& ps = p.back()->parents;
    auto it = std::find(ps.begin(), ps.end(), parent);
    return it == ps.end() ? 0 : static_cast<unsigned int>(it - ps.begin());
}

MAYASIM_ARRAY_COMMON(MDagPathArray, MDagPath)
MAYASIM_ARRAY_COPY(MDagPathArray, MDagPath)
MDagPathArray::MDagPathArray(const MDagPath src[], unsigned int count) {
    new (fStore) std::vector<MDagPath>(src ? src : nullptr, src ? src + count : nullptr);
}
MDagPathArray::MDagPathArray(unsigned int initialSize, const MDagPath& initialValue) {
    new (fStore) std::vector<MDagPath>(initialSize, initialValue);
}
MDagPath& MDagPathArray::operator[](unsigned int index) {
    return Access::vec<MDagPath>(*this)[index];
}
const MDagPath& MDagPathArray::operator[](unsigned int index) const {
    return Access::vec<MDagPath>(*this)[index];
}

// ---- MItDag: the visit order is fixed when the walk starts ----
namespace {
using PathList = std::vector<std::vector<ObjectPtr>>;
PathList& walk(MItDag& it) {
    return Access::vec<std::vector<ObjectPtr>>(it);
}
const PathList& walk(const MItDag& it) {
    return Access::vec<std::vector<ObjectPtr>>(it);
}

Node* leafOf(const std::vector<ObjectPtr>& p) {
    return p.empty() ? scene().world() : static_cast<Node*>(p.back().get());
}

bool wanted(const std::vector<ObjectPtr>& p, MFn::Type filter) {
    Node* n = leafOf(p);
    if (filter == MFn::kInvalid) return true;
    if (n == scene().world()) return filter == MFn::kWorld;
    return n->hasFn(filter);
}

void depthFirst(const std::vector<ObjectPtr>& prefix, PathList& out) {
    out.push_back(prefix);
    Node* n = leafOf(prefix);
    for (Node* c : n->children) {
        std::vector<ObjectPtr> p = prefix;
        p.push_back(c->shared_from_this());
        depthFirst(p, out);
    }
}
}  // namespace

MItDag::MItDag(TraversalType type, MFn::Type filter, MStatus* ReturnStatus)
    : fPos(0), fType(type), fFilter(filter) {
    new (fStore) PathList();
    setStatus(ReturnStatus, reset(wrapNode(scene().world()), type, filter));
}
MItDag::~MItDag() {
    walk(*this).~PathList();
}
MStatus MItDag::reset() {
    return reset(fRoot, fType, fFilter);
}
MStatus MItDag::reset(const MObject& object, TraversalType type, MFn::Type filter) {
    PathList& list = walk(*this);
    list.clear();
    fPos = 0;
    Node* root = nodeOf(object);
    if (!root || !root->type->isDag() || (type != kDepthFirst && type != kBreadthFirst))
        return MS::kInvalidParameter;
    fRoot = object;
    fType = type;
    fFilter = filter;
    std::vector<ObjectPtr> start;
    if (root != scene().world())
        for (Node* n : firstPath(root)) start.push_back(n->shared_from_this());
    PathList all;
    if (type == kDepthFirst) {
        depthFirst(start, all);
    } else {
        std::deque<std::vector<ObjectPtr>> queue{start};
        while (!queue.empty()) {
            std::vector<ObjectPtr> p = std::move(queue.front());
            queue.pop_front();
            for (Node* c : leafOf(p)->children) {
                std::vector<ObjectPtr> q = p;
                q.push_back(c->shared_from_this());
                queue.push_back(std::move(q));
            }
            all.push_back(std::move(p));
        }
    }
    for (auto& p : all)
        if (wanted(p, filter)) list.push_back(std::move(p));
    return MS::kSuccess;
}
MObject MItDag::item(MStatus* ReturnStatus) {
    return currentItem(ReturnStatus);
}
MObject MItDag::currentItem(MStatus* ReturnStatus) {
    bool ok = fPos < walk(*this).size();
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kFailure);
    return ok ? wrapNode(leafOf(walk(*this)[fPos])) : MObject();
}
MStatus MItDag::next() {
    if (fPos >= walk(*this).size()) return MS::kFailure;
    ++fPos;
    return MS::kSuccess;
}
// Skips everything below the current item.
MStatus MItDag::prune() {
    PathList& list = walk(*this);
    if (fPos >= list.size()) return MS::kFailure;
    const std::vector<ObjectPtr> cur = list[fPos];
    auto below = [&](const std::vector<ObjectPtr>& p) {
        return p.size() > cur.size() && std::equal(cur.begin(), cur.end(), p.begin());
    };
    list.erase(std::remove_if(list.begin() + fPos + 1, list.end(), below), list.end());
    return MS::kSuccess;
}
bool MItDag::isDone(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kSuccess);
    return fPos >= walk(*this).size();
}
MObject MItDag::root(MStatus* ReturnStatus) {
    setStatus(ReturnStatus, MS::kSuccess);
    return fRoot;
}
unsigned int MItDag::depth(MStatus* ReturnStatus) const {
    bool ok = fPos < walk(*this).size();
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kFailure);
    return ok ? static_cast<unsigned int>(walk(*this)[fPos].size()) : 0;
}
MItDag::TraversalType MItDag::getType(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kSuccess);
    return fType;
}
MStatus MItDag::getPath(MDagPath& path) const {
    if (fPos >= walk(*this).size()) return MS::kFailure;
    MDagPath p;
    Access::pathNodes(p) = walk(*this)[fPos];
    Access::pathValid(p) = true;
    path = p;
    return MS::kSuccess;
}
MString MItDag::fullPathName(MStatus* ReturnStatus) const {
    MDagPath p;
    setStatus(ReturnStatus, getPath(p));
    return p.fullPathName();
}
MString MItDag::partialPathName(MStatus* ReturnStatus) const {
    MDagPath p;
    setStatus(ReturnStatus, getPath(p));
    return p.partialPathName();
}
