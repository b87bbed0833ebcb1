// Vector, point, colour and matrix value types.
#include <maya/MColor.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MVector.h>

#include <cmath>
#include <cstring>

// ---- MMatrix ----
namespace {
constexpr double kIdentity[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

double det3(double a, double b, double c, double d, double e, double f, double g, double h, double i) {
    return a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
}
}  // namespace

const MMatrix MMatrix::identity;

MMatrix::MMatrix() {
    std::memcpy(matrix, kIdentity, sizeof matrix);
}
MMatrix::MMatrix(const MMatrix& src) {
    std::memcpy(matrix, src.matrix, sizeof matrix);
}
MMatrix::MMatrix(const double m[4][4]) {
    std::memcpy(matrix, m, sizeof matrix);
}
MMatrix::MMatrix(const float m[4][4]) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) matrix[r][c] = m[r][c];
}
MMatrix::~MMatrix() = default;
MMatrix& MMatrix::operator=(const MMatrix& src) {
    std::memmove(matrix, src.matrix, sizeof matrix);
    return *this;
}
double MMatrix::operator()(unsigned int row, unsigned int col) const {
    return matrix[row][col];
}
const double* MMatrix::operator[](unsigned int row) const {
    return matrix[row];
}
double& MMatrix::operator()(unsigned int row, unsigned int col) {
    return matrix[row][col];
}
double* MMatrix::operator[](unsigned int row) {
    return matrix[row];
}
MStatus MMatrix::get(double dest[4][4]) const {
    std::memcpy(dest, matrix, sizeof matrix);
    return MS::kSuccess;
}
MStatus MMatrix::get(float dest[4][4]) const {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) dest[r][c] = static_cast<float>(matrix[r][c]);
    return MS::kSuccess;
}
MMatrix MMatrix::transpose() const {
    MMatrix t;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) t.matrix[r][c] = matrix[c][r];
    return t;
}
MMatrix& MMatrix::setToIdentity() {
    std::memcpy(matrix, kIdentity, sizeof matrix);
    return *this;
}
MMatrix& MMatrix::setToProduct(const MMatrix& left, const MMatrix& right) {
    MMatrix p = left * right;
    return *this = p;
}
MMatrix& MMatrix::operator+=(const MMatrix& right) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) matrix[r][c] += right.matrix[r][c];
    return *this;
}
MMatrix MMatrix::operator+(const MMatrix& right) const {
    MMatrix m(*this);
    return m += right;
}
MMatrix& MMatrix::operator-=(const MMatrix& right) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) matrix[r][c] -= right.matrix[r][c];
    return *this;
}
MMatrix MMatrix::operator-(const MMatrix& right) const {
    MMatrix m(*this);
    return m -= right;
}
MMatrix MMatrix::operator*(const MMatrix& right) const {
    MMatrix p;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            double s = 0;
            for (int k = 0; k < 4; ++k) s += matrix[r][k] * right.matrix[k][c];
            p.matrix[r][c] = s;
        }
    return p;
}
MMatrix& MMatrix::operator*=(const MMatrix& right) {
    return *this = *this * right;
}
MMatrix& MMatrix::operator*=(double s) {
    for (auto& row : matrix)
        for (double& v : row) v *= s;
    return *this;
}
MMatrix MMatrix::operator*(double s) const {
    MMatrix m(*this);
    return m *= s;
}
bool MMatrix::operator==(const MMatrix& other) const {
    return std::memcmp(matrix, other.matrix, sizeof matrix) == 0;
}
bool MMatrix::operator!=(const MMatrix& other) const {
    return !(*this == other);
}
double MMatrix::det3x3() const {
    const auto& m = matrix;
    return det3(m[0][0], m[0][1], m[0][2], m[1][0], m[1][1], m[1][2], m[2][0], m[2][1], m[2][2]);
}
MMatrix MMatrix::adjoint() const {
    MMatrix adj;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            double minor[9];
            int n = 0;
            for (int i = 0; i < 4; ++i)
                for (int j = 0; j < 4; ++j)
                    if (i != r && j != c) minor[n++] = matrix[i][j];
            double d = det3(minor[0], minor[1], minor[2], minor[3], minor[4], minor[5], minor[6], minor[7],
                            minor[8]);
            adj.matrix[c][r] = ((r + c) % 2 ? -d : d);
        }
    return adj;
}
double MMatrix::det4x4() const {
    MMatrix adj = adjoint();
    double d = 0;
    for (int c = 0; c < 4; ++c) d += matrix[0][c] * adj.matrix[c][0];
    return d;
}
// A singular matrix has no inverse; like the host, give it back unchanged.
MMatrix MMatrix::inverse() const {
    double d = det4x4();
    if (std::fabs(d) < 1.0e-300) return *this;
    return adjoint() * (1.0 / d);
}
MMatrix MMatrix::homogenize() const {
    MMatrix m(*this);
    for (auto& row : m.matrix)
        if (row[3] != 0) {
            for (double& v : row) v /= row[3];
        }
    return m;
}
bool MMatrix::isEquivalent(const MMatrix& other, double tolerance) const {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (std::fabs(matrix[r][c] - other.matrix[r][c]) > tolerance) return false;
    return true;
}
bool MMatrix::isSingular() const {
    return std::fabs(det4x4()) < 1.0e-12;
}

// ---- MFloatVector ----
const MFloatVector MFloatVector::zero(0, 0, 0);
const MFloatVector MFloatVector::xAxis(1, 0, 0);
const MFloatVector MFloatVector::yAxis(0, 1, 0);
const MFloatVector MFloatVector::zAxis(0, 0, 1);
MFloatVector::MFloatVector() : x(0), y(0), z(0) {}
MFloatVector::MFloatVector(const MFloatVector&) = default;
MFloatVector::MFloatVector(const MVector& v)
    : x(static_cast<float>(v.x)), y(static_cast<float>(v.y)), z(static_cast<float>(v.z)) {}
MFloatVector::MFloatVector(const MFloatPoint& p) : x(p.x), y(p.y), z(p.z) {}
MFloatVector::MFloatVector(float xx, float yy, float zz) : x(xx), y(yy), z(zz) {}
MFloatVector::~MFloatVector() = default;
MFloatVector& MFloatVector::operator=(const MFloatVector& src) = default;
float MFloatVector::operator()(unsigned int i) const {
    return i == 0 ? x : i == 1 ? y : z;
}
float MFloatVector::operator[](unsigned int i) const {
    return i == 0 ? x : i == 1 ? y : z;
}
float& MFloatVector::operator[](unsigned int i) {
    return i == 0 ? x : i == 1 ? y : z;
}
MFloatVector MFloatVector::operator^(const MFloatVector& r) const {
    return MFloatVector(y * r.z - z * r.y, z * r.x - x * r.z, x * r.y - y * r.x);
}
float MFloatVector::operator*(const MFloatVector& r) const {
    return x * r.x + y * r.y + z * r.z;
}
MFloatVector MFloatVector::operator+(const MFloatVector& o) const {
    return MFloatVector(x + o.x, y + o.y, z + o.z);
}
MFloatVector MFloatVector::operator-(const MFloatVector& o) const {
    return MFloatVector(x - o.x, y - o.y, z - o.z);
}
MFloatVector MFloatVector::operator-() const {
    return MFloatVector(-x, -y, -z);
}
MFloatVector MFloatVector::operator*(float s) const {
    return MFloatVector(x * s, y * s, z * s);
}
MFloatVector MFloatVector::operator/(float s) const {
    return MFloatVector(x / s, y / s, z / s);
}
bool MFloatVector::operator==(const MFloatVector& o) const {
    return x == o.x && y == o.y && z == o.z;
}
bool MFloatVector::operator!=(const MFloatVector& o) const {
    return !(*this == o);
}
float MFloatVector::length() const {
    return std::sqrt(x * x + y * y + z * z);
}
MFloatVector MFloatVector::normal() const {
    float l = length();
    return l > 0 ? *this / l : *this;
}
MStatus MFloatVector::normalize() {
    *this = normal();
    return MS::kSuccess;
}
bool MFloatVector::isEquivalent(const MFloatVector& o, float t) const {
    return std::fabs(x - o.x) <= t && std::fabs(y - o.y) <= t && std::fabs(z - o.z) <= t;
}

// ---- MFloatPoint ----
const MFloatPoint MFloatPoint::origin;
MFloatPoint::MFloatPoint() : x(0), y(0), z(0), w(1) {}
MFloatPoint::MFloatPoint(const MFloatPoint&) = default;
MFloatPoint::MFloatPoint(const MPoint& p)
    : x(static_cast<float>(p.x)),
      y(static_cast<float>(p.y)),
      z(static_cast<float>(p.z)),
      w(static_cast<float>(p.w)) {}
MFloatPoint::MFloatPoint(const MFloatVector& v) : x(v.x), y(v.y), z(v.z), w(1) {}
MFloatPoint::MFloatPoint(float xx, float yy, float zz, float ww) : x(xx), y(yy), z(zz), w(ww) {}
MFloatPoint::~MFloatPoint() = default;
MFloatPoint& MFloatPoint::operator=(const MFloatPoint& src) = default;
float MFloatPoint::operator[](unsigned int i) const {
    return i == 0 ? x : i == 1 ? y : i == 2 ? z : w;
}
float& MFloatPoint::operator[](unsigned int i) {
    return i == 0 ? x : i == 1 ? y : i == 2 ? z : w;
}
MFloatPoint MFloatPoint::operator+(const MFloatVector& o) const {
    return MFloatPoint(x + o.x, y + o.y, z + o.z, w);
}
MFloatVector MFloatPoint::operator-(const MFloatPoint& o) const {
    return MFloatVector(x - o.x, y - o.y, z - o.z);
}
bool MFloatPoint::operator==(const MFloatPoint& o) const {
    return x == o.x && y == o.y && z == o.z && w == o.w;
}
bool MFloatPoint::operator!=(const MFloatPoint& o) const {
    return !(*this == o);
}
MStatus MFloatPoint::setCast(const MPoint& src) {
    *this = MFloatPoint(src);
    return MS::kSuccess;
}
float MFloatPoint::distanceTo(const MFloatPoint& o) const {
    return (*this - o).length();
}
bool MFloatPoint::isEquivalent(const MFloatPoint& o, float t) const {
    return std::fabs(x - o.x) <= t && std::fabs(y - o.y) <= t && std::fabs(z - o.z) <= t &&
           std::fabs(w - o.w) <= t;
}

// ---- MVector ----
const MVector MVector::zero(0, 0, 0);
const MVector MVector::one(1, 1, 1);
const MVector MVector::xAxis(1, 0, 0);
const MVector MVector::yAxis(0, 1, 0);
const MVector MVector::zAxis(0, 0, 1);
const MVector MVector::xNegAxis(-1, 0, 0);
const MVector MVector::yNegAxis(0, -1, 0);
const MVector MVector::zNegAxis(0, 0, -1);
MVector::MVector() : x(0), y(0), z(0) {}
MVector::MVector(const MVector&) = default;
MVector::MVector(const MFloatVector& v) : x(v.x), y(v.y), z(v.z) {}
MVector::MVector(const MPoint& p) : x(p.x), y(p.y), z(p.z) {}
MVector::MVector(const MFloatPoint& p) : x(p.x), y(p.y), z(p.z) {}
MVector::MVector(double xx, double yy, double zz) : x(xx), y(yy), z(zz) {}
MVector::MVector(const double d[3]) : x(d[0]), y(d[1]), z(d[2]) {}
MVector::~MVector() = default;
MVector& MVector::operator=(const MVector& src) = default;
double MVector::operator()(unsigned int i) const {
    return i == 0 ? x : i == 1 ? y : z;
}
double MVector::operator[](unsigned int i) const {
    return i == 0 ? x : i == 1 ? y : z;
}
double& MVector::operator[](unsigned int i) {
    return i == 0 ? x : i == 1 ? y : z;
}
MVector MVector::operator^(const MVector& r) const {
    return MVector(y * r.z - z * r.y, z * r.x - x * r.z, x * r.y - y * r.x);
}
double MVector::operator*(const MVector& r) const {
    return x * r.x + y * r.y + z * r.z;
}
MVector MVector::operator+(const MVector& o) const {
    return MVector(x + o.x, y + o.y, z + o.z);
}
MVector& MVector::operator+=(const MVector& o) {
    return *this = *this + o;
}
MVector MVector::operator-(const MVector& o) const {
    return MVector(x - o.x, y - o.y, z - o.z);
}
MVector& MVector::operator-=(const MVector& o) {
    return *this = *this - o;
}
MVector MVector::operator-() const {
    return MVector(-x, -y, -z);
}
MVector MVector::operator*(double s) const {
    return MVector(x * s, y * s, z * s);
}
MVector& MVector::operator*=(double s) {
    return *this = *this * s;
}
MVector MVector::operator/(double s) const {
    return MVector(x / s, y / s, z / s);
}
// A direction ignores the translation row.
MVector MVector::operator*(const MMatrix& m) const {
    return MVector(x * m.matrix[0][0] + y * m.matrix[1][0] + z * m.matrix[2][0],
                   x * m.matrix[0][1] + y * m.matrix[1][1] + z * m.matrix[2][1],
                   x * m.matrix[0][2] + y * m.matrix[1][2] + z * m.matrix[2][2]);
}
bool MVector::operator==(const MVector& o) const {
    return x == o.x && y == o.y && z == o.z;
}
bool MVector::operator!=(const MVector& o) const {
    return !(*this == o);
}
double MVector::length() const {
    return std::sqrt(x * x + y * y + z * z);
}
MVector MVector::normal() const {
    double l = length();
    return l > 0 ? *this / l : *this;
}
MStatus MVector::normalize() {
    *this = normal();
    return MS::kSuccess;
}
double MVector::angle(const MVector& o) const {
    double l = length() * o.length();
    if (l <= 0) return 0;
    double c = (*this * o) / l;
    return std::acos(c > 1 ? 1 : c < -1 ? -1 : c);
}
bool MVector::isEquivalent(const MVector& o, double t) const {
    return std::fabs(x - o.x) <= t && std::fabs(y - o.y) <= t && std::fabs(z - o.z) <= t;
}
bool MVector::isParallel(const MVector& o, double t) const {
    return (normal() ^ o.normal()).length() <= t;
}
MStatus MVector::get(double dest[3]) const {
    dest[0] = x;
    dest[1] = y;
    dest[2] = z;
    return MS::kSuccess;
}
MVector operator*(int s, const MVector& v) {
    return v * s;
}
MVector operator*(double s, const MVector& v) {
    return v * s;
}

// ---- MPoint ----
const MPoint MPoint::origin;
MPoint::MPoint() : x(0), y(0), z(0), w(1) {}
MPoint::MPoint(const MPoint&) = default;
MPoint::MPoint(const MFloatPoint& p) : x(p.x), y(p.y), z(p.z), w(p.w) {}
MPoint::MPoint(const MVector& v) : x(v.x), y(v.y), z(v.z), w(1) {}
MPoint::MPoint(const MFloatVector& v) : x(v.x), y(v.y), z(v.z), w(1) {}
MPoint::MPoint(double xx, double yy, double zz, double ww) : x(xx), y(yy), z(zz), w(ww) {}
MPoint::MPoint(const double d[4]) : x(d[0]), y(d[1]), z(d[2]), w(d[3]) {}
MPoint::~MPoint() = default;
MPoint& MPoint::operator=(const MPoint& src) = default;
double MPoint::operator[](unsigned int i) const {
    return i == 0 ? x : i == 1 ? y : i == 2 ? z : w;
}
double& MPoint::operator[](unsigned int i) {
    return i == 0 ? x : i == 1 ? y : i == 2 ? z : w;
}
MPoint MPoint::operator+(const MVector& o) const {
    return MPoint(x + o.x, y + o.y, z + o.z, w);
}
MPoint& MPoint::operator+=(const MVector& o) {
    return *this = *this + o;
}
MPoint MPoint::operator-(const MVector& o) const {
    return MPoint(x - o.x, y - o.y, z - o.z, w);
}
MVector MPoint::operator-(const MPoint& o) const {
    return MVector(x - o.x, y - o.y, z - o.z);
}
MPoint MPoint::operator*(double s) const {
    return MPoint(x * s, y * s, z * s, w);
}
MPoint MPoint::operator*(const MMatrix& m) const {
    MPoint r;
    const double in[4] = {x, y, z, w};
    for (int c = 0; c < 4; ++c)
        r[c] =
            in[0] * m.matrix[0][c] + in[1] * m.matrix[1][c] + in[2] * m.matrix[2][c] + in[3] * m.matrix[3][c];
    return r;
}
MPoint& MPoint::operator*=(const MMatrix& m) {
    return *this = *this * m;
}
bool MPoint::operator==(const MPoint& o) const {
    return x == o.x && y == o.y && z == o.z && w == o.w;
}
bool MPoint::operator!=(const MPoint& o) const {
    return !(*this == o);
}
MPoint& MPoint::cartesianize() {
    if (w != 0 && w != 1) {
        x /= w;
        y /= w;
        z /= w;
        w = 1;
    }
    return *this;
}
double MPoint::distanceTo(const MPoint& o) const {
    return (*this - o).length();
}
bool MPoint::isEquivalent(const MPoint& o, double t) const {
    return std::fabs(x - o.x) <= t && std::fabs(y - o.y) <= t && std::fabs(z - o.z) <= t &&
           std::fabs(w - o.w) <= t;
}
MStatus MPoint::get(double dest[4]) const {
    dest[0] = x;
    dest[1] = y;
    dest[2] = z;
    dest[3] = w;
    return MS::kSuccess;
}

// ---- MColor ----
const MColor MColor::kOpaqueBlack(0, 0, 0, 1);
MColor::MColor() : r(0), g(0), b(0), a(1) {}
MColor::MColor(const MColor&) = default;
MColor::MColor(float rr, float gg, float bb, float aa) : r(rr), g(gg), b(bb), a(aa) {}
MColor::MColor(const float d[3]) : r(d[0]), g(d[1]), b(d[2]), a(1) {}
MColor::~MColor() = default;
MColor& MColor::operator=(const MColor& src) = default;
float MColor::operator[](unsigned int i) const {
    return i == 0 ? r : i == 1 ? g : i == 2 ? b : a;
}
float& MColor::operator[](unsigned int i) {
    return i == 0 ? r : i == 1 ? g : i == 2 ? b : a;
}
MColor MColor::operator+(const MColor& o) const {
    return MColor(r + o.r, g + o.g, b + o.b, a + o.a);
}
MColor MColor::operator-(const MColor& o) const {
    return MColor(r - o.r, g - o.g, b - o.b, a - o.a);
}
MColor MColor::operator*(float s) const {
    return MColor(r * s, g * s, b * s, a * s);
}
bool MColor::operator==(const MColor& o) const {
    return r == o.r && g == o.g && b == o.b && a == o.a;
}
bool MColor::operator!=(const MColor& o) const {
    return !(*this == o);
}
