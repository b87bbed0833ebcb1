// The node-type table and attribute schema.
#include <algorithm>
#include <sstream>

#include "Graph.h"

namespace mayasim {

bool isNumeric(AttrType t) {
    switch (t) {
        case AttrType::kBool:
        case AttrType::kShort:
        case AttrType::kInt:
        case AttrType::kFloat:
        case AttrType::kDouble:
        case AttrType::kDistance:
        case AttrType::kAngle:
        case AttrType::kTime:
            return true;
        default:
            return false;
    }
}

Matrix16 identity16() {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

// ---- Attribute ----
MFn::Type Attribute::apiType() const {
    switch (type) {
        case AttrType::kDistance:
        case AttrType::kAngle:
        case AttrType::kTime:
            return MFn::kUnitAttribute;
        case AttrType::kString:
        case AttrType::kData:
            return MFn::kTypedAttribute;
        case AttrType::kMatrix:
            return MFn::kMatrixAttribute;
        case AttrType::kMessage:
            return MFn::kMessageAttribute;
        case AttrType::kCompound:
            return MFn::kCompoundAttribute;
        default:
            return MFn::kNumericAttribute;
    }
}

bool Attribute::hasFn(MFn::Type t) const {
    return t == apiType() || t == MFn::kAttribute || t == MFn::kBase;
}

std::vector<const Attribute*> Attribute::chain() const {
    std::vector<const Attribute*> c(static_cast<std::size_t>(depth) + 1);
    const Attribute* a = this;
    for (int d = depth; d >= 0 && a; --d, a = a->parent) c[static_cast<std::size_t>(d)] = a;
    return c;
}

Value Attribute::defaultOrZero() const {
    if (!std::holds_alternative<std::monostate>(defaultValue)) return defaultValue;
    if (isNumeric(type)) return 0.0;
    if (type == AttrType::kString) return std::string();
    if (type == AttrType::kMatrix) return identity16();
    return Value();
}

AttrPtr attr(const std::string& longName, const std::string& shortName, AttrType type, double def) {
    auto a = std::make_shared<Attribute>();
    a->longName = longName;
    a->shortName = shortName;
    a->type = type;
    if (isNumeric(type)) a->defaultValue = def;
    return a;
}
AttrPtr stringAttr(const std::string& longName, const std::string& shortName, const std::string& def) {
    auto a = attr(longName, shortName, AttrType::kString);
    a->defaultValue = def;
    return a;
}
AttrPtr messageAttr(const std::string& longName, const std::string& shortName) {
    return attr(longName, shortName, AttrType::kMessage);
}
AttrPtr matrixAttr(const std::string& longName, const std::string& shortName) {
    auto a = attr(longName, shortName, AttrType::kMatrix);
    a->defaultValue = identity16();
    return a;
}
AttrPtr compoundAttr(const std::string& longName, const std::string& shortName,
                     std::vector<AttrPtr> children) {
    auto a = attr(longName, shortName, AttrType::kCompound);
    a->children = std::move(children);
    return a;
}
AttrPtr triple(const std::string& longName, const std::string& shortName, AttrType type, double d0, double d1,
               double d2, const char* longSuffixes, const char* shortSuffixes) {
    const double defs[3] = {d0, d1, d2};
    std::vector<AttrPtr> c;
    for (int i = 0; i < 3; ++i)
        c.push_back(attr(longName + longSuffixes[i], shortName + shortSuffixes[i], type, defs[i]));
    return compoundAttr(longName, shortName, std::move(c));
}
AttrPtr colorAttr(const std::string& longName, const std::string& shortName, double r, double g, double b) {
    return triple(longName, shortName, AttrType::kFloat, r, g, b, "RGB", "rgb");
}
AttrPtr childNames(AttrPtr a, const std::vector<std::pair<std::string, std::string>>& names) {
    for (std::size_t i = 0; i < a->children.size() && i < names.size(); ++i) {
        a->children[i]->longName = names[i].first;
        a->children[i]->shortName = names[i].second;
    }
    return a;
}
AttrPtr arrayOf(AttrPtr a) {
    a->array = true;
    return a;
}
AttrPtr output(AttrPtr a) {
    a->writable = false;
    for (auto& c : a->children) output(c);
    return a;
}
AttrPtr keyable(AttrPtr a) {
    a->keyable = true;
    for (auto& c : a->children) keyable(c);
    return a;
}

// ---- NodeType ----
bool NodeType::isA(const std::string& typeName) const {
    for (const NodeType* t = this; t; t = t->parent)
        if (t->name == typeName) return true;
    return false;
}
bool NodeType::hasFn(MFn::Type t) const {
    return std::find(compatible.begin(), compatible.end(), t) != compatible.end();
}
const Attribute* NodeType::findAttribute(const std::string& n) const {
    auto it = byName.find(n);
    return it == byName.end() ? nullptr : it->second;
}

// ---- TypeRegistry ----
TypeRegistry& types() {
    static TypeRegistry registry;
    return registry;
}

NodeType& TypeRegistry::define(const std::string& name, MFn::Type api, const std::string& parentName) {
    resolved_ = false;
    for (auto& r : rows_)
        if (r->name == name) {
            if (api != MFn::kInvalid) r->api = api;
            if (!parentName.empty()) r->parentName = parentName;
            return *r;
        }
    rows_.push_back(std::make_unique<NodeType>());
    NodeType& t = *rows_.back();
    t.name = name;
    t.api = api;
    t.parentName = parentName;
    return t;
}

namespace {
void setUpAttribute(Attribute* a, const Attribute* parent, int depth, int childIndex, const NodeType* owner) {
    a->parent = parent;
    a->depth = depth;
    a->childIndex = childIndex;
    a->owner = owner;
    for (std::size_t i = 0; i < a->children.size(); ++i)
        setUpAttribute(a->children[i].get(), a, depth + 1, static_cast<int>(i), owner);
}
void indexNames(const Attribute* a, std::unordered_map<std::string, const Attribute*>& byName) {
    byName[a->longName] = a;
    if (!a->shortName.empty()) byName.emplace(a->shortName, a);
    for (auto& c : a->children) indexNames(c.get(), byName);
}
}  // namespace

void TypeRegistry::addAttribute(const std::string& typeName, AttrPtr a) {
    NodeType& t = define(typeName, MFn::kInvalid, "");
    // A later definition of the same attribute replaces the earlier one.
    auto& list = t.attributes;
    list.erase(std::remove_if(list.begin(), list.end(),
                              [&](const AttrPtr& x) { return x->longName == a->longName; }),
               list.end());
    setUpAttribute(a.get(), nullptr, 0, 0, &t);
    list.push_back(std::move(a));
}

void TypeRegistry::addCompute(const std::string& typeName, ComputeFn fn) {
    define(typeName, MFn::kInvalid, "").computes.push_back(std::move(fn));
}

void TypeRegistry::resolve() {
    if (resolved_) return;
    for (auto& r : rows_) r->parent = nullptr;
    for (auto& r : rows_)
        for (auto& p : rows_)
            if (p->name == r->parentName && p.get() != r.get()) r->parent = p.get();
    for (auto& r : rows_) {
        r->compatible.clear();
        r->allAttributes.clear();
        r->byName.clear();
        std::vector<const NodeType*> lineage;
        for (const NodeType* t = r.get(); t && lineage.size() < 64; t = t->parent) lineage.push_back(t);
        for (const NodeType* t : lineage)
            if (t->api != MFn::kInvalid) r->compatible.push_back(t->api);
        for (auto it = lineage.rbegin(); it != lineage.rend(); ++it)
            for (auto& a : (*it)->attributes) {
                r->allAttributes.push_back(a.get());
                indexNames(a.get(), r->byName);
            }
    }
    resolved_ = true;
}

const NodeType* TypeRegistry::find(const std::string& name) {
    resolve();
    for (auto& r : rows_)
        if (r->name == name) return r.get();
    return nullptr;
}

const NodeType* TypeRegistry::findByApi(MFn::Type api) {
    resolve();
    for (auto& r : rows_)
        if (r->api == api) return r.get();
    return nullptr;
}

bool TypeRegistry::derives(MFn::Type t, MFn::Type base) {
    if (t == base || base == MFn::kBase) return true;
    const NodeType* row = findByApi(t);
    return row && row->hasFn(base);
}

// ---- PlugRef ----
bool PlugRef::resolvable() const {
    if (!attr) return false;
    for (const Attribute* a = attr->parent; a; a = a->parent)
        if (a->array && index[static_cast<std::size_t>(a->depth)] == kNoIndex) return false;
    return true;
}
PlugRef PlugRef::parentPlug() const {
    PlugRef p = *this;
    if (!attr || !attr->parent) return PlugRef{};
    p.index[static_cast<std::size_t>(attr->depth)] = kNoIndex;
    p.attr = attr->parent;
    return p;
}
PlugRef PlugRef::arrayPlug() const {
    if (!isElement()) return PlugRef{};
    PlugRef p = *this;
    p.index[static_cast<std::size_t>(attr->depth)] = kNoIndex;
    return p;
}
PlugRef PlugRef::element(unsigned logical) const {
    PlugRef p = *this;
    if (!attr || !attr->array) return PlugRef{};
    p.index[static_cast<std::size_t>(attr->depth)] = logical;
    return p;
}
PlugRef PlugRef::child(const Attribute* c) const {
    if (!c || c->parent != attr) return PlugRef{};
    PlugRef p = *this;
    p.attr = c;
    return p;
}
bool PlugRef::operator<(const PlugRef& o) const {
    if (node != o.node) return node < o.node;
    if (attr != o.attr) return attr < o.attr;
    return index < o.index;
}
std::string PlugRef::name(bool longNames) const {
    std::ostringstream s;
    s << (node ? static_cast<const Node*>(node)->name : std::string());
    if (!attr) return s.str();
    // Compound parents appear only when they are arrays: "node.translateY", "node.iog[0].og[1]".
    for (const Attribute* a : attr->chain()) {
        if (a != attr && !a->array) continue;
        s << '.' << (longNames || a->shortName.empty() ? a->longName : a->shortName);
        unsigned i = index[static_cast<std::size_t>(a->depth)];
        if (a->array && i != kNoIndex) s << '[' << i << ']';
    }
    return s.str();
}

}  // namespace mayasim
