// MSelectionList: lists of nodes, DAG paths with components, and plugs; lookup by name or pattern.
#include "Selection.h"

#include <maya/MDagPath.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MStringArray.h>

#include <algorithm>

#include "Bridge.h"
#include "Component.h"
#include "Mesh.h"

using namespace mayasim;

namespace {

using Items = std::vector<SelectionItem>;

bool sameTarget(const SelectionItem& a, const SelectionItem& b) {
    return a.node == b.node && a.isDag == b.isDag && a.path == b.path && a.component == b.component &&
           a.isPlug == b.isPlug && (!a.isPlug || a.plug == b.plug);
}

void push(Items& list, SelectionItem item, bool merge) {
    if (merge)
        for (const SelectionItem& i : list)
            if (sameTarget(i, item)) return;
    list.push_back(std::move(item));
}

SelectionItem itemForPath(const NodePath& path) {
    SelectionItem it;
    it.node = path.back()->shared_from_this();
    it.isDag = true;
    for (Node* n : path) it.path.push_back(n->shared_from_this());
    return it;
}

SelectionItem itemForNode(Node* n) {
    if (n->type->isDag()) return itemForPath(firstPath(n));
    SelectionItem it;
    it.node = n->shared_from_this();
    return it;
}

// '*' matches any run of characters, '?' one character.
bool glob(const char* pattern, const char* text) {
    if (*pattern == '\0') return *text == '\0';
    if (*pattern == '*') return glob(pattern + 1, text) || (*text && glob(pattern, text + 1));
    if (*text && (*pattern == '?' || *pattern == *text)) return glob(pattern + 1, text + 1);
    return false;
}

std::vector<std::string> splitPath(const std::string& s) {
    std::vector<std::string> parts;
    std::string cur;
    for (char c : s) {
        if (c == '|') {
            if (!cur.empty()) parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) parts.push_back(cur);
    return parts;
}

}  // namespace

namespace mayasim {

// Every path whose trailing names are those of `name` ("a|b" or "|a|b"; a leading '|' anchors the
// path at the world). A plain name gives each node of that name its first path.
std::vector<NodePath> pathsNamed(const std::string& name) {
    std::vector<NodePath> out;
    const bool anchored = !name.empty() && name[0] == '|';
    std::vector<std::string> parts = splitPath(name);
    if (parts.empty()) return out;
    for (Node* n : scene().nodesNamed(parts.back())) {
        if (!n->type->isDag()) continue;
        for (const NodePath& p : allPaths(n)) {
            if (p.size() < parts.size() || (anchored && p.size() != parts.size())) continue;
            bool match = true;
            for (std::size_t k = 0; k < parts.size() && match; ++k)
                match = p[p.size() - parts.size() + k]->name == parts[k];
            if (match) {
                out.push_back(p);
                if (parts.size() == 1 && !anchored) break;  // a plain name stands for the node's first path
            }
        }
    }
    return out;
}

}  // namespace mayasim

MSelectionList::MSelectionList() {
    new (fStore) Items();
}
MSelectionList::MSelectionList(const MSelectionList& src) {
    new (fStore) Items(items(src));
}
MSelectionList::~MSelectionList() {
    items(*this).~Items();
}
MSelectionList& MSelectionList::operator=(const MSelectionList& other) {
    items(*this) = items(other);
    return *this;
}
MStatus MSelectionList::clear() {
    items(*this).clear();
    return MS::kSuccess;
}
bool MSelectionList::isEmpty(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kSuccess);
    return items(*this).empty();
}
unsigned int MSelectionList::length(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kSuccess);
    return static_cast<unsigned>(items(*this).size());
}
MStatus MSelectionList::getDependNode(unsigned int index, MObject& depNode) const {
    const Items& l = items(*this);
    if (index >= l.size()) return MS::kInvalidParameter;
    const SelectionItem& it = l[index];
    ObjectPtr n = it.isPlug ? Access::ptr(it.plug.node()) : it.node;
    if (!n || !n->alive()) return MS::kFailure;
    depNode = Access::wrap(n);
    return MS::kSuccess;
}
MStatus MSelectionList::getDagPath(unsigned int index, MDagPath& dagPath, MObject& component) const {
    const Items& l = items(*this);
    if (index >= l.size() || !l[index].isDag) return MS::kFailure;
    NodePath path;
    for (const ObjectPtr& o : l[index].path) {
        Node* n = dynamic_cast<Node*>(o.get());
        if (!n || !n->isAlive) return MS::kFailure;
        path.push_back(n);
    }
    dagPath = toDagPath(path);
    // The default argument is the shared null object; it must never be written.
    if (&component != &MObject::kNullObj) component = Access::wrap(l[index].component);
    return MS::kSuccess;
}
MStatus MSelectionList::getPlug(unsigned int index, MPlug& plug) const {
    const Items& l = items(*this);
    if (index >= l.size() || !l[index].isPlug) return MS::kFailure;
    plug = l[index].plug;
    return MS::kSuccess;
}
MStatus MSelectionList::add(const MObject& object, const bool mergeWithExisting) {
    Node* n = nodeOf(object);
    if (!n) return MS::kInvalidParameter;
    push(items(*this), itemForNode(n), mergeWithExisting);
    return MS::kSuccess;
}
MStatus MSelectionList::add(const MDagPath& object, const MObject& component, const bool mergeWithExisting) {
    NodePath path = toNodePath(object);
    if (!pathValid(object) || path.empty()) return MS::kInvalidParameter;
    if (!component.isNull() && !componentOf(component)) return MS::kInvalidParameter;
    SelectionItem it = itemForPath(path);
    it.component = Access::ptr(component);
    push(items(*this), std::move(it), mergeWithExisting);
    return MS::kSuccess;
}
MStatus MSelectionList::add(const MPlug& plug, const bool mergeWithExisting) {
    if (plug.isNull()) return MS::kInvalidParameter;
    SelectionItem it;
    it.isPlug = true;
    it.plug = plug;
    push(items(*this), std::move(it), mergeWithExisting);
    return MS::kSuccess;
}

// Names: "node", "parent|node", "|top|node", patterns with '*' and '?', "node.attribute" for a plug,
// and "mesh.f[2]", "mesh.f[0:3]", "mesh.vtx[..]", "mesh.e[..]" for components.
MStatus MSelectionList::add(const MString& matchString, const bool) {
    const std::string text = fromM(matchString);
    Items& l = items(*this);
    const std::size_t dot = text.find('.');
    const std::string nodePart = text.substr(0, dot);
    if (nodePart.empty()) return MS::kInvalidParameter;

    std::vector<SelectionItem> found;
    if (nodePart.find_first_of("*?") != std::string::npos) {
        for (const NodePtr& n : scene().nodes())
            if (glob(nodePart.c_str(), n->name.c_str())) found.push_back(itemForNode(n.get()));
    } else if (nodePart.find('|') != std::string::npos) {
        for (const NodePath& p : pathsNamed(nodePart)) found.push_back(itemForPath(p));
    } else {
        for (Node* n : scene().nodesNamed(nodePart)) found.push_back(itemForNode(n));
    }
    if (found.empty()) return MS::kInvalidParameter;
    if (dot == std::string::npos) {
        for (auto& f : found) push(l, std::move(f), true);
        return MS::kSuccess;
    }

    const std::string rest = text.substr(dot + 1);
    const std::size_t bracket = rest.find('[');
    const std::string head = rest.substr(0, bracket);
    MFn::Type kind = head == "f"     ? MFn::kMeshPolygonComponent
                     : head == "vtx" ? MFn::kMeshVertComponent
                     : head == "e"   ? MFn::kMeshEdgeComponent
                                     : MFn::kInvalid;
    if (kind != MFn::kInvalid && bracket != std::string::npos && rest.back() == ']') {
        const std::string range = rest.substr(bracket + 1, rest.size() - bracket - 2);
        const std::size_t colon = range.find(':');
        int first = 0, last = 0;
        try {
            first = std::stoi(range.substr(0, colon));
            last = colon == std::string::npos ? first : std::stoi(range.substr(colon + 1));
        } catch (...) {
            return MS::kInvalidParameter;
        }
        if (first < 0 || last < first) return MS::kInvalidParameter;
        bool any = false;
        for (auto& f : found) {
            if (!f.isDag) continue;
            NodePath nodes;
            for (const ObjectPtr& o : f.path) nodes.push_back(static_cast<Node*>(o.get()));
            NodePath shapePath;
            Node* shape = shapeAt(toDagPath(nodes), MFn::kMesh, shapePath);
            const MeshData* d = meshData(shape);
            if (!d) continue;
            // Indices past the end of the mesh name nothing.
            const int total = kind == MFn::kMeshPolygonComponent ? d->numPolygons()
                              : kind == MFn::kMeshEdgeComponent  ? static_cast<int>(d->edges.size())
                                                                 : static_cast<int>(d->points.size());
            const int end = std::min(last, total - 1);
            if (first > end) continue;
            std::vector<int> elements;
            elements.reserve(static_cast<std::size_t>(end - first + 1));
            for (int e = first; e <= end; ++e) elements.push_back(e);
            SelectionItem it = itemForPath(shapePath);
            it.component = Access::ptr(makeComponent(kind, elements));
            push(l, std::move(it), true);
            any = true;
        }
        return any ? MS::kSuccess : MS::kInvalidParameter;
    }
    bool any = false;
    for (auto& f : found) {
        Node* n = dynamic_cast<Node*>(f.node.get());
        MFnDependencyNode fn(wrapNode(n));
        MStatus s;
        MPlug plug = fn.findPlug(toM(rest), &s);
        if (!s) continue;
        SelectionItem it;
        it.isPlug = true;
        it.plug = plug;
        push(l, std::move(it), true);
        any = true;
    }
    return any ? MS::kSuccess : MS::kInvalidParameter;
}
MStatus MSelectionList::remove(unsigned int index) {
    Items& l = items(*this);
    if (index >= l.size()) return MS::kInvalidParameter;
    l.erase(l.begin() + index);
    return MS::kSuccess;
}
bool MSelectionList::hasItem(const MObject& item, MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kSuccess);
    const ObjectPtr& p = Access::ptr(item);
    for (const SelectionItem& i : items(*this))
        if (i.node == p) return true;
    return false;
}
MStatus MSelectionList::getSelectionStrings(MStringArray& array) const {
    array.clear();
    for (const SelectionItem& i : items(*this)) {
        if (i.isPlug) {
            array.append(i.plug.name());
            continue;
        }
        NodePath path;
        for (const ObjectPtr& o : i.path) path.push_back(static_cast<Node*>(o.get()));
        Node* n = dynamic_cast<Node*>(i.node.get());
        std::string text = i.isDag ? fromM(partialPathName(path)) : (n ? n->name : std::string());
        if (auto* c = dynamic_cast<Component*>(i.component.get())) {
            const char* head = c->kind == MFn::kMeshPolygonComponent ? ".f["
                               : c->kind == MFn::kMeshEdgeComponent  ? ".e["
                                                                     : ".vtx[";
            for (int e : c->elements) array.append(toM(text + head + std::to_string(e) + "]"));
            continue;
        }
        array.append(toM(text));
    }
    return MS::kSuccess;
}
