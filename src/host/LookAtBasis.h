#pragma once

// The placement of lights and cameras: a look-at basis built from a matrix's third column,
// and the Euler angles of a rotation. Plain arithmetic shared by the export of lights and
// cameras and by their import.

#include "scene/Math.h"

// Rows (X.x, Y.x, D.x, m[3]), (X.y, Y.y, D.y, m[7]), (X.z, Y.z, D.z, m[11]) and m's last row,
// where D is m's third column as it is, X = normalise(up × D), Y = normalise(D × X), and up is
// +Y unless D is (within 0.0001) +Y (up -Z) or -Y (up +Z). A vector no longer than 0.0001
// normalises to zero.
Matrix4 buildLookAtBasis(const Matrix4& m);

// Euler angles (radians, static XYZ order) of the upper-left 3x3 of a row-major matrix,
// computed in double: with cy = sqrt(m00² + m10²), x = atan2(m21, m22), y = atan2(-m20, cy),
// z = atan2(m10, m00); when cy is at most 16 float epsilons, x = atan2(-m12, m11) and z = 0.
Vec3 matrixToEuler(const Matrix4& m);
