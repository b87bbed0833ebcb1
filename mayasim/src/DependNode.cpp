// MFnDependencyNode, MItDependencyNodes and MFnAttribute.
#include <maya/MFnAttribute.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>

#include <algorithm>

#include "Bridge.h"
#include "FnImpl.h"

using namespace mayasim;

MAYASIM_IMPLEMENT_MFN(MFnDependencyNode, MFn::kDependencyNode)

namespace {

void flatten(const Attribute* a, std::vector<const Attribute*>& out) {
    out.push_back(a);
    for (auto& c : a->children) flatten(c.get(), out);
}
std::vector<const Attribute*> allAttributes(const Node* n) {
    std::vector<const Attribute*> out;
    for (const Attribute* a : n->type->allAttributes) flatten(a, out);
    return out;
}

}  // namespace

MObject MFnDependencyNode::create(const MString& type, MStatus* ReturnStatus) {
    return create(type, MString(), ReturnStatus);
}

// Only dependency nodes: DAG nodes are made with MFnDagNode.
MObject MFnDependencyNode::create(const MString& type, const MString& name, MStatus* ReturnStatus) {
    const NodeType* t = types().find(fromM(type));
    if (!t || t->abstract || t->isDag()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    Node* n = scene().createNode(t, fromM(name));
    MObject o = wrapNode(n);
    setStatus(ReturnStatus, setObject(o));
    return o;
}

MTypeId MFnDependencyNode::typeId(MStatus* ReturnStatus) const {
    Node* n = fnNode(*this);
    setStatus(ReturnStatus, n ? MS::kSuccess : MS::kFailure);
    return n ? MTypeId(static_cast<unsigned int>(n->type->api)) : MTypeId();
}
MString MFnDependencyNode::typeName(MStatus* ReturnStatus) const {
    Node* n = fnNode(*this);
    setStatus(ReturnStatus, n ? MS::kSuccess : MS::kFailure);
    return n ? toM(n->type->name) : MString();
}
MString MFnDependencyNode::name(MStatus* ReturnStatus) const {
    Node* n = fnNode(*this);
    setStatus(ReturnStatus, n ? MS::kSuccess : MS::kFailure);
    return n ? toM(n->name) : MString();
}
MString MFnDependencyNode::setName(const MString& name, bool, MStatus* ReturnStatus) {
    Node* n = fnNode(*this);
    std::string given = n ? scene().rename(n, fromM(name)) : std::string();
    setStatus(ReturnStatus, given.empty() ? MS::kInvalidParameter : MS::kSuccess);
    return n ? toM(n->name) : MString();
}
MString MFnDependencyNode::setName(const MString& name, MStatus* ReturnStatus) {
    return setName(name, false, ReturnStatus);
}

MStatus MFnDependencyNode::getConnections(MPlugArray& array) const {
    array.clear();
    Node* n = fnNode(*this);
    if (!n) return MS::kFailure;
    std::vector<PlugRef> seen;
    for (const Connection& c : n->connections)
        if (std::find(seen.begin(), seen.end(), c.local) == seen.end()) {
            seen.push_back(c.local);
            array.append(toPlug(c.local));
        }
    return MS::kSuccess;
}
unsigned int MFnDependencyNode::attributeCount(MStatus* ReturnStatus) const {
    Node* n = fnNode(*this);
    setStatus(ReturnStatus, n ? MS::kSuccess : MS::kFailure);
    return n ? static_cast<unsigned int>(allAttributes(n).size()) : 0;
}
MObject MFnDependencyNode::attribute(unsigned int index, MStatus* ReturnStatus) const {
    Node* n = fnNode(*this);
    std::vector<const Attribute*> all = n ? allAttributes(n) : std::vector<const Attribute*>();
    bool ok = index < all.size();
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kFailure);
    return ok ? wrapAttribute(all[index]) : MObject();
}
MObject MFnDependencyNode::attribute(const MString& attrName, MStatus* ReturnStatus) const {
    Node* n = fnNode(*this);
    const Attribute* a = n ? n->type->findAttribute(fromM(attrName)) : nullptr;
    setStatus(ReturnStatus, a ? MS::kSuccess : MS::kInvalidParameter);
    return wrapAttribute(a);
}
bool MFnDependencyNode::hasAttribute(const MString& name, MStatus* ReturnStatus) const {
    Node* n = fnNode(*this);
    setStatus(ReturnStatus, n ? MS::kSuccess : MS::kFailure);
    return n && n->type->findAttribute(fromM(name));
}
MPlug MFnDependencyNode::findPlug(const MString& attrName, bool, MStatus* ReturnStatus) const {
    return findPlug(attrName, ReturnStatus);
}
MPlug MFnDependencyNode::findPlug(const MString& attrName, MStatus* ReturnStatus) const {
    Node* n = fnNode(*this);
    PlugRef r = n ? n->plug(fromM(attrName)) : PlugRef{};
    setStatus(ReturnStatus, r.valid() ? MS::kSuccess : MS::kInvalidParameter);
    return toPlug(r);
}
MPlug MFnDependencyNode::findPlug(const MObject& attr, bool, MStatus* ReturnStatus) const {
    return findPlug(attr, ReturnStatus);
}
MPlug MFnDependencyNode::findPlug(const MObject& attr, MStatus* ReturnStatus) const {
    Node* n = fnNode(*this);
    const Attribute* a = attributeOf(attr);
    bool ok = n && a && n->type->findAttribute(a->longName) == a;
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kInvalidParameter);
    return ok ? toPlug(n->plug(a)) : MPlug();
}
bool MFnDependencyNode::isFromReferencedFile(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, fnNode(*this) ? MS::kSuccess : MS::kFailure);
    return false;
}
bool MFnDependencyNode::isShared(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, fnNode(*this) ? MS::kSuccess : MS::kFailure);
    return false;
}
bool MFnDependencyNode::isDefaultNode(MStatus* ReturnStatus) const {
    Node* n = fnNode(*this);
    setStatus(ReturnStatus, n ? MS::kSuccess : MS::kFailure);
    static const char* const defaults[] = {
        "time1",           "renderPartition",     "defaultShaderList1", "defaultTextureList1",
        "lambert1",        "initialShadingGroup", "initialParticleSE",  "defaultLightSet",
        "defaultObjectSet"};
    if (!n) return false;
    for (const char* d : defaults)
        if (n->name == d) return true;
    return false;
}

// ---- MItDependencyNodes: every node in creation order, the world excluded ----
namespace {
std::vector<ObjectPtr>& items(MItDependencyNodes& it) {
    return Access::vec<ObjectPtr>(it);
}
const std::vector<ObjectPtr>& items(const MItDependencyNodes& it) {
    return Access::vec<ObjectPtr>(it);
}
}  // namespace

MItDependencyNodes::MItDependencyNodes(MFn::Type filter, MStatus* ReturnStatus) : fPos(0) {
    new (fStore) std::vector<ObjectPtr>();
    setStatus(ReturnStatus, reset(filter));
}
MItDependencyNodes::~MItDependencyNodes() {
    using V = std::vector<ObjectPtr>;
    items(*this).~V();
}
MStatus MItDependencyNodes::reset(MFn::Type filter) {
    auto& list = items(*this);
    list.clear();
    fPos = 0;
    for (const NodePtr& n : scene().nodes())
        if (n->isAlive && (filter == MFn::kInvalid || n->hasFn(filter))) list.push_back(n);
    return MS::kSuccess;
}
MObject MItDependencyNodes::thisNode(MStatus* ReturnStatus) const {
    bool ok = fPos < items(*this).size();
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kFailure);
    return ok ? Access::wrap(items(*this)[fPos]) : MObject();
}
MObject MItDependencyNodes::item(MStatus* ReturnStatus) const {
    return thisNode(ReturnStatus);
}
MStatus MItDependencyNodes::next() {
    if (fPos >= items(*this).size()) return MS::kFailure;
    ++fPos;
    return MS::kSuccess;
}
bool MItDependencyNodes::isDone(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kSuccess);
    return fPos >= items(*this).size();
}

// ---- MFnAttribute ----
MAYASIM_IMPLEMENT_MFN(MFnAttribute, MFn::kAttribute)

namespace {
const Attribute* fnAttr(const MFnAttribute& fn) {
    return dynamic_cast<const Attribute*>(Access::fnObject(fn).get());
}
}  // namespace

#define MAYASIM_ATTR_QUERY(Type, method, expr)                    \
    Type MFnAttribute::method(MStatus* ReturnStatus) const {      \
        const Attribute* a = fnAttr(*this);                       \
        setStatus(ReturnStatus, a ? MS::kSuccess : MS::kFailure); \
        if (!a) return Type();                                    \
        return expr;                                              \
    }
MAYASIM_ATTR_QUERY(MString, name, toM(a->longName))
MAYASIM_ATTR_QUERY(MString, shortName, toM(a->shortName))
MAYASIM_ATTR_QUERY(bool, isReadable, a->readable)
MAYASIM_ATTR_QUERY(bool, isWritable, a->writable)
MAYASIM_ATTR_QUERY(bool, isConnectable, true)
MAYASIM_ATTR_QUERY(bool, isKeyable, a->keyable)
MAYASIM_ATTR_QUERY(bool, isArray, a->array)
MAYASIM_ATTR_QUERY(MObject, parent, wrapAttribute(a->parent))
#undef MAYASIM_ATTR_QUERY
