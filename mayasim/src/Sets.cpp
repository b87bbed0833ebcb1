// Object sets and shading groups. Membership lives in connections, as in Maya: a whole instance is
// "shape.instObjGroups[i] -> set.dagSetMembers[n]"; some faces of an instance are
// "shape.instObjGroups[i].objectGroups[g] -> set.dagSetMembers[n]" with the faces held in that object
// group's "objectGrpCompList". A face belongs to at most one shading group.
#include <maya/MDagPath.h>
#include <maya/MFnSet.h>
#include <maya/MSelectionList.h>

#include <algorithm>
#include <map>

#include "Bridge.h"
#include "Component.h"
#include "FnImpl.h"
#include "Mesh.h"
#include "Selection.h"

namespace mayasim {

namespace {

bool isShadingGroup(const Node* n) {
    return n && n->type->isA("shadingEngine");
}
bool isRenderableSet(const Node* n) {
    return isShadingGroup(n) ||
           (n && n->type->isA("objectSet") && scene().number(n, "renderableOnlySet", 0) != 0);
}

struct Membership {
    PlugRef local;  // the shape's plug: instObjGroups[i] or instObjGroups[i].objectGroups[g]
    PlugRef setPlug;
    Node* set = nullptr;
    bool whole = false;
    unsigned group = 0;  // g for face memberships
};

// The memberships of one instance of a shape, whole-instance ones first, then by object group.
std::vector<Membership> membershipsOf(Node* shape, unsigned instance) {
    std::vector<Membership> out;
    for (const Connection& c : shape->connections) {
        if (c.localIsDestination || !c.remote.node->type->isA("objectSet")) continue;
        const std::string& a = c.local.attr->longName;
        if (c.local.index[0] != instance) continue;
        if (a == "instObjGroups" && c.local.isElement()) {
            out.push_back(Membership{c.local, c.remote, c.remote.node, true, 0});
        } else if (a == "objectGroups" && c.local.isElement()) {
            out.push_back(Membership{c.local, c.remote, c.remote.node, false, c.local.index[1]});
        }
    }
    std::stable_sort(out.begin(), out.end(), [](const Membership& x, const Membership& y) {
        if (x.whole != y.whole) return x.whole;
        return x.group < y.group;
    });
    return out;
}

PlugRef compListOf(const PlugRef& objectGroup) {
    const Attribute* a = objectGroup.node->type->findAttribute("objectGrpCompList");
    return a ? objectGroup.child(a) : PlugRef{};
}

std::vector<int> facesOf(const PlugRef& objectGroup, int numFaces) {
    Value v;
    if (!scene().read(compListOf(objectGroup), v) || !std::holds_alternative<ObjectPtr>(v)) return {};
    auto* c = dynamic_cast<Component*>(std::get<ObjectPtr>(v).get());
    return c ? c->resolve(numFaces) : std::vector<int>{};
}

// Stores a new face list in the object group; answers it.
ObjectPtr setFaces(const PlugRef& objectGroup, const std::vector<int>& faces) {
    auto c = std::make_shared<Component>(MFn::kMeshPolygonComponent);
    c->elements.reserve(faces.size());
    for (int f : faces) c->add(f);
    ObjectPtr stored(c);
    scene().write(compListOf(objectGroup), Value(stored));
    return stored;
}

unsigned nextFreeIndex(const PlugRef& arrayPlug) {
    std::vector<unsigned> used = scene().elementIndices(arrayPlug);
    return used.empty() ? 0 : used.back() + 1;
}

int faceCount(Node* shape) {
    MeshData* d = meshData(shape);
    return d ? d->numPolygons() : 0;
}

// Connects a new object group of the instance, holding `faces`, to `set`; `made` (when given)
// receives the new membership.
MStatus addFaceGroup(Node* shape, unsigned instance, Node* set, const std::vector<int>& faces,
                     FaceOwnerMemo::Group* made = nullptr) {
    Scene& s = scene();
    PlugRef iog = shape->plug("instObjGroups").element(instance);
    const Attribute* og = shape->type->findAttribute("objectGroups");
    PlugRef groups = iog.child(og);
    PlugRef group = groups.element(nextFreeIndex(groups));
    ObjectPtr stored = setFaces(group, faces);
    PlugRef members = set->plug("dagSetMembers");
    PlugRef member = members.element(nextFreeIndex(members));
    if (made) {
        made->local = group;
        made->setPlug = member;
        made->set = set;
        made->faces = stored;
    }
    return s.connect(group, member);
}

// ---- The face-owner memo ----

ObjectPtr storedFaces(const PlugRef& objectGroup) {
    Value v;
    if (!scene().read(compListOf(objectGroup), v) || !std::holds_alternative<ObjectPtr>(v)) return nullptr;
    return std::get<ObjectPtr>(v);
}

void noteFaces(FaceOwnerMemo::Group& g, ObjectPtr faces) {
    const auto* c = dynamic_cast<const Component*>(faces.get());
    g.faces = std::move(faces);
    g.size = c ? c->elements.size() : 0;
    g.complete = c && c->complete;
    g.completeCount = c ? c->completeCount : 0;
}

bool sameFaces(const FaceOwnerMemo::Group& g, const ObjectPtr& faces) {
    const auto* c = dynamic_cast<const Component*>(faces.get());
    if (faces != g.faces) return false;
    if (!c) return g.size == 0 && !g.complete;
    return c->elements.size() == g.size && c->complete == g.complete && c->completeCount == g.completeCount;
}

// The memo of an instance's renderable face groups, checked against the plugs (one read per
// group) and rebuilt when anything else changed them. Null when the instance is a whole member of
// a renderable set or two renderable groups share a face: the general path handles those.
FaceOwnerMemo* currentMemo(Node* shape, unsigned instance, int numFaces) {
    MeshData* d = meshData(shape);
    if (!d) return nullptr;
    auto known = d->faceOwners.byInstance.find(instance);
    if (known != d->faceOwners.byInstance.end()) {
        FaceOwnerMemo& memo = known->second;
        const bool untouched =
            memo.revision == shape->revision && memo.owner.size() == static_cast<std::size_t>(numFaces) &&
            std::all_of(memo.groups.begin(), memo.groups.end(),
                        [](const FaceOwnerMemo::Group& g) { return sameFaces(g, g.faces); });
        if (untouched) return &memo;
    }
    std::vector<Membership> groups;
    for (const Membership& m : membershipsOf(shape, instance)) {
        if (!isRenderableSet(m.set)) continue;
        if (m.whole) return nullptr;
        groups.push_back(m);
    }
    FaceOwnerMemo& memo = d->faceOwners.byInstance[instance];
    std::vector<ObjectPtr> stored(groups.size());
    bool same =
        memo.owner.size() == static_cast<std::size_t>(numFaces) && memo.groups.size() == groups.size();
    for (std::size_t i = 0; i < groups.size(); ++i) {
        stored[i] = storedFaces(groups[i].local);
        const FaceOwnerMemo::Group* g = same ? &memo.groups[i] : nullptr;
        same = g && g->local == groups[i].local && g->setPlug == groups[i].setPlug &&
               g->set == groups[i].set && sameFaces(*g, stored[i]);
    }
    if (same) {
        memo.revision = shape->revision;
        return &memo;
    }

    memo.groups.clear();
    memo.owner.assign(static_cast<std::size_t>(numFaces), -1);
    for (std::size_t i = 0; i < groups.size(); ++i) {
        FaceOwnerMemo::Group g;
        g.local = groups[i].local;
        g.setPlug = groups[i].setPlug;
        g.set = groups[i].set;
        if (const auto* c = dynamic_cast<const Component*>(stored[i].get()))
            for (int f : c->resolve(numFaces)) {
                if (f < 0 || f >= numFaces) continue;
                int& owner = memo.owner[static_cast<std::size_t>(f)];
                if (owner >= 0 && owner != static_cast<int>(i)) {
                    memo = FaceOwnerMemo{};
                    return nullptr;
                }
                owner = static_cast<int>(i);
            }
        noteFaces(g, std::move(stored[i]));
        memo.groups.push_back(std::move(g));
    }
    memo.revision = shape->revision;
    return &memo;
}

// What addSetMember does for faces joining a renderable set, through the memo: only the groups
// that lose faces are read and rewritten, so that giving each of many shading groups its faces
// stays linear in the faces given. `mine` is the set's own group on the instance, if any.
MStatus addFacesWithMemo(FaceOwnerMemo& memo, Node* set, Node* shape, unsigned instance,
                         const std::vector<int>& faces, int numFaces, int mine) {
    Scene& s = scene();
    constexpr int kLeaving = -2;
    std::vector<char> losing(memo.groups.size(), 0);
    std::vector<int> losers;
    for (int f : faces) {
        if (f < 0 || f >= numFaces) continue;
        int& owner = memo.owner[static_cast<std::size_t>(f)];
        if (owner < 0 || owner == mine) continue;
        if (!losing[static_cast<std::size_t>(owner)]) {
            losing[static_cast<std::size_t>(owner)] = 1;
            losers.push_back(owner);
        }
        owner = kLeaving;
    }
    std::sort(losers.begin(), losers.end());  // in membership order, as the general path goes
    bool groupGone = false;
    for (int o : losers) {
        FaceOwnerMemo::Group& g = memo.groups[static_cast<std::size_t>(o)];
        std::vector<int> remaining;
        if (const auto* c = dynamic_cast<const Component*>(g.faces.get()))
            for (int f : c->resolve(numFaces))
                if (f >= 0 && f < numFaces && memo.owner[static_cast<std::size_t>(f)] == o)
                    remaining.push_back(f);
        if (remaining.empty()) {
            s.disconnect(g.local, g.setPlug);
            groupGone = true;
        } else {
            noteFaces(g, setFaces(g.local, remaining));
        }
    }

    MStatus status = MS::kSuccess;
    if (mine >= 0) {
        FaceOwnerMemo::Group& g = memo.groups[static_cast<std::size_t>(mine)];
        std::vector<int> merged = facesOf(g.local, numFaces);
        for (int f : faces) {
            if (f < 0 || f >= numFaces) continue;
            int& owner = memo.owner[static_cast<std::size_t>(f)];
            if (owner == mine) continue;
            owner = mine;
            merged.push_back(f);
        }
        noteFaces(g, setFaces(g.local, merged));
    } else {
        FaceOwnerMemo::Group made;
        status = addFaceGroup(shape, instance, set, faces, &made);
        const int position = static_cast<int>(memo.groups.size());
        for (int f : faces)
            if (f >= 0 && f < numFaces) memo.owner[static_cast<std::size_t>(f)] = position;
        noteFaces(made, made.faces);
        memo.groups.push_back(std::move(made));
        groupGone = groupGone || !status;
    }
    // A group that left (or never joined) shifts the positions: the next use rebuilds.
    if (groupGone)
        memo = FaceOwnerMemo{};
    else
        memo.revision = shape->revision;
    return status;
}

// Takes faces (all when null) of one instance away from every shading group but `keep`.
void releaseFaces(Node* shape, unsigned instance, const std::vector<int>* faces, Node* keep) {
    Scene& s = scene();
    const int n = faceCount(shape);
    std::vector<char> taken(static_cast<std::size_t>(n), 0);
    if (faces)
        for (int f : *faces)
            if (f >= 0 && f < n) taken[static_cast<std::size_t>(f)] = 1;
    for (const Membership& m : membershipsOf(shape, instance)) {
        if (m.set == keep || !isRenderableSet(m.set)) continue;
        std::vector<int> remaining;
        if (faces) {
            std::vector<int> had;
            if (m.whole)
                for (int f = 0; f < n; ++f) had.push_back(f);
            else
                had = facesOf(m.local, n);
            for (int f : had)
                if (f >= 0 && f < n && !taken[static_cast<std::size_t>(f)]) remaining.push_back(f);
        }
        if (m.whole) {
            s.disconnect(m.local, m.setPlug);
            if (!remaining.empty()) addFaceGroup(shape, instance, m.set, remaining);
        } else if (remaining.empty()) {
            s.disconnect(m.local, m.setPlug);
        } else {
            setFaces(m.local, remaining);
        }
    }
}

unsigned instanceOf(const NodePath& path) {
    Node* shape = path.back();
    Node* parent = path.size() >= 2 ? path[path.size() - 2] : scene().world();
    auto it = std::find(shape->parents.begin(), shape->parents.end(), parent);
    return it == shape->parents.end() ? 0u : static_cast<unsigned>(it - shape->parents.begin());
}

}  // namespace

InstanceShading shadingOf(Node* shape, unsigned instance, int numFaces) {
    InstanceShading out;
    out.faceGroup.assign(static_cast<std::size_t>(std::max(0, numFaces)), -1);
    auto indexOf = [&](Node* g) {
        auto it = std::find(out.groups.begin(), out.groups.end(), g);
        if (it != out.groups.end()) return static_cast<int>(it - out.groups.begin());
        out.groups.push_back(g);
        return static_cast<int>(out.groups.size() - 1);
    };
    for (const Membership& m : membershipsOf(shape, instance)) {
        if (!isShadingGroup(m.set)) continue;
        const int g = indexOf(m.set);
        if (m.whole) {
            std::fill(out.faceGroup.begin(), out.faceGroup.end(), g);
        } else {
            for (int f : facesOf(m.local, numFaces))
                if (f >= 0 && f < numFaces) out.faceGroup[static_cast<std::size_t>(f)] = g;
        }
    }
    return out;
}

MStatus addSetMember(Node* set, const NodePath& pathIn, const std::vector<int>* faces) {
    if (!set || pathIn.empty()) return MS::kInvalidParameter;
    NodePath path = pathIn;
    const bool renderable = isRenderableSet(set);
    if (path.back()->type->isTransform() && (renderable || faces)) {
        std::vector<Node*> shapes = shapesBelow(path.back());
        if (shapes.empty()) return MS::kInvalidParameter;
        path.push_back(shapes.front());
    }
    Node* shape = path.back();
    if (faces && !meshData(shape)) return MS::kInvalidParameter;
    const unsigned instance = instanceOf(path);
    if (renderable && faces) {
        const int n = faceCount(shape);
        if (FaceOwnerMemo* memo = currentMemo(shape, instance, n)) {
            int mine = -1;
            int count = 0;
            for (std::size_t i = 0; i < memo->groups.size(); ++i)
                if (memo->groups[i].set == set) {
                    if (mine < 0) mine = static_cast<int>(i);
                    ++count;
                }
            if (count <= 1) return addFacesWithMemo(*memo, set, shape, instance, *faces, n, mine);
        }
    }
    if (renderable) releaseFaces(shape, instance, faces, set);

    Scene& s = scene();
    std::vector<Membership> mine;
    for (const Membership& m : membershipsOf(shape, instance))
        if (m.set == set) mine.push_back(m);
    bool wholeAlready = std::any_of(mine.begin(), mine.end(), [](const Membership& m) { return m.whole; });
    if (wholeAlready) return MS::kSuccess;
    if (!faces) {
        for (const Membership& m : mine) s.disconnect(m.local, m.setPlug);
        PlugRef members = set->plug("dagSetMembers");
        return s.connect(shape->plug("instObjGroups").element(instance),
                         members.element(nextFreeIndex(members)));
    }
    if (!mine.empty()) {
        const int n = faceCount(shape);
        std::vector<int> merged = facesOf(mine.front().local, n);
        std::vector<char> seen(static_cast<std::size_t>(n), 0);
        for (int f : merged)
            if (f >= 0 && f < n) seen[static_cast<std::size_t>(f)] = 1;
        for (int f : *faces)
            if (f >= 0 && f < n && !seen[static_cast<std::size_t>(f)]) {
                seen[static_cast<std::size_t>(f)] = 1;
                merged.push_back(f);
            }
        setFaces(mine.front().local, merged);
        return MS::kSuccess;
    }
    return addFaceGroup(shape, instance, set, *faces);
}

}  // namespace mayasim

using namespace mayasim;

namespace {

// Adds the items of a list to a set. Faces are gathered per shape path first, so that a list of
// many one-face items (as scripts build them) joins the set in one step per path.
MStatus addItems(Node* set, const std::vector<SelectionItem>& list) {
    MStatus status;
    std::vector<std::pair<NodePath, std::vector<int>>> facesByPath;
    std::vector<std::vector<char>> seen;
    for (const SelectionItem& item : list) {
        MStatus one;
        if (item.isPlug) {
            one = MS::kInvalidParameter;
        } else if (!item.isDag) {
            Node* n = dynamic_cast<Node*>(item.node.get());
            if (!n || !n->isAlive || isRenderableSet(set)) {
                one = MS::kInvalidParameter;
            } else {
                PlugRef members = set->plug("dnSetMembers");
                one = scene().connect(n->plug("message"), members.element(nextFreeIndex(members)));
            }
        } else {
            NodePath path;
            for (const ObjectPtr& o : item.path) {
                Node* n = dynamic_cast<Node*>(o.get());
                if (!n || !n->isAlive) {
                    path.clear();
                    break;
                }
                path.push_back(n);
            }
            auto* c = dynamic_cast<Component*>(item.component.get());
            NodePath shapePath;
            Node* shape = path.empty() ? nullptr : shapeAt(toDagPath(path), MFn::kMesh, shapePath);
            if (path.empty()) {
                one = MS::kInvalidParameter;
            } else if (!item.component) {
                one = addSetMember(set, path, nullptr);
            } else if (!c || c->kind != MFn::kMeshPolygonComponent || !shape) {
                one = MS::kInvalidParameter;  // only faces can be members
            } else {
                auto it = std::find_if(facesByPath.begin(), facesByPath.end(),
                                       [&](const auto& e) { return e.first == shapePath; });
                if (it == facesByPath.end()) {
                    facesByPath.emplace_back(shapePath, std::vector<int>());
                    seen.emplace_back(static_cast<std::size_t>(faceCount(shape)), 0);
                    it = facesByPath.end() - 1;
                }
                std::vector<char>& mark = seen[static_cast<std::size_t>(it - facesByPath.begin())];
                for (int f : c->resolve(faceCount(shape)))
                    if (f >= 0 && f < faceCount(shape) && !mark[static_cast<std::size_t>(f)]) {
                        mark[static_cast<std::size_t>(f)] = 1;
                        it->second.push_back(f);
                    }
            }
        }
        if (!one) status = one;
    }
    for (const auto& entry : facesByPath) {
        MStatus one = addSetMember(set, entry.first, &entry.second);
        if (!one) status = one;
    }
    return status;
}

}  // namespace

MAYASIM_IMPLEMENT_MFN(MFnSet, MFn::kSet)

MObject MFnSet::create(const MSelectionList& members, Restriction restriction, MStatus* ReturnStatus) {
    return create(members, restriction, false, ReturnStatus);
}

// A renderable-only set is a shading group; it joins the render partition as Maya's do.
MObject MFnSet::create(const MSelectionList& members, Restriction restriction, bool isLayer,
                       MStatus* ReturnStatus) {
    Scene& s = scene();
    if (restriction < kNone || restriction > kRenderableOnly) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    const bool renderable = restriction == kRenderableOnly;
    // Refuse lists this set cannot hold before anything is made.
    for (const SelectionItem& item : items(members)) {
        if (item.isPlug || (renderable && !item.isDag)) {
            setStatus(ReturnStatus, MS::kInvalidParameter);
            return MObject();
        }
    }
    Node* set = s.createNode(types().find(renderable ? "shadingEngine" : "objectSet"), "set1");
    if (!set) {
        setStatus(ReturnStatus, MS::kFailure);
        return MObject();
    }
    static const char* const flags[] = {nullptr,         "verticesOnlySet", "edgesOnlySet",
                                        "facetsOnlySet", nullptr,           "renderableOnlySet"};
    if (flags[restriction]) s.setNumber(set, flags[restriction], 1);
    s.setNumber(set, "isLayer", isLayer ? 1 : 0);
    if (renderable)
        if (Node* partition = s.findNode("renderPartition")) {
            PlugRef sets = partition->plug("sets");
            s.connect(set->plug("partition"), sets.element(nextFreeIndex(sets)));
        }
    MStatus status = addItems(set, items(members));
    MObject o = wrapNode(set);
    setObject(o);
    setStatus(ReturnStatus, status);
    return o;
}

MStatus MFnSet::getMembers(MSelectionList& members, bool) const {
    Node* set = fnNode(*this);
    if (!set) return MS::kInvalidParameter;
    for (const Connection& c : set->connections) {
        if (!c.localIsDestination) continue;
        const std::string& a = c.local.attr->longName;
        Node* src = c.remote.node;
        if (a == "dnSetMembers") {
            members.add(wrapNode(src), true);
        } else if (a == "dagSetMembers") {
            const unsigned inst = c.remote.index[0];
            NodePath path = instancePath(src, inst);
            if (path.empty()) continue;
            if (c.remote.attr->longName == "objectGroups") {
                std::vector<int> faces = facesOf(c.remote, faceCount(src));
                members.add(toDagPath(path), makeComponent(MFn::kMeshPolygonComponent, faces), true);
            } else {
                members.add(toDagPath(path), MObject::kNullObj, true);
            }
        }
    }
    return MS::kSuccess;
}
MStatus MFnSet::addMember(const MObject& obj) {
    MSelectionList l;
    MStatus s = l.add(obj);
    return s ? addMembers(l) : s;
}
MStatus MFnSet::addMember(const MDagPath& obj, const MObject& component) {
    MSelectionList l;
    MStatus s = l.add(obj, component);
    return s ? addMembers(l) : s;
}
MStatus MFnSet::addMembers(const MSelectionList& list) {
    Node* set = fnNode(*this);
    if (!set) return MS::kInvalidParameter;
    return addItems(set, items(list));
}
bool MFnSet::isMember(const MObject& object, MStatus* ReturnStatus) const {
    Node* set = fnNode(*this);
    Node* n = nodeOf(object);
    setStatus(ReturnStatus, set && n ? MS::kSuccess : MS::kInvalidParameter);
    if (!set || !n) return false;
    for (const Connection& c : set->connections)
        if (c.localIsDestination && c.remote.node == n) return true;
    return false;
}
bool MFnSet::isMember(const MDagPath& object, const MObject& component, MStatus* ReturnStatus) const {
    Node* set = fnNode(*this);
    NodePath path;
    Node* shape = set ? shapeAt(object, MFn::kShape, path) : nullptr;
    if (!shape) {
        shape = pathLeaf(object);
        path = toNodePath(object);
    }
    setStatus(ReturnStatus, set && shape ? MS::kSuccess : MS::kInvalidParameter);
    if (!set || !shape || path.empty()) return false;
    const unsigned instance = instanceOf(path);
    Component* c = componentOf(component);
    std::vector<int> wanted = c ? c->resolve(faceCount(shape)) : std::vector<int>{};
    for (const Membership& m : membershipsOf(shape, instance)) {
        if (m.set != set) continue;
        if (m.whole || !c) return true;
        std::vector<int> faces = facesOf(m.local, faceCount(shape));
        return std::all_of(wanted.begin(), wanted.end(),
                           [&](int f) { return std::find(faces.begin(), faces.end(), f) != faces.end(); });
    }
    return false;
}
MFnSet::Restriction MFnSet::restriction(MStatus* ReturnStatus) const {
    Node* set = fnNode(*this);
    setStatus(ReturnStatus, set ? MS::kSuccess : MS::kInvalidParameter);
    if (!set) return kNone;
    Scene& s = scene();
    if (s.number(set, "renderableOnlySet", 0) != 0) return kRenderableOnly;
    if (s.number(set, "facetsOnlySet", 0) != 0) return kFacetsOnly;
    if (s.number(set, "edgesOnlySet", 0) != 0) return kEdgesOnly;
    if (s.number(set, "verticesOnlySet", 0) != 0) return kVerticesOnly;
    return kNone;
}
