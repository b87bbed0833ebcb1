// MPlug: a view of one attribute instance of a node, resolved against the schema on use.
#include <maya/MAngle.h>
#include <maya/MDistance.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MString.h>
#include <maya/MTime.h>
#include <maya/MTypeId.h>

#include <limits>

#include "ArrayImpl.h"
#include "Bridge.h"

using namespace mayasim;

namespace {

PlugRef ref(const MPlug& p) {
    return toRef(p);
}

// Reads a number the plug's attribute holds; fails for non-numeric attributes.
MStatus readNumber(const MPlug& p, double& out) {
    PlugRef r = ref(p);
    if (!r.valid() || !isNumeric(r.attr->type)) return MS::kFailure;
    return scene().readNumber(r, out) ? MS::kSuccess : MS::kFailure;
}

MStatus writeNumber(const MPlug& p, double v) {
    PlugRef r = ref(p);
    if (!r.valid() || !isNumeric(r.attr->type)) return MS::kFailure;
    return scene().write(r, v);
}

template <class T>
MStatus getNumber(const MPlug& p, T& out) {
    double v;
    MStatus s = readNumber(p, v);
    if (s) out = static_cast<T>(v);
    return s;
}

}  // namespace

MDGContext MDGContext::fsNormal;
MDGContext::MDGContext() : fNormal(true), fSeconds(0) {}
MDGContext::MDGContext(const MTime& when) : fNormal(false), fSeconds(when.as(MTime::kSeconds)) {}
MDGContext::MDGContext(const MDGContext&) = default;
MDGContext::~MDGContext() = default;
bool MDGContext::isNormal(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kSuccess);
    return fNormal;
}

MTypeId::MTypeId() : fId(0) {}
MTypeId::MTypeId(unsigned int id) : fId(id) {}
MTypeId::MTypeId(unsigned int prefix, unsigned int id) : fId((prefix << 8) | (id & 0xFFu)) {}
MTypeId::MTypeId(const MTypeId&) = default;
MTypeId::~MTypeId() = default;
MTypeId& MTypeId::operator=(const MTypeId&) = default;
bool MTypeId::operator==(const MTypeId& rhs) const {
    return fId == rhs.fId;
}
bool MTypeId::operator!=(const MTypeId& rhs) const {
    return fId != rhs.fId;
}
unsigned int MTypeId::id(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kSuccess);
    return fId;
}

MPlug::MPlug() {
    for (unsigned& i : fIndex) i = kNoIndex;
}
MPlug::MPlug(const MPlug& in) = default;
MPlug::MPlug(const MObject& node, const MObject& attribute) : MPlug() {
    Node* n = nodeOf(node);
    const Attribute* a = attributeOf(attribute);
    if (n && a && n->type->findAttribute(a->longName) == a) {
        fNode = node;
        fAttr = attribute;
    }
}
MPlug::~MPlug() = default;
MPlug& MPlug::operator=(const MPlug& other) = default;

MStatus MPlug::setAttribute(MObject& attribute) {
    Node* n = nodeOf(fNode);
    const Attribute* a = attributeOf(attribute);
    if (!n || !a || n->type->findAttribute(a->longName) != a) return MS::kInvalidParameter;
    fAttr = attribute;
    for (unsigned& i : fIndex) i = kNoIndex;
    return MS::kSuccess;
}
MObject MPlug::attribute(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, isNull() ? MS::kFailure : MS::kSuccess);
    return fAttr;
}
MObject MPlug::node(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, isNull() ? MS::kFailure : MS::kSuccess);
    return fNode;
}
MString MPlug::name(MStatus* ReturnStatus) const {
    PlugRef r = ref(*this);
    setStatus(ReturnStatus, r.valid() ? MS::kSuccess : MS::kFailure);
    return r.valid() ? toM(r.name(true)) : MString();
}
MString MPlug::partialName(bool includeNodeName, bool, bool, bool, bool useFullAttributePath,
                           bool useLongNames, MStatus* ReturnStatus) const {
    PlugRef r = ref(*this);
    setStatus(ReturnStatus, r.valid() ? MS::kSuccess : MS::kFailure);
    if (!r.valid()) return MString();
    std::string text;
    for (const Attribute* a : r.attr->chain()) {
        if (!useFullAttributePath && a != r.attr && !a->array) continue;
        if (!text.empty()) text += '.';
        text += useLongNames || a->shortName.empty() ? a->longName : a->shortName;
        unsigned i = r.index[static_cast<std::size_t>(a->depth)];
        if (a->array && i != kNoIndex) text += "[" + std::to_string(i) + "]";
    }
    return toM(includeNodeName ? r.node->name + "." + text : text);
}
MString MPlug::info(MStatus* ReturnStatus) const {
    return name(ReturnStatus);
}

bool MPlug::isNetworked(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kSuccess);
    return isConnected();
}
bool MPlug::isArray(MStatus* ReturnStatus) const {
    PlugRef r = ref(*this);
    setStatus(ReturnStatus, r.valid() ? MS::kSuccess : MS::kFailure);
    return r.valid() && r.attr->array && !r.isElement();
}
bool MPlug::isElement(MStatus* ReturnStatus) const {
    PlugRef r = ref(*this);
    setStatus(ReturnStatus, r.valid() ? MS::kSuccess : MS::kFailure);
    return r.isElement();
}
bool MPlug::isCompound(MStatus* ReturnStatus) const {
    PlugRef r = ref(*this);
    setStatus(ReturnStatus, r.valid() ? MS::kSuccess : MS::kFailure);
    return r.valid() && r.attr->type == AttrType::kCompound && !(r.attr->array && !r.isElement());
}
bool MPlug::isChild(MStatus* ReturnStatus) const {
    PlugRef r = ref(*this);
    setStatus(ReturnStatus, r.valid() ? MS::kSuccess : MS::kFailure);
    return r.valid() && r.attr->parent != nullptr;
}
bool MPlug::isKeyable(MStatus* ReturnStatus) const {
    PlugRef r = ref(*this);
    setStatus(ReturnStatus, r.valid() ? MS::kSuccess : MS::kFailure);
    return r.valid() && r.attr->keyable;
}
MStatus MPlug::setKeyable(bool) {
    return isNull() ? MS::kFailure : MS::kSuccess;
}
bool MPlug::isLocked(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, isNull() ? MS::kFailure : MS::kSuccess);
    return false;
}
MStatus MPlug::setLocked(bool) {
    return isNull() ? MS::kFailure : MS::kSuccess;
}

unsigned int MPlug::logicalIndex(MStatus* ReturnStatus) const {
    PlugRef r = ref(*this);
    setStatus(ReturnStatus, r.isElement() ? MS::kSuccess : MS::kFailure);
    return r.isElement() ? r.index[static_cast<std::size_t>(r.attr->depth)] : kNoIndex;
}
unsigned int MPlug::numElements(MStatus* ReturnStatus) const {
    PlugRef r = ref(*this);
    bool ok = r.valid() && r.attr->array && !r.isElement();
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kFailure);
    return ok ? static_cast<unsigned int>(scene().elementCount(r)) : 0;
}
unsigned int MPlug::evaluateNumElements(MStatus* ReturnStatus) {
    return numElements(ReturnStatus);
}
unsigned int MPlug::numConnectedElements(MStatus* ReturnStatus) const {
    PlugRef r = ref(*this);
    unsigned int n = 0;
    for (unsigned i : scene().elementIndices(r))
        if (toPlug(r.element(i)).isConnected()) ++n;
    setStatus(ReturnStatus, r.valid() ? MS::kSuccess : MS::kFailure);
    return n;
}
int MPlug::getExistingArrayAttributeIndices(MIntArray& indices, MStatus* ReturnStatus) {
    indices.clear();
    PlugRef r = ref(*this);
    for (unsigned i : scene().elementIndices(r)) indices.append(static_cast<int>(i));
    setStatus(ReturnStatus, r.valid() && r.attr->array ? MS::kSuccess : MS::kFailure);
    return static_cast<int>(indices.length());
}
unsigned int MPlug::numChildren(MStatus* ReturnStatus) const {
    PlugRef r = ref(*this);
    bool ok = r.valid() && r.attr->type == AttrType::kCompound;
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kFailure);
    return ok ? static_cast<unsigned int>(r.attr->children.size()) : 0;
}
unsigned int MPlug::numConnectedChildren(MStatus* ReturnStatus) const {
    unsigned int n = 0;
    for (unsigned int i = 0; i < numChildren(ReturnStatus); ++i)
        if (child(i).isConnected()) ++n;
    return n;
}
MPlug MPlug::child(MObject& attr, MStatus* ReturnStatus) const {
    PlugRef r = ref(*this);
    const Attribute* a = attributeOf(attr);
    PlugRef c = r.valid() ? r.child(a) : PlugRef{};
    setStatus(ReturnStatus, c.valid() ? MS::kSuccess : MS::kFailure);
    return toPlug(c);
}
MPlug MPlug::child(unsigned int index, MStatus* ReturnStatus) const {
    PlugRef r = ref(*this);
    bool ok = r.valid() && r.attr->type == AttrType::kCompound && index < r.attr->children.size();
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kFailure);
    return ok ? toPlug(r.child(r.attr->children[index].get())) : MPlug();
}
MPlug MPlug::parent(MStatus* ReturnStatus) const {
    PlugRef p = ref(*this).parentPlug();
    setStatus(ReturnStatus, p.valid() ? MS::kSuccess : MS::kFailure);
    return toPlug(p);
}
MPlug MPlug::array(MStatus* ReturnStatus) const {
    PlugRef p = ref(*this).arrayPlug();
    setStatus(ReturnStatus, p.valid() ? MS::kSuccess : MS::kFailure);
    return toPlug(p);
}
// The element exists from now on, as in the host.
MPlug MPlug::elementByLogicalIndex(unsigned int logicalIndex, MStatus* ReturnStatus) const {
    PlugRef r = ref(*this);
    bool ok = r.valid() && r.attr->array && !r.isElement() && logicalIndex != kNoIndex && r.resolvable();
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kFailure);
    if (!ok) return MPlug();
    PlugRef e = r.element(logicalIndex);
    scene().touchElement(e);
    return toPlug(e);
}
MPlug MPlug::elementByPhysicalIndex(unsigned int physicalIndex, MStatus* ReturnStatus) const {
    PlugRef r = ref(*this);
    unsigned logical = 0;
    bool ok = scene().elementAt(r, physicalIndex, logical);
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kFailure);
    return ok ? toPlug(r.element(logical)) : MPlug();
}

bool MPlug::connectedTo(MPlugArray& array, bool asDst, bool asSrc, MStatus* ReturnStatus) const {
    array.clear();
    PlugRef r = ref(*this);
    setStatus(ReturnStatus, r.valid() ? MS::kSuccess : MS::kFailure);
    if (!r.valid()) return false;
    if (asDst) {
        PlugRef src;
        if (scene().sourceOf(r, src)) array.append(toPlug(src));
    }
    if (asSrc)
        for (const PlugRef& d : scene().destinationsOf(r)) array.append(toPlug(d));
    return array.length() > 0;
}
bool MPlug::isConnected(MStatus* ReturnStatus) const {
    return isDestination(ReturnStatus) || isSource();
}
bool MPlug::isDestination(MStatus* ReturnStatus) const {
    PlugRef r = ref(*this), src;
    setStatus(ReturnStatus, r.valid() ? MS::kSuccess : MS::kFailure);
    return r.valid() && scene().sourceOf(r, src);
}
bool MPlug::isSource(MStatus* ReturnStatus) const {
    PlugRef r = ref(*this);
    setStatus(ReturnStatus, r.valid() ? MS::kSuccess : MS::kFailure);
    return r.valid() && !scene().destinationsOf(r).empty();
}
bool MPlug::isNull(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kSuccess);
    return !ref(*this).valid();
}

MStatus MPlug::getValue(MObject& val, MDGContext&) const {
    PlugRef r = ref(*this);
    if (!r.valid()) return MS::kFailure;
    Value v;
    if (!scene().read(r, v)) return MS::kFailure;
    if (auto* o = std::get_if<ObjectPtr>(&v)) {
        val = Access::wrap(*o);
        return MS::kSuccess;
    }
    if (std::holds_alternative<std::monostate>(v) && r.attr->type == AttrType::kData) {
        val = MObject();
        return MS::kSuccess;
    }
    return MS::kFailure;
}
MStatus MPlug::getValue(double& v, MDGContext&) const {
    return getNumber(*this, v);
}
MStatus MPlug::getValue(float& v, MDGContext&) const {
    return getNumber(*this, v);
}
MStatus MPlug::getValue(MInt64& v, MDGContext&) const {
    return getNumber(*this, v);
}
MStatus MPlug::getValue(int& v, MDGContext&) const {
    return getNumber(*this, v);
}
MStatus MPlug::getValue(short& v, MDGContext&) const {
    return getNumber(*this, v);
}
MStatus MPlug::getValue(bool& v, MDGContext&) const {
    double d;
    MStatus s = readNumber(*this, d);
    if (s) v = d != 0.0;
    return s;
}
MStatus MPlug::getValue(char& v, MDGContext&) const {
    return getNumber(*this, v);
}
MStatus MPlug::getValue(MString& v, MDGContext&) const {
    PlugRef r = ref(*this);
    Value val;
    if (!r.valid() || r.attr->type != AttrType::kString || !scene().read(r, val)) return MS::kFailure;
    if (auto* s = std::get_if<std::string>(&val)) {
        v = toM(*s);
        return MS::kSuccess;
    }
    return MS::kFailure;
}
MStatus MPlug::getValue(MTime& v, MDGContext&) const {
    double d;
    MStatus s = readNumber(*this, d);
    if (s) v = MTime(d, MTime::kSeconds);
    return s;
}
MStatus MPlug::getValue(MDistance& v, MDGContext&) const {
    double d;
    MStatus s = readNumber(*this, d);
    if (s) v = MDistance(d, MDistance::kCentimeters);
    return s;
}
MStatus MPlug::getValue(MAngle& v, MDGContext&) const {
    double d;
    MStatus s = readNumber(*this, d);
    if (s) v = MAngle(d, MAngle::kRadians);
    return s;
}

MStatus MPlug::setValue(MObject& val) {
    PlugRef r = ref(*this);
    if (!r.valid() || r.attr->type != AttrType::kData) return MS::kFailure;
    return scene().write(r, Access::ptr(val));
}
MStatus MPlug::setValue(double v) {
    return writeNumber(*this, v);
}
MStatus MPlug::setValue(float v) {
    return writeNumber(*this, v);
}
MStatus MPlug::setValue(MInt64 v) {
    return writeNumber(*this, static_cast<double>(v));
}
MStatus MPlug::setValue(int v) {
    return writeNumber(*this, v);
}
MStatus MPlug::setValue(short v) {
    return writeNumber(*this, v);
}
MStatus MPlug::setValue(bool v) {
    return writeNumber(*this, v ? 1.0 : 0.0);
}
MStatus MPlug::setValue(char v) {
    return writeNumber(*this, v);
}
MStatus MPlug::setValue(const MString& v) {
    PlugRef r = ref(*this);
    if (!r.valid() || r.attr->type != AttrType::kString) return MS::kFailure;
    return scene().write(r, fromM(v));
}
MStatus MPlug::setValue(const char* v) {
    return setValue(MString(v));
}
MStatus MPlug::setValue(MTime& v) {
    return writeNumber(*this, v.as(MTime::kSeconds));
}
MStatus MPlug::setValue(MDistance& v) {
    return writeNumber(*this, v.asCentimeters());
}
MStatus MPlug::setValue(MAngle& v) {
    return writeNumber(*this, v.asRadians());
}

MObject MPlug::asMObject(MDGContext& ctx, MStatus* ReturnStatus) const {
    MObject o;
    setStatus(ReturnStatus, getValue(o, ctx));
    return o;
}
#define MAYASIM_PLUG_AS(Type, method)                                  \
    Type MPlug::method(MDGContext& ctx, MStatus* ReturnStatus) const { \
        Type v{};                                                      \
        setStatus(ReturnStatus, getValue(v, ctx));                     \
        return v;                                                      \
    }
MAYASIM_PLUG_AS(double, asDouble)
MAYASIM_PLUG_AS(float, asFloat)
MAYASIM_PLUG_AS(int, asInt)
MAYASIM_PLUG_AS(short, asShort)
MAYASIM_PLUG_AS(bool, asBool)
#undef MAYASIM_PLUG_AS
MString MPlug::asString(MDGContext& ctx, MStatus* ReturnStatus) const {
    MString v;
    setStatus(ReturnStatus, getValue(v, ctx));
    return v;
}
MTime MPlug::asMTime(MDGContext& ctx, MStatus* ReturnStatus) const {
    MTime v;
    setStatus(ReturnStatus, getValue(v, ctx));
    return v;
}

// As the parameter's name says, a physical index: the n-th existing element. An index past the
// existing elements gives a null plug; elementByLogicalIndex is the call that creates elements.
MPlug MPlug::operator[](unsigned int physicalIndex) const {
    return elementByPhysicalIndex(physicalIndex);
}
MPlug MPlug::operator[](MObject& attr) const {
    return child(attr);
}
bool MPlug::operator==(const MPlug& other) const {
    return ref(*this) == ref(other);
}
bool MPlug::operator!=(const MPlug& other) const {
    return !(*this == other);
}
MPlug::operator MObject() const {
    return fAttr;
}
bool MPlug::operator!() const {
    return isNull();
}

MAYASIM_ARRAY_COMMON(MPlugArray, MPlug)
MAYASIM_ARRAY_COPY(MPlugArray, MPlug)
MPlugArray::MPlugArray(unsigned int initialSize, const MPlug& initialValue) {
    new (fStore) std::vector<MPlug>(initialSize, initialValue);
}
const MPlug& MPlugArray::operator[](unsigned int index) const {
    return Access::vec<MPlug>(*this)[index];
}
MPlug& MPlugArray::operator[](unsigned int index) {
    return Access::vec<MPlug>(*this)[index];
}
