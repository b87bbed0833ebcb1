#include "scene/Math.h"

#include <cmath>
#include <cstring>

Transform Transform::zeroed() {
    Transform t;
    t.rotationMatrix = {};
    t.scale = {0.0f, 0.0f, 0.0f};
    t.matrix = {};
    t.quaternion = {0.0f, 0.0f, 0.0f, 0.0f};
    return t;
}

namespace {

// Visits the 38 floats of a transform in record order.
template <class T, class F>
void forEachFloat(T& t, F&& f) {
    for (auto& v : t.rotationMatrix) f(v);
    f(t.translation.x), f(t.translation.y), f(t.translation.z);
    f(t.scale.x), f(t.scale.y), f(t.scale.z);
    for (auto& v : t.matrix) f(v);
    f(t.quaternion.x), f(t.quaternion.y), f(t.quaternion.z), f(t.quaternion.w);
    f(t.euler.x), f(t.euler.y), f(t.euler.z);
}

}  // namespace

std::array<float, Transform::kFloatCount> Transform::toFloats() const {
    std::array<float, kFloatCount> values;
    std::size_t i = 0;
    forEachFloat(*this, [&](float v) { values[i++] = v; });
    return values;
}

void Transform::fromFloats(const float* values) {
    std::size_t i = 0;
    forEachFloat(*this, [&](float& v) { v = values[i++]; });
}

Vec3 lerpVec3(const Vec3& a, const Vec3& b, float f) {
    return {a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f, a.z + (b.z - a.z) * f};
}

Quat slerpQuat(const Quat& a, Quat b, float f) {
    const float dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z, dw = a.w - b.w;
    const float sx = a.x + b.x, sy = a.y + b.y, sz = a.z + b.z, sw = a.w + b.w;
    if (dx * dx + dy * dy + dz * dz + dw * dw > sx * sx + sy * sy + sz * sz + sw * sw) {
        b = {-b.x, -b.y, -b.z, -b.w};  // the shorter arc
    }
    const float c = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
    float wa = 1.0f - f;
    float wb = f;
    if (1.0 - static_cast<double>(c) > 1e-8) {
        // c > -1 after the short-arc flip for unit keys; clamp so that keys that are not
        // quite unit length cannot take acos out of its domain.
        const float theta = std::acos(c < -1.0f ? -1.0f : c);
        const float s = std::sin(theta);
        if (s != 0.0f) {
            wa = std::sin((1.0f - f) * theta) / s;
            wb = std::sin(f * theta) / s;
        }
    }
    return {wa * a.x + wb * b.x, wa * a.y + wb * b.y, wa * a.z + wb * b.z, wa * a.w + wb * b.w};
}

Matrix4 quatToMatrix(const Quat& q) {
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    return {1.0f - 2.0f * y * y - 2.0f * z * z,
            2.0f * x * y - 2.0f * w * z,
            2.0f * x * z + 2.0f * w * y,
            0.0f,
            2.0f * x * y + 2.0f * w * z,
            1.0f - 2.0f * x * x - 2.0f * z * z,
            2.0f * y * z - 2.0f * w * x,
            0.0f,
            2.0f * x * z - 2.0f * w * y,
            2.0f * y * z + 2.0f * w * x,
            1.0f - 2.0f * x * x - 2.0f * y * y,
            0.0f,
            0.0f,
            0.0f,
            0.0f,
            1.0f};
}

Matrix4 affineMultiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 r;
    for (int row = 0; row < 3; ++row) {
        const float* ar = &a[std::size_t(row) * 4];
        for (int col = 0; col < 4; ++col) {
            float v = ar[0] * b[std::size_t(col)] + ar[1] * b[std::size_t(4 + col)] +
                      ar[2] * b[std::size_t(8 + col)];
            if (col == 3) v += ar[3];
            r[std::size_t(row) * 4 + std::size_t(col)] = v;
        }
    }
    r[12] = 0.0f;
    r[13] = 0.0f;
    r[14] = 0.0f;
    r[15] = 1.0f;
    return r;
}

Vec3 transformPoint(const Vec3& p, const Matrix4& m) {
    return {m[0] * p.x + m[1] * p.y + m[2] * p.z + m[3], m[4] * p.x + m[5] * p.y + m[6] * p.z + m[7],
            m[8] * p.x + m[9] * p.y + m[10] * p.z + m[11]};
}

Matrix4 invertMatrix4(const Matrix4& m) {
    const float a00 = m[0], a01 = m[1], a02 = m[2], a03 = m[3];
    const float a10 = m[4], a11 = m[5], a12 = m[6], a13 = m[7];
    const float a20 = m[8], a21 = m[9], a22 = m[10], a23 = m[11];
    const float a30 = m[12], a31 = m[13], a32 = m[14], a33 = m[15];

    // 2x2 minors of the top two rows (s) and of the bottom two rows (c).
    const float s0 = a00 * a11 - a10 * a01;
    const float s1 = a00 * a12 - a10 * a02;
    const float s2 = a00 * a13 - a10 * a03;
    const float s3 = a01 * a12 - a11 * a02;
    const float s4 = a01 * a13 - a11 * a03;
    const float s5 = a02 * a13 - a12 * a03;
    const float c5 = a22 * a33 - a32 * a23;
    const float c4 = a21 * a33 - a31 * a23;
    const float c3 = a21 * a32 - a31 * a22;
    const float c2 = a20 * a33 - a30 * a23;
    const float c1 = a20 * a32 - a30 * a22;
    const float c0 = a20 * a31 - a30 * a21;

    const float det = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
    if (det == 0.0f) return kIdentityMatrix4;
    const float inv = 1.0f / det;

    return {(a11 * c5 - a12 * c4 + a13 * c3) * inv,  (-a01 * c5 + a02 * c4 - a03 * c3) * inv,
            (a31 * s5 - a32 * s4 + a33 * s3) * inv,  (-a21 * s5 + a22 * s4 - a23 * s3) * inv,
            (-a10 * c5 + a12 * c2 - a13 * c1) * inv, (a00 * c5 - a02 * c2 + a03 * c1) * inv,
            (-a30 * s5 + a32 * s2 - a33 * s1) * inv, (a20 * s5 - a22 * s2 + a23 * s1) * inv,
            (a10 * c4 - a11 * c2 + a13 * c0) * inv,  (-a00 * c4 + a01 * c2 - a03 * c0) * inv,
            (a30 * s4 - a31 * s2 + a33 * s0) * inv,  (-a20 * s4 + a21 * s2 - a23 * s0) * inv,
            (-a10 * c3 + a11 * c1 - a12 * c0) * inv, (a00 * c3 - a01 * c1 + a02 * c0) * inv,
            (-a30 * s3 + a31 * s1 - a32 * s0) * inv, (a20 * s3 - a21 * s1 + a22 * s0) * inv};
}

float vecDistance(const Vec3& a, const Vec3& b) {
    const float dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
    const float sum = dx * dx + dy * dy + dz * dz;
    return sum == 0.0f ? 0.0f : std::sqrt(sum);
}
