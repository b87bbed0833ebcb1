// Cameras: the camera shape attributes and MFnCamera. A camera looks down its local -Z axis with +Y
// up and +X to the right; the field of view follows from the film aperture (inches) and the focal
// length (millimetres).
#include <maya/MFnCamera.h>

#include <cmath>

#include "Bridge.h"
#include "FnImpl.h"
#include "ShapeCreation.h"

namespace mayasim {

MAYASIM_REGISTER_TYPES(registerCameraAttributes) {
    TypeRegistry& t = types();
    t.addAttribute("camera", attr("focalLength", "fl", AttrType::kDouble, 35));
    t.addAttribute("camera", attr("horizontalFilmAperture", "hfa", AttrType::kDouble, 1.41732));
    t.addAttribute("camera", attr("verticalFilmAperture", "vfa", AttrType::kDouble, 0.94488));
    t.addAttribute("camera", attr("lensSqueezeRatio", "lsr", AttrType::kDouble, 1));
    t.addAttribute("camera", attr("nearClipPlane", "ncp", AttrType::kDistance, 0.1));
    t.addAttribute("camera", attr("farClipPlane", "fcp", AttrType::kDistance, 10000));
    t.addAttribute("camera", attr("orthographic", "o", AttrType::kBool, 0));
    t.addAttribute("camera", attr("orthographicWidth", "ow", AttrType::kDistance, 30));
    t.addAttribute("camera", attr("centerOfInterest", "coi", AttrType::kDistance, 5));
    t.addAttribute("camera", attr("renderable", "rnd", AttrType::kBool, 1));
}

}  // namespace mayasim

using namespace mayasim;

namespace {

constexpr double kMillimetresPerInch = 25.4;

double value(const MFnBase& fn, const char* name, MStatus* ReturnStatus) {
    Node* n = fnNode(fn);
    double v = 0;
    const bool ok = n && scene().readNumber(n->plug(name), v);
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kInvalidParameter);
    return v;
}
MStatus setValue(MFnBase& fn, const char* name, double v) {
    Node* n = fnNode(fn);
    return n ? scene().setNumber(n, name, v) : MS::kInvalidParameter;
}

double fieldOfView(double apertureInches, double focal) {
    return focal > 0 ? 2.0 * std::atan(0.5 * apertureInches * kMillimetresPerInch / focal) : 0.0;
}

// World space needs the set to be attached through a DAG path, as in Maya.
bool spaceAvailable(const MFnBase& fn, MSpace::Space space, MStatus* ReturnStatus) {
    const bool ok = fnNode(fn) && (space != MSpace::kWorld || fnHasDagPath(fn));
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kInvalidParameter);
    return ok;
}

MVector direction(const MFnBase& fn, const MVector& local, MSpace::Space space, MStatus* ReturnStatus) {
    if (!spaceAvailable(fn, space, ReturnStatus)) return MVector();
    return space == MSpace::kWorld ? worldDirection(fnPath(fn), local) : local;
}

}  // namespace

MAYASIM_IMPLEMENT_DAG_MFN(MFnCamera, MFn::kCamera)

MObject MFnCamera::create(MStatus* ReturnStatus) {
    return createShapeNode(*this, "camera", MObject::kNullObj, true, ReturnStatus);
}
// Without a parent the camera gets a transform of its own, which is returned (as create() does);
// under a given parent the shape is returned.
MObject MFnCamera::create(MObject& parent, MStatus* ReturnStatus) {
    return createShapeNode(*this, "camera", parent, parent.isNull(), ReturnStatus);
}
MPoint MFnCamera::eyePoint(MSpace::Space space, MStatus* ReturnStatus) const {
    if (!spaceAvailable(*this, space, ReturnStatus) || space != MSpace::kWorld) return MPoint();
    const MMatrix m = pathMatrix(fnPath(*this));
    return MPoint(m.matrix[3][0], m.matrix[3][1], m.matrix[3][2]);
}
MVector MFnCamera::viewDirection(MSpace::Space space, MStatus* ReturnStatus) const {
    return direction(*this, MVector(0, 0, -1), space, ReturnStatus);
}
MVector MFnCamera::upDirection(MSpace::Space space, MStatus* ReturnStatus) const {
    return direction(*this, MVector(0, 1, 0), space, ReturnStatus);
}
MVector MFnCamera::rightDirection(MSpace::Space space, MStatus* ReturnStatus) const {
    return direction(*this, MVector(1, 0, 0), space, ReturnStatus);
}
MStatus MFnCamera::setHorizontalFieldOfView(double fov) {
    if (!(fov > 0) || fov >= 3.14159265358979323846) return MS::kInvalidParameter;
    const double aperture = value(*this, "horizontalFilmAperture", nullptr);
    return setValue(*this, "focalLength", 0.5 * aperture * kMillimetresPerInch / std::tan(0.5 * fov));
}
double MFnCamera::horizontalFieldOfView(MStatus* ReturnStatus) const {
    const double aperture = value(*this, "horizontalFilmAperture", ReturnStatus);
    return fieldOfView(aperture, value(*this, "focalLength", nullptr));
}
MStatus MFnCamera::setVerticalFieldOfView(double fov) {
    if (!(fov > 0) || fov >= 3.14159265358979323846) return MS::kInvalidParameter;
    const double aperture = value(*this, "verticalFilmAperture", nullptr);
    return setValue(*this, "focalLength", 0.5 * aperture * kMillimetresPerInch / std::tan(0.5 * fov));
}
double MFnCamera::verticalFieldOfView(MStatus* ReturnStatus) const {
    const double aperture = value(*this, "verticalFilmAperture", ReturnStatus);
    return fieldOfView(aperture, value(*this, "focalLength", nullptr));
}
MStatus MFnCamera::setFocalLength(double focalLength) {
    return focalLength > 0 ? setValue(*this, "focalLength", focalLength) : MS::kInvalidParameter;
}
double MFnCamera::focalLength(MStatus* ReturnStatus) const {
    return value(*this, "focalLength", ReturnStatus);
}
MStatus MFnCamera::setHorizontalFilmAperture(double hFilmAperture) {
    return hFilmAperture > 0 ? setValue(*this, "horizontalFilmAperture", hFilmAperture)
                             : MS::kInvalidParameter;
}
double MFnCamera::horizontalFilmAperture(MStatus* ReturnStatus) const {
    return value(*this, "horizontalFilmAperture", ReturnStatus);
}
MStatus MFnCamera::setNearClippingPlane(double dNear) {
    return setValue(*this, "nearClipPlane", dNear);
}
double MFnCamera::nearClippingPlane(MStatus* ReturnStatus) const {
    return value(*this, "nearClipPlane", ReturnStatus);
}
MStatus MFnCamera::setFarClippingPlane(double dFar) {
    return setValue(*this, "farClipPlane", dFar);
}
double MFnCamera::farClippingPlane(MStatus* ReturnStatus) const {
    return value(*this, "farClipPlane", ReturnStatus);
}
MStatus MFnCamera::setIsOrtho(bool orthoState) {
    return setValue(*this, "orthographic", orthoState ? 1 : 0);
}
MStatus MFnCamera::setIsOrtho(bool orthoState, double useDist) {
    MStatus s = setIsOrtho(orthoState);
    if (s && orthoState && useDist > 0) {
        // The ortho width that shows at `useDist` what the perspective view showed there.
        s = setValue(*this, "orthographicWidth", 2.0 * useDist * std::tan(0.5 * horizontalFieldOfView()));
    }
    return s;
}
bool MFnCamera::isOrtho(MStatus* ReturnStatus) const {
    return value(*this, "orthographic", ReturnStatus) != 0;
}
MStatus MFnCamera::setOrthoWidth(double orthoWidth) {
    return orthoWidth > 0 ? setValue(*this, "orthographicWidth", orthoWidth) : MS::kInvalidParameter;
}
double MFnCamera::orthoWidth(MStatus* ReturnStatus) const {
    return value(*this, "orthographicWidth", ReturnStatus);
}
