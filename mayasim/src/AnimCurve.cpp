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

// The tangent type kTangentGlobal stands for: Maya 2015's new-scene default for keys ("auto").
constexpr int kGlobalDefault = MFnAnimCurve::kTangentAuto;

int resolved(int type) {
    return type == MFnAnimCurve::kTangentGlobal ? kGlobalDefault : type;
}

double segmentSlope(const Key& a, const Key& b) {
    const double dx = b.input - a.input;
    return dx > 0 ? (b.value - a.value) / dx : 0.0;
}

// The slope (value per input unit) of key i's tangent on the side given by `out`, from its type:
//  - linear: towards the neighbouring key on that side;
//  - flat (and the held side of steps): 0;
//  - spline (also fixed, slow, fast, which start as splines): the slope between the two neighbours,
//    at an end key the slope towards its only neighbour;
//  - clamped: as spline, but flat when the key's value equals a neighbour's;
//  - auto (and plateau): flat at an end key and at a local extreme; otherwise the spline slope,
//    reduced so that the curve does not pass the neighbouring values (the tangent's Bezier handle,
//    a third of the span long, stays between them).
double tangentSlope(const std::vector<Key>& keys, std::size_t i, bool out) {
    const Key& k = keys[i];
    const int type = resolved(out ? k.outTangent : k.inTangent);
    const bool hasPrev = i > 0, hasNext = i + 1 < keys.size();
    switch (type) {
        case MFnAnimCurve::kTangentLinear:
            if (out)
                return hasNext ? segmentSlope(k, keys[i + 1])
                               : (hasPrev ? segmentSlope(keys[i - 1], k) : 0.0);
            return hasPrev ? segmentSlope(keys[i - 1], k) : (hasNext ? segmentSlope(k, keys[i + 1]) : 0.0);
        case MFnAnimCurve::kTangentFlat:
        case MFnAnimCurve::kTangentStep:
        case MFnAnimCurve::kTangentStepNext:
            return 0.0;
        default:
            break;
    }
    double spline = 0.0;
    if (hasPrev && hasNext)
        spline = segmentSlope(keys[i - 1], keys[i + 1]);
    else if (hasNext)
        spline = segmentSlope(k, keys[i + 1]);
    else if (hasPrev)
        spline = segmentSlope(keys[i - 1], k);
    if (type == MFnAnimCurve::kTangentClamped) {
        if ((hasPrev && keys[i - 1].value == k.value) || (hasNext && keys[i + 1].value == k.value))
            return 0.0;
        return spline;
    }
    if (type == MFnAnimCurve::kTangentAuto || type == MFnAnimCurve::kTangentPlateau) {
        if (!hasPrev || !hasNext) return 0.0;
        const Key& p = keys[i - 1];
        const Key& n = keys[i + 1];
        if ((k.value - p.value) * (n.value - k.value) <= 0) return 0.0;  // extreme or level
        // Handles reach a third of each span; keep both ends between the neighbours' values.
        const double limitNext = 3.0 * (n.value - k.value) / (n.input - k.input);
        const double limitPrev = 3.0 * (k.value - p.value) / (k.input - p.input);
        const double sign = spline < 0 ? -1.0 : 1.0;
        double m = std::fabs(spline);
        m = std::min(m, std::fabs(limitNext));
        m = std::min(m, std::fabs(limitPrev));
        return sign * m;
    }
    return spline;
}

// One Bezier coordinate at parameter t.
double bezier(double p0, double p1, double p2, double p3, double t) {
    const double u = 1.0 - t;
    return u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
}

// Maya evaluates each span between keys a and b as a Bezier segment: (xa, ya), the end of a's out
// tangent, the start of b's in tangent, (xb, yb). Unweighted curves place the handles at a third of
// the span in x, so the parameter is linear in x (the Hermite form). Weighted curves keep the
// handles' own x lengths (here a third of the span on each side, Maya's length for a new tangent)
// and solve x(t) = x for t.
double evaluateSegment(const std::vector<Key>& keys, std::size_t ia, double x, bool weighted) {
    const Key& a = keys[ia];
    const Key& b = keys[ia + 1];
    const double span = b.input - a.input;
    if (span <= 0) return b.value;
    const int out = resolved(a.outTangent);
    if (out == MFnAnimCurve::kTangentStep) return a.value;
    if (out == MFnAnimCurve::kTangentStepNext) return b.value;
    const double mOut = tangentSlope(keys, ia, true);
    const double mIn = tangentSlope(keys, ia + 1, false);
    const double hx = span / 3.0;
    const double x1 = a.input + hx, y1 = a.value + mOut * hx;
    const double x2 = b.input - hx, y2 = b.value - mIn * hx;
    double t = (x - a.input) / span;
    if (weighted) {
        // Bisection on the monotonic x(t); 60 halvings reach double precision.
        double lo = 0.0, hi = 1.0;
        for (int it = 0; it < 60; ++it) {
            t = 0.5 * (lo + hi);
            if (bezier(a.input, x1, x2, b.input, t) < x)
                lo = t;
            else
                hi = t;
        }
        t = 0.5 * (lo + hi);
    }
    return bezier(a.value, y1, y2, b.value, t);
}

// Keys hold their end values outside the keyed range (constant pre and post infinity).
double evaluateKeys(const std::vector<Key>& keys, double x, bool weighted) {
    if (keys.empty()) return 0.0;
    if (x <= keys.front().input) return keys.front().value;
    if (x >= keys.back().input) return keys.back().value;
    auto hi =
        std::upper_bound(keys.begin(), keys.end(), x, [](double v, const Key& k) { return v < k.input; });
    const auto ia = static_cast<std::size_t>(hi - keys.begin()) - 1;
    if (x == keys[ia].input) return keys[ia].value;
    return evaluateSegment(keys, ia, x, weighted);
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
        out = c ? evaluateKeys(c->keys, x, scene().number(&n, "weightedTangents", 0) != 0) : 0.0;
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

bool weightedCurve(const MFnAnimCurve& fn) {
    return scene().number(fnNode(fn), "weightedTangents", 0) != 0;
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
    value = evaluateKeys(c->keys, atTime.as(MTime::kSeconds), weightedCurve(*this));
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
    value = evaluateKeys(c->keys, atUnitlessInput, weightedCurve(*this));
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
