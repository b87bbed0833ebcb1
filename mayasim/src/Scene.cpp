// The scene: nodes, names, the DAG, connections and evaluation.
#include <algorithm>
#include <cctype>
#include <iterator>

#include "Graph.h"

namespace mayasim {

namespace {

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Numbering rule: a trailing number is increased, otherwise 1 is appended ("name" then "name1",
// "place2dTexture1" then "place2dTexture2").
void splitTrailingNumber(const std::string& name, std::string& base, unsigned long long& next) {
    std::size_t end = name.size();
    while (end > 0 && isDigit(name[end - 1])) --end;
    base = name.substr(0, end);
    next = 1;
    if (end < name.size() && name.size() - end < 18) next = std::stoull(name.substr(end)) + 1;
}

bool typesConnectable(const Attribute* s, const Attribute* d) {
    if (d->type == AttrType::kMessage) return true;
    if (isNumeric(s->type) && isNumeric(d->type)) return true;
    if (s->type == AttrType::kCompound && d->type == AttrType::kCompound) {
        if (s->children.size() != d->children.size()) return false;
        for (std::size_t i = 0; i < s->children.size(); ++i)
            if (!typesConnectable(s->children[i].get(), d->children[i].get())) return false;
        return true;
    }
    if (s->type == AttrType::kData && d->type == AttrType::kData)
        return s->dataType == d->dataType || s->dataType == MFn::kInvalid || d->dataType == MFn::kInvalid;
    return s->type == d->type && s->type != AttrType::kMessage;
}

}  // namespace

std::string legalName(const std::string& wanted) {
    std::string n;
    for (char c : wanted) n += (std::isalnum(static_cast<unsigned char>(c)) || c == '_') ? c : '_';
    if (!n.empty() && isDigit(n[0])) n = "_" + n;
    bool anyUsable = std::any_of(wanted.begin(), wanted.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    });
    return anyUsable ? n : std::string();
}

PlugRef Node::plug(const Attribute* a) const {
    PlugRef p;
    p.node = const_cast<Node*>(this);
    p.attr = a;
    return p;
}
PlugRef Node::plug(const std::string& attrName) const {
    const Attribute* a = type->findAttribute(attrName);
    return a ? plug(a) : PlugRef{};
}

// ---- Scene: nodes and names ----
Scene::Scene() {
    const NodeType* w = types().find("world");
    world_ = std::make_shared<Node>();
    world_->type = w;
    world_->name = "";
    world_->serial = 0;
}

// Handles may outlive the scene; its nodes then report themselves dead and hold no links.
Scene::~Scene() {
    for (auto& n : nodes_) {
        n->isAlive = false;
        n->parents.clear();
        n->children.clear();
        n->connections.clear();
        n->sources.clear();
    }
    world_->children.clear();
}

void Scene::index(Node* n) {
    byName_.emplace(n->name, n);
}
void Scene::unindex(Node* n) {
    std::string base;
    unsigned long long next = 1;
    splitTrailingNumber(n->name, base, next);
    auto known = takenBelow_.find(base);
    if (next > 1 && known != takenBelow_.end() && next - 1 < known->second) known->second = next - 1;
    auto range = byName_.equal_range(n->name);
    for (auto it = range.first; it != range.second; ++it)
        if (it->second == n) {
            byName_.erase(it);
            return;
        }
}

// A dependency node's name is unique in the scene; a DAG node's given name among its siblings and
// against every non-DAG node; a generated name in the whole scene.
bool Scene::nameTaken(const std::string& name, const Node* node, const std::vector<Node*>& parents,
                      bool sceneWide) const {
    auto range = byName_.equal_range(name);
    for (auto it = range.first; it != range.second; ++it) {
        const Node* other = it->second;
        if (other == node || !other->isAlive) continue;
        if (sceneWide || !other->type->isDag()) return true;
        for (Node* p : other->parents)
            if (std::find(parents.begin(), parents.end(), p) != parents.end()) return true;
    }
    return false;
}

std::string Scene::uniqueName(const std::string& wanted, const Node* node, const std::vector<Node*>& parents,
                              bool sceneWide) {
    if (!nameTaken(wanted, node, parents, sceneWide)) return wanted;
    std::string base;
    unsigned long long n = 1;
    splitTrailingNumber(wanted, base, n);
    // Scene-wide, the numbers below the remembered one are known to be taken: start there, and
    // remember where this search ends when everything below its start is known to be taken (the
    // wanted name itself, "joint1", was just found taken).
    unsigned long long* known = nullptr;
    if (sceneWide) {
        unsigned long long& k = takenBelow_.emplace(base, 1).first->second;
        const bool wantedIsPrevious = n > 1 && n - 1 == k && wanted == base + std::to_string(k);
        if (n <= k || wantedIsPrevious) {
            n = std::max(n, k);
            known = &k;
        }
    }
    for (;; ++n) {
        std::string candidate = base + std::to_string(n);
        if (!nameTaken(candidate, node, parents, sceneWide)) {
            if (known) *known = n;
            return candidate;
        }
    }
}

Node* Scene::createNode(const NodeType* type, const std::string& name, Node* parent, Naming naming) {
    if (!type || type->name == "world") return nullptr;
    auto node = std::make_shared<Node>();
    node->type = type;
    node->serial = nextSerial_++;
    std::vector<Node*> parents;
    if (type->isDag()) parents.push_back(parent ? parent : world_.get());
    std::string wanted = name.empty() ? std::string() : legalName(name);
    if (wanted.empty()) {
        wanted = type->baseName() + "1";
        naming = Naming::kGenerated;
    }
    const bool sceneWide = !type->isDag() || naming == Naming::kGenerated;
    node->name = uniqueName(wanted, node.get(), parents, sceneWide);
    for (Node* p : parents) {
        p->children.push_back(node.get());
        node->parents.push_back(p);
    }
    nodes_.push_back(node);
    index(node.get());
    for (const NodeType* t = type; t; t = t->parent)
        if (t->onCreate) {
            t->onCreate(*node);
            break;
        }
    return node.get();
}

void Scene::deleteNode(Node* node) {
    if (!node || node == world_.get() || !node->isAlive) return;
    // Children that have no other parent go with it.
    std::vector<Node*> kids = node->children;
    for (Node* c : kids) {
        removeChild(node, c);
        if (c->parents.empty()) deleteNode(c);
    }
    std::vector<Node*> parents = node->parents;
    for (Node* p : parents) removeChild(p, node);
    std::vector<Connection> conns = node->connections;
    for (const Connection& c : conns) {
        if (c.localIsDestination)
            disconnect(c.remote, c.local);
        else
            disconnect(c.local, c.remote);
    }
    node->isAlive = false;
    unindex(node);
    nodes_.erase(
        std::remove_if(nodes_.begin(), nodes_.end(), [&](const NodePtr& p) { return p.get() == node; }),
        nodes_.end());
}

std::string Scene::rename(Node* node, const std::string& wanted) {
    std::string legal = legalName(wanted);
    if (legal.empty() || !node || node == world_.get()) return std::string();
    unindex(node);
    node->name = uniqueName(legal, node, node->parents, !node->type->isDag());
    index(node);
    return node->name;
}

Node* Scene::findNode(const std::string& name) const {
    Node* best = nullptr;
    auto range = byName_.equal_range(name);
    for (auto it = range.first; it != range.second; ++it)
        if (!best || it->second->serial < best->serial) best = it->second;
    return best;
}

std::vector<Node*> Scene::nodesNamed(const std::string& name) const {
    std::vector<Node*> out;
    auto range = byName_.equal_range(name);
    for (auto it = range.first; it != range.second; ++it) out.push_back(it->second);
    std::sort(out.begin(), out.end(), [](const Node* a, const Node* b) { return a->serial < b->serial; });
    return out;
}

// ---- DAG ----
bool Scene::isAncestor(const Node* maybeAncestor, const Node* node) const {
    if (!node) return false;
    for (const Node* p : node->parents)
        if (p == maybeAncestor || isAncestor(maybeAncestor, p)) return true;
    return false;
}

MStatus Scene::addChild(Node* parent, Node* child, unsigned index, bool keepExistingParents) {
    if (!parent || !child || child == world_.get() || !parent->type->isDag() || !child->type->isDag())
        return MS::kInvalidParameter;
    if (parent == child || isAncestor(child, parent)) return MS::kInvalidParameter;  // would make a cycle
    // A shape cannot hold children.
    if (parent != world_.get() && parent->type->isShape()) return MS::kInvalidParameter;
    bool alreadyChild =
        std::find(parent->children.begin(), parent->children.end(), child) != parent->children.end();
    if (alreadyChild && keepExistingParents)
        return MS::kInvalidParameter;  // an instance under the same parent
    if (!keepExistingParents) {
        std::vector<Node*> old = child->parents;
        for (Node* p : old)
            if (p != parent) removeChild(p, child);
        if (alreadyChild) {
            auto& c = parent->children;
            c.erase(std::find(c.begin(), c.end(), child));
            child->parents.erase(std::find(child->parents.begin(), child->parents.end(), parent));
        }
    }
    auto& siblings = parent->children;
    std::size_t pos = std::min<std::size_t>(index, siblings.size());
    siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(pos), child);
    child->parents.push_back(parent);
    // The moved node takes a free name among its new siblings.
    if (nameTaken(child->name, child, child->parents, false)) rename(child, child->name);
    return MS::kSuccess;
}

MStatus Scene::removeChild(Node* parent, Node* child) {
    if (!parent || !child) return MS::kInvalidParameter;
    auto& c = parent->children;
    auto it = std::find(c.begin(), c.end(), child);
    if (it == c.end()) return MS::kInvalidParameter;
    c.erase(it);
    auto pit = std::find(child->parents.begin(), child->parents.end(), parent);
    if (pit != child->parents.end()) child->parents.erase(pit);
    return MS::kSuccess;
}

// ---- Connections ----
MStatus Scene::canConnect(const PlugRef& src, const PlugRef& dst, std::string* why) const {
    auto refuse = [&](const char* reason, MStatus::MStatusCode code) {
        if (why) *why = reason;
        return MStatus(code);
    };
    if (!src.valid() || !dst.valid() || !src.node->isAlive || !dst.node->isAlive)
        return refuse("missing plug", MS::kInvalidParameter);
    if (!src.resolvable() || !dst.resolvable())
        return refuse("plug without an element index", MS::kInvalidParameter);
    if (src == dst) return refuse("a plug cannot feed itself", MS::kInvalidParameter);
    if (!src.attr->readable) return refuse("source is not readable", MS::kInvalidParameter);
    if (!dst.attr->writable) return refuse("destination is not writable", MS::kInvalidParameter);
    if (src.attr->array && !src.isElement() && !(dst.attr->array && !dst.isElement()) &&
        dst.attr->type != AttrType::kMessage)
        return refuse("an array connects only to an array", MS::kInvalidParameter);
    if (!typesConnectable(src.attr, dst.attr))
        return refuse("incompatible attribute types", MS::kInvalidParameter);
    PlugRef existing;
    if (sourceOf(dst, existing)) return refuse("destination is already connected", MS::kFailure);
    return MS::kSuccess;
}

MStatus Scene::connect(const PlugRef& src, const PlugRef& dst) {
    MStatus s = canConnect(src, dst);
    if (!s) return s;
    src.node->connections.push_back(Connection{src, dst, false});
    dst.node->connections.push_back(Connection{dst, src, true});
    dst.node->sources[dst] = src;
    ++src.node->revision;
    ++dst.node->revision;
    if (src.isElement()) touchElement(src);
    if (dst.isElement()) touchElement(dst);
    return MS::kSuccess;
}

MStatus Scene::disconnect(const PlugRef& src, const PlugRef& dst) {
    if (!src.valid() || !dst.valid()) return MS::kInvalidParameter;
    auto& sc = src.node->connections;
    auto sit = std::find_if(sc.begin(), sc.end(), [&](const Connection& c) {
        return !c.localIsDestination && c.local == src && c.remote == dst;
    });
    if (sit == sc.end()) return MS::kFailure;
    sc.erase(sit);
    auto& dc = dst.node->connections;
    auto dit = std::find_if(dc.begin(), dc.end(), [&](const Connection& c) {
        return c.localIsDestination && c.local == dst && c.remote == src;
    });
    if (dit != dc.end()) dc.erase(dit);
    auto fed = dst.node->sources.find(dst);
    if (fed != dst.node->sources.end() && fed->second == src) dst.node->sources.erase(fed);
    ++src.node->revision;
    ++dst.node->revision;
    return MS::kSuccess;
}

bool Scene::sourceOf(const PlugRef& dst, PlugRef& src) const {
    if (!dst.node) return false;
    auto fed = dst.node->sources.find(dst);
    if (fed == dst.node->sources.end()) return false;
    src = fed->second;
    return true;
}

std::vector<PlugRef> Scene::destinationsOf(const PlugRef& src) const {
    std::vector<PlugRef> out;
    if (!src.node) return out;
    for (const Connection& c : src.node->connections)
        if (!c.localIsDestination && c.local == src) out.push_back(c.remote);
    return out;
}

// ---- Values ----
namespace {

// The attributes from the top-level one down to `a`, without allocating: slot lookups run once
// per plug access, millions of times in a large scene.
int chainOf(const Attribute* a, std::array<const Attribute*, kMaxAttrDepth>& out) {
    const int n = a->depth + 1;
    if (n > kMaxAttrDepth) return 0;
    for (int d = a->depth; d >= 0 && a; --d, a = a->parent) out[static_cast<std::size_t>(d)] = a;
    return n;
}

}  // namespace

const Slot* Scene::findSlot(const PlugRef& plug) const {
    if (!plug.valid() || !plug.resolvable()) return nullptr;
    std::array<const Attribute*, kMaxAttrDepth> chain{};
    const int n = chainOf(plug.attr, chain);
    if (n == 0) return nullptr;
    const Slot* cur = &plug.node->root;
    for (int d = 0; d < n; ++d) {
        const Attribute* a = chain[static_cast<std::size_t>(d)];
        auto it = cur->children.find(a);
        if (it == cur->children.end()) return nullptr;
        cur = &it->second;
        unsigned i = plug.index[static_cast<std::size_t>(d)];
        if (a->array && i != kNoIndex) {
            auto e = cur->elements.find(i);
            if (e == cur->elements.end()) return nullptr;
            cur = &e->second;
        }
    }
    return cur;
}

Slot* Scene::slot(const PlugRef& plug) {
    if (!plug.valid() || !plug.resolvable()) return nullptr;
    std::array<const Attribute*, kMaxAttrDepth> chain{};
    const int n = chainOf(plug.attr, chain);
    if (n == 0) return nullptr;
    Slot* cur = &plug.node->root;
    for (int d = 0; d < n; ++d) {
        const Attribute* a = chain[static_cast<std::size_t>(d)];
        cur = &cur->children[a];
        unsigned i = plug.index[static_cast<std::size_t>(d)];
        if (a->array && i != kNoIndex) cur = &cur->elements.try_emplace(i).first->second;
    }
    return cur;
}

void Scene::touchElement(const PlugRef& elementPlug) {
    // Every array level on the way gets its element.
    slot(elementPlug);
}

std::vector<unsigned> Scene::elementIndices(const PlugRef& arrayPlug) const {
    std::vector<unsigned> out;
    if (!arrayPlug.valid() || !arrayPlug.attr->array || arrayPlug.isElement()) return out;
    if (const Slot* s = findSlot(arrayPlug))
        for (const auto& e : s->elements) out.push_back(e.first);
    return out;
}

std::size_t Scene::elementCount(const PlugRef& arrayPlug) const {
    if (!arrayPlug.valid() || !arrayPlug.attr->array || arrayPlug.isElement()) return 0;
    const Slot* s = findSlot(arrayPlug);
    return s ? s->elements.size() : 0;
}

bool Scene::elementAt(const PlugRef& arrayPlug, std::size_t physical, unsigned& logical) const {
    if (!arrayPlug.valid() || !arrayPlug.attr->array || arrayPlug.isElement()) return false;
    const Slot* s = findSlot(arrayPlug);
    if (!s || physical >= s->elements.size()) return false;
    // From the nearer end: walking a map is linear in the steps taken.
    if (physical < s->elements.size() / 2)
        logical = std::next(s->elements.begin(), static_cast<std::ptrdiff_t>(physical))->first;
    else
        logical =
            std::prev(s->elements.end(), static_cast<std::ptrdiff_t>(s->elements.size() - physical))->first;
    return true;
}

bool Scene::read(const PlugRef& plug, Value& out) const {
    return readDepth(plug, out, 0);
}

bool Scene::readDepth(const PlugRef& plug, Value& out, int depth) const {
    if (!plug.valid() || !plug.resolvable() || depth > 64) return false;
    if (plug.attr->array && !plug.isElement()) return false;  // a whole array has no single value
    if (plug.attr->type == AttrType::kCompound) return false;
    // A connection into this plug, or into a compound above it, decides its value.
    PlugRef src;
    if (sourceOf(plug, src)) return readDepth(src, out, depth + 1);
    std::vector<int> path;  // child positions from the connected ancestor down
    for (PlugRef up = plug; up.attr->parent;) {
        path.push_back(up.attr->childIndex);
        up = up.parentPlug();
        if (sourceOf(up, src)) {
            PlugRef s = src;
            for (auto it = path.rbegin(); it != path.rend(); ++it) {
                if (s.attr->type != AttrType::kCompound || *it >= static_cast<int>(s.attr->children.size()))
                    return false;
                s = s.child(s.attr->children[static_cast<std::size_t>(*it)].get());
            }
            return readDepth(s, out, depth + 1);
        }
    }
    for (const NodeType* t = plug.node->type; t; t = t->parent)
        for (const ComputeFn& fn : t->computes)
            if (fn(*plug.node, plug, out)) return true;
    const Slot* s = findSlot(plug);
    out = s && s->hasValue ? s->value() : plug.attr->defaultOrZero();
    return true;
}

bool Scene::readNumber(const PlugRef& plug, double& out) const {
    Value v;
    if (!read(plug, v) || !std::holds_alternative<double>(v)) return false;
    out = std::get<double>(v);
    return true;
}

double Scene::number(const Node* node, const std::string& attrName, double fallback) const {
    double v = fallback;
    if (node) readNumber(node->plug(attrName), v);
    return v;
}

MStatus Scene::write(const PlugRef& plug, const Value& v) {
    if (!plug.valid() || !plug.resolvable()) return MS::kInvalidParameter;
    if (plug.attr->array && !plug.isElement()) return MS::kInvalidParameter;
    if (plug.attr->type == AttrType::kCompound || plug.attr->type == AttrType::kMessage)
        return MS::kInvalidParameter;
    Slot* s = slot(plug);
    if (!s) return MS::kInvalidParameter;
    Value stored = v;
    // Numbers are kept in the attribute's own precision and range.
    if (std::holds_alternative<double>(v)) {
        double d = std::get<double>(v);
        switch (plug.attr->type) {
            case AttrType::kBool:
                d = d != 0.0 ? 1.0 : 0.0;
                break;
            case AttrType::kShort:
            case AttrType::kInt:
                d = static_cast<double>(static_cast<long long>(d));
                break;
            case AttrType::kFloat:
                d = static_cast<double>(static_cast<float>(d));
                break;
            default:
                break;
        }
        stored = d;
    }
    s->setValue(stored);
    ++plug.node->revision;
    return MS::kSuccess;
}

MStatus Scene::setNumber(Node* node, const std::string& attrName, double v) {
    if (!node) return MS::kInvalidParameter;
    return write(node->plug(attrName), v);
}

}  // namespace mayasim
