#ifndef MAYASIM_GRAPH_H
#define MAYASIM_GRAPH_H
// Internal: the dependency graph core shared by every node family.
//
//  - NodeType rows (one table, filled by static registrars from each family's source file): type
//    name, MFn::Type number, parent type (for hasFn and attribute inheritance), attribute schema, and
//    an optional compute function for output attributes.
//  - Attribute: one schema attribute (long/short name, value type, array flag, children, default).
//  - Node: a node of the scene: name, type row, sparse stored values, connections, DAG links.
//  - PlugRef: node + attribute + the logical index chosen at each array level.
//  - Scene: the nodes in creation order, the world root, naming, connections and evaluation.

#include <maya/MFn.h>
#include <maya/MStatus.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

#include "Object.h"

namespace mayasim {

class Node;
struct NodeType;

// ---- Values ----
enum class AttrType {
    kBool,
    kShort,  // also enumerations
    kInt,
    kFloat,
    kDouble,
    kDistance,  // centimetres
    kAngle,     // radians
    kTime,      // seconds
    kString,
    kMatrix,
    kMessage,
    kCompound,
    kData,  // typed data object (geometry and the like)
};

using Matrix16 = std::array<double, 16>;  // row-major, row vectors
using Value = std::variant<std::monostate, double, std::string, Matrix16, ObjectPtr>;

bool isNumeric(AttrType t);
Matrix16 identity16();

// ---- Schema ----
class Attribute : public Object {
  public:
    MFn::Type apiType() const override;
    bool hasFn(MFn::Type type) const override;

    std::string longName;
    std::string shortName;
    AttrType type = AttrType::kDouble;
    bool array = false;
    bool readable = true;
    bool writable = true;  // false for computed outputs: they cannot be connection destinations
    bool keyable = false;
    Value defaultValue;  // monostate: 0 for numbers, "" for strings, identity for matrices, null data
    MFn::Type dataType = MFn::kInvalid;  // for kData: the data object type accepted
    std::vector<std::shared_ptr<Attribute>> children;

    // Set when the attribute is added to a type.
    const Attribute* parent = nullptr;
    int depth = 0;       // 0 for a top-level attribute
    int childIndex = 0;  // position among the parent's children
    const NodeType* owner = nullptr;

    // Ancestors from the top-level attribute down to this one.
    std::vector<const Attribute*> chain() const;
    Value defaultOrZero() const;
};
using AttrPtr = std::shared_ptr<Attribute>;

// Schema builders.
AttrPtr attr(const std::string& longName, const std::string& shortName, AttrType type, double def = 0.0);
AttrPtr stringAttr(const std::string& longName, const std::string& shortName, const std::string& def = "");
AttrPtr messageAttr(const std::string& longName, const std::string& shortName);
AttrPtr matrixAttr(const std::string& longName, const std::string& shortName);
AttrPtr compoundAttr(const std::string& longName, const std::string& shortName,
                     std::vector<AttrPtr> children);
// A compound of three like-typed children named longName + suffix ("translateX", "tx").
AttrPtr triple(const std::string& longName, const std::string& shortName, AttrType type, double d0, double d1,
               double d2, const char* longSuffixes = "XYZ", const char* shortSuffixes = "xyz");
AttrPtr colorAttr(const std::string& longName, const std::string& shortName, double r, double g, double b);
// Gives the children of a compound the names Maya uses where they do not follow the parent's
// ("ambientColorR" is "acr", "shearXY" is "shxy"): {long, short} per child, in order.
AttrPtr childNames(AttrPtr a, const std::vector<std::pair<std::string, std::string>>& names);
// Modifiers returning the same attribute, for chaining.
AttrPtr arrayOf(AttrPtr a);
AttrPtr output(AttrPtr a);  // computed, not a valid connection destination
AttrPtr keyable(AttrPtr a);

// ---- Node types ----
struct PlugRef;
// Computes an output plug; returns false when it does not handle that plug.
using ComputeFn = std::function<bool(const Node&, const PlugRef&, Value&)>;

// Per-node data of a family (animation keys, geometry); owned by the node.
class NodeData {
  public:
    virtual ~NodeData() = default;
};

struct NodeType {
    std::string name;
    MFn::Type api = MFn::kInvalid;
    std::string parentName;               // empty for the root type "dependNode"
    std::string defaultName;              // base of generated names; the type name when empty
    bool abstract = false;                // a base type that cannot be created
    std::vector<AttrPtr> attributes;      // own top-level attributes, in order
    std::vector<ComputeFn> computes;      // own compute functions, tried after those of derived types
    std::function<void(Node&)> onCreate;  // initialises family data of a new node

    // Resolved from the table.
    const NodeType* parent = nullptr;
    std::vector<MFn::Type> compatible;                         // own number and every ancestor's
    std::vector<const Attribute*> allAttributes;               // top-level, inherited first
    std::unordered_map<std::string, const Attribute*> byName;  // long and short names, all levels

    bool isA(const std::string& typeName) const;
    bool hasFn(MFn::Type t) const;
    bool isDag() const { return isA("dagNode"); }
    bool isTransform() const { return isA("transform"); }
    bool isShape() const { return isDag() && !isTransform() && name != "world"; }
    const Attribute* findAttribute(const std::string& name) const;
    const std::string& baseName() const { return defaultName.empty() ? name : defaultName; }
};

class TypeRegistry {
  public:
    // Adds a row, or returns the existing row of that name (families may add to a shared row).
    NodeType& define(const std::string& name, MFn::Type api, const std::string& parentName);
    void addAttribute(const std::string& typeName, AttrPtr a);
    void addCompute(const std::string& typeName, ComputeFn fn);
    const NodeType* find(const std::string& name);
    const NodeType* findByApi(MFn::Type api);
    // Whether objects of type t are compatible with type base (t derives from base).
    bool derives(MFn::Type t, MFn::Type base);

  private:
    void resolve();
    std::vector<std::unique_ptr<NodeType>> rows_;
    bool resolved_ = false;
};

TypeRegistry& types();

// Runs a registration function during static initialisation.
struct Registrar {
    explicit Registrar(void (*fn)()) { fn(); }
};
#define MAYASIM_REGISTER_TYPES(fnName)                     \
    static void fnName();                                  \
    static ::mayasim::Registrar fnName##Registrar(fnName); \
    static void fnName()

// ---- Plugs ----
constexpr int kMaxAttrDepth = 6;
constexpr unsigned kNoIndex = 0xFFFFFFFFu;

struct PlugRef {
    Node* node = nullptr;
    const Attribute* attr = nullptr;
    std::array<unsigned, kMaxAttrDepth> index{kNoIndex, kNoIndex, kNoIndex, kNoIndex, kNoIndex, kNoIndex};

    bool valid() const { return node && attr; }
    // True when every array level down to the attribute has an index (a leaf array itself may not).
    bool resolvable() const;
    bool isElement() const { return attr && attr->array && index[attr->depth] != kNoIndex; }
    PlugRef parentPlug() const;  // compound parent (indices kept)
    PlugRef arrayPlug() const;   // the array an element belongs to
    PlugRef element(unsigned logical) const;
    PlugRef child(const Attribute* c) const;
    bool operator==(const PlugRef& o) const { return node == o.node && attr == o.attr && index == o.index; }
    bool operator!=(const PlugRef& o) const { return !(*this == o); }
    bool operator<(const PlugRef& o) const;
    std::string name(bool longNames = true) const;  // "node.attr[2].child"
};

// Stored values of one attribute instance; missing entries read as defaults. A number (what
// nearly every stored value is) is held in place and anything else out of line, so that the
// slots of large arrays (a skin's weights: millions of them) stay small.
struct Slot {
    bool hasValue = false;
    double number = 0.0;                        // the value, when it is a number
    std::unique_ptr<Value> other;               // the value, when it is not
    std::map<unsigned, Slot> elements;          // array attribute: existing logical indices
    std::map<const Attribute*, Slot> children;  // compound: children

    // The stored value (empty when none is).
    Value value() const { return !hasValue ? Value() : other ? *other : Value(number); }
    void setValue(const Value& v) {
        if (std::holds_alternative<double>(v)) {
            number = std::get<double>(v);
            other.reset();
        } else {
            other = std::make_unique<Value>(v);
        }
        hasValue = true;
    }
    void clearValue() {
        hasValue = false;
        number = 0.0;
        other.reset();
    }
};

struct Connection {
    PlugRef local;
    PlugRef remote;
    bool localIsDestination = false;
};

// ---- Nodes ----
class Node : public Object {
  public:
    MFn::Type apiType() const override { return type->api; }
    bool hasFn(MFn::Type t) const override { return t == MFn::kBase || type->hasFn(t); }
    bool alive() const override { return isAlive; }

    const NodeType* type = nullptr;
    std::string name;
    std::uint64_t serial = 0;
    bool isAlive = true;
    std::vector<Node*> parents;   // DAG: one per instance
    std::vector<Node*> children;  // DAG: in order
    Slot root;
    std::vector<Connection> connections;
    // The source of each connected destination plug of this node, kept in step with
    // `connections`, so that evaluation finds what feeds a plug without a scan of every
    // connection (a mesh in many shading groups has thousands).
    std::map<PlugRef, PlugRef> sources;
    // Counts the values written on this node and the connections made or broken at it, so that
    // what is remembered about the node can tell whether it still holds.
    std::uint64_t revision = 0;
    std::unique_ptr<NodeData> data;

    std::shared_ptr<Node> self() { return std::static_pointer_cast<Node>(shared_from_this()); }
    PlugRef plug(const Attribute* a) const;
    PlugRef plug(const std::string& attrName) const;  // invalid when unknown
};
using NodePtr = std::shared_ptr<Node>;

// ---- Scene ----
// How a node's name was chosen. A name the host makes up ("joint1", "polySurfaceShape2") is numbered
// to be unique in the whole scene; a name the caller gives a DAG node only has to be free among its
// siblings (dependency nodes are always unique in the scene).
enum class Naming { kGiven, kGenerated };

class Scene {
  public:
    Scene();
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    Node* world() const { return world_.get(); }
    const std::vector<NodePtr>& nodes() const { return nodes_; }
    NodePtr ptr(Node* n) const { return n ? n->self() : nullptr; }

    // Creates a node of a type; DAG nodes go under `parent` (the world when null). An empty name
    // gives the type's generated name ("transform1"); a taken name is numbered. A non-empty name
    // marked `kGenerated` is one the host made up and is numbered as generated names are.
    Node* createNode(const NodeType* type, const std::string& name, Node* parent = nullptr,
                     Naming naming = Naming::kGiven);
    void deleteNode(Node* node);
    // Gives the node the wanted name or, when taken, the next free numbered form; returns it.
    // Fails (empty result) for a name with no usable character.
    std::string rename(Node* node, const std::string& wanted);
    Node* findNode(const std::string& name) const;  // first node with that name
    std::vector<Node*> nodesNamed(const std::string& name) const;

    // DAG. `index` is the position among the parent's children (past the end appends).
    MStatus addChild(Node* parent, Node* child, unsigned index, bool keepExistingParents);
    MStatus removeChild(Node* parent, Node* child);
    bool isAncestor(const Node* maybeAncestor, const Node* node) const;

    // Connections.
    MStatus canConnect(const PlugRef& src, const PlugRef& dst, std::string* why = nullptr) const;
    MStatus connect(const PlugRef& src, const PlugRef& dst);
    MStatus disconnect(const PlugRef& src, const PlugRef& dst);
    bool sourceOf(const PlugRef& dst, PlugRef& src) const;
    std::vector<PlugRef> destinationsOf(const PlugRef& src) const;

    // Values. `read` evaluates: connection, then compute, then stored value or default.
    bool read(const PlugRef& plug, Value& out) const;
    bool readNumber(const PlugRef& plug, double& out) const;
    double number(const Node* node, const std::string& attrName, double fallback = 0.0) const;
    MStatus write(const PlugRef& plug, const Value& v);
    MStatus setNumber(Node* node, const std::string& attrName, double v);
    // The existing logical indices of an array plug, ascending.
    std::vector<unsigned> elementIndices(const PlugRef& arrayPlug) const;
    // How many elements an array plug has, and the logical index of the n-th (physical order is
    // logical order), without listing them all.
    std::size_t elementCount(const PlugRef& arrayPlug) const;
    bool elementAt(const PlugRef& arrayPlug, std::size_t physical, unsigned& logical) const;
    // Makes an array element exist (as elementByLogicalIndex does).
    void touchElement(const PlugRef& elementPlug);

    const Slot* findSlot(const PlugRef& plug) const;
    Slot* slot(const PlugRef& plug);  // creates

  private:
    // `sceneWide`: any other live node with the name takes it; otherwise (a given DAG name) only
    // siblings and dependency nodes do.
    bool nameTaken(const std::string& name, const Node* node, const std::vector<Node*>& parents,
                   bool sceneWide) const;
    std::string uniqueName(const std::string& wanted, const Node* node, const std::vector<Node*>& parents,
                           bool sceneWide);
    void index(Node* n);
    void unindex(Node* n);
    bool readDepth(const PlugRef& plug, Value& out, int depth) const;

    NodePtr world_;
    std::vector<NodePtr> nodes_;
    std::unordered_multimap<std::string, Node*> byName_;
    // Per base name, a number k such that base1 .. base(k-1) are all taken in the scene, so that
    // scene-wide numbering of many nodes sharing one base does not search from 1 each time.
    // Lowered when one of those names is freed.
    std::unordered_map<std::string, unsigned long long> takenBelow_;
    std::uint64_t nextSerial_ = 1;
};

// Maya's acceptable form of a node name: letters, digits and '_', not starting with a digit.
std::string legalName(const std::string& wanted);

Scene& scene();
// Replaces the scene with a new one as a new Maya scene starts.
void resetScene();

// Runs after the empty scene exists and before the new-scene defaults are complete; families add
// their default nodes here (default cameras, shading group...). Lower order runs first.
void registerNewSceneHook(int order, void (*fn)(Scene&));

}  // namespace mayasim

#endif
