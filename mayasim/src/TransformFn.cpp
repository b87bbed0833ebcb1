// MFnTransform and MFnIkJoint: views on the translate, rotate, scale, rotateOrder and jointOrient
// attributes. Reads evaluate the attributes, so animation at the current time is seen.
#include <maya/MEulerRotation.h>
#include <maya/MFnIkJoint.h>
#include <maya/MFnTransform.h>
#include <maya/MMatrix.h>
#include <maya/MQuaternion.h>
#include <maya/MVector.h>

#include "Bridge.h"
#include "FnImpl.h"

using namespace mayasim;

MAYASIM_IMPLEMENT_DAG_MFN(MFnTransform, MFn::kTransform)
MAYASIM_IMPLEMENT_DAG_MFN(MFnIkJoint, MFn::kJoint)

namespace {

bool get3(const Node* n, const char* name, double out[3]) {
    PlugRef p = n ? n->plug(name) : PlugRef{};
    if (!p.valid() || p.attr->children.size() != 3) return false;
    for (std::size_t i = 0; i < 3; ++i)
        if (!scene().readNumber(p.child(p.attr->children[i].get()), out[i])) return false;
    return true;
}
MStatus set3(Node* n, const char* name, const double v[3]) {
    PlugRef p = n ? n->plug(name) : PlugRef{};
    if (!p.valid() || p.attr->children.size() != 3) return MS::kFailure;
    for (std::size_t i = 0; i < 3; ++i) {
        MStatus s = scene().write(p.child(p.attr->children[i].get()), v[i]);
        if (!s) return s;
    }
    return MS::kSuccess;
}
// The attribute holds MEulerRotation's order (xyz = 0); the API's MTransformationMatrix order is one more.
MTransformationMatrix::RotationOrder orderOf(const Node* n) {
    int ro = static_cast<int>(scene().number(n, "rotateOrder", 0));
    if (ro < 0 || ro > 5) ro = 0;
    return static_cast<MTransformationMatrix::RotationOrder>(ro + 1);
}

MObject createTransformLike(MFnDagNode& fn, const char* type, MObject parent, MStatus* ReturnStatus) {
    MStatus s;
    MObject o = fn.MFnDagNode::create(type, parent, &s);
    setStatus(ReturnStatus, s);
    return o;
}

}  // namespace

MObject MFnTransform::create(MObject parent, MStatus* ReturnStatus) {
    return createTransformLike(*this, "transform", parent, ReturnStatus);
}

MTransformationMatrix MFnTransform::transformation(MStatus* ReturnStatus) const {
    Node* n = fnNode(*this);
    setStatus(ReturnStatus, n ? MS::kSuccess : MS::kFailure);
    MTransformationMatrix m;
    if (!n) return m;
    double t[3] = {0, 0, 0}, r[3] = {0, 0, 0}, s[3] = {1, 1, 1};
    get3(n, "translate", t);
    get3(n, "rotate", r);
    get3(n, "scale", s);
    m.setTranslation(MVector(t), MSpace::kTransform);
    m.setRotation(r, orderOf(n));
    m.setScale(s, MSpace::kTransform);
    return m;
}

// Replaces translation, rotation (with its order) and scale.
MStatus MFnTransform::set(const MTransformationMatrix& transform) {
    Node* n = fnNode(*this);
    if (!n) return MS::kFailure;
    double r[3], s[3];
    MTransformationMatrix::RotationOrder order;
    transform.getRotation(r, order);
    transform.getScale(s, MSpace::kTransform);
    MVector t = transform.getTranslation(MSpace::kTransform);
    const double tv[3] = {t.x, t.y, t.z};
    MStatus st = set3(n, "translate", tv);
    if (st) st = set3(n, "rotate", r);
    if (st) st = set3(n, "scale", s);
    if (st) st = scene().setNumber(n, "rotateOrder", static_cast<int>(order) - 1);
    return st;
}

// kWorld gives the translation of the world matrix, and needs the set to be attached through a DAG
// path as in Maya; the other spaces give the local translation.
MVector MFnTransform::getTranslation(MSpace::Space space, MStatus* ReturnStatus) const {
    Node* n = fnNode(*this);
    const bool ok = n && (space != MSpace::kWorld || fnHasDagPath(*this));
    setStatus(ReturnStatus, ok ? MS::kSuccess : MS::kFailure);
    if (!ok) return MVector();
    if (space == MSpace::kWorld) {
        MMatrix w = pathMatrix(fnPath(*this));
        return MVector(w(3, 0), w(3, 1), w(3, 2));
    }
    double t[3] = {0, 0, 0};
    get3(n, "translate", t);
    return MVector(t);
}
MStatus MFnTransform::setTranslation(const MVector& vec, MSpace::Space) {
    const double v[3] = {vec.x, vec.y, vec.z};
    return set3(fnNode(*this), "translate", v);
}
MStatus MFnTransform::translateBy(const MVector& vec, MSpace::Space space) {
    return setTranslation(getTranslation(MSpace::kTransform) + vec, space);
}
MStatus MFnTransform::getScale(double scale[3]) const {
    return get3(fnNode(*this), "scale", scale) ? MS::kSuccess : MS::kFailure;
}
MStatus MFnTransform::setScale(const double scale[3]) {
    return set3(fnNode(*this), "scale", scale);
}
MStatus MFnTransform::getShear(double shear[3]) const {
    return get3(fnNode(*this), "shear", shear) ? MS::kSuccess : MS::kFailure;
}
MStatus MFnTransform::setShear(const double shear[3]) {
    return set3(fnNode(*this), "shear", shear);
}

MStatus MFnTransform::getRotation(double rotation[3], MTransformationMatrix::RotationOrder& order) const {
    Node* n = fnNode(*this);
    if (!n || !get3(n, "rotate", rotation)) return MS::kFailure;
    order = orderOf(n);
    return MS::kSuccess;
}
MStatus MFnTransform::setRotation(const double rotation[3], MTransformationMatrix::RotationOrder order) {
    Node* n = fnNode(*this);
    if (!n || order <= MTransformationMatrix::kInvalid || order >= MTransformationMatrix::kLast)
        return MS::kInvalidParameter;
    MStatus s = set3(n, "rotate", rotation);
    if (s) s = scene().setNumber(n, "rotateOrder", static_cast<int>(order) - 1);
    return s;
}
MStatus MFnTransform::getRotation(MEulerRotation& rotation) const {
    double r[3];
    MTransformationMatrix::RotationOrder order;
    MStatus s = getRotation(r, order);
    if (s) rotation = MEulerRotation(r[0], r[1], r[2], static_cast<MEulerRotation::RotationOrder>(order - 1));
    return s;
}
MStatus MFnTransform::setRotation(const MEulerRotation& rotation) {
    const double r[3] = {rotation.x, rotation.y, rotation.z};
    return setRotation(r, static_cast<MTransformationMatrix::RotationOrder>(rotation.order + 1));
}
MStatus MFnTransform::getRotation(MQuaternion& quaternion, MSpace::Space) const {
    MEulerRotation e;
    MStatus s = getRotation(e);
    if (s) quaternion = e.asQuaternion();
    return s;
}
// The angles are solved in the node's current rotation order.
MStatus MFnTransform::setRotation(const MQuaternion& quaternion, MSpace::Space) {
    Node* n = fnNode(*this);
    if (!n) return MS::kFailure;
    MEulerRotation e = MEulerRotation::decompose(quaternion.asMatrix(),
                                                 static_cast<MEulerRotation::RotationOrder>(orderOf(n) - 1));
    const double r[3] = {e.x, e.y, e.z};
    return set3(n, "rotate", r);
}
MStatus MFnTransform::getRotationQuaternion(double& x, double& y, double& z, double& w,
                                            MSpace::Space space) const {
    MQuaternion q;
    MStatus s = getRotation(q, space);
    x = q.x;
    y = q.y;
    z = q.z;
    w = q.w;
    return s;
}
MStatus MFnTransform::setRotationQuaternion(double x, double y, double z, double w, MSpace::Space space) {
    return setRotation(MQuaternion(x, y, z, w), space);
}
MTransformationMatrix::RotationOrder MFnTransform::rotationOrder(MStatus* ReturnStatus) const {
    Node* n = fnNode(*this);
    setStatus(ReturnStatus, n ? MS::kSuccess : MS::kFailure);
    return n ? orderOf(n) : MTransformationMatrix::kInvalid;
}
// With reorder the angles are re-solved so the orientation stays; without, only the order changes.
MStatus MFnTransform::setRotationOrder(MTransformationMatrix::RotationOrder order, bool reorder) {
    Node* n = fnNode(*this);
    if (!n || order <= MTransformationMatrix::kInvalid || order >= MTransformationMatrix::kLast)
        return MS::kInvalidParameter;
    if (reorder) {
        MEulerRotation e;
        getRotation(e);
        MEulerRotation re = e.reorder(static_cast<MEulerRotation::RotationOrder>(order - 1));
        const double r[3] = {re.x, re.y, re.z};
        set3(n, "rotate", r);
    }
    return scene().setNumber(n, "rotateOrder", static_cast<int>(order) - 1);
}

// ---- MFnIkJoint ----
// A joint made under a joint gets its parent's scale through "inverseScale", as Maya's joint tools
// connect it, so that segment scale compensation undoes the parent's scale.
MObject MFnIkJoint::create(MObject parent, MStatus* ReturnStatus) {
    MObject o = createTransformLike(*this, "joint", parent, ReturnStatus);
    Node* joint = nodeOf(o);
    Node* above = joint && !joint->parents.empty() ? joint->parents.front() : nullptr;
    if (above && above->type->isA("joint"))
        scene().connect(above->plug("scale"), joint->plug("inverseScale"));
    return o;
}
MStatus MFnIkJoint::getOrientation(MEulerRotation& rotation) const {
    double jo[3];
    if (!get3(fnNode(*this), "jointOrient", jo)) return MS::kFailure;
    rotation = MEulerRotation(jo[0], jo[1], jo[2]);
    return MS::kSuccess;
}
MStatus MFnIkJoint::setOrientation(const MEulerRotation& rotation) {
    MEulerRotation e =
        rotation.order == MEulerRotation::kXYZ ? rotation : rotation.reorder(MEulerRotation::kXYZ);
    const double jo[3] = {e.x, e.y, e.z};
    return set3(fnNode(*this), "jointOrient", jo);
}
MStatus MFnIkJoint::getOrientation(MQuaternion& quaternion) const {
    MEulerRotation e;
    MStatus s = getOrientation(e);
    if (s) quaternion = e.asQuaternion();
    return s;
}
MStatus MFnIkJoint::setOrientation(const MQuaternion& quaternion) {
    return setOrientation(quaternion.asEulerRotation());
}
// A joint's scale orientation is its rotate axis ("rotateAxis", XYZ order).
MStatus MFnIkJoint::getScaleOrientation(MQuaternion& quaternion) const {
    double ra[3];
    if (!get3(fnNode(*this), "rotateAxis", ra)) return MS::kFailure;
    quaternion = MEulerRotation(ra[0], ra[1], ra[2]).asQuaternion();
    return MS::kSuccess;
}
MStatus MFnIkJoint::setScaleOrientation(const MQuaternion& quaternion) {
    MEulerRotation e = quaternion.asEulerRotation();
    const double ra[3] = {e.x, e.y, e.z};
    return set3(fnNode(*this), "rotateAxis", ra);
}
MStatus MFnIkJoint::getPreferedAngle(double rotation[3]) const {
    return get3(fnNode(*this), "preferredAngle", rotation) ? MS::kSuccess : MS::kFailure;
}
MStatus MFnIkJoint::setPreferedAngle(const double rotation[3]) {
    return set3(fnNode(*this), "preferredAngle", rotation);
}
