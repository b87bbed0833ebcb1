// Surface shaders: the lambert, reflect, phong and blinn node attributes and their function sets.
#include <maya/MColor.h>
#include <maya/MFnBlinnShader.h>
#include <maya/MFnLambertShader.h>
#include <maya/MFnPhongShader.h>
#include <maya/MFnReflectShader.h>

#include "Bridge.h"
#include "FnImpl.h"

namespace mayasim {

MAYASIM_REGISTER_TYPES(registerShaderAttributes) {
    TypeRegistry& t = types();
    t.addAttribute("lambert", keyable(colorAttr("color", "c", 0.5, 0.5, 0.5)));
    t.addAttribute("lambert", keyable(colorAttr("transparency", "it", 0, 0, 0)));
    t.addAttribute(
        "lambert",
        keyable(childNames(colorAttr("ambientColor", "ambc", 0, 0, 0),
                           {{"ambientColorR", "acr"}, {"ambientColorG", "acg"}, {"ambientColorB", "acb"}})));
    t.addAttribute(
        "lambert",
        keyable(childNames(colorAttr("incandescence", "ic", 0, 0, 0),
                           {{"incandescenceR", "ir"}, {"incandescenceG", "ig"}, {"incandescenceB", "ib"}})));
    t.addAttribute("lambert", keyable(attr("diffuse", "dc", AttrType::kFloat, 0.8)));
    t.addAttribute("lambert", keyable(attr("translucence", "tc", AttrType::kFloat, 0)));
    t.addAttribute("lambert", keyable(attr("glowIntensity", "gi", AttrType::kFloat, 0)));
    t.addAttribute("lambert", triple("normalCamera", "n", AttrType::kFloat, 0, 0, 0));
    t.addAttribute("lambert", output(colorAttr("outColor", "oc", 0, 0, 0)));
    t.addAttribute("lambert", output(colorAttr("outTransparency", "ot", 0, 0, 0)));
    t.addAttribute(
        "reflect",
        keyable(childNames(colorAttr("specularColor", "sc", 0.5, 0.5, 0.5),
                           {{"specularColorR", "sr"}, {"specularColorG", "sg"}, {"specularColorB", "sb"}})));
    t.addAttribute("reflect", keyable(attr("reflectivity", "rfl", AttrType::kFloat, 0.5)));
    t.addAttribute("reflect",
                   keyable(childNames(
                       colorAttr("reflectedColor", "rc", 0, 0, 0),
                       {{"reflectedColorR", "rr"}, {"reflectedColorG", "rg"}, {"reflectedColorB", "rb"}})));
    t.addAttribute("phong", keyable(attr("cosinePower", "cp", AttrType::kFloat, 20)));
    t.addAttribute("blinn", keyable(attr("eccentricity", "ec", AttrType::kFloat, 0.3)));
    t.addAttribute("blinn", keyable(attr("specularRollOff", "sro", AttrType::kFloat, 0.7)));
}

}  // namespace mayasim

using namespace mayasim;

namespace {

MColor readColor(const MFnBase& fn, const char* name, MStatus* ReturnStatus) {
    Node* n = fnNode(fn);
    PlugRef p = n ? n->plug(name) : PlugRef{};
    setStatus(ReturnStatus, p.valid() ? MS::kSuccess : MS::kInvalidParameter);
    if (!p.valid()) return MColor();
    double v[3] = {0, 0, 0};
    for (std::size_t i = 0; i < 3 && i < p.attr->children.size(); ++i)
        scene().readNumber(p.child(p.attr->children[i].get()), v[i]);
    return MColor(static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2]));
}

MStatus writeColor(MFnBase& fn, const char* name, const MColor& c) {
    Node* n = fnNode(fn);
    PlugRef p = n ? n->plug(name) : PlugRef{};
    if (!p.valid()) return MS::kInvalidParameter;
    const double v[3] = {c.r, c.g, c.b};
    for (std::size_t i = 0; i < 3 && i < p.attr->children.size(); ++i) {
        MStatus s = scene().write(p.child(p.attr->children[i].get()), v[i]);
        if (!s) return s;
    }
    return MS::kSuccess;
}

float readFloat(const MFnBase& fn, const char* name, MStatus* ReturnStatus) {
    Node* n = fnNode(fn);
    double v = 0;
    const bool ok = n && scene().readNumber(n->plug(name), v);
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kInvalidParameter);
    return static_cast<float>(v);
}

MStatus writeFloat(MFnBase& fn, const char* name, float v) {
    Node* n = fnNode(fn);
    return n ? scene().setNumber(n, name, v) : MS::kInvalidParameter;
}

// A new shader, listed in the default shader list when visible in the user interface.
MObject createShader(MFnBase& fn, const char* typeName, bool UIvisible, MStatus* ReturnStatus) {
    Scene& s = scene();
    Node* n = s.createNode(types().find(typeName), "");
    if (!n) {
        setStatus(ReturnStatus, MS::kFailure);
        return MObject();
    }
    if (UIvisible)
        if (Node* list = s.findNode("defaultShaderList1")) {
            PlugRef shaders = list->plug("shaders");
            std::vector<unsigned> used = s.elementIndices(shaders);
            s.connect(n->plug("message"), shaders.element(used.empty() ? 0 : used.back() + 1));
        }
    MObject o = wrapNode(n);
    setStatus(ReturnStatus, fn.setObject(o));
    return o;
}

}  // namespace

MAYASIM_IMPLEMENT_MFN(MFnLambertShader, MFn::kLambert)
MObject MFnLambertShader::create(bool UIvisible, MStatus* ReturnStatus) {
    return createShader(*this, "lambert", UIvisible, ReturnStatus);
}
float MFnLambertShader::diffuseCoeff(MStatus* ReturnStatus) const {
    return readFloat(*this, "diffuse", ReturnStatus);
}
MStatus MFnLambertShader::setDiffuseCoeff(const float& diffuse_coeff) {
    return writeFloat(*this, "diffuse", diffuse_coeff);
}
MColor MFnLambertShader::color(MStatus* ReturnStatus) const {
    return readColor(*this, "color", ReturnStatus);
}
MStatus MFnLambertShader::setColor(const MColor& col) {
    return writeColor(*this, "color", col);
}
MColor MFnLambertShader::transparency(MStatus* ReturnStatus) const {
    return readColor(*this, "transparency", ReturnStatus);
}
MStatus MFnLambertShader::setTransparency(const MColor& transp) {
    return writeColor(*this, "transparency", transp);
}
MColor MFnLambertShader::ambientColor(MStatus* ReturnStatus) const {
    return readColor(*this, "ambientColor", ReturnStatus);
}
MStatus MFnLambertShader::setAmbientColor(const MColor& ambient_color) {
    return writeColor(*this, "ambientColor", ambient_color);
}
MColor MFnLambertShader::incandescence(MStatus* ReturnStatus) const {
    return readColor(*this, "incandescence", ReturnStatus);
}
MStatus MFnLambertShader::setIncandescence(const MColor& incand) {
    return writeColor(*this, "incandescence", incand);
}

MAYASIM_IMPLEMENT_MFN(MFnReflectShader, MFn::kReflect)
MColor MFnReflectShader::specularColor(MStatus* ReturnStatus) const {
    return readColor(*this, "specularColor", ReturnStatus);
}
MStatus MFnReflectShader::setSpecularColor(const MColor& specular_color) {
    return writeColor(*this, "specularColor", specular_color);
}
float MFnReflectShader::reflectivity(MStatus* ReturnStatus) const {
    return readFloat(*this, "reflectivity", ReturnStatus);
}
MStatus MFnReflectShader::setReflectivity(const float& reflect) {
    return writeFloat(*this, "reflectivity", reflect);
}

MAYASIM_IMPLEMENT_MFN(MFnPhongShader, MFn::kPhong)
MObject MFnPhongShader::create(bool UIvisible, MStatus* ReturnStatus) {
    return createShader(*this, "phong", UIvisible, ReturnStatus);
}
float MFnPhongShader::cosPower(MStatus* ReturnStatus) const {
    return readFloat(*this, "cosinePower", ReturnStatus);
}
MStatus MFnPhongShader::setCosPower(const float& cos_power) {
    return writeFloat(*this, "cosinePower", cos_power);
}

MAYASIM_IMPLEMENT_MFN(MFnBlinnShader, MFn::kBlinn)
MObject MFnBlinnShader::create(bool UIvisible, MStatus* ReturnStatus) {
    return createShader(*this, "blinn", UIvisible, ReturnStatus);
}
float MFnBlinnShader::eccentricity(MStatus* ReturnStatus) const {
    return readFloat(*this, "eccentricity", ReturnStatus);
}
MStatus MFnBlinnShader::setEccentricity(const float& eccentricity) {
    return writeFloat(*this, "eccentricity", eccentricity);
}
float MFnBlinnShader::specularRollOff(MStatus* ReturnStatus) const {
    return readFloat(*this, "specularRollOff", ReturnStatus);
}
MStatus MFnBlinnShader::setSpecularRollOff(const float& specular_rolloff) {
    return writeFloat(*this, "specularRollOff", specular_rolloff);
}
