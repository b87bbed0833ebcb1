// Rotations and decomposed transformations (MQuaternion, MEulerRotation, MTransformationMatrix).
#include <maya/MEulerRotation.h>
#include <maya/MMatrix.h>
#include <maya/MQuaternion.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MVector.h>

#include <cmath>

#include "Rotation.h"

using mayasim::Mat3;
using mayasim::Quat;

namespace {

MMatrix toMatrix(const Mat3& r) {
    MMatrix m;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) m.matrix[i][j] = r[i][j];
    return m;
}
Mat3 rotationPart(const MMatrix& m) {
    Mat3 r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) r[i][j] = m.matrix[i][j];
    return r;
}
Quat toQuat(const MQuaternion& q) {
    return {q.x, q.y, q.z, q.w};
}
MQuaternion fromQuat(const Quat& q) {
    return MQuaternion(q[0], q[1], q[2], q[3]);
}

// MTransformationMatrix orders are MEulerRotation's plus one.
int eulerOrder(MTransformationMatrix::RotationOrder o) {
    return o > MTransformationMatrix::kInvalid && o < MTransformationMatrix::kLast ? static_cast<int>(o) - 1
                                                                                   : 0;
}

}  // namespace

// ---- MQuaternion ----
const MQuaternion MQuaternion::identity;
MQuaternion::MQuaternion() : x(0), y(0), z(0), w(1) {}
MQuaternion::MQuaternion(const MQuaternion&) = default;
MQuaternion::MQuaternion(double xx, double yy, double zz, double ww) : x(xx), y(yy), z(zz), w(ww) {}
MQuaternion::MQuaternion(const double q[4]) : x(q[0]), y(q[1]), z(q[2]), w(q[3]) {}
MQuaternion::MQuaternion(const MVector& a, const MVector& b) : x(0), y(0), z(0), w(1) {
    MVector axis = a ^ b;
    double angle = a.angle(b);
    if (axis.length() > 1.0e-12) setAxisAngle(axis, angle);
}
MQuaternion::MQuaternion(double angle, const MVector& axis) : x(0), y(0), z(0), w(1) {
    setAxisAngle(axis, angle);
}
MQuaternion::~MQuaternion() = default;
MQuaternion& MQuaternion::operator=(const MQuaternion& src) = default;
MQuaternion& MQuaternion::operator=(const MMatrix& matrix) {
    return *this = fromQuat(mayasim::matrixToQuat(rotationPart(matrix)));
}
MQuaternion& MQuaternion::operator=(const MEulerRotation& euler) {
    return *this = euler.asQuaternion();
}
MMatrix MQuaternion::asMatrix() const {
    return toMatrix(mayasim::quatToMatrix(toQuat(normal())));
}
MEulerRotation MQuaternion::asEulerRotation() const {
    double a[3];
    mayasim::quatToEuler(toQuat(*this), MEulerRotation::kXYZ, a);
    return MEulerRotation(a[0], a[1], a[2], MEulerRotation::kXYZ);
}
MQuaternion& MQuaternion::setAxisAngle(const MVector& axis, double theta) {
    MVector n = axis.normal();
    double s = std::sin(theta / 2);
    x = n.x * s;
    y = n.y * s;
    z = n.z * s;
    w = std::cos(theta / 2);
    return *this;
}
bool MQuaternion::getAxisAngle(MVector& axis, double& theta) const {
    MQuaternion q = normal();
    double s = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z);
    theta = 2 * std::atan2(s, q.w);
    if (s < 1.0e-12) {
        axis = MVector(0, 0, 1);
        return false;
    }
    axis = MVector(q.x / s, q.y / s, q.z / s);
    return true;
}
double MQuaternion::operator[](unsigned int i) const {
    return i == 0 ? x : i == 1 ? y : i == 2 ? z : w;
}
double& MQuaternion::operator[](unsigned int i) {
    return i == 0 ? x : i == 1 ? y : i == 2 ? z : w;
}
MQuaternion MQuaternion::operator+(const MQuaternion& o) const {
    return MQuaternion(x + o.x, y + o.y, z + o.z, w + o.w);
}
// The product applies this rotation first, then `o` (as the row-vector matrices multiply).
MQuaternion MQuaternion::operator*(const MQuaternion& o) const {
    const MQuaternion& a = o;
    const MQuaternion& b = *this;
    return MQuaternion(
        a.w * b.x + b.w * a.x + a.y * b.z - a.z * b.y, a.w * b.y + b.w * a.y + a.z * b.x - a.x * b.z,
        a.w * b.z + b.w * a.z + a.x * b.y - a.y * b.x, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z);
}
MQuaternion& MQuaternion::operator*=(const MQuaternion& rhs) {
    return *this = *this * rhs;
}
MQuaternion MQuaternion::operator-() const {
    return MQuaternion(-x, -y, -z, -w);
}
bool MQuaternion::operator==(const MQuaternion& o) const {
    return x == o.x && y == o.y && z == o.z && w == o.w;
}
bool MQuaternion::operator!=(const MQuaternion& o) const {
    return !(*this == o);
}
bool MQuaternion::isEquivalent(const MQuaternion& o, double t) const {
    auto close = [&](const MQuaternion& p) {
        return std::fabs(x - p.x) <= t && std::fabs(y - p.y) <= t && std::fabs(z - p.z) <= t &&
               std::fabs(w - p.w) <= t;
    };
    return close(o) || close(-o);
}
MQuaternion MQuaternion::normal() const {
    double n = std::sqrt(x * x + y * y + z * z + w * w);
    return n > 0 ? MQuaternion(x / n, y / n, z / n, w / n) : MQuaternion();
}
MQuaternion& MQuaternion::normalizeIt() {
    return *this = normal();
}
MQuaternion MQuaternion::conjugate() const {
    return MQuaternion(-x, -y, -z, w);
}
MQuaternion MQuaternion::inverse() const {
    double n = x * x + y * y + z * z + w * w;
    return n > 0 ? MQuaternion(-x / n, -y / n, -z / n, w / n) : MQuaternion();
}

// ---- MEulerRotation ----
const MEulerRotation MEulerRotation::identity;
MEulerRotation::MEulerRotation() : x(0), y(0), z(0), order(kXYZ) {}
MEulerRotation::MEulerRotation(const MEulerRotation&) = default;
MEulerRotation::MEulerRotation(const MVector& v, RotationOrder ord) : x(v.x), y(v.y), z(v.z), order(ord) {}
MEulerRotation::MEulerRotation(double xx, double yy, double zz, RotationOrder ord)
    : x(xx), y(yy), z(zz), order(ord) {}
MEulerRotation::~MEulerRotation() = default;
MEulerRotation& MEulerRotation::operator=(const MEulerRotation& src) = default;
MEulerRotation& MEulerRotation::setValue(double xx, double yy, double zz, RotationOrder ord) {
    return *this = MEulerRotation(xx, yy, zz, ord);
}
MQuaternion MEulerRotation::asQuaternion() const {
    const double a[3] = {x, y, z};
    return fromQuat(mayasim::eulerToQuat(a, order));
}
MMatrix MEulerRotation::asMatrix() const {
    const double a[3] = {x, y, z};
    return toMatrix(mayasim::eulerToMatrix(a, order));
}
MVector MEulerRotation::asVector() const {
    return MVector(x, y, z);
}
double MEulerRotation::operator[](unsigned int i) const {
    return i == 0 ? x : i == 1 ? y : z;
}
double& MEulerRotation::operator[](unsigned int i) {
    return i == 0 ? x : i == 1 ? y : z;
}
MEulerRotation MEulerRotation::operator-() const {
    return MEulerRotation(-x, -y, -z, order);
}
bool MEulerRotation::operator==(const MEulerRotation& o) const {
    return x == o.x && y == o.y && z == o.z && order == o.order;
}
bool MEulerRotation::operator!=(const MEulerRotation& o) const {
    return !(*this == o);
}
bool MEulerRotation::isEquivalent(const MEulerRotation& o, double t) const {
    return order == o.order && std::fabs(x - o.x) <= t && std::fabs(y - o.y) <= t && std::fabs(z - o.z) <= t;
}
MEulerRotation MEulerRotation::reorder(RotationOrder ord) const {
    return decompose(asMatrix(), ord);
}
MEulerRotation MEulerRotation::decompose(const MMatrix& matrix, RotationOrder ord) {
    double a[3];
    mayasim::matrixToEuler(rotationPart(matrix), ord, a);
    return MEulerRotation(a[0], a[1], a[2], ord);
}

// ---- MTransformationMatrix ----
// Translation, Euler rotation with its order, and scale; no pivots, shear or rotate axis. The matrix
// is S * R * T in row-vector form.
const MTransformationMatrix MTransformationMatrix::identity;

MTransformationMatrix::~MTransformationMatrix() = default;
MTransformationMatrix::MTransformationMatrix()
    : fTranslate{0, 0, 0}, fRotate{0, 0, 0}, fScale{1, 1, 1}, fOrder(kXYZ) {}
MTransformationMatrix::MTransformationMatrix(const MTransformationMatrix&) = default;
MTransformationMatrix::MTransformationMatrix(const MMatrix& src) : MTransformationMatrix() {
    *this = src;
}
MTransformationMatrix& MTransformationMatrix::operator=(const MTransformationMatrix&) = default;

// Decomposes with rotation order XYZ; a negative determinant is carried by the x scale.
MTransformationMatrix& MTransformationMatrix::operator=(const MMatrix& src) {
    Mat3 r = rotationPart(src);
    for (int i = 0; i < 3; ++i) {
        double len = std::sqrt(r[i][0] * r[i][0] + r[i][1] * r[i][1] + r[i][2] * r[i][2]);
        fScale[i] = len;
        if (len > 0)
            for (double& v : r[i]) v /= len;
    }
    if (src.det3x3() < 0) {
        fScale[0] = -fScale[0];
        for (double& v : r[0]) v = -v;
    }
    fOrder = kXYZ;
    mayasim::matrixToEuler(r, 0, fRotate);
    for (int i = 0; i < 3; ++i) fTranslate[i] = src.matrix[3][i];
    return *this;
}

MMatrix MTransformationMatrix::asRotateMatrix() const {
    return toMatrix(mayasim::eulerToMatrix(fRotate, eulerOrder(fOrder)));
}
MMatrix MTransformationMatrix::asScaleMatrix() const {
    MMatrix s;
    for (int i = 0; i < 3; ++i) s.matrix[i][i] = fScale[i];
    return s;
}
MMatrix MTransformationMatrix::asMatrix() const {
    MMatrix m = asScaleMatrix() * asRotateMatrix();
    for (int i = 0; i < 3; ++i) m.matrix[3][i] = fTranslate[i];
    return m;
}
MMatrix MTransformationMatrix::asMatrixInverse() const {
    return asMatrix().inverse();
}

MStatus MTransformationMatrix::getScale(double scale[3], MSpace::Space) const {
    for (int i = 0; i < 3; ++i) scale[i] = fScale[i];
    return MS::kSuccess;
}
MStatus MTransformationMatrix::setScale(const double scale[3], MSpace::Space) {
    for (int i = 0; i < 3; ++i) fScale[i] = scale[i];
    return MS::kSuccess;
}
MStatus MTransformationMatrix::addScale(const double scale[3], MSpace::Space) {
    for (int i = 0; i < 3; ++i) fScale[i] += scale[i];
    return MS::kSuccess;
}
MQuaternion MTransformationMatrix::rotation() const {
    return fromQuat(mayasim::eulerToQuat(fRotate, eulerOrder(fOrder)));
}
MTransformationMatrix& MTransformationMatrix::rotateTo(const MQuaternion& q) {
    mayasim::quatToEuler(toQuat(q), eulerOrder(fOrder), fRotate);
    return *this;
}
MTransformationMatrix& MTransformationMatrix::rotateTo(const MEulerRotation& e) {
    fRotate[0] = e.x;
    fRotate[1] = e.y;
    fRotate[2] = e.z;
    fOrder = static_cast<RotationOrder>(e.order + 1);
    return *this;
}
MEulerRotation MTransformationMatrix::eulerRotation() const {
    return MEulerRotation(fRotate[0], fRotate[1], fRotate[2],
                          static_cast<MEulerRotation::RotationOrder>(eulerOrder(fOrder)));
}
MStatus MTransformationMatrix::getRotationQuaternion(double& x, double& y, double& z, double& w) const {
    MQuaternion q = rotation();
    x = q.x;
    y = q.y;
    z = q.z;
    w = q.w;
    return MS::kSuccess;
}
MStatus MTransformationMatrix::setRotationQuaternion(double x, double y, double z, double w) {
    rotateTo(MQuaternion(x, y, z, w));
    return MS::kSuccess;
}
MStatus MTransformationMatrix::getRotation(double rotation[3], RotationOrder& order) const {
    for (int i = 0; i < 3; ++i) rotation[i] = fRotate[i];
    order = fOrder;
    return MS::kSuccess;
}
MStatus MTransformationMatrix::setRotation(const double rotation[3], RotationOrder order) {
    if (order <= kInvalid || order >= kLast) return MS::kInvalidParameter;
    for (int i = 0; i < 3; ++i) fRotate[i] = rotation[i];
    fOrder = order;
    return MS::kSuccess;
}
MTransformationMatrix::RotationOrder MTransformationMatrix::rotationOrder(MStatus* ReturnStatus) const {
    if (ReturnStatus) *ReturnStatus = MS::kSuccess;
    return fOrder;
}
MStatus MTransformationMatrix::reorderRotation(const RotationOrder& order) {
    if (order <= kInvalid || order >= kLast) return MS::kInvalidParameter;
    mayasim::matrixToEuler(mayasim::eulerToMatrix(fRotate, eulerOrder(fOrder)), eulerOrder(order), fRotate);
    fOrder = order;
    return MS::kSuccess;
}
MVector MTransformationMatrix::getTranslation(MSpace::Space, MStatus* ReturnStatus) const {
    if (ReturnStatus) *ReturnStatus = MS::kSuccess;
    return MVector(fTranslate[0], fTranslate[1], fTranslate[2]);
}
MStatus MTransformationMatrix::setTranslation(const MVector& v, MSpace::Space) {
    fTranslate[0] = v.x;
    fTranslate[1] = v.y;
    fTranslate[2] = v.z;
    return MS::kSuccess;
}
MStatus MTransformationMatrix::addTranslation(const MVector& v, MSpace::Space) {
    fTranslate[0] += v.x;
    fTranslate[1] += v.y;
    fTranslate[2] += v.z;
    return MS::kSuccess;
}
MStatus MTransformationMatrix::getRotation(double rotation[3], RotationOrder& order, MSpace::Space) const {
    return getRotation(rotation, order);
}
MStatus MTransformationMatrix::setRotation(const double rotation[3], RotationOrder order, MSpace::Space) {
    return setRotation(rotation, order);
}
MStatus MTransformationMatrix::getRotationQuaternion(double& x, double& y, double& z, double& w,
                                                     MSpace::Space) const {
    return getRotationQuaternion(x, y, z, w);
}
MStatus MTransformationMatrix::setRotationQuaternion(double x, double y, double z, double w, MSpace::Space) {
    return setRotationQuaternion(x, y, z, w);
}
bool MTransformationMatrix::isEquivalent(const MTransformationMatrix& other, double tolerance) const {
    return asMatrix().isEquivalent(other.asMatrix(), tolerance);
}
bool MTransformationMatrix::operator==(const MTransformationMatrix& other) const {
    return asMatrix() == other.asMatrix();
}
bool MTransformationMatrix::operator!=(const MTransformationMatrix& other) const {
    return !(*this == other);
}
