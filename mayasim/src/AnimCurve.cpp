// Animation curves and the time controls. A curve node keeps its keys; its output is computed from
// its input (the current time unless the input is connected), so a connected attribute follows time.
#include <maya/MAnimControl.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MPlug.h>

#include <algorithm>
#include <cmath>

#include "Bridge.h"
#include "FnImpl.h"
#include "HostState.h"

namespace mayasim {

double secondsPerUnit(int unit);

namespace {

struct Key {
    double input;  // seconds for time-input curves
    double value;  // internal units (radians, centimetres)
    int inTangent;
    int outTangent;
};

class CurveData : public NodeData {
  public:
    std::vector<Key> keys;  // ascending input
};

CurveData* curveOf(const Node* n) {
    return n ? dynamic_cast<CurveData*>(n->data.get()) : nullptr;
}

// Linear between keys; a step out-tangent holds the key's value; the end values hold outside.
double evaluateKeys(const std::vector<Key>& keys, double x) {
    if (keys.empty()) return 0.0;
    if (x <= keys.front().input) return keys.front().value;
    if (x >= keys.back().input) return keys.back().value;
    auto hi =
        std::upper_bound(keys.begin(), keys.end(), x, [](double v, const Key& k) { return v < k.input; });
    const Key& b = *hi;
    const Key& a = *(hi - 1);
    if (a.outTangent == MFnAnimCurve::kTangentStep) return a.value;
    if (a.outTangent == MFnAnimCurve::kTangentStepNext) return b.value;
    double span = b.input - a.input;
    if (span <= 0) return b.value;
    return a.value + (b.value - a.value) * (x - a.input) / span;
}

bool timeInput(const Node* n) {
    const std::string& t = n->type->name;
    return t.size() == 11 && t[9] == 'T';
}

const char* const kCurveTypes[] = {"animCurveTA", "animCurveTL", "animCurveTT", "animCurveTU",
                                   "animCurveUA", "animCurveUL", "animCurveUT", "animCurveUU"};

AttrType outputType(char c) {
    switch (c) {
        case 'A':
            return AttrType::kAngle;
        case 'L':
            return AttrType::kDistance;
        case 'T':
            return AttrType::kTime;
        default:
            return AttrType::kDouble;
    }
}

}  // namespace

MAYASIM_REGISTER_TYPES(registerAnimCurves) {
    TypeRegistry& t = types();
    t.define("animCurve", MFn::kInvalid, "").onCreate = [](Node& n) {
        n.data = std::make_unique<CurveData>();
    };
    for (const char* name : kCurveTypes) {
        std::string n = name;
        t.addAttribute(n, attr("input", "i", n[9] == 'T' ? AttrType::kTime : AttrType::kDouble));
        t.addAttribute(n, output(attr("output", "o", outputType(n[10]))));
    }
    t.addAttribute("animCurve", attr("preInfinity", "pre", AttrType::kShort, 0));
    t.addAttribute("animCurve", attr("postInfinity", "pst", AttrType::kShort, 0));
    t.addAttribute("animCurve", attr("weightedTangents", "wgt", AttrType::kBool, 0));
    t.addAttribute("animCurve", attr("tangentType", "tan", AttrType::kShort, 0));
    t.addCompute("animCurve", [](const Node& n, const PlugRef& p, Value& out) {
        if (p.attr->longName != "output") return false;
        const CurveData* c = curveOf(&n);
        double x = 0;
        PlugRef in = n.plug("input"), src;
        if (scene().sourceOf(in, src) || !timeInput(&n))
            scene().readNumber(in, x);
        else
            x = host().time.current;
        out = c ? evaluateKeys(c->keys, x) : 0.0;
        return true;
    });
}

}  // namespace mayasim

using namespace mayasim;

MAYASIM_IMPLEMENT_MFN(MFnAnimCurve, MFn::kAnimCurve)

namespace {

CurveData* fnCurve(const MFnAnimCurve& fn) {
    return curveOf(fnNode(fn));
}

MFnAnimCurve::AnimCurveType typeForAttribute(const Attribute* a) {
    switch (a->type) {
        case AttrType::kAngle:
            return MFnAnimCurve::kAnimCurveTA;
        case AttrType::kDistance:
            return MFnAnimCurve::kAnimCurveTL;
        case AttrType::kTime:
            return MFnAnimCurve::kAnimCurveTT;
        default:
            return MFnAnimCurve::kAnimCurveTU;
    }
}

unsigned int insertKey(CurveData& c, double input, double value, int tin, int tout) {
    auto it = std::lower_bound(c.keys.begin(), c.keys.end(), input,
                               [](const Key& k, double v) { return k.input < v; });
    if (it != c.keys.end() && std::fabs(it->input - input) < 1.0e-9) {
        // A key at the same input is replaced.
        *it = Key{input, value, tin, tout};
    } else {
        it = c.keys.insert(it, Key{input, value, tin, tout});
    }
    return static_cast<unsigned int>(it - c.keys.begin());
}

}  // namespace

MObject MFnAnimCurve::create(const MPlug& plug, MDGModifier* modifier, MStatus* ReturnStatus) {
    PlugRef r = toRef(plug);
    if (!r.valid()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    return create(plug, typeForAttribute(r.attr), modifier, ReturnStatus);
}

// Makes a curve named "<node>_<attribute>" and connects its output to the plug; fails when the plug
// cannot be driven (not numeric, not writable, or already connected).
MObject MFnAnimCurve::create(const MPlug& plug, AnimCurveType animCurveType, MDGModifier*,
                             MStatus* ReturnStatus) {
    PlugRef r = toRef(plug);
    Scene& s = scene();
    PlugRef existing;
    if (!r.valid() || !isNumeric(r.attr->type) || !r.attr->writable || (r.attr->array && !r.isElement()) ||
        s.sourceOf(r, existing) || animCurveType < kAnimCurveTA || animCurveType >= kAnimCurveUnknown) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    Node* curve =
        s.createNode(types().find(kCurveTypes[animCurveType]), r.node->name + "_" + r.attr->longName);
    MStatus st = s.connect(curve->plug("output"), r);
    if (!st) {
        s.deleteNode(curve);
        setStatus(ReturnStatus, st);
        return MObject();
    }
    MObject o = wrapNode(curve);
    setStatus(ReturnStatus, setObject(o));
    return o;
}
MObject MFnAnimCurve::create(const MObject& node, const MObject& attribute, MDGModifier* modifier,
                             MStatus* ReturnStatus) {
    return create(MPlug(node, attribute), modifier, ReturnStatus);
}
MObject MFnAnimCurve::create(AnimCurveType animCurveType, MDGModifier*, MStatus* ReturnStatus) {
    if (animCurveType < kAnimCurveTA || animCurveType >= kAnimCurveUnknown) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    MObject o = wrapNode(scene().createNode(types().find(kCurveTypes[animCurveType]), ""));
    setStatus(ReturnStatus, setObject(o));
    return o;
}

MFnAnimCurve::AnimCurveType MFnAnimCurve::animCurveType(MStatus* ReturnStatus) const {
    Node* n = fnNode(*this);
    setStatus(ReturnStatus, n ? MS::kSuccess : MS::kFailure);
    if (!n) return kAnimCurveUnknown;
    for (int i = 0; i < kAnimCurveUnknown; ++i)
        if (n->type->name == kCurveTypes[i]) return static_cast<AnimCurveType>(i);
    return kAnimCurveUnknown;
}
bool MFnAnimCurve::isTimeInput(MStatus* ReturnStatus) const {
    Node* n = fnNode(*this);
    setStatus(ReturnStatus, n ? MS::kSuccess : MS::kFailure);
    return n && timeInput(n);
}
bool MFnAnimCurve::isUnitlessInput(MStatus* ReturnStatus) const {
    Node* n = fnNode(*this);
    setStatus(ReturnStatus, n ? MS::kSuccess : MS::kFailure);
    return n && !timeInput(n);
}
bool MFnAnimCurve::isStatic(MStatus* ReturnStatus) const {
    CurveData* c = fnCurve(*this);
    setStatus(ReturnStatus, c ? MS::kSuccess : MS::kFailure);
    if (!c) return false;
    for (const Key& k : c->keys)
        if (k.value != c->keys.front().value) return false;
    return true;
}
unsigned int MFnAnimCurve::numKeys(MStatus* ReturnStatus) const {
    CurveData* c = fnCurve(*this);
    setStatus(ReturnStatus, c ? MS::kSuccess : MS::kFailure);
    return c ? static_cast<unsigned int>(c->keys.size()) : 0;
}
unsigned int MFnAnimCurve::numKeyframes(MStatus* ReturnStatus) const {
    return numKeys(ReturnStatus);
}
MStatus MFnAnimCurve::remove(unsigned int index, MAnimCurveChange*) {
    CurveData* c = fnCurve(*this);
    if (!c || index >= c->keys.size()) return MS::kInvalidParameter;
    c->keys.erase(c->keys.begin() + index);
    return MS::kSuccess;
}
unsigned int MFnAnimCurve::addKey(const MTime& time, double value, TangentType tangentInType,
                                  TangentType tangentOutType, MAnimCurveChange*, MStatus* ReturnStatus) {
    CurveData* c = fnCurve(*this);
    if (!c || !isTimeInput()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return 0;
    }
    setStatus(ReturnStatus, MS::kSuccess);
    return insertKey(*c, time.as(MTime::kSeconds), value, tangentInType, tangentOutType);
}
unsigned int MFnAnimCurve::addKey(double unitlessInput, double value, TangentType tangentInType,
                                  TangentType tangentOutType, MAnimCurveChange*, MStatus* ReturnStatus) {
    CurveData* c = fnCurve(*this);
    if (!c || !isUnitlessInput()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return 0;
    }
    setStatus(ReturnStatus, MS::kSuccess);
    return insertKey(*c, unitlessInput, value, tangentInType, tangentOutType);
}
MStatus MFnAnimCurve::addKeys(MTimeArray* times, MDoubleArray* values, TangentType tangentInType,
                              TangentType tangentOutType, bool keepExistingKeys, MAnimCurveChange*) {
    CurveData* c = fnCurve(*this);
    if (!c || !times || !values || times->length() != values->length()) return MS::kInvalidParameter;
    if (!keepExistingKeys) c->keys.clear();
    for (unsigned int i = 0; i < times->length(); ++i)
        insertKey(*c, (*times)[i].as(MTime::kSeconds), (*values)[i], tangentInType, tangentOutType);
    return MS::kSuccess;
}
bool MFnAnimCurve::find(const MTime& time, unsigned int& index, MStatus* ReturnStatus) const {
    CurveData* c = fnCurve(*this);
    setStatus(ReturnStatus, c ? MS::kSuccess : MS::kFailure);
    if (!c) return false;
    double t = time.as(MTime::kSeconds);
    for (std::size_t i = 0; i < c->keys.size(); ++i)
        if (std::fabs(c->keys[i].input - t) < 1.0e-9) {
            index = static_cast<unsigned int>(i);
            return true;
        }
    return false;
}
// Key times are given in the user-interface unit.
MTime MFnAnimCurve::time(unsigned int index, MStatus* ReturnStatus) const {
    CurveData* c = fnCurve(*this);
    bool ok = c && index < c->keys.size();
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kInvalidParameter);
    if (!ok) return MTime();
    MTime t(c->keys[index].input, MTime::kSeconds);
    t.setUnit(MTime::uiUnit());
    return t;
}
double MFnAnimCurve::value(unsigned int index, MStatus* ReturnStatus) const {
    CurveData* c = fnCurve(*this);
    bool ok = c && index < c->keys.size();
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kInvalidParameter);
    return ok ? c->keys[index].value : 0.0;
}
double MFnAnimCurve::unitlessInput(unsigned int index, MStatus* ReturnStatus) const {
    CurveData* c = fnCurve(*this);
    bool ok = c && index < c->keys.size() && isUnitlessInput();
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kInvalidParameter);
    return ok ? c->keys[index].input : 0.0;
}
MStatus MFnAnimCurve::setValue(unsigned int index, double value, MAnimCurveChange*) {
    CurveData* c = fnCurve(*this);
    if (!c || index >= c->keys.size()) return MS::kInvalidParameter;
    c->keys[index].value = value;
    return MS::kSuccess;
}
MStatus MFnAnimCurve::setTime(unsigned int index, const MTime& time, MAnimCurveChange*) {
    CurveData* c = fnCurve(*this);
    if (!c || index >= c->keys.size()) return MS::kInvalidParameter;
    Key k = c->keys[index];
    c->keys.erase(c->keys.begin() + index);
    insertKey(*c, time.as(MTime::kSeconds), k.value, k.inTangent, k.outTangent);
    return MS::kSuccess;
}
MFnAnimCurve::TangentType MFnAnimCurve::inTangentType(unsigned int index, MStatus* ReturnStatus) const {
    CurveData* c = fnCurve(*this);
    bool ok = c && index < c->keys.size();
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kInvalidParameter);
    return ok ? static_cast<TangentType>(c->keys[index].inTangent) : kTangentGlobal;
}
MFnAnimCurve::TangentType MFnAnimCurve::outTangentType(unsigned int index, MStatus* ReturnStatus) const {
    CurveData* c = fnCurve(*this);
    bool ok = c && index < c->keys.size();
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kInvalidParameter);
    return ok ? static_cast<TangentType>(c->keys[index].outTangent) : kTangentGlobal;
}
MStatus MFnAnimCurve::evaluate(const MTime& atTime, double& value) const {
    CurveData* c = fnCurve(*this);
    if (!c) return MS::kFailure;
    value = evaluateKeys(c->keys, atTime.as(MTime::kSeconds));
    return MS::kSuccess;
}
double MFnAnimCurve::evaluate(const MTime& atTime, MStatus* ReturnStatus) const {
    double v = 0;
    setStatus(ReturnStatus, evaluate(atTime, v));
    return v;
}
MStatus MFnAnimCurve::evaluate(const double& atUnitlessInput, double& value) const {
    CurveData* c = fnCurve(*this);
    if (!c) return MS::kFailure;
    value = evaluateKeys(c->keys, atUnitlessInput);
    return MS::kSuccess;
}

// ---- MAnimControl: times are kept in seconds and given back in the user-interface unit ----
namespace {
MTime inUiUnit(double seconds) {
    MTime t(seconds, MTime::kSeconds);
    t.setUnit(MTime::uiUnit());
    return t;
}
double toSeconds(const MTime& t) {
    return t.as(MTime::kSeconds);
}
}  // namespace

MAnimControl::MAnimControl() = default;
MAnimControl::~MAnimControl() = default;
MTime MAnimControl::minTime() {
    return inUiUnit(host().time.minTime);
}
MTime MAnimControl::maxTime() {
    return inUiUnit(host().time.maxTime);
}
MStatus MAnimControl::setMinTime(MTime t) {
    host().time.minTime = toSeconds(t);
    return MS::kSuccess;
}
MStatus MAnimControl::setMaxTime(MTime t) {
    host().time.maxTime = toSeconds(t);
    return MS::kSuccess;
}
MStatus MAnimControl::setMinMaxTime(const MTime& a, const MTime& b) {
    if (b < a) return MS::kInvalidParameter;
    setMinTime(a);
    return setMaxTime(b);
}
MTime MAnimControl::animationStartTime() {
    return inUiUnit(host().time.animationStart);
}
MTime MAnimControl::animationEndTime() {
    return inUiUnit(host().time.animationEnd);
}
MStatus MAnimControl::setAnimationStartTime(MTime t) {
    host().time.animationStart = toSeconds(t);
    return MS::kSuccess;
}
MStatus MAnimControl::setAnimationEndTime(MTime t) {
    host().time.animationEnd = toSeconds(t);
    return MS::kSuccess;
}
MStatus MAnimControl::setAnimationStartEndTime(const MTime& a, const MTime& b) {
    if (b < a) return MS::kInvalidParameter;
    setAnimationStartTime(a);
    return setAnimationEndTime(b);
}
MTime MAnimControl::currentTime() {
    return inUiUnit(host().time.current);
}
MStatus MAnimControl::setCurrentTime(const MTime& t) {
    host().time.current = toSeconds(t);
    return MS::kSuccess;
}
bool MAnimControl::isPlaying() {
    return false;
}
