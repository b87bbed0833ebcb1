#include "host/LookAtBasis.h"

#include <cmath>

namespace {

Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vec3 normalise(const Vec3& v) {
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (!(length > 0.0001f)) return {0.0f, 0.0f, 0.0f};
    return {v.x / length, v.y / length, v.z / length};
}

bool near(const Vec3& v, float x, float y, float z) {
    return std::fabs(v.x - x) <= 0.0001f && std::fabs(v.y - y) <= 0.0001f && std::fabs(v.z - z) <= 0.0001f;
}

}  // namespace

Matrix4 buildLookAtBasis(const Matrix4& m) {
    const Vec3 d = {m[2], m[6], m[10]};
    Vec3 up = {0.0f, 1.0f, 0.0f};
    if (near(d, 0.0f, 1.0f, 0.0f)) {
        up = {0.0f, 0.0f, -1.0f};
    } else if (near(d, 0.0f, -1.0f, 0.0f)) {
        up = {0.0f, 0.0f, 1.0f};
    }
    const Vec3 x = normalise(cross(up, d));
    const Vec3 y = normalise(cross(d, x));
    return {x.x, y.x, d.x, m[3], x.y, y.y, d.y, m[7], x.z, y.z, d.z, m[11], m[12], m[13], m[14], m[15]};
}

Vec3 matrixToEuler(const Matrix4& m) {
    const double m00 = m[0], m10 = m[4], m11 = m[5], m12 = m[6], m20 = m[8], m21 = m[9], m22 = m[10];
    const double cy = std::sqrt(m00 * m00 + m10 * m10);
    double x, y, z;
    if (cy > 1.9073486e-6) {
        x = std::atan2(m21, m22);
        y = std::atan2(-m20, cy);
        z = std::atan2(m10, m00);
    } else {
        x = std::atan2(-m12, m11);
        y = std::atan2(-m20, cy);
        z = 0.0;
    }
    return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
}
