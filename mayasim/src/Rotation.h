#ifndef MAYASIM_ROTATION_H
#define MAYASIM_ROTATION_H
// Internal rotation maths in Maya's conventions: row vectors (p * M), right-handed rotations, radians.
// Orders are MEulerRotation's (kXYZ = 0 ... kZYX = 5): the first named axis is applied first.

#include <array>

namespace mayasim {

using Mat3 = std::array<std::array<double, 3>, 3>;
using Quat = std::array<double, 4>;  // x, y, z, w

Mat3 eulerToMatrix(const double angles[3], int order);
void matrixToEuler(const Mat3& m, int order, double angles[3]);
Mat3 quatToMatrix(const Quat& q);
Quat matrixToQuat(const Mat3& m);
Quat eulerToQuat(const double angles[3], int order);
void quatToEuler(const Quat& q, int order, double angles[3]);

}  // namespace mayasim

#endif
