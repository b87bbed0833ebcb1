#pragma once

// Small value types of the scene model and the vector, quaternion and matrix helpers.
//
// Matrices are 4x4 single precision, row-major, 16 consecutive floats; a point is a
// column vector, so the translation sits in elements 3, 7 and 11 and every matrix built
// here has the bottom row (0, 0, 0, 1). Quaternions are (x, y, z, w).

#include <array>
#include <cstdint>

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

// Defaults to the identity rotation; records that need a zero quaternion set it explicitly.
struct Quat {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;
};

// R, G, B, A in 0..1.
struct Color {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
};

using Matrix3 = std::array<float, 9>;
using Matrix4 = std::array<float, 16>;

constexpr Matrix3 kIdentityMatrix3 = {1, 0, 0, 0, 1, 0, 0, 0, 1};
constexpr Matrix4 kIdentityMatrix4 = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
constexpr Color kWhite = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr Color kOpaqueBlack = {0.0f, 0.0f, 0.0f, 1.0f};

// The placement block of lights, cameras and groups: 38 floats, in this order and
// without padding (the files store it as these 38 floats).
struct Transform {
    static constexpr int kFloatCount = 38;

    Matrix3 rotationMatrix = kIdentityMatrix3;
    Vec3 translation = {0.0f, 0.0f, 0.0f};
    Vec3 scale = {1.0f, 1.0f, 1.0f};
    Matrix4 matrix = kIdentityMatrix4;
    Quat quaternion = {0.0f, 0.0f, 0.0f, 1.0f};
    Vec3 euler = {0.0f, 0.0f, 0.0f};  // radians

    // Every float 0 (the state of a freshly allocated array element).
    static Transform zeroed();

    // The 38 floats in record order, for reading and writing the stored form.
    std::array<float, kFloatCount> toFloats() const;
    void fromFloats(const float* values);  // reads exactly kFloatCount floats
};
static_assert(sizeof(Transform) == Transform::kFloatCount * sizeof(float),
              "Transform must be 38 packed floats");

// a + (b - a) * f per component.
Vec3 lerpVec3(const Vec3& a, const Vec3& b, float f);

// Spherical interpolation along the shorter arc; falls back to linear weights when the
// keys are nearly identical. The result is not renormalised.
Quat slerpQuat(const Quat& a, Quat b, float f);

// Rotation matrix of a unit quaternion, translation 0.
Matrix4 quatToMatrix(const Quat& q);

// a x b for matrices whose bottom rows are (0, 0, 0, 1); the result's bottom row is
// (0, 0, 0, 1). Returned by value, so either operand may be the destination.
Matrix4 affineMultiply(const Matrix4& a, const Matrix4& b);

// m applied to the point p (rotation, scale and translation).
Vec3 transformPoint(const Vec3& p, const Matrix4& m);

// Full inverse by cofactors; identity when the determinant is exactly 0.
Matrix4 invertMatrix4(const Matrix4& m);

// Euclidean distance; 0 (no square root taken) when the points coincide.
float vecDistance(const Vec3& a, const Vec3& b);
