// Lights: the light shape attributes and the light function sets. A light shines down its local -Z
// axis; its direction in world space follows the path's world matrix.
#include <maya/MColor.h>
#include <maya/MDagPath.h>
#include <maya/MFloatVector.h>
#include <maya/MFnAmbientLight.h>
#include <maya/MFnAreaLight.h>
#include <maya/MFnDirectionalLight.h>
#include <maya/MFnLight.h>
#include <maya/MFnNonAmbientLight.h>
#include <maya/MFnNonExtendedLight.h>
#include <maya/MFnPointLight.h>
#include <maya/MFnSpotLight.h>
#include <maya/MFnVolumeLight.h>

#include <cctype>
#include <cmath>

#include "Bridge.h"
#include "FnImpl.h"
#include "ShapeCreation.h"

namespace mayasim {

MAYASIM_REGISTER_TYPES(registerLightAttributes) {
    TypeRegistry& t = types();
    t.addAttribute("light", keyable(childNames(colorAttr("color", "cl", 1, 1, 1),
                                               {{"colorR", "cr"}, {"colorG", "cg"}, {"colorB", "cb"}})));
    t.addAttribute("light", keyable(attr("intensity", "in", AttrType::kFloat, 1)));
    t.addAttribute("light",
                   childNames(colorAttr("shadowColor", "sc", 0, 0, 0),
                              {{"shadColorR", "scr"}, {"shadColorG", "scg"}, {"shadColorB", "scb"}}));
    t.addAttribute("light", attr("useRayTraceShadows", "urs", AttrType::kBool, 0));
    t.addAttribute("light", attr("emitDiffuse", "de", AttrType::kBool, 1));
    t.addAttribute("light", attr("emitSpecular", "sn", AttrType::kBool, 1));
    t.addAttribute("ambientLight", attr("ambientShade", "as", AttrType::kFloat, 0.45));
    t.addAttribute("ambientLight", attr("shadowRadius", "sr", AttrType::kDouble, 0));
    t.addAttribute("nonAmbientLightShapeNode", attr("decayRate", "dr", AttrType::kShort, 0));
    t.addAttribute("nonExtendedLightShapeNode", attr("shadowRadius", "sr", AttrType::kDouble, 0));
    t.addAttribute("spotLight",
                   keyable(attr("coneAngle", "ca", AttrType::kAngle, 40.0 * 3.14159265358979323846 / 180.0)));
    t.addAttribute("spotLight", keyable(attr("penumbraAngle", "pa", AttrType::kAngle, 0)));
    t.addAttribute("spotLight", keyable(attr("dropoff", "dro", AttrType::kDouble, 0)));
    t.addAttribute("directionalLight", attr("lightAngle", "lang", AttrType::kAngle, 0));
}

// A light or camera: with no parent, or when asked, a new transform with the shape under it;
// otherwise the shape under the given transform. The transform is returned only when it was asked
// for (a shape cannot sit under the world, so the "no transform" form still makes one without a
// parent, but answers the shape). The function set is attached to the shape itself, so it follows the
// shape when it is moved.
MObject createShapeNode(MFnDagNode& fn, const char* typeName, const MObject& parent, bool wantTransform,
                        MStatus* ReturnStatus) {
    Scene& s = scene();
    const NodeType* t = types().find(typeName);
    Node* p = parent.isNull() ? nullptr : nodeOf(parent);
    if (!t || (!parent.isNull() && (!p || !p->type->isTransform()))) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    Node* transform = nullptr;
    Node* shape = nullptr;
    if (!p || wantTransform) {
        transform =
            s.createNode(types().find("transform"), std::string(typeName) + "1", p, Naming::kGenerated);
        std::string digits;
        for (auto it = transform->name.rbegin();
             it != transform->name.rend() && std::isdigit(static_cast<unsigned char>(*it)); ++it)
            digits.insert(digits.begin(), *it);
        shape = s.createNode(t, std::string(typeName) + "Shape" + (digits.empty() ? "1" : digits), transform,
                             Naming::kGenerated);
    } else {
        shape = s.createNode(t, std::string(typeName) + "Shape1", p, Naming::kGenerated);
    }
    if (!shape) {
        setStatus(ReturnStatus, MS::kFailure);
        return MObject();
    }
    setStatus(ReturnStatus, fn.setObject(wrapNode(shape)));
    return wrapNode(wantTransform ? transform : shape);
}

// Rotates an object-space direction into world space along a path and normalises it.
MVector worldDirection(const NodePath& path, const MVector& local) {
    const MMatrix m = pathMatrix(path);
    MVector d(local.x * m.matrix[0][0] + local.y * m.matrix[1][0] + local.z * m.matrix[2][0],
              local.x * m.matrix[0][1] + local.y * m.matrix[1][1] + local.z * m.matrix[2][1],
              local.x * m.matrix[0][2] + local.y * m.matrix[1][2] + local.z * m.matrix[2][2]);
    const double len = d.length();
    return len > 0 ? MVector(d.x / len, d.y / len, d.z / len) : d;
}

}  // namespace mayasim

using namespace mayasim;

namespace {

double readNumberOf(const MFnBase& fn, const char* name, MStatus* ReturnStatus) {
    Node* n = fnNode(fn);
    double v = 0;
    const bool ok = n && scene().readNumber(n->plug(name), v);
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kInvalidParameter);
    return v;
}
MStatus writeNumberOf(MFnBase& fn, const char* name, double v) {
    Node* n = fnNode(fn);
    return n ? scene().setNumber(n, name, v) : MS::kInvalidParameter;
}
MColor readColorOf(const MFnBase& fn, const char* name, MStatus* ReturnStatus) {
    Node* n = fnNode(fn);
    PlugRef p = n ? n->plug(name) : PlugRef{};
    setStatus(ReturnStatus, p.valid() ? MS::kSuccess : MS::kInvalidParameter);
    double v[3] = {0, 0, 0};
    for (std::size_t i = 0; p.valid() && i < 3; ++i)
        scene().readNumber(p.child(p.attr->children[i].get()), v[i]);
    return MColor(static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2]));
}
MStatus writeColorOf(MFnBase& fn, const char* name, const MColor& c) {
    Node* n = fnNode(fn);
    PlugRef p = n ? n->plug(name) : PlugRef{};
    if (!p.valid()) return MS::kInvalidParameter;
    const double v[3] = {c.r, c.g, c.b};
    for (std::size_t i = 0; i < 3; ++i) scene().write(p.child(p.attr->children[i].get()), v[i]);
    return MS::kSuccess;
}

MFloatVector toFloat(const MVector& v) {
    return MFloatVector(static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z));
}

}  // namespace

MAYASIM_IMPLEMENT_DAG_MFN(MFnLight, MFn::kLight)
MColor MFnLight::color(MStatus* ReturnStatus) const {
    return readColorOf(*this, "color", ReturnStatus);
}
MStatus MFnLight::setColor(const MColor& col) {
    return writeColorOf(*this, "color", col);
}
float MFnLight::intensity(MStatus* ReturnStatus) const {
    return static_cast<float>(readNumberOf(*this, "intensity", ReturnStatus));
}
MStatus MFnLight::setIntensity(const float& intens) {
    return writeNumberOf(*this, "intensity", intens);
}
MColor MFnLight::shadowColor(MStatus* ReturnStatus) const {
    return readColorOf(*this, "shadowColor", ReturnStatus);
}
MStatus MFnLight::setShadowColor(const MColor& shadow_color) {
    return writeColorOf(*this, "shadowColor", shadow_color);
}
MFloatVector MFnLight::lightDirection(int instance, MSpace::Space space, MStatus* ReturnStatus) const {
    Node* n = fnNode(*this);
    const bool ok = n && instance >= 0 && static_cast<std::size_t>(instance) < n->parents.size();
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kInvalidParameter);
    if (!ok) return MFloatVector();
    const MVector down(0, 0, -1);
    if (space != MSpace::kWorld) return toFloat(down);
    return toFloat(worldDirection(instancePath(n, static_cast<unsigned>(instance)), down));
}
// The form without an instance answers in world space, which needs the path the set was attached
// through; the form with an instance number finds that instance's path itself.
MFloatVector MFnLight::lightDirection(MStatus* ReturnStatus) const {
    const bool ok = fnHasDagPath(*this);
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kInvalidParameter);
    return ok ? toFloat(worldDirection(fnPath(*this), MVector(0, 0, -1))) : MFloatVector();
}

MAYASIM_IMPLEMENT_DAG_MFN(MFnNonAmbientLight, MFn::kNonAmbientLight)
short MFnNonAmbientLight::decayRate(MStatus* ReturnStatus) const {
    return static_cast<short>(readNumberOf(*this, "decayRate", ReturnStatus));
}
MStatus MFnNonAmbientLight::setDecayRate(const short& decay_rate) {
    return writeNumberOf(*this, "decayRate", decay_rate);
}

MAYASIM_IMPLEMENT_DAG_MFN(MFnNonExtendedLight, MFn::kNonExtendedLight)
float MFnNonExtendedLight::shadowRadius(MStatus* ReturnStatus) const {
    return static_cast<float>(readNumberOf(*this, "shadowRadius", ReturnStatus));
}
MStatus MFnNonExtendedLight::setShadowRadius(const float& shadow_radius) {
    return writeNumberOf(*this, "shadowRadius", shadow_radius);
}

#define MAYASIM_LIGHT_CREATE(Cls, typeName)                                                       \
    MObject Cls::create(bool, MStatus* ReturnStatus) {                                            \
        return createShapeNode(*this, typeName, MObject::kNullObj, true, ReturnStatus);           \
    }                                                                                             \
    MObject Cls::create(const MObject& parent, bool, bool wantTransform, MStatus* ReturnStatus) { \
        return createShapeNode(*this, typeName, parent, wantTransform, ReturnStatus);             \
    }                                                                                             \
    MObject Cls::create(const MObject& parent, bool, MStatus* ReturnStatus) {                     \
        return createShapeNode(*this, typeName, parent, false, ReturnStatus);                     \
    }

MAYASIM_IMPLEMENT_DAG_MFN(MFnAmbientLight, MFn::kAmbientLight)
MAYASIM_LIGHT_CREATE(MFnAmbientLight, "ambientLight")
float MFnAmbientLight::ambientShade(MStatus* ReturnStatus) const {
    return static_cast<float>(readNumberOf(*this, "ambientShade", ReturnStatus));
}
MStatus MFnAmbientLight::setAmbientShade(const float& ambient_shade) {
    return writeNumberOf(*this, "ambientShade", ambient_shade);
}
float MFnAmbientLight::shadowRadius(MStatus* ReturnStatus) const {
    return static_cast<float>(readNumberOf(*this, "shadowRadius", ReturnStatus));
}
MStatus MFnAmbientLight::setShadowRadius(const float& shadow_radius) {
    return writeNumberOf(*this, "shadowRadius", shadow_radius);
}

MAYASIM_IMPLEMENT_DAG_MFN(MFnDirectionalLight, MFn::kDirectionalLight)
MAYASIM_LIGHT_CREATE(MFnDirectionalLight, "directionalLight")
MAYASIM_IMPLEMENT_DAG_MFN(MFnPointLight, MFn::kPointLight)
MAYASIM_LIGHT_CREATE(MFnPointLight, "pointLight")
MAYASIM_IMPLEMENT_DAG_MFN(MFnAreaLight, MFn::kAreaLight)
MAYASIM_LIGHT_CREATE(MFnAreaLight, "areaLight")
MAYASIM_IMPLEMENT_DAG_MFN(MFnVolumeLight, MFn::kVolumeLight)
MAYASIM_LIGHT_CREATE(MFnVolumeLight, "volumeLight")

MAYASIM_IMPLEMENT_DAG_MFN(MFnSpotLight, MFn::kSpotLight)
MAYASIM_LIGHT_CREATE(MFnSpotLight, "spotLight")
double MFnSpotLight::coneAngle(MStatus* ReturnStatus) const {
    return readNumberOf(*this, "coneAngle", ReturnStatus);
}
MStatus MFnSpotLight::setConeAngle(const double& coneAngle) {
    return writeNumberOf(*this, "coneAngle", coneAngle);
}
double MFnSpotLight::penumbraAngle(MStatus* ReturnStatus) const {
    return readNumberOf(*this, "penumbraAngle", ReturnStatus);
}
MStatus MFnSpotLight::setPenumbraAngle(const double& penumbraAngle) {
    return writeNumberOf(*this, "penumbraAngle", penumbraAngle);
}
double MFnSpotLight::dropOff(MStatus* ReturnStatus) const {
    return readNumberOf(*this, "dropoff", ReturnStatus);
}
MStatus MFnSpotLight::setDropOff(const double& dropOff) {
    return writeNumberOf(*this, "dropoff", dropOff);
}
